#include "GuiApp.h"

#include <QGuiApplication>

namespace tunola::testing_support {

void EnsureGuiApplication() {
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "zuvcl_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

} // namespace tunola::testing_support
