#pragma once
// The player's command line: `tunola [-e|--enqueue] [FILE|FOLDER|URL|PLAYLIST]...`, `--help`,
// `--version`. Parsed before any window system is touched, so the informational options work
// without a display. Items are made absolute against the caller's folder, because a second
// start hands them to a player that runs elsewhere.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tunola {

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    bool Enqueue = false; // add only; otherwise the first item also plays
    QStringList Items;    // absolute paths and stream addresses, in the given order
    QString Error;        // not empty: bad usage, with the reason
};

// `args` without the program name; `workingDir` resolves relative paths.
TCommandLine ParseCommandLine(const QStringList& args, const QString& workingDir);

// The text of --help and of --version.
QString CommandLineHelp();
QString VersionText();

// A network address the player streams (http, https, ftp, mms, rtsp, …) rather than a file.
bool IsStreamAddress(const QString& item);
// "file://" addresses become local paths, other addresses stay, paths become absolute.
QString AbsoluteItem(const QString& item, const QString& workingDir);

// The payload of an open or enqueue request: the items, NUL-separated (a file name may hold
// any other character).
QByteArray JoinItems(const QStringList& items);
QStringList SplitItems(const QByteArray& payload);

} // namespace tunola
