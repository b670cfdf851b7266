#include <benchmark/benchmark.h>

#include <sstream>

#include "bench_series.h"
#include "core/diagnostics.h"
#include "invest/forecast.h"

namespace {

// A whole forecast of 100 points: decomposition, the trend and period parts
// over every component, the signal, the formula and the continuation.
void BM_Forecast(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    std::ostringstream sink;
    scoped_diagnostic_stream to(sink);
    size_t components = 0;
    for (auto _ : state) {
        t_RSSA_signal_forecast f(ts);
        f.set_window(L);
        f.set_points(100);
        f.make_forecast();
        components = f.get_signal_invest()->get_signal_components().size();
        benchmark::DoNotOptimize(f.get_forecast_ts().values().data());
    }
    state.counters["signal_components"] = static_cast<double>(components);
}

// The bootstrap intervals of co2's forecast at the default window (234),
// 200 replicates: each replicate a decomposition, reconstruction and forecast.
void BM_ForecastIntervals(benchmark::State& state) {
    t_ts co2;
    co2.load(KELVANE_DATA "/co2.dat");
    std::ostringstream sink;
    scoped_diagnostic_stream to(sink);
    t_RSSA_signal_forecast f(co2);
    f.set_window((co2.size() + 1) / 2);
    f.set_points(24);
    f.make_forecast();
    for (auto _ : state) {
        f.make_intervals(0.95, 200);
        benchmark::DoNotOptimize(f.get_lower().data());
    }
    state.counters["signal_components"] = static_cast<double>(f.get_signal_invest()->get_signal_components().size());
}

}  // namespace

BENCHMARK(BM_ForecastIntervals)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Forecast)->Args({2000, 1000})->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Forecast)->Args({4000, 2000})->Iterations(1)->Unit(benchmark::kMillisecond);
