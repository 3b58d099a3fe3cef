// The pool behind the tag readers and the stream downloads: jobs in a row share a thread, jobs
// at once each get one, an idle thread ends after its wait, and a job handed over just as a
// thread gives up waiting is never lost.
#include "LingeringThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace tunola;
using namespace std::chrono_literals;

namespace {

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds bound = 5000ms) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST(LingeringThreads, JobsInARowShareAThreadThatEndsWhenIdle) {
    TLingeringThreads pool("test-pool", 256 * 1024, 300);
    std::atomic<int> done{0};
    std::vector<std::thread::id> ranOn(20);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(pool.Run([&, i] {
            ranOn[i] = std::this_thread::get_id();
            ++done;
        }));
        ASSERT_TRUE(WaitFor([&] { return done == i + 1; }));
    }
    EXPECT_EQ(pool.Started(), 1u);
    for (const std::thread::id& id : ranOn)
        EXPECT_EQ(id, ranOn.front());
    EXPECT_TRUE(WaitFor([&] { return pool.Threads() == 0; })) << "the idle thread ends";

    // Once it has ended, the next job starts a thread again.
    ASSERT_TRUE(pool.Run([&] { ++done; }));
    EXPECT_TRUE(WaitFor([&] { return done == 21; }));
    EXPECT_EQ(pool.Started(), 2u);
}

TEST(LingeringThreads, JobsAtOnceEachHaveAThread) {
    // Every job waits until all have begun: that ends only if each got a thread of its own.
    TLingeringThreads pool("test-pool", 0, 5000);
    constexpr int kJobs = 6;
    std::mutex mutex;
    std::condition_variable allBegun;
    int begun = 0;
    std::atomic<int> done{0};
    for (int i = 0; i < kJobs; ++i)
        ASSERT_TRUE(pool.Run([&] {
            std::unique_lock lock(mutex);
            ++begun;
            allBegun.notify_all();
            if (allBegun.wait_for(lock, 5s, [&] { return begun == kJobs; }))
                ++done;
        }));
    EXPECT_TRUE(WaitFor([&] { return done == kJobs; }));
    EXPECT_EQ(pool.Started(), static_cast<size_t>(kJobs));
}

TEST(LingeringThreads, NoJobIsLostWhileThreadsGiveUpWaiting) {
    // A wait of 1 ms: threads end all the time, just as jobs are handed to them, from several
    // threads at once.
    TLingeringThreads pool("test-pool", 256 * 1024, 1);
    constexpr int kCallers = 4;
    constexpr int kJobsEach = 500;
    std::atomic<int> done{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < kCallers; ++c)
        callers.emplace_back([&, c] {
            for (int i = 0; i < kJobsEach; ++i) {
                ASSERT_TRUE(pool.Run([&] { ++done; }));
                if ((i + c) % 7 == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(900 + 50 * c));
            }
        });
    for (std::thread& caller : callers)
        caller.join();
    EXPECT_TRUE(WaitFor([&] { return done == kCallers * kJobsEach; }))
        << done << " of " << kCallers * kJobsEach;
    EXPECT_TRUE(WaitFor([&] { return pool.Threads() == 0; }));
}

TEST(LingeringThreads, AJobOutlivesItsPool) {
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    {
        TLingeringThreads pool("test-pool", 0, 60000);
        ASSERT_TRUE(pool.Run([&] {
            WaitFor([&] { return release.load(); });
            finished = true;
        }));
        ASSERT_TRUE(pool.Run([] {})); // a second thread, idle by the time the pool goes
    }
    // The pool is gone; the running job still ends normally.
    release = true;
    EXPECT_TRUE(WaitFor([&] { return finished.load(); }));
}
