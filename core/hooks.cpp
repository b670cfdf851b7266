#include "hooks.h"

#include <chrono>
#include <iostream>

namespace {

notify_hook& current_notify() {
    static notify_hook hook;
    return hook;
}

progress_hook& current_progress() {
    static progress_hook hook;
    return hook;
}

using clock_type = std::chrono::steady_clock;
clock_type::time_point last_progress;

}  // namespace

notify_hook set_notify_hook(notify_hook hook) {
    notify_hook prev = std::move(current_notify());
    current_notify() = std::move(hook);
    return prev;
}

void notify(const std::string& text, const std::string& caption, notify_icon icon) {
    if (current_notify()) {
        current_notify()(text, caption, icon);
        return;
    }
    if (!caption.empty()) std::cerr << caption << ": ";
    std::cerr << text << std::endl;
}

progress_hook set_progress_hook(progress_hook hook) {
    progress_hook prev = std::move(current_progress());
    current_progress() = std::move(hook);
    return prev;
}

void report_progress(const char* stage, long long done, long long total) {
    const progress_hook& hook = current_progress();
    if (!hook) return;
    auto now = clock_type::now();
    bool edge = done == 0 || (total > 0 && done >= total);
    if (!edge && now - last_progress < std::chrono::milliseconds(50)) return;
    last_progress = now;
    hook(stage, done, total);
}
