#include "ThreadsSettleAtExit.h"

#include "AddressSanitizer.h"

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tunola {

#ifdef TUNOLA_ADDRESS_SANITIZER
namespace {

int ProcessThreadCount() {
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(tasks))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(tasks);
    return count;
}

void WaitForTheOtherThreads() {
    // A thread stuck for good (none should be) costs this exit the bound, nothing more.
    constexpr auto kBound = std::chrono::milliseconds(1000);
    const auto until = std::chrono::steady_clock::now() + kBound;
    while (ProcessThreadCount() > 1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

} // namespace

void SettleThreadsAtExit() {
    std::atexit(&WaitForTheOtherThreads);
}
#else
void SettleThreadsAtExit() {}
#endif

} // namespace tunola
