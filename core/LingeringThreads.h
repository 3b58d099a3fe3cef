#pragma once
// TLingeringThreads: runs short-lived jobs (a tag reader's files, a stream's download) on
// threads that, once idle, wait a little for the next job before they end. Work that comes in
// bursts (a file added every few seconds, a list of dead addresses tried one after another)
// then reuses a few threads instead of starting one per job: each thread ever started costs a
// record in the sanitizers' thread registries, kept for the life of the process, and a thread's
// start and end cost the system more than a wait on a condition.
//
// Threads: the pool's threads run the jobs; they share with the callers only the job queue
// and the counts in TState (one mutex). A job runs on whichever thread takes it, in no order
// with jobs handed over at the same time. The pool's state outlives the pool object: a job
// still running when the pool goes (at exit) ends on its own, and idle threads end at once.
// Any thread may call Run.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace tunola {

class TLingeringThreads {
public:
    // `name` is each thread's name (at most 15 bytes show); `stackBytes` 0 for the system's
    // default; an idle thread ends after `lingerMs` without a job.
    TLingeringThreads(std::string name, size_t stackBytes, int lingerMs);
    // Idle threads end now; those with jobs end once the jobs queued so far have run.
    ~TLingeringThreads();
    TLingeringThreads(const TLingeringThreads&) = delete;
    TLingeringThreads& operator=(const TLingeringThreads&) = delete;

    // Runs `job` on an idle thread, or on a new one when none is idle. False when no thread
    // can be had (the job is then dropped and never runs).
    bool Run(std::function<void()> job);

    // Threads alive now, idle or not (tests).
    size_t Threads() const;
    // Threads started since the pool was made (tests).
    size_t Started() const;

private:
    struct TState;
    std::shared_ptr<TState> state_;
};

} // namespace tunola
