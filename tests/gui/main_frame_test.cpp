#include "gui/main_frame.h"

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <fstream>
#include <memory>

#include <QTableWidget>

#include "../app/app_series.h"
#include "app/application.h"
#include "app/summ_interact_doc.h"
#include "app/ts_doc.h"
#include "decomp/reconstructed.h"
#include "gui/comp_info_view.h"
#include "gui/dlg_file_log.h"
#include "gui/grouping_windows.h"
#include "gui/plot_view.h"
#include "gui/recent_files.h"
#include "gui/summation_views.h"
#include "paint_probe.h"
#include "recording_ui.h"

namespace {

class main_frame_test : public ::testing::Test {
protected:
    main_frame_test() : app(ui, store), frame(app, ui) {
        ui.set_parent(&frame);
        ui.set_window_opener([this](document& d) { frame.open_window(d); });
        for (int k = 0; k < doc_kind_count; ++k)
            frame.register_view(static_cast<doc_kind>(k), [](document& d, QWidget* parent) {
                return new QLabel(QString::fromStdString(d.title()), parent);
            });
        frame.show();
    }
    document& open(doc_kind kind, const std::string& title) {
        document& d = app.adopt(std::make_unique<document>(kind));
        d.set_title(title);
        frame.open_window(d);
        return d;
    }
    void open_series_with_real_views() {  // maximised
        frame.register_views();
        frame.register_view(doc_kind::time_series, [](document&, QWidget* parent) { return new QLabel(parent); });
        open(doc_kind::time_series, "TS: a.dat");
    }
    // A summation of the mixed series and its interactive table, the table active.
    std::pair<CSummationInvestDoc&, CSummInteractDoc&> open_summation() {
        auto& summation = static_cast<CSummationInvestDoc&>(app.adopt(run_summation(trend_sine_alternating())));
        summation.name = "/data/mix.dat";
        auto made = std::make_unique<CSummInteractDoc>();
        made->init(&summation);
        auto& interact = static_cast<CSummInteractDoc&>(app.adopt(std::move(made)));
        frame.open_window(summation);
        frame.open_window(interact);
        return {summation, interact};
    }
    QMdiArea& mdi() { return *frame.mdi_area(); }
    int windows() { return static_cast<int>(mdi().subWindowList().size()); }
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    recording_qt_ui ui;
    memory_store store;
    CWinKelvaneApp app;
    CMainFrame frame;
};

QString keys(const QAction* a) {
    QStringList out;
    for (const QKeySequence& k : a->shortcuts()) out << k.toString(QKeySequence::PortableText);
    return out.join(", ");
}

TEST_F(main_frame_test, commands_have_their_shortcuts_and_tips) {
    // tip: the status tip is the tool tip the toolbar case pins.
    const struct { command c; const char* keys; bool tip; } rows[] = {
        {command::edit_cut, "Ctrl+X, Shift+Del", false}, {command::close_comp_info, "Esc", false},
        {command::close_all, "", true}, {command::run_investigation, "Ctrl+R", true},
        {command::smooth, "Ctrl+-, Ctrl+Num+-", true}, {command::unsmooth, "Ctrl++, Ctrl+=, Ctrl+Num++", true},
    };
    for (const auto& r : rows) {
        const QAction* a = frame.action(r.c);
        ASSERT_NE(a, nullptr) << static_cast<int>(r.c);
        EXPECT_EQ(keys(a), r.keys) << a->text().toStdString();
        EXPECT_TRUE(!r.tip || a->statusTip() == a->toolTip()) << a->statusTip().toStdString();
    }
}

TEST_F(main_frame_test, menus_and_toolbar_in_their_order) {
    auto texts = [](const QList<QAction*>& actions) {
        QStringList out;
        for (const QAction* a : actions) out << (a->isSeparator() ? "|" : a->text());
        return out.join(" ");
    };
    const QList<QAction*> top = frame.menuBar()->actions();
    EXPECT_EQ(texts(top), "&File &View &Window &Help");
    emit top[0]->menu()->aboutToShow();
    EXPECT_EQ(texts(top[0]->menu()->actions()),
              "&New &Open... &Close &Save Save &As... Save &image... | &Print... Print Pre&view P&rint Setup... | "
              "Save &grouping... Open g&rouping... | Recent File | E&xit");
    EXPECT_EQ(texts(top[1]->menu()->actions()),
              "&Toolbar &Status Bar | Smooth Un-smooth | &Legend Lin&k time axes Reset zoom | "
              "&Components &W-correlation map &Groups");
    EXPECT_EQ(texts(top[2]->menu()->actions()), "&Cascade &Tile Clo&se all");
    EXPECT_EQ(texts(top[3]->menu()->actions()), "&About Kelvane...");
    const QToolBar* bar = frame.findChild<QToolBar*>("toolbar");
    ASSERT_NE(bar, nullptr);
    for (QAction* a : bar->actions())
        EXPECT_TRUE(a->isSeparator() || !a->icon().isNull()) << a->toolTip().toStdString();
    // Nothing prints or edits a selection.
    for (command c : {command::file_print, command::edit_cut, command::edit_paste})
        EXPECT_FALSE(frame.action(c)->isEnabled()) << frame.action(c)->text().toStdString();
}

TEST_F(main_frame_test, enabled_states_follow_the_active_window) {
    std::vector<QMdiSubWindow*> opened;
    for (int k = 0; k < doc_kind_count; ++k) {
        open(static_cast<doc_kind>(k), "doc");
        opened.push_back(mdi().subWindowList().back());
    }
    // Every pair of kinds in turn, so each row is seen after every other one.
    view_command_states expected = frame.command_states();
    for (std::size_t i = 0; i < opened.size() * opened.size() * 2; ++i) {
        const std::size_t k = i % 2 ? i / 2 % opened.size() : i / 2 / opened.size();
        mdi().setActiveSubWindow(opened[k]);
        expected = states_after_activation(static_cast<doc_kind>(k), expected);
        for (int c = 0; c <= static_cast<int>(command::about); ++c) {
            const command cmd = static_cast<command>(c);
            if (follows_active_view(cmd)) {
                EXPECT_EQ(frame.action(cmd)->isEnabled(), enabled_in(cmd, expected)) << "kind " << k << " command " << c;
            }
        }
    }
    // File Save only where it writes something: not on the SVD window or the tables.
    using K = doc_kind;
    for (const auto& [kind, on] : {std::pair(K::forecast, true), std::pair(K::svd_display, false),
                                   std::pair(K::summ_interact, false), std::pair(K::comp_info, false)}) {
        mdi().setActiveSubWindow(opened[static_cast<std::size_t>(kind)]);
        EXPECT_EQ(frame.action(command::file_save)->isEnabled(), on) << static_cast<int>(kind);
        EXPECT_EQ(frame.action(command::file_save_as)->isEnabled(), on) << static_cast<int>(kind);
    }
}

TEST_F(main_frame_test, only_plots_can_be_saved_as_images) {
    frame.register_view(doc_kind::ts_group, [](document&, QWidget* parent) { return new QLabel(parent); }, true);
    QAction* save_image = frame.action(command::file_save_image);
    open(doc_kind::ts_group, "group");
    EXPECT_TRUE(save_image->isEnabled());
    open(doc_kind::comp_info, "table");
    EXPECT_FALSE(save_image->isEnabled());
}

TEST_F(main_frame_test, the_wcorrelation_window_is_a_picture_without_a_document) {
    const SVD::t_svd svd(trend_sine_alternating(120), 30);
    const t_reconstructed_tss rec(&svd, 4);
    frame.show_wcorrelation(rec, 30, 4, "/data/co2.dat");
    ASSERT_EQ(windows(), 1);
    EXPECT_EQ(frame.windowTitle(), "Kelvane - W-correlations [co2.dat, L = 30]");
    EXPECT_EQ(frame.active_document(), nullptr);
    // More components than reconstructed: the refusal is a box and no window.
    frame.show_wcorrelation(rec, 30, 5, "/data/co2.dat");
    EXPECT_EQ(windows(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("w-correlations of 5 components out of 4"), std::string::npos);
}

TEST_F(main_frame_test, windows_follow_their_documents_and_close_with_them) {
    document &a = open(doc_kind::ts_group, "TS: a.dat"), &b = open(doc_kind::ts_group, "TS: b.dat");
    EXPECT_EQ(frame.windowTitle(), "Kelvane - TS: b.dat");
    b.set_title("TS: renamed.dat");
    EXPECT_EQ(frame.windowTitle(), "Kelvane - TS: renamed.dat");
    EXPECT_EQ(mdi().currentSubWindow()->windowTitle(), "TS: renamed.dat");
    // The Window menu lists the open windows, the active one checked; picking one activates it.
    QMenu* window_menu = frame.menuBar()->actions()[2]->menu();
    emit window_menu->aboutToShow();
    QStringList listed;
    QList<QAction*> entries;
    for (QAction* act : window_menu->actions())
        if (act->isCheckable()) entries << act;
    for (QAction* act : entries) listed << act->text() + (act->isChecked() ? "*" : "");
    ASSERT_EQ(listed.join(";"), "&1 TS: a.dat;&2 TS: renamed.dat*");
    entries[0]->trigger();
    EXPECT_EQ(frame.windowTitle(), "Kelvane - TS: a.dat");
    app.close_document(a);  // its window goes
    flush();
    EXPECT_EQ(windows(), 1);
    mdi().subWindowList().front()->close();  // its document goes
    flush();
    EXPECT_EQ(windows(), 0);
    EXPECT_TRUE(app.documents().empty());
    EXPECT_EQ(frame.windowTitle(), "Kelvane");
}

TEST_F(main_frame_test, kind_without_a_view_is_refused) {
    CMainFrame bare(app, ui);
    document& d = app.adopt(std::make_unique<document>(doc_kind::comp_info));
    bare.open_window(d);
    EXPECT_TRUE(bare.mdi_area()->subWindowList().empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "This program cannot show this kind of document yet.");
}

TEST_F(main_frame_test, a_dropped_file_opens_like_file_open) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(KELVANE_DATA "/co2.dat")});
    // The drop goes to the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame, &drop);
    EXPECT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(windows(), 1);
    EXPECT_EQ(app.recent_files(), std::vector<std::string>{KELVANE_DATA "/co2.dat"});
}

