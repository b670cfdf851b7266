// Opening the Components window on a long decomposition: the goal is under a
// second for L = 5 10^4 with 50 components (the first page painted).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "gui/grouping_windows.h"
#include "bench_series.h"

namespace {

void BM_components_open(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "kelvane_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QApplication::instance()) static QApplication app(argc, argv);
    const int L = static_cast<int>(state.range(0));
    const t_ts ts = bench_series(2 * L);
    auto svd = std::make_shared<SVD::t_svd>(ts, L, SVD::svd_options(svd_solver::truncated, 50));
    svd->factor_vectors();
    const auto bench = std::make_shared<const grouping_workbench>(ts, svd, "bench.dat");
    for (auto _ : state) {
        CComponentsView view(bench);
        view.resize(900, 520);
        benchmark::DoNotOptimize(view.grab());
        view.setCurrentIndex(1);
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(BM_components_open)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
