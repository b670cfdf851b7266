#include "basis_passes.h"

// Each half runs Eigen's own kernels on its thread: as fast as a
// single-threaded BLAS on these shapes.
#include <Eigen/Dense>

namespace {

// Below this many rows the hand-over costs more than half a pass.
constexpr Eigen::Index min_split_rows = 1 << 14;

}  // namespace

basis_passes::basis_passes(int columns) : m_halves(Eigen::MatrixXd::Zero(columns, 2)) {
    if (std::thread::hardware_concurrency() >= 2) m_helper = std::thread([this] { serve(); });
}

basis_passes::~basis_passes() {
    if (!m_helper.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_helper.join();
}

void basis_passes::project(const Eigen::MatrixXd& basis, int j, const double* x, double* h) {
    m_halves.topRows(j).setZero();
    split(basis.rows(), [&](Eigen::Index r0, Eigen::Index r1, int half) {
        const Eigen::Map<const Eigen::VectorXd> xs(x + r0, r1 - r0);
        m_halves.col(half).head(j).noalias() = basis.block(r0, 0, r1 - r0, j).transpose() * xs;
    });
    Eigen::Map<Eigen::VectorXd>(h, j) = m_halves.col(0).head(j) + m_halves.col(1).head(j);
}

void basis_passes::subtract(const Eigen::MatrixXd& basis, int first, int count, const double* h, double* x) {
    split(basis.rows(), [&](Eigen::Index r0, Eigen::Index r1, int) {
        Eigen::Map<Eigen::VectorXd> xs(x + r0, r1 - r0);
        const auto col = [&](int c) { return basis.col(first + c).segment(r0, r1 - r0); };
        // Four columns per sweep: one pass over x for four of the basis.
        int c = 0;
        for (; c + 4 <= count; c += 4)
            xs -= h[c] * col(c) + h[c + 1] * col(c + 1) + h[c + 2] * col(c + 2) + h[c + 3] * col(c + 3);
        for (; c < count; ++c) xs -= h[c] * col(c);
    });
}

void basis_passes::split(Eigen::Index n, const std::function<void(Eigen::Index, Eigen::Index, int)>& part) {
    if (!m_helper.joinable() || n < min_split_rows) {
        part(0, n, 0);
        return;
    }
    const Eigen::Index mid = n / 2;
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

void basis_passes::serve() {
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
