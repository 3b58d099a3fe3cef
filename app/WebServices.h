#pragma once
// The player's side of its service: what the check timer does, what the service's workers
// report, the updater, and the lyric upload of each track.
//
// UI thread only. The workers themselves (core/ServiceWorkers.h) run on their own threads and
// report through the notification channel; their results come back here by HandleNotice. Only
// the UI thread writes ServiceOnline. The destructor cancels and joins the workers.

#include "AppState.h"
#include "ServiceWorkers.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>

class QTimer;

namespace tunola {

class TWebServices {
public:
    struct TTrack {
        std::string Title, Artist; // UTF-8
    };
    struct TParts {
        TAppState* State = nullptr;
        INotifyPoster* Poster = nullptr;
        std::string Host; // "host[:port]" of the service
        // The updater program; started with the main window's id and the service's parameter.
        QString UpdaterPath;
        std::function<quint64()> WindowId;
        // The playlist's current entry, if there is one.
        std::function<std::optional<TTrack>()> CurrentTrack;
        // The first tick that finds the service: the library window's pages and first showing.
        std::function<void()> OnFirstOnline;
        uint64_t LocalVersion = 0;
        TWebBounds Bounds = ServiceBounds();
    };
    explicit TWebServices(TParts parts);
    ~TWebServices();

    // "tunola-update" beside the running program.
    static QString DefaultUpdaterPath();

    // The first check, at the end of start-up.
    void StartServiceCheck();
    // tmr_chk's work: once the service is seen, the timer slows to 2500 ms and the update check
    // and OnFirstOnline run, once; until then a check runs unless one still does.
    void tmr_chkTimer(QTimer& tmr_chk);
    // The lyric lookup of the playing track has ended with `lyric` (UTF-8; empty for none): it
    // goes to the service with the current entry's title and artist, unless an upload still
    // runs or the service is not there.
    void LyricFound(const std::string& lyric);
    // The workers' notifications; false for a code that is not theirs.
    bool HandleNotice(int32_t code, int64_t lParam, const QString& text);

    TServiceWorkers& Workers() { return workers_; }
    // Starts the updater with exactly two arguments, never through a shell, and leaves it
    // running on its own (the player neither waits for it nor ends with it). The parameter is
    // handed over as UpdaterArgument makes it.
    bool StartUpdater(const QString& parameter);

    // The longest parameter the updater is given, in UTF-16 units; a real one is a version and
    // an address.
    static constexpr qsizetype kMaxUpdaterParameter = 2048;
    // The service's parameter as the updater's argument: control characters other than tab and
    // line breaks become blanks (a NUL would end the argument there), and anything beyond
    // kMaxUpdaterParameter is cut, never within a character.
    static QString UpdaterArgument(const QString& parameter);

private:
    TParts parts_;
    TServiceWorkers workers_;
};

} // namespace tunola
