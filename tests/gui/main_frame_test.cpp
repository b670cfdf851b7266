#include "app/qt/main_frame.h"

#include <QAction>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <cmath>
#include <fstream>
#include <memory>

#include "app/application.h"
#include "app/comp_info_doc.h"
#include "app/summ_interact_doc.h"
#include "../app/app_series.h"
#include "views/comp_info_view.h"
#include "views/summation_views.h"
#include "app/qt/dlg_file_log.h"
#include "app/qt/recent_files.h"
#include "decomp/reconstructed.h"
#include "recording_ui.h"
#include "views/wcor_view.h"

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
    QMdiArea& mdi() { return *frame.mdi_area(); }
    int windows() { return static_cast<int>(mdi().subWindowList().size()); }

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

TEST_F(main_frame_test, commands_have_their_texts_shortcuts_and_tips) {
    // text nullptr: not quoted; tip: the status tip is the tool tip, whose text the toolbar case pins.
    const struct { command c; const char *text, *keys; bool tip; } rows[] = {
        {command::file_new, "&New", "Ctrl+N", false},
        {command::file_open, "&Open...", "Ctrl+O", false},
        {command::file_close, "&Close", "", false},
        {command::file_save, "&Save", "Ctrl+S", false},
        {command::file_save_as, "Save &As...", "", false},
        {command::file_save_image, "Save &image...", "", false},
        {command::file_print, "&Print...", "Ctrl+P", false},
        {command::file_print_preview, "Print Pre&view", "", false},
        {command::file_print_setup, "P&rint Setup...", "", false},
        {command::file_exit, "E&xit", "", false},
        {command::edit_cut, "Cu&t", "Ctrl+X, Shift+Del", false},
        {command::edit_copy, "&Copy", "Ctrl+C, Ctrl+Ins", false},
        {command::edit_paste, "&Paste", "Ctrl+V, Shift+Ins", false},
        {command::view_toolbar, "&Toolbar", "", false},
        {command::view_status_bar, "&Status Bar", "", false},
        {command::window_cascade, "&Cascade", "", false},
        {command::window_tile, "&Tile", "", false},
        {command::close_all, "Clo&se all", "", true},
        {command::about, "&About Kelvane...", "", false},
        {command::close_comp_info, nullptr, "Esc", false},
        {command::view_timeseries, nullptr, "", true},
        {command::run_investigation, nullptr, "Ctrl+R", true},
        {command::display_svd, nullptr, "Ctrl+D", true},
        {command::investigation_log, nullptr, "Ctrl+G", true},
        {command::break_harmonics, nullptr, "Ctrl+H", true},
        {command::smooth, nullptr, "Ctrl+Num+-", true},
        {command::unsmooth, nullptr, "Ctrl+Num++", true},
        {command::two_scales, nullptr, "Ctrl+L", true},
        {command::final_decomposition, nullptr, "Ctrl+F", true},
    };
    for (const auto& r : rows) {
        const QAction* a = frame.action(r.c);
        ASSERT_NE(a, nullptr) << static_cast<int>(r.c);
        if (r.text) {
            EXPECT_EQ(a->text(), r.text);
        }
        EXPECT_EQ(keys(a), r.keys) << a->text().toStdString();
        EXPECT_TRUE(!r.tip || a->statusTip() == a->toolTip()) << a->statusTip().toStdString();
    }
    // Keypad minus, not the one of the main keys.
    EXPECT_TRUE(frame.action(command::smooth)->shortcut()[0].keyboardModifiers() & Qt::KeypadModifier);
    const QLabel* idle = frame.statusBar()->findChild<QLabel*>("ready");
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->text(), "Ready");
    EXPECT_EQ(frame.windowTitle(), "Kelvane");
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
              "Recent File | E&xit");
    EXPECT_EQ(texts(top[1]->menu()->actions()), "&Toolbar &Status Bar");
    EXPECT_EQ(texts(top[2]->menu()->actions()), "&Cascade &Tile Clo&se all");
    EXPECT_EQ(texts(top[3]->menu()->actions()), "&About Kelvane...");

    const QToolBar* bar = frame.findChild<QToolBar*>("toolbar");
    ASSERT_NE(bar, nullptr);
    QStringList order;
    for (QAction* a : bar->actions()) {
        order << (a->isSeparator() ? "|" : a->toolTip());
        EXPECT_TRUE(a->isSeparator() || !a->icon().isNull()) << a->toolTip().toStdString();
    }
    EXPECT_EQ(order.join(";"),
              "Open;Save;Print;|;Cut;Copy;Paste;|;View timeseries (Ctrl-V);|;Run investigation (Ctrl-r);|;"
              "Display SVD (Ctrl-D);Investigation log (Ctrl-g);"
              "Smooth reconstucted series by throwing away most unsignificant component (Ctrl--);"
              "Un-Smooth reconstucted series by adding throwed (in smoothing) components (Ctrl-+);"
              "Break reconstructed series to harmonics and draw they (Ctrl-h);|;"
              "Process final decomposition of original series to trend, periodics and residual (Ctrl-f);|;"
              "Plot each of both timeseries in own scale (Ctrl-L);Close all windows;|;About");
    // Nothing prints or edits a selection.
    for (command c : {command::file_print, command::file_print_preview, command::file_print_setup, command::edit_cut,
                      command::edit_copy, command::edit_paste})
        EXPECT_FALSE(frame.action(c)->isEnabled()) << frame.action(c)->text().toStdString();
}

