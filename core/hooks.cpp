#include "hooks.h"

#include <chrono>

namespace {

// Per thread: each document computes on its own worker with its own hooks.
thread_local notify_hook current_notify;
thread_local progress_hook current_progress;
thread_local bool progress_throttled = true;

using clock_type = std::chrono::steady_clock;
thread_local clock_type::time_point last_progress;

std::atomic<int> abandoned{0};

}  // namespace

notify_hook set_notify_hook(notify_hook hook) {
    notify_hook prev = std::move(current_notify);
    current_notify = std::move(hook);
    return prev;
}

void notify(const std::string& text, const std::string& caption, notify_icon icon) {
    if (current_notify) current_notify(text, caption, icon);
}

progress_hook set_progress_hook(progress_hook hook, bool throttled) {
    progress_hook prev = std::move(current_progress);
    current_progress = std::move(hook);
    progress_throttled = throttled;
    // A hook just set hears the first report, whatever the previous one heard last.
    last_progress = clock_type::time_point();
    return prev;
}

bool progress_hook_throttled() { return progress_throttled; }

void report_progress(const char* stage, long long done, long long total) {
    const progress_hook& hook = current_progress;
    if (!hook) return;
    auto now = clock_type::now();
    bool edge = done == 0 || (total > 0 && done >= total);
    if (progress_throttled && !edge && now - last_progress < std::chrono::milliseconds(50)) return;
    last_progress = now;
    hook(stage, done, total);
}

int abandoned_calls() { return abandoned.load(); }

namespace detail {
void count_abandoned(int change) { abandoned += change; }
}  // namespace detail
