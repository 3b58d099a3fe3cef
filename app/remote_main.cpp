// tunola-remote: controls the running player from a shell or another program.
//
//   tunola-remote play|next|previous|mute    → prints 1 when the player took the command
//   tunola-remote count                      → number of playlist entries
//   tunola-remote index                      → index of the playing entry in the list
//
// Exit codes: 0 answered, 1 no player answered, 2 bad usage.

#include "PlayerMessages.h"
#include "SingleInstance.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    using namespace tunola;
    static const struct {
        const char* word;
        int32_t code;
    } kCommands[] = {
        {"play", ccPlayPause}, {"next", ccNext},   {"previous", ccPrevious},
        {"mute", ccMute},      {"count", ccCount}, {"index", ccIndex},
    };
    if (argc != 2) {
        std::fprintf(stderr, "usage: tunola-remote play|next|previous|mute|count|index\n");
        return 2;
    }
    for (const auto& command : kCommands) {
        if (std::strcmp(argv[1], command.word) != 0)
            continue;
        QCoreApplication app(argc, argv);
        const auto answer = SendPlayerMessage(WM_PLAYER_CONTROL, command.code, 0, 2000);
        if (!answer) {
            std::fprintf(stderr, "tunola-remote: the player is not running\n");
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(*answer));
        return 0;
    }
    std::fprintf(stderr, "tunola-remote: unknown command \"%s\"\n", argv[1]);
    return 2;
}
