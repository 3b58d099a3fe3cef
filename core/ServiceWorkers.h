#pragma once
// The three workers that talk to the service: the service check, the update check and the
// lyric upload.
//
// Threads: the owner's thread (the UI thread) starts them and reads their guards; each runs on
// a thread of its own (TWebWorker), at most one of each kind, and reports only by posting a
// notification, never touching the player's state or widgets:
//  - the service check GETs "/soft/updata.asp" and posts ncServiceChecked, lParam 1 when the
//    answer holds the service's marker, else 0;
//  - the update check GETs it again and posts ncUpdateOffered (lParam the service's number, text
//    the updater's parameter) when a newer version is offered, else nothing;
//  - the lyric upload POSTs one lyric to "/lrcpost.asp"; the answer is of no use to the player.
// Each worker has its own copies of what it was given; the poster is shared (it takes posts from
// any thread). The destructor (or Stop) cancels the calls under way and joins the threads, so it
// returns within milliseconds even while the service is silent.

#include "NotifyPoster.h"
#include "WebClient.h"
#include "WebWorker.h"

#include <cstdint>
#include <string>

namespace tunola {

// The service's answers are a few bytes: calls are bounded tighter than the defaults, so a
// dead or silent service frees the check for the next tick soon.
TWebBounds ServiceBounds();

class TServiceWorkers {
public:
    struct TParts {
        std::string Host; // "host[:port]" of the service
        INotifyPoster* Poster = nullptr;
        uint64_t LocalVersion = 0; // LocalUpdateNumber of the program
        TWebBounds Bounds = ServiceBounds();
    };
    explicit TServiceWorkers(TParts parts);
    ~TServiceWorkers();

    // Each starts its worker unless one of its kind runs; false then (nothing starts).
    bool StartServiceCheck();
    bool StartUpdateCheck();
    // The body is built on the worker from these copies (UTF-8).
    bool StartLyricUpload(std::string title, std::string artist, std::string lyric);

    bool CheckRunning() const { return check_.Running(); }
    bool UpdateRunning() const { return update_.Running(); }
    bool UploadRunning() const { return upload_.Running(); }

    // Waits until the workers under way end by themselves (tests).
    void Wait();
    // Cancels and joins every worker; none starts afterwards.
    void Stop();

private:
    const TParts parts_;
    TWebWorker check_;
    TWebWorker update_;
    TWebWorker upload_;
};

} // namespace tunola
