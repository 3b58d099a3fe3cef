#include "NotifyChannel.h"

namespace tunola {

TNotifyChannel::TNotifyChannel(TReceiver receiver) : receiver_(std::move(receiver)) {}

void TNotifyChannel::Post(int32_t code, int64_t lParam, const QString& text) {
    PostToUi([this, code, lParam, text] { receiver_(code, lParam, text); });
}

void TNotifyChannel::PostToUi(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(work));
    }
    QMetaObject::invokeMethod(this, "RunPosted", Qt::QueuedConnection);
}

void TNotifyChannel::RunPosted() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(posted_);
    }
    for (const std::function<void()>& work : batch)
        work();
}

} // namespace tunola
