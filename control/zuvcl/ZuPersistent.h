#pragma once
// The base classes under TZuBitmap32: change notification with an update counter, a lock for
// callers that share an object with another thread, and a width x height map.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>

namespace tunola {

class TZuNotifiablePersistent;
using TZuNotifyEvent = std::function<void(TZuNotifiablePersistent& sender)>;

// Raised when code breaks a rule of these classes that a correct caller never breaks.
class EZuAssertionFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class TZuNotifiablePersistent {
public:
    TZuNotifiablePersistent() = default;
    TZuNotifiablePersistent(const TZuNotifiablePersistent&) = delete;
    TZuNotifiablePersistent& operator=(const TZuNotifiablePersistent&) = delete;
    virtual ~TZuNotifiablePersistent() = default;

    // Fires OnChange, unless an update is in progress.
    virtual void Changed();
    virtual void BeginUpdate();
    // Throws EZuAssertionFailed("Unpaired TZuNotifiablePersistent.EndUpdate") without a
    // matching BeginUpdate; the counter stays 0.
    virtual void EndUpdate();

    int32_t UpdateCount() const { return updateCount_; }

    TZuNotifyEvent OnChange;

private:
    int32_t updateCount_ = 0;
};

// Lock/Unlock serialise callers that share one object between threads; drawing itself does
// not lock. The lock is recursive, so a thread may lock an object it already holds.
class TZuPersistent : public TZuNotifiablePersistent {
public:
    void Lock();
    void Unlock();
    // How many Lock calls are not yet matched by Unlock, over all threads.
    int32_t LockCount() const { return lockCount_.load(); }

private:
    std::recursive_mutex lock_;
    std::atomic<int32_t> lockCount_{0};
};

// Holds a TZuPersistent locked for the lifetime of the guard.
class TZuLockGuard {
public:
    explicit TZuLockGuard(TZuPersistent& object) : object_(object) { object_.Lock(); }
    ~TZuLockGuard() { object_.Unlock(); }
    TZuLockGuard(const TZuLockGuard&) = delete;
    TZuLockGuard& operator=(const TZuLockGuard&) = delete;

private:
    TZuPersistent& object_;
};

class TZuCustomMap : public TZuPersistent {
public:
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void SetWidth(int32_t width) { SetSize(width, height_); }
    void SetHeight(int32_t height) { SetSize(width_, height); }

    virtual void Delete() { SetSize(0, 0); }
    virtual bool Empty() const;
    // Negative sizes become 0. A different size goes through ChangeSize, then Changed and
    // Resized; the same size does nothing.
    virtual void SetSize(int32_t width, int32_t height);

    TZuNotifyEvent OnResize;

protected:
    // Takes the new size; derived maps reallocate here. Called only with a size that differs.
    virtual void ChangeSize(int32_t width, int32_t height);
    // Fires OnResize.
    virtual void Resized();
    void StoreSize(int32_t width, int32_t height) {
        width_ = width;
        height_ = height;
    }

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
};

} // namespace tunola
