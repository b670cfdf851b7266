// Reading a text data file of 10^6 values, in MB/s.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_series.h"
#include "timeseries/ts.h"

static void BM_ReadTextFile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kelvane-read-bench-" + std::to_string(n) + ".dat")).string();
    save_cts(path, bench_series(n));
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        t_ts ts;
        ts.load(path);
        benchmark::DoNotOptimize(ts.size());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadTextFile)->Arg(1000000)->Unit(benchmark::kMillisecond);
