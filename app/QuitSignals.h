#pragma once
// A request to end the player from outside (SIGTERM at logout, SIGINT from a terminal, SIGHUP)
// closes the main window the normal way, so the playlist and the settings are saved.

#include <functional>

namespace tunola {

// Installs the handlers; `close` runs on the UI thread when such a signal arrives.
void CloseOnQuitSignals(std::function<void()> close);

} // namespace tunola
