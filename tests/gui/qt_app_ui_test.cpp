#include "gui/qt_app_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/application.h"
#include "gui/dlg_calculating.h"
#include "gui/main_frame.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "decomp/svd.h"
#include "recording_ui.h"
#include "timeseries/ts.h"

namespace {

TEST(qt_file_filter, converts_the_bar_separated_list) {
    const std::pair<const char*, const char*> rows[] = {
        {"Data Files (*.dat;*.ts;*.cts)|*.dat;*.ts;*.cts|All Files (*.*)|*.*||",
         "Data Files (*.dat *.ts *.cts);;All Files (*)"},
        {"Pictures|*.png;*.svg||", "Pictures (*.png *.svg)"},
    };
    for (const auto& [from, to] : rows) EXPECT_EQ(qt_file_filter(from).toStdString(), to) << from;
}

CDlgCalculating* calculating_window() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CDlgCalculating*>(w); d && d->isVisible()) return d;
    return nullptr;
}

TEST(run_computation, cancel_stops_a_long_decomposition_without_waiting_for_it) {
    recording_qt_ui ui;
    std::vector<double> v(4000);
    for (int i = 0; i < 4000; ++i) v[i] = std::sin(0.05 * i) + 0.001 * (i % 7);
    const t_ts ts(v);
    bool modal_while_running = false;
    // Cancelled once a decomposition has begun, not after a guessed delay.
    std::atomic<bool> started{false};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!started) return;
        poll.stop();
        CDlgCalculating* dlg = calculating_window();
        ASSERT_NE(dlg, nullptr);
        modal_while_running = dlg->isVisible() && dlg->windowModality() == Qt::ApplicationModal;
        dlg->cancel_button()->click();
    });
    poll.start(10);
    // Several in a row, so that the cancel always comes while one is running.
    int built = 0;
    const bool finished = ui.run_computation([&] {
        for (int i = 0; i < 10; ++i) {
            started = true;
            SVD::t_svd svd(ts, 2000);
            ++built;
        }
    });
    EXPECT_FALSE(finished);
    EXPECT_LT(built, 10);
    EXPECT_TRUE(modal_while_running);
    EXPECT_EQ(calculating_window(), nullptr);
    // The abandoned solver call ends on its own and frees its state.
    for (int i = 0; i < 12000 && abandoned_calls() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(abandoned_calls(), 0);
}

TEST(run_computation, a_failure_is_a_box_then_the_next_runs_on_a_worker_telling_the_gui_thread) {
    recording_qt_ui ui;
    memory_store store;
    CWinKelvaneApp app(ui, store);
    CMainFrame frame(app, ui);
    frame.guarded([&] { ui.run_computation([] { throw SSA_math_exception::bad_input("L is out of range"); }); });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "L is out of range");
    EXPECT_EQ(ui.messages[0].icon, notify_icon::error);
    EXPECT_EQ(calculating_window(), nullptr);
    std::thread::id worker;
    EXPECT_TRUE(ui.run_computation([&] {
        worker = std::this_thread::get_id();
        notify("amount greater than L", "Warning", notify_icon::warning);
    }));
    EXPECT_NE(worker, std::this_thread::get_id());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "amount greater than L");
    EXPECT_TRUE(ui.messages[1].on_gui_thread);
}

}  // namespace

// Through app_ui, whose defaults answer Cancel and show nothing.
TEST(qt_app_ui, runs_the_qt_dialog) {
    CQtAppUi ui;
    app_ui& services = ui;
    CDlgGroupDrawStyle style;
    QTimer::singleShot(0, [] {
        QWidget* dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        for (QAbstractButton* b : dlg->findChildren<QAbstractButton*>())
            if (b->text() == "Overlaid") b->click();
        dlg->findChild<QAbstractButton*>("ok")->click();
    });
    EXPECT_TRUE(services.run_dialog(style));
    EXPECT_EQ(style.style, 0);
}
