// The reorthogonalisation's passes over a Lanczos basis: bound by memory
// bandwidth, which one core does not saturate, so each pass is split between
// the calling thread and one helper kept for the whole solve. The helper
// sleeps between passes and leaves both cores to the transforms; the BLAS's
// own threads spin after each call and slowed every transform by a third.
#pragma once

#include <Eigen/Core>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class basis_passes {
public:
    // Projections onto at most `columns` columns.
    explicit basis_passes(int columns);
    ~basis_passes();
    basis_passes(const basis_passes&) = delete;
    basis_passes& operator=(const basis_passes&) = delete;

    // h[0..j) = basis(:, 0..j)^T x.
    void project(const Eigen::MatrixXd& basis, int j, const double* x, double* h);
    // x -= basis(:, first..first+count) h.
    void subtract(const Eigen::MatrixXd& basis, int first, int count, const double* h, double* x);

private:
    // part(r0, r1, half) over rows [0, n): the lower half here (half 0), the
    // upper on the helper (half 1). The halves are fixed, so sums over them
    // come out the same in every run.
    void split(Eigen::Index n, const std::function<void(Eigen::Index, Eigen::Index, int)>& part);
    void serve();

    Eigen::MatrixXd m_halves;  // each half's projection
    std::thread m_helper;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::function<void()> m_job;
    bool m_busy = false, m_stop = false;
};
