#include "FolderListing.h"

#include <QCollator>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace tunola {

namespace {

bool HasWildcard(QStringView text) {
    for (const QChar c : text)
        if (c == u'*' || c == u'?' || c == u'[' || c == u']' || c == u'\\')
            return true;
    return false;
}

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

TNamePatterns::TNamePatterns(const QStringList& patterns) {
    for (const QString& pattern : patterns) {
        if (pattern.startsWith(u'*') && !HasWildcard(QStringView(pattern).mid(1)))
            suffixes_.push_back(pattern.mid(1));
        else
            others_.push_back(
                QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption));
    }
}

bool TNamePatterns::Matches(const QString& name) const {
    for (const QString& suffix : suffixes_)
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    for (const QRegularExpression& matcher : others_)
        if (matcher.match(name).hasMatch())
            return true;
    return false;
}

std::vector<TFolderChild> ListFolder(const QString& folder, const TNamePatterns& patterns) {
    std::vector<TFolderChild> children;
    const std::unique_ptr<DIR, TDirCloser> dir(opendir(QFile::encodeName(folder).constData()));
    if (!dir)
        return children;
    const int fd = dirfd(dir.get());
    QString base = folder;
    if (!base.endsWith(u'/'))
        base += u'/';
    std::vector<QString> names;
    std::vector<bool> folders;
    while (const dirent* entry = readdir(dir.get())) {
        const char* raw = entry->d_name;
        if (raw[0] == '.') // hidden, and "." and ".."
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (!isFolder && !isFile) {
            // A link, or a file system that does not tell the type: ask, following links.
            struct stat info;
            if (fstatat(fd, raw, &info, 0) != 0)
                continue;
            isFolder = S_ISDIR(info.st_mode);
            isFile = S_ISREG(info.st_mode);
            if (!isFolder && !isFile)
                continue;
        }
        QString name = QFile::decodeName(raw);
        if (isFile && !patterns.Matches(name))
            continue;
        if (faccessat(fd, raw, R_OK, 0) != 0)
            continue;
        names.push_back(std::move(name));
        folders.push_back(isFolder);
    }

    // As QDir does it: lower-cased names in the collation of the user's language (which, in
    // the C locale, is the order of the characters).
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString& name : names)
        keys.push_back(collator.sortKey(name.toLower()));
    std::vector<size_t> order(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : names[a] < names[b];
    });
    children.reserve(names.size());
    for (const size_t i : order)
        children.push_back({base + names[i], folders[i]});
    return children;
}

} // namespace tunola
