#include <benchmark/benchmark.h>

#include <memory>

#include "app/summation_doc.h"
#include "bench_series.h"

namespace {

// A summation document on the reconstructed components of every eigentriple
// in use, built once: the decomposition and the reconstruction are not timed.
CSummationInvestDoc& prepared(int N, int L) {
    static std::unique_ptr<CSummationInvestDoc> doc;
    static int made_N = 0, made_L = 0;
    if (!doc || made_N != N || made_L != L) {
        const t_ts ts = bench_series(N);
        doc = std::make_unique<CSummationInvestDoc>(ts);
        t_summation_invest& inv = doc->get_investigation();
        inv.set_treatedvectors(vk_reconstructed);
        inv.set_svd(SVD::t_svd(ts, L));
        inv.set_amount(inv.get_svd()->count());
        inv.make_reconstructed();
        made_N = N;
        made_L = L;
    }
    return *doc;
}

// The tables of the summation over every component.
void BM_SummationTables(benchmark::State& state) {
    CSummationInvestDoc& doc = prepared(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        doc.compute_tables();
        benchmark::DoNotOptimize(doc.get_results().data());
    }
    state.counters["components"] = doc.components();
    // Each pair that passes Fourier needs its rho.
    int passed = 0;
    for (const t_component_results& r : doc.get_results()) passed += r.pair_entries[0].fourier_significant;
    state.counters["fourier_passed"] = passed;
}

// Its parts, each over every component: 0 Kendall, 1 Zeros, 2 LowFreq,
// 3 periodogram peaks (Fourier), 4 rho of the neighbouring pairs (VYG).
void BM_SummationPart(benchmark::State& state) {
    CSummationInvestDoc& doc = prepared(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    const matrix& V = *doc.get_investigation().tested_vectors();
    const int n = doc.components();
    std::vector<Pair::t_pair<int>> pairs;
    for (int k = 1; k < n; ++k) pairs.emplace_back(k, k - 1);
    for (auto _ : state) {
        double sink = 0;
        switch (state.range(0)) {
        case 0:
            for (int k = 0; k < n; ++k) sink += V.kendall_plevel(k);
            break;
        case 1:
            for (int k = 0; k < n; ++k) sink += V.roots_amount(0.0001, k);
            break;
        case 2:
            sink += V.lowfreq_relation_columns(0.075, n).back();
            break;
        case 3:
            sink += V.periodogram_max_columns(n).back().fmax;
            break;
        case 4:
            sink += V.pairs_rhomax(pairs, true).back();
            break;
        }
        benchmark::DoNotOptimize(sink);
    }
}

}  // namespace

BENCHMARK(BM_SummationTables)->Args({4000, 2000})->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_SummationPart)
    ->ArgNames({"part", "N", "L"})
    ->Args({0, 4000, 2000})
    ->Args({1, 4000, 2000})
    ->Args({2, 4000, 2000})
    ->Args({3, 4000, 2000})
    ->Args({4, 4000, 2000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
