// The folder chooser and the lyric-folder command around it: what opens selected, what OK and
// Cancel leave in the state, and what reaches the configuration file.

#include "OpenFT.h"

#include <MoConfig.h>
#include <StartupSettings.h>

#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

using namespace tunola;
namespace fs = std::filesystem;

namespace {

class LyricFolderCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        state_.UserDir = dir_.path().toStdString() + "/Tunola/";
        fs::create_directories(state_.UserDir);
        config_ = state_.UserDir + "tunola.xml";
    }
    std::string Stored() {
        TMoConfig config(config_, kConfigRoot);
        return config.ReadString("Window/LRC", "PATH", "(none)");
    }
    // Runs the command; `answer` plays the user's part and says what the dialog returns.
    void Run(const std::function<int(TOpenFT&)>& answer) {
        ChooseLyricFolder(state_, config_, nullptr, [&](TOpenFT& d) {
            opened_ = d.SelectedFolder();
            return answer(d);
        });
    }

    QTemporaryDir dir_;
    TAppState state_;
    std::string config_;
    std::string opened_;
};

TEST_F(LyricFolderCommand, NoFolderConfiguredOpensAtLrcAndCancelStillWrites) {
    fs::create_directories(state_.UserDir + "lrc");
    Run([](TOpenFT&) { return int(QDialog::Rejected); });
    EXPECT_EQ(opened_, state_.UserDir + "lrc/");
    EXPECT_EQ(state_.LyricDir, state_.UserDir + "lrc");
    EXPECT_EQ(Stored(), state_.UserDir + "lrc");
}

TEST_F(LyricFolderCommand, OkTakesTheSelectedFolder) {
    const std::string songs = dir_.path().toStdString() + "/歌词 folder";
    fs::create_directories(songs);
    state_.LyricDir = state_.UserDir + "old/";
    fs::create_directories(state_.LyricDir);
    Run([&](TOpenFT& d) {
        EXPECT_TRUE(d.SelectFolder(songs));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(opened_, state_.UserDir + "old/");
    EXPECT_EQ(state_.LyricDir, songs + "/");
    EXPECT_EQ(Stored(), songs + "/");
}

TEST_F(LyricFolderCommand, AMissingFolderOpensWithNothingAndOkKeepsTheOldValue) {
    state_.LyricDir = dir_.path().toStdString() + "/gone/";
    Run([](TOpenFT&) { return int(QDialog::Accepted); });
    EXPECT_EQ(opened_, "");
    // Not the empty path: lyric saving needs a folder.
    EXPECT_EQ(state_.LyricDir, dir_.path().toStdString() + "/gone/");
    EXPECT_EQ(Stored(), dir_.path().toStdString() + "/gone/");
}

TEST(OpenFT, DialogLayout) {
    TOpenFT d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("选择目录"));
    EXPECT_EQ(d.size(), QSize(312, 265));
    EXPECT_EQ(d.btnOk->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.btnCs->text(), QStringLiteral("取消"));
    EXPECT_TRUE(d.btnOk->isDefault());
    EXPECT_EQ(d.btnOk->geometry(), QRect(144, 232, 75, 25));
    EXPECT_EQ(d.ShellTreeView1->geometry(), QRect(8, 8, 281, 193));
    EXPECT_EQ(d.ShellTreeView1->indentation(), 19);
    EXPECT_FALSE(d.SelectFolder(""));
    EXPECT_EQ(d.SelectedFolder(), "");
}

} // namespace
