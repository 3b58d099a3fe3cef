#pragma once
// Text and palette tests need a QGuiApplication; the first caller makes one for the whole run.

namespace tunola::testing_support {

void EnsureGuiApplication();

} // namespace tunola::testing_support
