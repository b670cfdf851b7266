#include "two_halves.h"

two_halves::two_halves(long long min_split) : m_min_split(min_split) {
    if (std::thread::hardware_concurrency() >= 2) m_helper = std::thread([this] { serve(); });
}

two_halves::~two_halves() {
    if (!m_helper.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_helper.join();
}

void two_halves::run(long long n, const std::function<void(long long, long long, int)>& part) {
    if (!m_helper.joinable() || n < m_min_split) {
        part(0, n, 0);
        return;
    }
    const long long mid = n / 2;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_job = [&part, mid, n] { part(mid, n, 1); };
        m_busy = true;
    }
    m_wake.notify_one();
    part(0, mid, 0);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return !m_busy; });
}

void two_halves::serve() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_busy || m_stop; });
        if (m_stop) return;
        lock.unlock();
        m_job();
        lock.lock();
        m_busy = false;
        m_done.notify_one();
    }
}
