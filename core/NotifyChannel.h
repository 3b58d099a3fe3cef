#pragma once
// The notification channel into the UI thread: notifications (Post) and other work (PostToUi)
// from any thread go into one locked queue and run on the thread that owns the channel, in the
// order they were posted; a queued call with no payload wakes that thread. What one thread
// hands to the other is guarded by the queue's own lock, which every checker sees.
//
// Threads: Post and PostToUi from any thread; RunPosted and the receiver on the owner's thread.
// Work still queued when the channel is destroyed is dropped.

#include "NotifyPoster.h"

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace tunola {

class TNotifyChannel : public QObject, public INotifyPoster {
    Q_OBJECT
public:
    using TReceiver = std::function<void(int32_t code, int64_t lParam, const QString& text)>;
    // `receiver` handles every notification, on the owner's thread.
    explicit TNotifyChannel(TReceiver receiver);

    void Post(int32_t code, int64_t lParam, const QString& text = {}) override;
    // `work` runs on the owner's thread, in order with the notifications.
    void PostToUi(std::function<void()> work);

    // Runs what was posted (owner's thread; woken by a queued call).
    Q_INVOKABLE void RunPosted();

private:
    TReceiver receiver_;
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_; // guarded by mutex_
};

} // namespace tunola
