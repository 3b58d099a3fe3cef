// Shows the About box or the folder chooser on its own, for a look at them on screen (not a
// test): tunola_shell_demo about | chooser [folder]
#include "FrmAbout.h"
#include "OpenFT.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about");
    if (what == QStringLiteral("chooser")) {
        tunola::TOpenFT chooser;
        chooser.SelectFolder(argc > 2 ? argv[2] : QDir::homePath().toStdString());
        return chooser.exec();
    }
    tunola::TfrmAbout about({2, 0, 0, 0}, QStringLiteral("https://www.example.com/tunola/"),
                            QStringLiteral("http://127.0.0.1:7860/"));
    return about.exec();
}
