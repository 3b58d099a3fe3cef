#include "WebPaneLoader.h"

#include <QLibrary>
#include <QString>

#include <unistd.h>

namespace tunola {

void PrepareWebEngineEnvironment() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

TWebPaneFactory LoadWebPaneModule(const std::string& programDir, std::string* error) {
    struct TLoaded {
        TWebPaneFactory factory = nullptr;
        std::string error;
    };
    static TLoaded loaded = [&] {
        TLoaded result;
        PrepareWebEngineEnvironment();
        // The module stays loaded for the rest of the run: WebEngine cannot be unloaded.
        auto* library = new QLibrary(QString::fromStdString(programDir) +
                                     QString::fromLatin1(kWebPaneModuleName));
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
