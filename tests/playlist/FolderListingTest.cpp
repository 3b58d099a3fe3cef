// The quick folder listing against what QDir lists for the same folder.

#include "FolderListing.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

using namespace tunola;

namespace {

TEST(FolderListing, ListsWhatQDirListsInTheSameOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = dir.path().toStdString();
    for (const char* name : {"b.mp3", "A.MP3", "a2.mp3", "曲.mp3", "Ä.mp3", "10.wav", "9.wavpack",
                             "cover.jpg", ".hidden.mp3", "z.ogg"})
        std::ofstream(root + "/" + name) << "x";
    for (const char* name : {"sub", "Sub2", ".hiddenfolder"})
        mkdir((root + "/" + name).c_str(), 0755);
    ASSERT_EQ(symlink((root + "/b.mp3").c_str(), (root + "/link.mp3").c_str()), 0);
    ASSERT_EQ(symlink((root + "/sub").c_str(), (root + "/linked folder").c_str()), 0);
    ASSERT_EQ(symlink((root + "/gone.mp3").c_str(), (root + "/broken.mp3").c_str()), 0);
    ASSERT_EQ(mkfifo((root + "/pipe.mp3").c_str(), 0644), 0);

    const QStringList patterns = {"*.mp3", "*.ogg", "*.wav*"};
    const TNamePatterns matcher(patterns);
    QStringList listed;
    for (const TFolderChild& child : ListFolder(dir.path(), matcher))
        listed.push_back(QDir(dir.path()).relativeFilePath(child.Path) +
                         (child.IsFolder ? "/" : ""));

    QStringList expected;
    for (const QFileInfo& info : QDir(dir.path()).entryInfoList(
             QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable,
             QDir::Name | QDir::IgnoreCase | QDir::LocaleAware))
        if (info.isDir())
            expected.push_back(info.fileName() + "/");
        else if (QDir::match(patterns, info.fileName()))
            expected.push_back(info.fileName());
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(listed.contains("link.mp3"));
    EXPECT_TRUE(listed.contains("linked folder/"));
    EXPECT_FALSE(listed.contains("broken.mp3"));
    EXPECT_FALSE(listed.contains("pipe.mp3"));

    EXPECT_TRUE(ListFolder(dir.path() + "/no such folder", matcher).empty());
    const struct {
        const char* name;
        bool matches;
    } kNames[] = {{"x.MP3", true}, {"x.mp3.txt", false}, {"x.wav", true},
                  {"x.WAVE", true}, {"mp3", false},      {"x.ogg", true}};
    for (const auto& c : kNames)
        EXPECT_EQ(matcher.Matches(c.name), c.matches) << c.name;
}

} // namespace
