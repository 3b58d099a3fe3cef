#include "WebPaneLoader.h"

#include <QLibrary>
#include <QString>

#include <memory>

#include <unistd.h>

namespace tunola {

void PrepareWebEngineEnvironment() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

TWebPaneFactory LoadWebPaneModule(const std::string& programDir, std::string* error) {
    struct TLoaded {
        // Destroying a QLibrary does not unload it: the module stays for the rest of the run
        // (WebEngine cannot be unloaded).
        std::unique_ptr<QLibrary> library;
        TWebPaneFactory factory = nullptr;
        std::string error;
    };
    static TLoaded loaded = [&] {
        TLoaded result;
        PrepareWebEngineEnvironment();
        result.library = std::make_unique<QLibrary>(QString::fromStdString(programDir) +
                                                    QString::fromLatin1(kWebPaneModuleName));
        QLibrary* library = result.library.get();
        if (!library->load()) {
            result.error = library->errorString().toStdString();
            return result;
        }
        result.factory = reinterpret_cast<TWebPaneFactory>(library->resolve(kWebPaneFactoryName));
        if (!result.factory)
            result.error = library->errorString().toStdString();
        return result;
    }();
    if (error)
        *error = loaded.error;
    return loaded.factory;
}

} // namespace tunola
