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
    ~group_reconstructor();

    // out must hold N values. An index the decomposition does not hold throws (t_svd::check_component).
    // A long group is split between the two cores.
    void reconstruct(const int* indices, int n, series& out);
    // Called between the transforms of one component: a caller reporting per
    // component repeats its report there, so a long one still reports (and cancels).
    void set_tick(std::function<void()> tick) { m_tick = std::move(tick); }

    // Whether n components of a series of N values are worth building on both
    // cores, one at a time each with single-threaded transforms: a transform on
    // two threads is only 1.15x (10^5 points) to 1.6x (10^6) faster than on
    // one. Not the longest series, where a single-threaded transform (170 ms at
    // 10^7 points) would leave too long between reports.
    static bool splits(int N, int n);

private:
    struct spectra;  // one thread's transforms and buffers

    void by_fft(const int* indices, int n, series& out);
    // Adds the spectra of the diagonal averages of members begin..end-1 to w's sum.
    bool add_members(spectra& w, const int* indices, int begin, int end, int n);
    void tick(int n);

    const SVD::t_svd& m_svd;
    int m_fft_threads;
    std::function<void()> m_tick;
    std::unique_ptr<spectra> m_work;
};
