// Work over many independent items (columns, components) on both cores.
#pragma once

#include <atomic>
#include <exception>
#include <thread>

#include "hooks.h"

// Runs body(begin, end) over [0, count), split between this thread and
// another when parallel. The body reports progress as usual: on the calling
// thread that reaches the caller's hook; on the other thread it only checks
// whether the caller has stopped (a cancel), so that half ends promptly too.
template <class Body>
void split_in_two(int count, bool parallel, Body body) {
    if (!parallel || count < 2) {
        body(0, count);
        return;
    }
    const int half = count / 2;
    struct stopped {};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    std::thread other([&] {
        // Unthrottled: the flag is checked at every report, so this half stops
        // within one block of the caller's cancel.
        const scoped_progress_hook check(
            [&stop](const char*, long long, long long) {
                if (stop) throw stopped{};
            },
            false);
        try {
            body(half, count);
        } catch (const stopped&) {
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        body(0, half);
    } catch (...) {
        stop = true;
        other.join();
        throw;
    }
    other.join();
    if (failure) std::rethrow_exception(failure);
}
