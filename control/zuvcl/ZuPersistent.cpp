#include "ZuPersistent.h"

#include <algorithm>

namespace tunola {

void TZuNotifiablePersistent::Changed() {
    if (updateCount_ == 0 && OnChange)
        OnChange(*this);
}

void TZuNotifiablePersistent::BeginUpdate() {
    ++updateCount_;
}

void TZuNotifiablePersistent::EndUpdate() {
    if (updateCount_ == 0)
        throw EZuAssertionFailed("Unpaired TZuNotifiablePersistent.EndUpdate");
    --updateCount_;
}

void TZuPersistent::Lock() {
    ++lockCount_;
    lock_.lock();
}

void TZuPersistent::Unlock() {
    lock_.unlock();
    --lockCount_;
}

bool TZuCustomMap::Empty() const {
    return width_ == 0 || height_ == 0;
}

void TZuCustomMap::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    ChangeSize(width, height);
    Changed();
    Resized();
}

void TZuCustomMap::ChangeSize(int32_t width, int32_t height) {
    StoreSize(width, height);
}

void TZuCustomMap::Resized() {
    if (OnResize)
        OnResize(*this);
}

} // namespace tunola
