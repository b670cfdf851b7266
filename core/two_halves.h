// Runs a memory-bound pass over [0, n) as two halves: the lower on the
// calling thread, the upper on a helper that sleeps between passes (unlike
// the BLAS's threads, which spin after each call and take a core from
// whatever follows). The halves are fixed, so sums over them come out the
// same in every run.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class two_halves {
public:
    // Passes shorter than min_split run on the calling thread alone: the
    // hand-over would cost more than half of them.
    explicit two_halves(long long min_split);
    ~two_halves();
    two_halves(const two_halves&) = delete;
    two_halves& operator=(const two_halves&) = delete;

    // part(lo, hi, half): half 0 is [0, n/2) here, half 1 is [n/2, n) on the
    // helper (or everything as half 0). Returns when both are done.
    void run(long long n, const std::function<void(long long, long long, int)>& part);

private:
    void serve();

    long long m_min_split;
    std::thread m_helper;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::function<void()> m_job;
    bool m_busy = false, m_stop = false;
};
