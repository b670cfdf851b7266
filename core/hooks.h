// Installable hooks through which the model reaches the user without knowing
// about any user interface: notifications (message boxes) and progress.
// Hooks belong to the thread that installs them: a worker thread computing a
// document installs its own, and threads without any get the defaults.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

// question only for the questions of app_ui; a notification never asks.
enum class notify_icon { none, information, warning, error, question };

using notify_hook = std::function<void(const std::string& text, const std::string& caption, notify_icon icon)>;

// Installs a hook and returns the previous one; an empty hook restores the
// default, which shows nothing: each program installs its own.
notify_hook set_notify_hook(notify_hook hook);
void notify(const std::string& text, const std::string& caption = "", notify_icon icon = notify_icon::none);

// done/total of the named stage; total 0 means unknown amount of work.
using progress_hook = std::function<void(const char* stage, long long done, long long total)>;

// Installs a hook and returns the previous one; an empty hook means no progress reporting.
// The hook may throw to cancel the computation: the exception leaves the model
// unchanged, so the caller catches its own type. An unthrottled hook is called
// at every report: a cheap check of a stop flag, not a display.
progress_hook set_progress_hook(progress_hook hook, bool throttled = true);
bool progress_hook_throttled();

// Long loops call this often (every long loop at least every 0.2 s); it
// forwards to the hook at most every 50 ms, and always for the first
// (done == 0) and last (done == total) step.
void report_progress(const char* stage, long long done, long long total);

// Calls of run_with_progress abandoned by a cancel and still running.
int abandoned_calls();

namespace detail {
void count_abandoned(int change);
}

// Runs one long call that cannot report progress itself (a LAPACK routine) on
// a worker while this thread keeps the progress hook ticking, so every hook
// call stays on the caller's thread. Returns the call's result.
// work must own everything it reads and writes (capture by value, hand results
// back in the return value): a LAPACK call cannot be interrupted, so when the
// hook throws the caller leaves at once and the detached worker finishes on
// its own, then frees the shared state. Nothing it touches belongs to the caller.
template <class Work>
auto run_with_progress(const char* stage, Work work) {
    using result_type = decltype(work());
    struct shared_state {
        explicit shared_state(Work w) : work(std::move(w)) {}
        Work work;
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        bool abandoned = false;
        std::optional<result_type> result;
        std::exception_ptr failure;
    };
    report_progress(stage, 0, 0);
    auto state = std::make_shared<shared_state>(std::move(work));
    std::thread([state] {
        std::optional<result_type> r;
        std::exception_ptr f;
        try {
            r.emplace(state->work());
        } catch (...) {
            f = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(state->m);
        state->result = std::move(r);
        state->failure = f;
        state->done = true;
        if (state->abandoned) detail::count_abandoned(-1);
        state->cv.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(state->m);
    for (long long tick = 0; !state->cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return state->done; });) {
        lock.unlock();
        try {
            report_progress(stage, ++tick, 0);
        } catch (...) {
            lock.lock();
            if (!state->done) {
                state->abandoned = true;
                detail::count_abandoned(1);
            }
            throw;
        }
        lock.lock();
    }
    if (state->failure) std::rethrow_exception(state->failure);
    return std::move(*state->result);
}

// Installs a hook for the lifetime of the guard and restores the previous one.
class scoped_notify_hook {
public:
    explicit scoped_notify_hook(notify_hook hook) : m_prev(set_notify_hook(std::move(hook))) {}
    ~scoped_notify_hook() { set_notify_hook(std::move(m_prev)); }
    scoped_notify_hook(const scoped_notify_hook&) = delete;
    scoped_notify_hook& operator=(const scoped_notify_hook&) = delete;

private:
    notify_hook m_prev;
};

class scoped_progress_hook {
public:
    explicit scoped_progress_hook(progress_hook hook, bool throttled = true)
        : m_prev_throttled(progress_hook_throttled()), m_prev(set_progress_hook(std::move(hook), throttled)) {}
    ~scoped_progress_hook() { set_progress_hook(std::move(m_prev), m_prev_throttled); }
    scoped_progress_hook(const scoped_progress_hook&) = delete;
    scoped_progress_hook& operator=(const scoped_progress_hook&) = delete;

private:
    bool m_prev_throttled;
    progress_hook m_prev;
};
