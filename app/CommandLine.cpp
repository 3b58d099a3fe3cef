#include "CommandLine.h"

#include <StreamAddress.h>

#include <QDir>
#include <QUrl>

namespace tunola {

bool IsStreamAddress(const QString& item) {
    return tunola::IsStreamAddress(std::string_view(item.toUtf8().constData()));
}

QString AbsoluteItem(const QString& item, const QString& workingDir) {
    if (IsStreamAddress(item))
        return item;
    if (item.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(item);
        if (url.isLocalFile())
            return QDir::cleanPath(url.toLocalFile());
    }
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(item));
}

TCommandLine ParseCommandLine(const QStringList& args, const QString& workingDir) {
    TCommandLine line;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            if (arg == QLatin1String("--")) {
                optionsEnded = true;
            } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
                line.Help = true;
            } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
                line.Version = true;
            } else if (arg == QLatin1String("-e") || arg == QLatin1String("--enqueue")) {
                line.Enqueue = true;
            } else {
                line.Error = QStringLiteral("unknown option \"%1\"").arg(arg);
                return line;
            }
            continue;
        }
        if (!arg.isEmpty())
            line.Items.push_back(AbsoluteItem(arg, workingDir));
    }
    return line;
}

QString VersionText() {
    return QStringLiteral("tunola %1\n").arg(QStringLiteral(TUNOLA_VERSION));
}

QString CommandLineHelp() {
    return QStringLiteral(
        "Usage: tunola [OPTION]... [FILE|FOLDER|URL|PLAYLIST]...\n"
        "Plays music files, folders (with their sub-folders), stream addresses and playlists\n"
        "(M3U, M3U8, PLS, XSPF and the player's own lists).\n"
        "\n"
        "With items, they are added to the playlist and the first one plays. When the player\n"
        "already runs, the items go to it and this start ends.\n"
        "\n"
        "  -e, --enqueue   only add the items, do not play them\n"
        "  -h, --help      show this help and exit\n"
        "  -v, --version   show the version and exit\n"
        "\n"
        "The running player is controlled with tunola-remote (see tunola-remote --help)\n"
        "and over MPRIS on the session bus (org.mpris.MediaPlayer2.tunola).\n");
}

QByteArray JoinItems(const QStringList& items) {
    QByteArray payload;
    for (const QString& item : items) {
        if (!payload.isEmpty())
            payload.append('\0');
        payload.append(item.toUtf8());
    }
    return payload;
}

QStringList SplitItems(const QByteArray& payload) {
    QStringList items;
    for (const QByteArray& part : payload.split('\0'))
        if (!part.isEmpty())
            items.push_back(QString::fromUtf8(part));
    return items;
}

} // namespace tunola
