#include "ProgramFolders.h"

#include "AtomicFile.h"
#include "StartupSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <filesystem>

namespace tunola {

std::string FindProgramDir() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("/../share/tunola"));
    if (!QDir(exeDir + QStringLiteral("/skin")).exists() && QDir(installed).exists())
        return WithTrailingSlash(installed.toStdString());
    return WithTrailingSlash(exeDir.toStdString());
}

std::string MakeUserDir() {
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    const std::string userDir = WithTrailingSlash(docs.toStdString()) + "Tunola/";
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(userDir), ec);
    return userDir;
}

} // namespace tunola