TEST_F(main_frame_test, placed_at_eighty_percent_and_centred) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int w = static_cast<int>(screen.width() * 0.8), h = static_cast<int>(screen.height() * 0.8);
    EXPECT_EQ(frame.size(), QSize(w, h));
    EXPECT_EQ(frame.pos(), QPoint(static_cast<int>((w / 0.8 - w) / 2), static_cast<int>((h / 0.8 - h) / 2)));
}

TEST_F(main_frame_test, enabled_states_follow_the_active_window) {
    std::vector<QMdiSubWindow*> opened;
    for (int k = 0; k < doc_kind_count; ++k) {
        open(static_cast<doc_kind>(k), "doc");
        opened.push_back(mdi().subWindowList().back());
    }
    // Every pair of kinds in turn, so each row is seen after every other one.
    view_command_states expected = frame.command_states();
    for (std::size_t i = 0; i < opened.size(); ++i) {
        for (std::size_t j = 0; j < opened.size(); ++j) {
            for (std::size_t k : {i, j}) {
                mdi().setActiveSubWindow(opened[k]);
                expected = states_after_activation(static_cast<doc_kind>(k), expected);
                for (int c = 0; c <= static_cast<int>(command::about); ++c) {
                    const command cmd = static_cast<command>(c);
                    if (!follows_active_view(cmd)) continue;
                    EXPECT_EQ(frame.action(cmd)->isEnabled(), enabled_in(cmd, expected)) << "kind " << k << " command " << c;
                }
            }
        }
    }
}

TEST_F(main_frame_test, only_plots_can_be_saved_as_images) {
    frame.register_view(doc_kind::ts_group, [](document&, QWidget* parent) { return new QLabel(parent); }, true);
    QAction* save_image = frame.action(command::file_save_image);
    EXPECT_FALSE(save_image->isEnabled());
    QMdiSubWindow* plot = (open(doc_kind::ts_group, "group"), mdi().currentSubWindow());
    EXPECT_TRUE(save_image->isEnabled());
    open(doc_kind::comp_info, "table");
    EXPECT_FALSE(save_image->isEnabled());
    mdi().setActiveSubWindow(plot);
    EXPECT_TRUE(save_image->isEnabled());
}

TEST_F(main_frame_test, the_wcorrelation_window_is_a_picture_without_a_document) {
    std::vector<double> v;
    for (int t = 0; t < 120; ++t) v.push_back(std::sin(0.5 * t) + std::cos(2.1 * t));
    const SVD::t_svd svd(t_ts(v), 30);
    const t_reconstructed_tss rec(&svd, 4);
    frame.show_wcorrelation(rec, 30, 4);
    ASSERT_EQ(windows(), 1);
    QMdiSubWindow* w = mdi().currentSubWindow();
    EXPECT_EQ(w->windowTitle(), "W-correlations");
    auto* view = qobject_cast<CWCorrelationView*>(w->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->components(), 4);
    EXPECT_EQ(frame.active_document(), nullptr);
    EXPECT_TRUE(frame.action(command::file_save_image)->isEnabled());
    EXPECT_TRUE(ui.messages.empty());

    // More components than reconstructed: the refusal is a box and no window.
    frame.show_wcorrelation(rec, 30, 5);
    EXPECT_EQ(windows(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("w-correlations of 5 components out of 4"), std::string::npos);
}

TEST_F(main_frame_test, windows_follow_their_documents_and_close_with_them) {
    document& a = open(doc_kind::ts_group, "TS: a.dat");
    document& b = open(doc_kind::ts_group, "TS: b.dat");
    EXPECT_EQ(frame.windowTitle(), "Kelvane - TS: b.dat");
    ASSERT_EQ(windows(), 2);
    b.set_title("TS: renamed.dat");
    EXPECT_EQ(frame.windowTitle(), "Kelvane - TS: renamed.dat");
    EXPECT_EQ(mdi().currentSubWindow()->windowTitle(), "TS: renamed.dat");

    // The Window menu lists the open windows, the active one checked; picking one activates it.
    QMenu* window_menu = frame.menuBar()->actions()[2]->menu();
    emit window_menu->aboutToShow();
    QStringList listed;
    QAction* first = nullptr;
    for (QAction* act : window_menu->actions())
        if (act->isCheckable()) {
            listed << act->text() + (act->isChecked() ? "*" : "");
            if (!first) first = act;
        }
    EXPECT_EQ(listed.join(";"), "&1 TS: a.dat;&2 TS: renamed.dat*");
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(frame.windowTitle(), "Kelvane - TS: a.dat");

    // The application closes a document: its window goes.
    app.close_document(a);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows(), 1);

    // The user closes a window: its document goes.
    mdi().subWindowList().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows(), 0);
    EXPECT_TRUE(app.documents().empty());
    EXPECT_EQ(frame.windowTitle(), "Kelvane");
}

