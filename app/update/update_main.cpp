// tunola-update: started by the player when its service offers a newer version, with two
// arguments: the player's main window id in decimal and the service's parameter (the new
// version and where to get it) as one argument. It only shows the news: on Linux the package
// manager or the user replaces the program, never a helper behind their back.

#include "UpdateDialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWindow>

#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* to) {
    std::fputs("Usage: tunola-update WINDOW-ID PARAMETER\n"
               "Shows the new version the Tunola service offers (PARAMETER: the version and its\n"
               "download address); WINDOW-ID is the player's main window, in decimal.\n",
               to);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    if (argc != 3) {
        PrintUsage(stderr);
        return 2;
    }
    // The parameter comes from the network: Qt must not read it as one of its own options
    // ("-testability" loads a library, "-stylesheet=" reads a file, "-style=" picks a plug-in).
    // Qt sees the program's name only; the two arguments are taken as they are.
    const QString window = QString::fromLatin1(argv[1]);
    const QString parameter = QString::fromLocal8Bit(argv[2]);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationDisplayName(QStringLiteral("听风"));
    tunola::TUpdateDialog dialog(parameter);
    // Over the player's window where the window system lets a foreign window be named.
    bool ok = false;
    const WId player = window.toULongLong(&ok);
    QWindow* foreign = nullptr;
    if (ok && player != 0 && QGuiApplication::platformName() == QLatin1String("xcb"))
        foreign = QWindow::fromWinId(player);
    dialog.winId(); // the dialog's window exists from here on
    if (foreign && dialog.windowHandle())
        dialog.windowHandle()->setTransientParent(foreign);
    dialog.show();
    return app.exec();
}
