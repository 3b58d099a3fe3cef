#pragma once
// What the library window's tests share: a host that records what the window asks of the
// player, a search object that answers from a table (and can be held inside Search), and a
// wait for the event loop.

#include <IMusicSearch.h>
#include <ShareHost.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tunola::test {

// Runs the event loop until `done` holds or `ms` pass; whether it held.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

class TRecordingHost : public IShareHost {
public:
    int AppendInternetEntry(const TShareEntry& entry) override {
        entries.push_back(entry);
        events.push_back("add");
        return int(entries.size()) - 1;
    }
    void PlayEntryNow(int index) override {
        played.push_back(index);
        events.push_back("play");
    }
    void ShareWindowClosed() override { ++closed; }

    std::vector<TShareEntry> entries;
    std::vector<int> played;
    std::vector<std::string> events;
    int closed = 0;
};

class TFakeSearch : public IMusicSearch {
public:
    // Results per search text; GetSongUrl answers "http://songs/" + key + "?" + param.
    std::function<std::vector<TMusicSearchResult>(const std::string& text, int kind)> Answer;

    TMusicSearchResult GetItem(int32_t index) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++getItemCalls;
        if (index < 0 || size_t(index) >= results_.size()) {
            ++badIndexCalls;
            return {};
        }
        return results_[size_t(index)];
    }
    int32_t GetCount() const override {
        std::lock_guard<std::mutex> lock(mutex_);
        return int32_t(results_.size());
    }
    void ClearResults() override {
        std::lock_guard<std::mutex> lock(mutex_);
        results_.clear();
        ++clears;
    }
    std::string GetSongUrl(std::string_view key, int32_t param) const override {
        return "http://songs/" + std::string(key) + "?" + std::to_string(param);
    }
    void Search(std::string_view text, int32_t kind) override {
        std::vector<TMusicSearchResult> found =
            Answer ? Answer(std::string(text), kind) : std::vector<TMusicSearchResult>{};
        std::unique_lock<std::mutex> lock(mutex_);
        ++searches;
        texts.emplace_back(text);
        kinds.push_back(kind);
        held_.wait(lock, [this] { return !hold_; });
        results_ = std::move(found);
    }
    // While held, Search waits before it stores its results.
    void Hold(bool hold) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            hold_ = hold;
        }
        held_.notify_all();
    }
    int Searches() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return searches;
    }

    mutable int getItemCalls = 0, badIndexCalls = 0;
    int clears = 0, searches = 0;
    std::vector<std::string> texts;
    std::vector<int> kinds;

private:
    mutable std::mutex mutex_;
    std::condition_variable held_;
    bool hold_ = false;
    std::vector<TMusicSearchResult> results_;
};

} // namespace tunola::test
