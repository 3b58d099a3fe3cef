#pragma once
// The one way a worker thread reaches the main window: Post a notification (NotifyCodes.h). Post
// may be called from any thread; the notification is handled later on the UI thread, in the
// order posted. Workers never touch widgets themselves.

#include "NotifyCodes.h"

#include <QString>

#include <cstdint>

namespace tunola {

class INotifyPoster {
public:
    virtual ~INotifyPoster() = default;
    virtual void Post(int32_t code, int64_t lParam, const QString& text = {}) = 0;
};

} // namespace tunola
