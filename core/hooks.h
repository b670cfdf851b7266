// Installable hooks through which the model reaches the user without knowing
// about any user interface: notifications (message boxes) and progress.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <string>

enum class notify_icon { none, information, warning, error };

using notify_hook = std::function<void(const std::string& text, const std::string& caption, notify_icon icon)>;

// Installs a hook and returns the previous one; an empty hook restores the
// default, which writes the text to standard error.
notify_hook set_notify_hook(notify_hook hook);
void notify(const std::string& text, const std::string& caption = "", notify_icon icon = notify_icon::none);

// done/total of the named stage; total 0 means unknown amount of work.
using progress_hook = std::function<void(const char* stage, long long done, long long total)>;

// Installs a hook and returns the previous one; an empty hook means no progress reporting.
progress_hook set_progress_hook(progress_hook hook);

// Long loops call this often; it forwards to the hook at most every 50 ms,
// and always for the first (done == 0) and last (done == total) step.
void report_progress(const char* stage, long long done, long long total);

// Runs one long call that cannot report progress itself (a LAPACK routine) on
// a worker while this thread keeps the progress hook ticking, so every hook
// call stays on the caller's thread. Returns the call's result.
template <class Work>
auto run_with_progress(const char* stage, Work work) {
    report_progress(stage, 0, 0);
    auto result = std::async(std::launch::async, std::move(work));
    for (long long tick = 0; result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready;)
        report_progress(stage, ++tick, 0);
    return result.get();
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
    explicit scoped_progress_hook(progress_hook hook) : m_prev(set_progress_hook(std::move(hook))) {}
    ~scoped_progress_hook() { set_progress_hook(std::move(m_prev)); }
    scoped_progress_hook(const scoped_progress_hook&) = delete;
    scoped_progress_hook& operator=(const scoped_progress_hook&) = delete;

private:
    progress_hook m_prev;
};
