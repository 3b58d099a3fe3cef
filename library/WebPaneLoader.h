#pragma once
// Loads the browser-pane module (WebPane.h) from the program folder, once, on the UI thread.
// Before the module is mapped it prepares what WebEngine reads at its start: a player running
// as root gets WebEngine's sandbox turned off (Chromium refuses to start sandboxed as root).

#include "WebPane.h"

#include <string>

namespace tunola {

// The factory of the module in `programDir` (with its trailing "/"), or null when the module
// is missing or unusable; `error` then says why. Later calls return the first answer.
TWebPaneFactory LoadWebPaneModule(const std::string& programDir, std::string* error = nullptr);

// Whether WebEngine's sandbox must be off for this process (it runs as root) — set through
// QTWEBENGINE_DISABLE_SANDBOX unless the user set that variable already.
void PrepareWebEngineEnvironment();

} // namespace tunola