TEST_F(main_frame_test, close_all_asks_only_when_there_is_a_window) {
    frame.run(command::close_all);
    EXPECT_TRUE(ui.questions.empty());

    open(doc_kind::time_series, "one");
    open(doc_kind::ts_group, "two");
    open(doc_kind::ts_group, "three");
    ui.yes_no = {false};
    frame.run(command::close_all);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Are you really want close all windows?"});
    EXPECT_EQ(windows(), 3);

    ui.yes_no = {true};
    frame.run(command::close_all);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows(), 0);
    EXPECT_TRUE(app.documents().empty());
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

TEST_F(main_frame_test, recent_files_in_the_file_menu) {
    memory_store two;
    two.files = {"/d/a.dat", "/d/b.dat"};
    CWinKelvaneApp with_files(ui, two);
    CMainFrame other(with_files, ui);
    QMenu* file = other.menuBar()->actions()[0]->menu();
    emit file->aboutToShow();
    QStringList entries;
    for (QAction* a : file->actions())
        if (a->text().startsWith('&') && a->text().at(1).isDigit()) entries << a->text();
    EXPECT_EQ(entries.join(";"), "&1 /d/a.dat;&2 /d/b.dat");
}

TEST_F(main_frame_test, log_window_hidden_until_shown_on_a_log) {
    CDlgFileLog* log = frame.log_window();
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(log->isVisible());
    QTemporaryDir dir;
    const std::string path = dir.filePath("filelog0.log").toStdString();
    std::ofstream(path) << "*** Trend identification\n";
    frame.show_log(path);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->text(), "*** Trend identification\n");
    log->findChild<QPushButton*>()->click();
    EXPECT_FALSE(log->isVisible());
}

// The tables' real views: Info opens the component information, Esc closes
// only that, and closing the summation leaves its interactive window empty.
TEST_F(main_frame_test, summation_tables_open_component_information_and_esc_closes_it) {
    frame.register_views();
    auto& summation = static_cast<CSummationInvestDoc&>(app.adopt(run_summation(trend_sine_alternating())));
    auto made = std::make_unique<CSummInteractDoc>();
    made->init(&summation);
    document& interact = app.adopt(std::move(made));
    frame.open_window(summation);
    frame.open_window(interact);
    ASSERT_EQ(windows(), 2);
    auto* table = qobject_cast<CSummInteractView*>(mdi().currentSubWindow()->widget());
    ASSERT_NE(table, nullptr);
    emit table->clicked(table->model()->index(1, CSummInteractDoc::col_info));
    ASSERT_EQ(windows(), 3);
    auto* info = qobject_cast<CCompInfoView*>(mdi().currentSubWindow()->widget());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(mdi().currentSubWindow()->windowTitle(), "Component 2 info");
    EXPECT_EQ(keys(frame.action(command::close_comp_info)), "Esc");

    frame.action(command::close_comp_info)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows(), 2);
    EXPECT_EQ(app.documents().size(), 2u);
    frame.action(command::close_comp_info)->trigger();  // not on a table
    EXPECT_EQ(windows(), 2);

    app.close_document(summation);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(windows(), 1);
    EXPECT_EQ(table->model()->rowCount(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(recent_file_settings, four_entries_under_the_organisation) {
    CRecentFileSettings store;
    store.save({"/a", "/b", "/c", "/d", "/e"});
    EXPECT_EQ(store.load(), (std::vector<std::string>{"/a", "/b", "/c", "/d"}));
    QSettings settings(CRecentFileSettings::organisation, CRecentFileSettings::application);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/a");
    // A shorter list leaves no entry of the longer one behind.
    store.save({"/x"});
    EXPECT_EQ(store.load(), (std::vector<std::string>{"/x"}));
}

}  // namespace