TEST_F(main_frame_test, summation_tables_open_component_information_and_esc_closes_it) {
    open_series_with_real_views();
    CSummationInvestDoc& summation = open_summation().first;
    ASSERT_EQ(windows(), 3);
    QMdiSubWindow* table_window = mdi().currentSubWindow();
    auto* table = qobject_cast<CSummInteractView*>(table_window->widget());
    ASSERT_NE(table, nullptr);
    const auto maximised = [this] {
        std::vector<bool> states;
        for (QMdiSubWindow* w : mdi().subWindowList()) states.push_back(w->isMaximized());
        return states;
    };
    const std::vector<bool> before = maximised();
    // Return on a push cell opens the component's information, as a click does.
    table->setCurrentIndex(table->model()->index(1, CSummInteractDoc::col_info));
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_EQ(windows(), 4);
    ASSERT_NE(qobject_cast<CCompInfoView*>(mdi().currentSubWindow()->widget()), nullptr);
    EXPECT_EQ(mdi().currentSubWindow()->windowTitle(), "Component 2 info");
    // Esc goes back to the table and leaves every window maximised or not as it was.
    frame.action(command::close_comp_info)->trigger();
    flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(app.documents().size(), 3u);
    EXPECT_EQ(mdi().currentSubWindow(), table_window);
    EXPECT_EQ(maximised(), before);
    EXPECT_TRUE(before.back()) << "the table opened maximised over the maximised series";
    frame.action(command::close_comp_info)->trigger();  // not on a table: nothing closes
    EXPECT_EQ(windows(), 3);
    app.close_document(summation);
    flush();
    ASSERT_EQ(windows(), 2);
    EXPECT_EQ(table->model()->rowCount(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(main_frame_test, log_window_shows_the_file_at_the_last_refresh_up_to_a_line_over_249_characters) {
    CDlgFileLog* log = frame.log_window();
    QTemporaryDir dir;
    const std::string path = dir.filePath("filelog0.log").toStdString();
    std::ofstream(path) << "*** Trend identification\n";
    frame.show_log(path);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->text(), "*** Trend identification\n");
    const std::string fits(249, 'a'), too_long(250, 'b');
    const std::pair<std::string, std::string> rows[] = {
        {"first\n" + fits + "\nlast\n", "first\n" + fits + "\nlast\n"}, {"first\n" + too_long + "\nlast\n", "first\n"},
        {"no end of line", "no end of line\n"}};
    for (const auto& [content, shown] : rows) {
        std::ofstream(path) << content;
        log->refresh();
        EXPECT_EQ(log->text().toStdString(), shown) << content.substr(0, 20);
    }
    std::ofstream out(path);
    out << "* Component #1\n" << std::flush;
    log->refresh();
    out << "* Component #2\n" << std::flush;
    EXPECT_EQ(log->text(), "* Component #1\n");
    log->refresh();
    EXPECT_EQ(log->text(), "* Component #1\n* Component #2\n");
    log->set_file_name(dir.filePath("missing.log").toStdString());
    log->refresh();
    EXPECT_EQ(log->text(), "Error in opening file log");
    log->findChild<QPushButton*>()->click();
    EXPECT_FALSE(log->isVisible());
}

TEST(recent_file_settings, four_entries_under_the_organisation) {
    CRecentFileSettings store;
    store.save({"/a", "/b", "/c", "/d", "/e"});
    EXPECT_EQ(store.load(), (std::vector<std::string>{"/a", "/b", "/c", "/d"}));
    // A shorter list leaves no entry of the longer one behind.
    store.save({"/x"});
    EXPECT_EQ(store.load(), (std::vector<std::string>{"/x"}));
}

}  // namespace

// Ctrl+K and the grouping windows on a summation table; the marks sent to Groups.
TEST_F(main_frame_test, grouping_windows_open_on_a_decomposition_and_marks_are_sent_to_groups) {
    open_series_with_real_views();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(mdi().currentSubWindow()->widget(), Qt::Key_K, Qt::ControlModifier);  // a series holds no decomposition
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("The active window holds no decomposition", 0), 0u);
    CSummInteractDoc& interact = open_summation().second;
    QTest::keyClick(mdi().currentSubWindow()->widget(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_NE(qobject_cast<CComponentsView*>(mdi().currentSubWindow()->widget()), nullptr);
    EXPECT_EQ(mdi().currentSubWindow()->windowTitle(), "Components [mix.dat, L = 30]");
    mdi().setActiveSubWindow(mdi().subWindowList()[2]);  // the interactive table
    frame.send_to_groups(interact);
    auto* groups = qobject_cast<CGroupsView*>(mdi().currentSubWindow()->widget());
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->list().rowCount(), 3);  // trend, the pair, the period-2 component
    EXPECT_EQ(groups->list().item(1, 1)->text(), "period 10.00");
    const int open_now = windows();
    frame.show_groups();  // the same window again, not a second one
    EXPECT_EQ(windows(), open_now);
    EXPECT_EQ(ui.messages.size(), 1u);
    // File Save on the Groups window asks for a file per group and for the residual.
    ASSERT_TRUE(frame.action(command::file_save)->isEnabled());
    frame.action(command::file_save)->trigger();
    EXPECT_EQ(ui.save_titles.size(), 4u);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(main_frame_test, linked_windows_zoom_together_and_the_status_bar_reads_out) {
    frame.register_views();
    const auto open_series = [&]() -> std::pair<CWinKelvaneDoc*, CPlotView*> {
        auto made = std::make_unique<CWinKelvaneDoc>();
        made->data_file = "/d/a.dat";
        made->ts = t_ts(std::vector<double>{1, 4, 2, 8, 5, 7, 3, 9, 6, 0, 2, 5});
        auto& doc = static_cast<CWinKelvaneDoc&>(app.adopt(std::move(made)));
        frame.open_window(doc);
        return {&doc, qobject_cast<CPlotView*>(mdi().currentSubWindow()->widget())};
    };
    const auto [first, first_view] = open_series();
    const auto [second, second_view] = open_series();
    ASSERT_TRUE(first_view && second_view);
    frame.link_axes_action()->trigger();
    QTest::keyClick(second_view, Qt::Key_Up, Qt::ControlModifier);
    ASSERT_FALSE(second->span().whole());
    EXPECT_EQ(first->span(), second->span());
    // The toolbar's Reset zoom acts on the active window, and the linked one follows.
    frame.reset_zoom_action()->trigger();
    EXPECT_TRUE(first->span().whole() && second->span().whole());
    frame.link_axes_action()->trigger();
    QTest::keyClick(second_view, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(first->span().whole());
    EXPECT_FALSE(second->span().whole());
    render(*second_view);
    const dc_rect r = second_view->panels().front().rect;
    QMouseEvent move(QEvent::MouseMove, QPoint(r.left + 1, r.top + 5), second_view->viewport()->mapToGlobal(QPoint()),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(second_view->viewport(), &move);
    const auto* status = frame.statusBar()->findChild<QLabel*>("readout");
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(second_view->readout_text().isEmpty());
    EXPECT_EQ(status->text(), second_view->readout_text());
}
