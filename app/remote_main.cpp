// tunola-remote: controls the running player from a shell or another program.
//
//   tunola-remote play|next|previous|mute    → prints 1 when the player took the command
//   tunola-remote count                      → number of playlist entries
//   tunola-remote index                      → index of the playing entry in the list
//   tunola-remote stop|pause                 → prints 1
//   tunola-remote seek SECONDS               → prints 1 when the track moved there, else 0
//   tunola-remote volume 0-100               → prints 1
//   tunola-remote status                     → state, position, length, title, artist,
//                                              service (online/offline) and lyric (the lyrics
//                                              window's line) as key=value lines
//   tunola-remote add PATH...                → prints the number of entries added
//   tunola-remote remove INDEX               → deletes that entry; prints 1 when it was there
//   tunola-remote skin FOLDER                → prints 1 when the skin menu has that skin
//   tunola-remote move main|playlist DX DY   → drags the window by DX, DY pixels; prints 1
//
// Exit codes: 0 answered, 1 no player answered, 2 bad usage.

#include "CommandLine.h"
#include "PlayerMessages.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "Usage: tunola-remote COMMAND [ARGUMENT]...\n"
                      "Controls the running Tunola player.\n"
                      "\n"
                      "  play           play or pause\n"
                      "  pause          pause\n"
                      "  stop           stop\n"
                      "  next           play the next entry\n"
                      "  previous       play the previous entry\n"
                      "  mute           switch the sound off or on\n"
                      "  seek SECONDS   move within the playing track\n"
                      "  volume 0-100   set the volume\n"
                      "  status         print state, position, length, title, artist, service and\n"
                      "                 lyric (key=value)\n"
                      "  count          print the number of playlist entries\n"
                      "  index          print the index of the playing entry\n"
                      "  add PATH...    add files, folders, addresses or playlists to the list\n"
                      "  remove INDEX   delete the entry at INDEX (from 0) from the list\n"
                      "  skin FOLDER    choose the skin in that folder, as the skin menu does\n"
                      "  move main|playlist DX DY\n"
                      "                 drag that window by DX, DY pixels, as the mouse does\n"
                      "  --help         show this help\n"
                      "\n"
                      "Exit status: 0 the player answered, 1 no player answered, 2 bad usage.\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "tunola-remote: %s\nTry \"tunola-remote --help\".\n", problem);
    return 2;
}

int NotRunning() {
    std::fprintf(stderr, "tunola-remote: the player is not running\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tunola;
    static const struct {
        const char* word;
        int32_t code;
    } kCommands[] = {
        {"play", ccPlayPause}, {"next", ccNext},   {"previous", ccPrevious},
        {"mute", ccMute},      {"count", ccCount}, {"index", ccIndex},
    };
    static const struct {
        const char* word;
        int32_t verb;
        int arguments; // −1: one or more
    } kFrames[] = {
        {"stop", fvStop, 0}, {"pause", fvPause, 0},   {"status", fvStatus, 0},
        {"seek", fvSeek, 1}, {"volume", fvVolume, 1}, {"add", fvEnqueue, -1},
        {"skin", fvSkin, 1}, {"move", fvMove, 3},     {"remove", fvRemove, 1},
    };
    if (argc < 2)
        return Usage("no command given");
    const char* word = argv[1];
    if (std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    for (const auto& command : kCommands) {
        if (std::strcmp(word, command.word) != 0)
            continue;
        if (argc != 2)
            return Usage("this command takes no argument");
        QCoreApplication app(argc, argv);
        const auto answer = SendPlayerMessage(WM_PLAYER_CONTROL, command.code, 0, 2000);
        if (!answer)
            return NotRunning();
        std::printf("%lld\n", static_cast<long long>(*answer));
        return 0;
    }
    for (const auto& frame : kFrames) {
        if (std::strcmp(word, frame.word) != 0)
            continue;
        const int given = argc - 2;
        if ((frame.arguments >= 0 && given != frame.arguments) ||
            (frame.arguments < 0 && given < 1))
            return Usage(frame.arguments == 0   ? "this command takes no argument"
                         : frame.arguments == 1 ? "this command takes one argument"
                         : frame.arguments == 3 ? "this command takes three arguments"
                                                : "this command needs at least one path");
        QCoreApplication app(argc, argv);
        QByteArray payload;
        if (frame.verb == fvEnqueue) {
            QStringList items;
            for (int i = 2; i < argc; ++i) {
                const QString item =
                    AbsoluteItem(QString::fromLocal8Bit(argv[i]), QDir::currentPath());
                if (!IsStreamAddress(item) && !QFileInfo::exists(item))
                    std::fprintf(stderr, "tunola-remote: %s: no such file or folder\n",
                                 qPrintable(item));
                items.push_back(item);
            }
            payload = JoinItems(items);
        } else if (frame.verb == fvSkin) {
            payload = argv[2]; // the folder's own bytes
        } else if (frame.verb == fvMove) {
            bool okX = false, okY = false;
            QByteArray(argv[3]).toInt(&okX);
            QByteArray(argv[4]).toInt(&okY);
            if (!okX || !okY)
                return Usage("the distances are whole numbers of pixels");
            payload = QByteArray(argv[2]) + ' ' + argv[3] + ' ' + argv[4];
        } else if (frame.verb == fvRemove) {
            bool ok = false;
            const int index = QByteArray(argv[2]).toInt(&ok);
            if (!ok || index < 0)
                return Usage("the index is a whole number from 0");
            payload = argv[2];
        } else if (given == 1) {
            bool ok = false;
            const double value = QByteArray(argv[2]).toDouble(&ok);
            if (!ok || (frame.verb == fvVolume &&
                        (value < 0 || value > 100 || value != static_cast<int>(value))))
                return Usage(frame.verb == fvVolume ? "the volume is a whole number from 0 to 100"
                                                    : "the position is a number of seconds");
            payload = argv[2];
        }
        // Adding a folder makes the player read every file in it: give it time.
        const auto answer =
            SendPlayerFrame(frame.verb, payload, frame.verb == fvEnqueue ? 60000 : 2000);
        if (!answer)
            return NotRunning();
        if (frame.verb == fvStatus)
            std::fwrite(answer->Payload.constData(), 1, size_t(answer->Payload.size()), stdout);
        else
            std::printf("%lld\n", static_cast<long long>(answer->Result));
        return 0;
    }
    std::fprintf(stderr, "tunola-remote: unknown command \"%s\"\n", word);
    return 2;
}
