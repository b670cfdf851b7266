// A repaint of the time-series window, offscreen: the goal is under 50 ms
// for 10^6 points in a window of ordinary size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench_series.h"
#include "gui/qt_dc.h"
#include "draw/ts_paint.h"

namespace {

// Fonts need an application object; the benchmarks never need a display.
void ensure_gui() {
    static int argc = 1;
    static char name[] = "kelvane_bench";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Widgets: the Components benchmark shares the process.
    static QApplication app(argc, argv);
}

void BM_ts_view_repaint(benchmark::State& state) {
    ensure_gui();
    const t_ts ts = bench_series(static_cast<int>(state.range(0)));
    QImage image(1200, 800, QImage::Format_RGB32);
    CDCUtils utils;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        qt_dc dc(painter);
        paint_ts_view(dc, utils, ts, image.width(), image.height());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ts_view_repaint)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// 10^6 points zoomed to the given number of points in view, in the middle of
// the axis: the value range of the visible part, the envelope or the markers.
void BM_ts_view_zoomed_repaint(benchmark::State& state) {
    ensure_gui();
    constexpr int n = 1000000;
    const t_ts ts = bench_series(n);
    const double shown = static_cast<double>(state.range(0));
    QImage image(1200, 800, QImage::Format_RGB32);
    CDCUtils utils;
    utils.set_window(time_window(n, n / 2 - shown / 2, n / 2 + shown / 2));
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        qt_dc dc(painter);
        utils.clear_panels();
        paint_ts_view(dc, utils, ts, image.width(), image.height());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ts_view_zoomed_repaint)->Arg(1000)->Arg(100000)->Arg(500000)->Unit(benchmark::kMillisecond);

}  // namespace
