// Reconstructs groups of eigentriples of one decomposition: in the reference
// way (sum of elementary matrices, then diagonal averaging) while that is
// cheap, by FFT convolutions without any L x K matrix when it is not.
#pragma once

#include <complex>
#include <functional>
#include <memory>
#include <vector>

#include "core/fft.h"
#include "core/matrix.h"
#include "decomp/svd.h"

class group_reconstructor {
public:
    // Its transforms run on at most fft_threads threads: one where reconstructors work side by side.
    explicit group_reconstructor(const SVD::t_svd& svd, int fft_threads = 2);

    // out must hold N values. An index the decomposition does not hold throws (t_svd::check_component).
    void reconstruct(const int* indices, int n, series& out);
    // Called between the transforms of one component: a caller reporting per
    // component repeats its report there, so a long one still reports (and cancels).
    void set_tick(std::function<void()> tick) { m_tick = std::move(tick); }

private:
    void by_fft(const int* indices, int n, series& out);
    void tick();

    const SVD::t_svd& m_svd;
    int m_fft_threads;
    std::function<void()> m_tick;
    std::unique_ptr<fft_convolver> m_fft;
    std::unique_ptr<hankel_operator> m_hankel;
    std::vector<double> m_a, m_b;
    std::vector<std::complex<double>> m_a_hat, m_b_hat, m_sum;
};
