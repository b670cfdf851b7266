#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <utility>

#include "bench_series.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"
#include "invest/trend_invest.h"

namespace {

// The reconstructed components of every eigentriple in use, built once per
// (N, L): building them takes far longer than the tests.
const matrix& components_table(int N, int L) {
    static std::map<std::pair<int, int>, std::unique_ptr<t_reconstructed_tss>> built;
    auto& r = built[{N, L}];
    if (!r) {
        const SVD::t_svd svd(bench_series(N), L);
        r = std::make_unique<t_reconstructed_tss>(&svd, svd.count());
    }
    return r->table();
}

template <typename Test>
void over_all_columns(benchmark::State& state, Test test) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const matrix& table = components_table(N, L);
    std::vector<int> found(static_cast<size_t>(table.cols()));
    for (auto _ : state) {
        int count = 0;
        test(table, count, found.data());
        benchmark::DoNotOptimize(count);
    }
    state.counters["columns"] = table.cols();
    state.counters["rows"] = table.rows();
}

void BM_TrendKendall(benchmark::State& state) {
    over_all_columns(state, [](const matrix& m, int& count, int* found) {
        m.trend_Kendall(count, m.cols(), found, 0.05, nullptr);
    });
}

void BM_TrendRoots(benchmark::State& state) {
    over_all_columns(state, [](const matrix& m, int& count, int* found) {
        m.trend_Roots(count, m.cols(), found, m.rows() / 20, 0.0001, nullptr);
    });
}

void BM_TrendLowFreq(benchmark::State& state) {
    over_all_columns(state, [](const matrix& m, int& count, int* found) {
        m.trend_LowFreq(count, m.cols(), found, 0.07, 0.9, nullptr);
    });
}

// The direct relations of every column, as the summation takes them: the
// cost of LowFreq before its FFT screening.
void BM_LowFreqDirectRelations(benchmark::State& state) {
    over_all_columns(state, [](const matrix& m, int& count, int*) {
        count = static_cast<int>(m.lowfreq_relation_columns(0.07, m.cols()).size());
    });
}

// The identification of a trend investigation on reconstructed components
// (method 0 Kendall, 1 Roots, 2 LowFreq), log included.
void BM_TrendInvestigation(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const int N = static_cast<int>(state.range(1));
    const int L = static_cast<int>(state.range(2));
    static std::map<std::pair<int, int>, std::unique_ptr<t_trend_invest>> prepared;
    auto& inv = prepared[{N, L}];
    if (!inv) {
        const t_ts ts = bench_series(N);
        inv = std::make_unique<t_trend_invest>(ts);
        inv->set_svd(SVD::t_svd(ts, L));
        inv->set_treatedvectors(vk_reconstructed);
        inv->set_amount(inv->get_svd()->count());
        inv->make_reconstructed();
    }
    inv->set_method(method);
    inv->set_alpha(0.05);
    inv->set_maxroots(N / 20);
    inv->set_omega(0.07);
    inv->set_C(0.9);
    for (auto _ : state) {
        inv->get_components().clear();
        inv->identificate();
        benchmark::DoNotOptimize(inv->get_components().data());
    }
    state.counters["components"] = inv->get_amount();
}

}  // namespace

BENCHMARK(BM_TrendKendall)->Args({2000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrendRoots)->Args({2000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrendLowFreq)->Args({2000, 1000})->Unit(benchmark::kMillisecond)->Iterations(2);
// Long reconstructed components: the FFT screening against the direct sums.
BENCHMARK(BM_TrendLowFreq)->Args({80000, 20})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LowFreqDirectRelations)->Args({80000, 20})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TrendInvestigation)
    ->ArgNames({"method", "N", "L"})
    ->Args({0, 4000, 2000})
    ->Args({1, 4000, 2000})
    ->Args({2, 4000, 2000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
