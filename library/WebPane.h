#pragma once
// The browser panes of the music library window, as the window sees them. The panes live in a
// module of their own (tunola_webpane, built on Qt WebEngine) that WebPaneLoader.h loads the
// first time the window shows, so a player that never opens the window never maps WebEngine.
// This header is all the window and the module share; it names nothing of WebEngine.
//
// UI thread only: the pane's events fire on it.

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

namespace tunola {

struct TWebPaneOptions {
    // The sidebar lets nothing be selected: a click on a keyword is a click, not a selection.
    bool TextSelection = true;
    // Pages from this origin ("http://host:port") may hand share links over through their
    // console (ShareLinks.h); the console of any other page is ignored.
    std::string TrustedOrigin;
};

class IWebPane {
public:
    virtual ~IWebPane() = default;

    // The view to place in the window; the pane owns it through its parent.
    virtual QWidget* Widget() = 0;

    virtual void Navigate(const QString& address) = 0;
    // Without history these do nothing.
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    // The address shown now (the last one that loaded).
    virtual QString Address() const = 0;
    // Runs a script in the page shown now, as the page's own (what a click on it would do).
    virtual void RunScript(const QString& script) = 0;

    // The pane is about to navigate to `address`: the link text as the page wrote it when the
    // page's script handed it over (share links), otherwise the address as the view reports
    // it. Returning true cancels the navigation; the page stays where it is.
    std::function<bool(const std::string& address)> OnBeforeNavigate;
};

// The module's one export: a new pane whose view is a child of `parent`.
using TWebPaneFactory = IWebPane* (*)(QWidget* parent, const TWebPaneOptions* options);
inline constexpr const char* kWebPaneFactoryName = "TUNOLA_WEBPANE_Create";
inline constexpr const char* kWebPaneModuleName = "tunola_webpane";

} // namespace tunola
