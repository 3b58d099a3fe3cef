// The browser panes of the music library window on Qt WebEngine. This file is the whole of the
// tunola_webpane module; the player loads it with dlopen the first time the library window
// shows (WebPaneLoader.h), so WebEngine costs nothing until then.
//
// Threads: WebEngine runs its own threads and processes; everything here runs on the UI
// thread, where WebEngine delivers navigation requests, console messages and load results.

#include "WebPane.h"

#include <ShareLinks.h>

#include <QCoreApplication>
#include <QKeySequence>
#include <QOpenGLContext>
#include <QPointer>
#include <QShortcut>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <type_traits>

// Qt's global share context, exported by QtGui but declared only in its private headers.
QOpenGLContext* qt_gl_global_share_context();
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace tunola {
namespace {

// WebEngine draws with a GL context shared with Qt's global one. Qt makes that context at
// start when Qt::AA_ShareOpenGLContexts is set, but that maps the GL driver into every player
// (some 58 MB with Mesa's software renderer), so the player leaves it unset and the context is
// made here, the first time a pane is made, before WebEngine looks for it.
void EnsureShareContext() {
    if (qt_gl_global_share_context())
        return;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->create();
    qt_gl_set_global_share_context(context);
}

// One profile for both panes, kept in memory only: the service's pages need no cookies or
// cache on disk.
QWebEngineProfile* SharedProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (!profile)
        profile = new QWebEngineProfile(QCoreApplication::instance());
    return profile;
}

// The address as text for the navigation handler, percent escapes as the page wrote them, so a
// sidebar keyword ("#tun#%C7%E7") arrives intact. QUrl escapes a "#" inside the fragment; it
// is put back (a keyword's own "#" is escaped by the service and decodes the same either way).
std::string AddressText(const QUrl& url) {
    QString text = url.toString(QUrl::RemoveFragment | QUrl::FullyEncoded);
    if (url.hasFragment())
        text += QLatin1Char('#') +
                url.fragment(QUrl::FullyEncoded).replace(QLatin1String("%23"), QLatin1String("#"));
    return text.toStdString();
}

QString Origin(const QUrl& url) {
    return url
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo | QUrl::StripTrailingSlash)
        .toString();
}

// Keeps text from being selected in the sidebar.
constexpr const char* kNoSelectionScript =
    "(function(){var s=document.createElement('style');"
    "s.textContent='*{-webkit-user-select:none!important;user-select:none!important}';"
    "(document.head||document.documentElement).appendChild(s);"
    "document.addEventListener('selectstart',function(e){e.preventDefault();},true);})();";

class TWebPane;

class TPanePage : public QWebEnginePage {
public:
    TPanePage(TWebPane& pane, QObject* parent)
        : QWebEnginePage(SharedProfile(), parent), pane_(pane) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override;
    // Links that ask for a new window (window.open, Ctrl- or Shift-click) open nothing.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    TWebPane& pane_;
};

class TWebPane final : public IWebPane {
public:
    TWebPane(QWidget* parent, const TWebPaneOptions& options)
        : options_(options), view_(new QWebEngineView(parent)) {
        page_ = new TPanePage(*this, view_);
        view_->setPage(page_);
        view_->setContextMenuPolicy(Qt::NoContextMenu);
        QWebEngineSettings* settings = page_->settings();
        // A failed load shows no error page: the pane goes back to the last page that loaded.
        settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
        // Ctrl+N opens no window: the shortcut takes the key before the page sees it.
        auto* ctrlN = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), view_);
        ctrlN->setContext(Qt::WidgetWithChildrenShortcut);
        if (!options_.TextSelection) {
            QWebEngineScript script;
            script.setName(QStringLiteral("tunola-no-selection"));
            script.setSourceCode(QString::fromLatin1(kNoSelectionScript));
            script.setInjectionPoint(QWebEngineScript::DocumentReady);
            script.setWorldId(QWebEngineScript::ApplicationWorld);
            script.setRunsOnSubFrames(true);
            page_->scripts().insert(script);
        }
        QObject::connect(page_, &QWebEnginePage::loadFinished, view_,
                         [this](bool ok) { LoadFinished(ok); });
    }

    ~TWebPane() override { delete view_; }

    QWidget* Widget() override { return view_; }
    void Navigate(const QString& address) override { page_->setUrl(QUrl(address)); }
    void GoBack() override { page_->triggerAction(QWebEnginePage::Back); }
    void GoForward() override { page_->triggerAction(QWebEnginePage::Forward); }
    void Refresh() override { page_->triggerAction(QWebEnginePage::Reload); }
    QString Address() const override { return lastGood_.toString(); }
    void RunScript(const QString& script) override { page_->runJavaScript(script); }

    // The navigation handler's answer: true cancels.
    bool Before(const std::string& address) {
        return OnBeforeNavigate && OnBeforeNavigate(address);
    }

    bool Trusted(const QUrl& page) const {
        return !options_.TrustedOrigin.empty() &&
               Origin(page) == QString::fromStdString(options_.TrustedOrigin);
    }

    // A link the page's script handed over that the handler let through: follow it as the
    // click would have.
    void Follow(const QString& href) { page_->setUrl(page_->url().resolved(QUrl(href))); }

private:
    void LoadFinished(bool ok) {
        if (ok) {
            lastGood_ = page_->url();
            returning_ = false;
            return;
        }
        // WebEngine cannot cancel a navigation that has failed; going back to the last page
        // that loaded keeps the pane on it. Once only, so a service that went away does not
        // make the pane retry for ever.
        if (!returning_ && lastGood_.isValid() && page_->url() != lastGood_) {
            returning_ = true;
            page_->setUrl(lastGood_);
        }
    }

    TWebPaneOptions options_;
    QPointer<QWebEngineView> view_;
    TPanePage* page_ = nullptr;
    QUrl lastGood_;
    bool returning_ = false;
};

bool TPanePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
    // Links to a scheme WebEngine does not know (a "qivra" link without the page's script)
    // arrive here as well, before WebEngine would hand them to the desktop.
    return !pane_.Before(AddressText(url));
}

void TPanePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                         const QString&) {
    const QString prefix =
        QString::fromLatin1(kShareConsolePrefix.data(), qsizetype(kShareConsolePrefix.size()));
    if (!message.startsWith(prefix) || !pane_.Trusted(url()))
        return;
    const QString href = message.mid(prefix.size());
    if (!pane_.Before(href.toStdString()))
        pane_.Follow(href);
}

} // namespace
} // namespace tunola

extern "C" Q_DECL_EXPORT tunola::IWebPane*
TUNOLA_WEBPANE_Create(QWidget* parent, const tunola::TWebPaneOptions* options) {
    static_assert(std::is_same_v<decltype(&TUNOLA_WEBPANE_Create), tunola::TWebPaneFactory>);
    tunola::EnsureShareContext();
    return new tunola::TWebPane(parent, options ? *options : tunola::TWebPaneOptions{});
}
