#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "app/app_ui.h"
#include "app/application.h"
#include "app/comp_info_doc.h"
#include "app/decomp_result_doc.h"
#include "app/document.h"
#include "app/forecast_doc.h"
#include "app/invest_doc.h"
#include "gui/dlg_file_log.h"
#include "gui/icons.h"
#include "gui/lock_indicators.h"
#include "app/summ_interact_doc.h"
#include "app/summation_doc.h"
#include "app/text_format.h"
#include "app/ts_doc.h"
#include "app/ts_group_doc.h"
#include "decomp/wcorrelation.h"
#include "gui/comp_info_view.h"
#include "gui/decomp_result_view.h"
#include "gui/invest_views.h"
#include "gui/save_image.h"
#include "gui/series_saver.h"
#include "gui/summation_views.h"
#include "gui/ts_group_view.h"
#include "gui/ts_view.h"
#include "gui/wcor_view.h"

namespace {

struct command_entry {
    command c;
    const char* text;           // the menu text, with its mnemonic
    const char* tip;            // tooltip and status-bar text
    QList<QKeySequence> keys;
};

QKeySequence ctrl_keypad(Qt::Key key) { return QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, key)); }

const QList<command_entry>& command_table() {
    static const QList<command_entry> table = {
        {command::file_new, "&New", "Open a data file into a new time series", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {command::file_open, "&Open...", "Open a data file", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {command::file_close, "&Close", "Close the active window", {}},
        {command::file_save, "&Save", "Save the series of the active window as text", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {command::file_save_as, "Save &As...", "Save the series of the active window under a new name", {}},
        {command::file_save_image, "Save &image...", "Save the active plot as a PNG or SVG picture", {}},
        {command::file_print, "&Print...", "Print the active window", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {command::file_print_preview, "Print Pre&view", "Show the pages as they would be printed", {}},
        {command::file_print_setup, "P&rint Setup...", "Choose the printer and its options", {}},
        {command::file_exit, "E&xit", "Quit the program", {}},
        {command::edit_cut, "Cu&t", "Cut the selection to the clipboard",
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {command::edit_copy, "&Copy", "Copy the selection to the clipboard",
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {command::edit_paste, "&Paste", "Insert the clipboard's contents",
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {command::view_toolbar, "&Toolbar", "Show or hide the toolbar", {}},
        {command::view_status_bar, "&Status Bar", "Show or hide the status bar", {}},
        {command::view_timeseries, "View timeseries", "View timeseries (Ctrl-V)", {}},
        {command::run_investigation, "Run investigation", "Run investigation (Ctrl-r)", {QKeySequence(Qt::CTRL | Qt::Key_R)}},
        {command::display_svd, "Display SVD", "Display SVD (Ctrl-D)", {QKeySequence(Qt::CTRL | Qt::Key_D)}},
        {command::investigation_log, "Investigation log", "Investigation log (Ctrl-g)", {QKeySequence(Qt::CTRL | Qt::Key_G)}},
        {command::break_harmonics, "Break to harmonics", "Break reconstructed series to harmonics and draw they (Ctrl-h)",
         {QKeySequence(Qt::CTRL | Qt::Key_H)}},
        // The main keys first (the menu shows them; laptops have no keypad): on X
        // they also catch the keypad's, whose own sequences did not match there.
        {command::smooth, "Smooth", "Smooth reconstucted series by throwing away most unsignificant component (Ctrl--)",
         {QKeySequence(Qt::CTRL | Qt::Key_Minus), ctrl_keypad(Qt::Key_Minus)}},
        {command::unsmooth, "Un-smooth", "Un-Smooth reconstucted series by adding throwed (in smoothing) components (Ctrl-+)",
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal), ctrl_keypad(Qt::Key_Plus)}},
        {command::two_scales, "Two scales", "Plot each of both timeseries in own scale (Ctrl-L)", {QKeySequence(Qt::CTRL | Qt::Key_L)}},
        {command::final_decomposition, "Final decomposition",
         "Process final decomposition of original series to trend, periodics and residual (Ctrl-f)",
         {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {command::close_all, "Clo&se all", "Close all windows", {}},
        {command::window_cascade, "&Cascade", "Arrange the windows so that they overlap", {}},
        {command::window_tile, "&Tile", "Arrange the windows side by side", {}},
        {command::close_comp_info, "Close component information", "Close the active component-information window",
         {QKeySequence(Qt::Key_Escape)}},
        {command::about, "&About Kelvane...", "Show the program's name and icon", {}},
    };
    return table;
}

// Nothing in the program prints or edits a selection yet.
bool never_enabled(command c) {
    return c == command::file_print || c == command::file_print_preview || c == command::file_print_setup ||
           c == command::edit_cut || c == command::edit_copy || c == command::edit_paste;
}

const char* window_property = "kelvane_document";
// Set on windows that show a picture of no document of their own.
const char* picture_property = "kelvane_picture";

}  // namespace

// Ties one MDI window to its document: the window follows the document's
// title and closes with it; the user closing the window closes the document.
class CMainFrame::window_observer : public QObject, public document_observer {
public:
    window_observer(CMainFrame& frame, QMdiSubWindow& window, document& doc)
        : QObject(&window), m_frame(frame), m_window(window), m_doc(&doc) {
        doc.add_observer(this);
        window.installEventFilter(this);
        window.setWindowTitle(QString::fromStdString(doc.title()));
    }
    ~window_observer() override {
        if (m_doc) m_doc->remove_observer(this);
    }
    document* doc() const { return m_doc; }

    void notify_changed(const document& doc, unsigned changes) override {
        if (!(changes & change_title)) return;
        m_window.setWindowTitle(QString::fromStdString(doc.title()));
        m_frame.update_title();
    }
    void notify_closing(const document&) override {
        m_doc = nullptr;
        m_frame.drop_window(m_window);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Close && m_doc) {
            document* doc = m_doc;
            m_frame.guarded([&] { m_frame.m_app.close_document(*doc); });
        }
        return false;
    }

private:
    CMainFrame& m_frame;
    QMdiSubWindow& m_window;
    document* m_doc;
};

CMainFrame::CMainFrame(CWinKelvaneApp& app, app_ui& ui)
    : m_app(app), m_ui(ui), m_mdi(new QMdiArea(this)), m_log(nullptr) {
    setWindowTitle(title);
    setWindowIcon(program_icon());
    setCentralWidget(m_mdi);
    setAcceptDrops(true);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    create_actions();
    create_menus();
    create_toolbar();
    // A normal widget, not a message: it comes back whenever a status tip goes.
    auto* ready = new QLabel(tr("Ready"), statusBar());
    ready->setObjectName("ready");
    statusBar()->addWidget(ready, 1);
    m_readout = new QLabel(statusBar());
    m_readout->setObjectName("readout");
    statusBar()->addPermanentWidget(m_readout);
    add_lock_indicators();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::active_changed);
    // Created once, hidden, for the whole run.
    m_log = new CDlgFileLog(this);
    m_log->hide();
    place_on_screen();
    active_changed(nullptr);
}

void CMainFrame::drop_window(QMdiSubWindow& window) {
    // Left alone, the area activates its first window and shows it normal: the
    // window that opened this one comes back as it was then, maximised or not.
    // Without one, the next window keeps this one's state.
    const opened_from from = m_openers.take(&window);
    const bool maximised = from.window ? from.maximised : window.isMaximized();
    // Not closed from inside the document's destructor: the window may be mid-event.
    window.hide();
    window.deleteLater();
    const auto back = [this, next = from.window, maximised] {
        QMdiSubWindow* w = next ? next.data() : m_mdi->currentSubWindow();
        if (!w) return;
        m_mdi->setActiveSubWindow(w);
        if (maximised != w->isMaximized()) maximised ? w->showMaximized() : w->showNormal();
    };
    back();
    // The area rearranges again as the window is deleted.
    QTimer::singleShot(0, this, back);
}

CMainFrame::~CMainFrame() {
    // The windows go before the frame's members: their observers leave the documents.
    for (QMdiSubWindow* w : m_mdi->subWindowList()) delete w;
}

void CMainFrame::add_lock_indicators() {
    if (!read_keyboard_locks()) return;
    auto* caps = new QLabel(statusBar());
    auto* num = new QLabel(statusBar());
    caps->setObjectName("caps");
    num->setObjectName("num");
    for (QLabel* l : {caps, num}) {
        // As wide as the text when blank, so the bar does not jump as the locks change.
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance("CAP") + 8);
        l->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(l);
    }
    // Polled: the locks change in other programs' windows too, where no key event reaches us.
    const auto show = [caps, num] {
        const std::optional<keyboard_locks> locks = read_keyboard_locks();
        caps->setText(locks && locks->caps ? "CAP" : "");
        num->setText(locks && locks->num ? "NUM" : "");
    };
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, show);
    poll->start(250);
    show();
}

void CMainFrame::place_on_screen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect s = screen->geometry();
    const int width = static_cast<int>(s.width() * 0.8);
    const int height = static_cast<int>(s.height() * 0.8);
    const int x = static_cast<int>((width / 0.8 - width) / 2);
    const int y = static_cast<int>((height / 0.8 - height) / 2);
    resize(width, height);
    move(s.left() + x, s.top() + y);
}

void CMainFrame::create_actions() {
    for (const command_entry& e : command_table()) {
        auto* a = new QAction(QString::fromUtf8(e.text), this);
        a->setShortcuts(e.keys);
        a->setStatusTip(QString::fromUtf8(e.tip));
        a->setToolTip(QString::fromUtf8(e.tip));
        a->setIcon(command_icon(e.c));
        a->setIconVisibleInMenu(false);
        a->setEnabled(!never_enabled(e.c));
        // On the frame too, so the shortcuts work with the toolbar hidden.
        addAction(a);
        const command c = e.c;
        connect(a, &QAction::triggered, this, [this, c] { run(c); });
        m_actions[c] = a;
    }
    // Framework tooltips are the short names; only the program's own commands carry their long text.
    for (command c : {command::file_open, command::file_save, command::file_print, command::edit_cut, command::edit_copy,
                      command::edit_paste, command::about})
        m_actions[c]->setToolTip(m_actions[c]->text().remove('&').remove("..."));
    m_actions[command::about]->setToolTip("About");
    for (command c : {command::view_toolbar, command::view_status_bar}) {
        m_actions[c]->setCheckable(true);
        m_actions[c]->setChecked(true);
    }

    // Undo and the pane keys of the window have no menu entry.
    auto* undo = new QAction(tr("Undo"), this);
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    undo->setEnabled(false);
    addAction(undo);
    auto* next = new QAction(tr("Next pane"), this);
    next->setShortcut(QKeySequence(Qt::Key_F6));
    connect(next, &QAction::triggered, m_mdi, &QMdiArea::activateNextSubWindow);
    addAction(next);
    auto* previous = new QAction(tr("Previous pane"), this);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previous, &QAction::triggered, m_mdi, &QMdiArea::activatePreviousSubWindow);
    addAction(previous);

    m_legend = new QAction(tr("&Legend"), this);
    m_legend->setStatusTip(tr("Name the series of the trend, period and forecast windows"));
    m_legend->setCheckable(true);
    connect(m_legend, &QAction::toggled, this, [this](bool on) {
        for (CPlotView* v : plot_views()) v->set_legend(on);
    });
    m_link_axes = new QAction(tr("Lin&k time axes"), this);
    m_link_axes->setStatusTip(tr("Zoom and pan every window of the same series together"));
    m_link_axes->setCheckable(true);
    connect(m_link_axes, &QAction::toggled, this, [this](bool on) { m_app.set_linked_axes(on); });
    // No Home shortcut here: the tables keep their own Home key; a plot takes it itself.
    m_reset_zoom = new QAction(reset_zoom_icon(), tr("Reset zoom"), this);
    m_reset_zoom->setToolTip(tr("Show the whole time axis (Home)"));
    m_reset_zoom->setStatusTip(tr("Show the whole time axis of the active plot (Home)"));
    m_reset_zoom->setIconVisibleInMenu(false);
    connect(m_reset_zoom, &QAction::triggered, this, [this] {
        if (QMdiSubWindow* w = m_mdi->currentSubWindow())
            if (auto* plot = qobject_cast<CPlotView*>(w->widget())) plot->reset_zoom();
    });
}

QList<CPlotView*> CMainFrame::plot_views() const {
    QList<CPlotView*> views;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* plot = qobject_cast<CPlotView*>(w->widget())) views << plot;
    return views;
}

void CMainFrame::create_menus() {
    m_file_menu = menuBar()->addMenu(tr("&File"));
    for (command c : {command::file_new, command::file_open, command::file_close, command::file_save,
                      command::file_save_as, command::file_save_image})
        m_file_menu->addAction(m_actions[c]);
    m_file_menu->addSeparator();
    for (command c : {command::file_print, command::file_print_preview, command::file_print_setup})
        m_file_menu->addAction(m_actions[c]);
    m_recent_separator = m_file_menu->addSeparator();
    m_file_menu->addSeparator();
    m_file_menu->addAction(m_actions[command::file_exit]);
    connect(m_file_menu, &QMenu::aboutToShow, this, &CMainFrame::fill_recent_menu);
    fill_recent_menu();

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(m_actions[command::view_toolbar]);
    view->addAction(m_actions[command::view_status_bar]);
    view->addSeparator();
    view->addAction(m_actions[command::smooth]);
    view->addAction(m_actions[command::unsmooth]);
    view->addSeparator();
    view->addAction(m_legend);
    view->addAction(m_link_axes);
    view->addAction(m_reset_zoom);
    add_grouping_actions(m_file_menu, view);

    m_window_menu = menuBar()->addMenu(tr("&Window"));
    for (command c : {command::window_cascade, command::window_tile, command::close_all})
        m_window_menu->addAction(m_actions[c]);
    connect(m_window_menu, &QMenu::aboutToShow, this, &CMainFrame::fill_window_menu);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(m_actions[command::about]);
}

void CMainFrame::create_toolbar() {
    QToolBar* bar = addToolBar(tr("Toolbar"));
    bar->setObjectName("toolbar");
    bar->setIconSize(QSize(16, 15));
    bar->setMovable(true);
    bar->setFloatable(true);
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    const std::initializer_list<std::initializer_list<command>> groups = {
        {command::file_open, command::file_save, command::file_print},
        {command::edit_cut, command::edit_copy, command::edit_paste},
        {command::view_timeseries},
        {command::run_investigation},
        {command::display_svd, command::investigation_log, command::smooth, command::unsmooth, command::break_harmonics},
        {command::final_decomposition},
        {command::two_scales, command::close_all},
        {},
        {command::about},
    };
    bool first = true;
    for (const auto& group : groups) {
        if (!first) bar->addSeparator();
        first = false;
        for (command c : group) bar->addAction(m_actions[c]);
        // The empty group is the place of the view's own button.
        if (group.size() == 0) bar->addAction(m_reset_zoom);
    }
    connect(m_actions[command::view_toolbar], &QAction::toggled, bar, &QToolBar::setVisible);
    connect(bar, &QToolBar::visibilityChanged, m_actions[command::view_toolbar], &QAction::setChecked);
    connect(m_actions[command::view_status_bar], &QAction::toggled, statusBar(), &QStatusBar::setVisible);
}

QAction* CMainFrame::action(command c) const {
    const auto it = m_actions.find(c);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::register_view(doc_kind kind, view_factory factory, bool plot) {
    m_factories[kind] = std::move(factory);
    m_plots[kind] = plot;
}

void CMainFrame::register_views() {
    register_view(
        doc_kind::time_series,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CWinKelvaneDoc&>(d);
            return new CTsView(&doc, [&doc]() -> const t_ts& { return doc.ts; }, parent);
        },
        true);
    register_view(
        doc_kind::ts_group,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CTsGroupDoc&>(d);
            return new CTsGroupView(
                &doc,
                [&doc] {
                    ts_group_plot g{doc.title(), doc.draw_style(), {}};
                    for (const t_ts& s : doc.series()) g.series.push_back(&s);
                    return g;
                },
                parent);
        },
        true);
    register_view(
        doc_kind::decomp_result,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CDecompResultDoc&>(d);
            return new CDecompResultView(&doc, [&doc] { return decomp_plot_of(doc); }, parent);
        },
        true);
    register_view(
        doc_kind::trend_invest,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CTrendInvestDoc&>(d);
            return new CTrendInvestView(
                &doc,
                [&doc] { return invest_window<t_trend_invest>{&doc.ts, &doc.invest(), doc.get_two_scales() != 0}; },
                parent);
        },
        true);
    register_view(
        doc_kind::period_invest,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CPeriodInvestDoc&>(d);
            return new CPeriodInvestView(
                &doc,
                [&doc] { return invest_window<t_period_invest>{&doc.ts, &doc.invest(), doc.get_two_scales() != 0}; },
                parent);
        },
        true);
    register_view(
        doc_kind::svd_display,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CSVDDoc&>(d);
            return new CSVDView(
                &doc, [&doc] { return CSVDView::svd_display{doc.svd_cache.get(), doc.display_kind}; }, parent);
        },
        true);
    register_view(
        doc_kind::forecast,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CForeInvestDoc&>(d);
            return new CForeInvestView(
                &doc,
                [&doc] {
                    const t_RSSA_signal_forecast* f = doc.get_forecast();
                    const t_signal_invest* s = f ? f->get_signal_invest() : nullptr;
                    const bool any = s && !s->get_signal_components().empty();
                    const std::vector<std::string>& ticks = doc.forecast_ticks();
                    return forecast_plot{doc.header_text(),
                                         doc.get_ts(),
                                         any ? &f->get_forecast_ts() : nullptr,
                                         any ? &s->get_signal() : nullptr,
                                         false,
                                         f ? &f->get_lower() : nullptr,
                                         f ? &f->get_upper() : nullptr,
                                         ticks.empty() ? nullptr : &ticks};
                },
                parent);
        },
        true);
    register_table_views();
}

void CMainFrame::register_table_views() {
    register_view(doc_kind::summation_invest, [this](document& d, QWidget* parent) {
        return new CSummationInvestView(
            &static_cast<CSummationInvestDoc&>(d), &m_ui,
            [this](CSummationInvestDoc& s) { guarded([&] { show_wcorrelation(s); }); }, parent);
    });
    register_view(doc_kind::summ_interact, [this](document& d, QWidget* parent) {
        auto& doc = static_cast<CSummInteractDoc&>(d);
        auto* view = new CSummInteractView(
            &doc, m_ui,
            [this](CSummInteractDoc& s, int k) {
                guarded([&] { open_window(m_app.adopt(std::make_unique<CCompInfoDoc>(s.info(k)))); });
            },
            parent);
        view->add_menu_action("Send to groups", [this, &doc] { guarded([&] { send_to_groups(doc); }); });
        return view;
    });
    register_view(
        doc_kind::comp_info,
        [](document& d, QWidget* parent) {
            auto& doc = static_cast<CCompInfoDoc&>(d);
            return new CCompInfoView(&doc, [&doc] { return comp_info_of(doc); }, parent);
        },
        true);
}

void CMainFrame::open_window(document& doc) {
    const auto it = m_factories.find(doc.kind());
    if (it == m_factories.end()) {
        m_ui.message_box("This program cannot show this kind of document yet.", title, notify_icon::warning);
        return;
    }
    auto* window = new QMdiSubWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (QMdiSubWindow* from = m_mdi->currentSubWindow()) m_openers[window] = {from, from->isMaximized()};
    auto* observer = new window_observer(*this, *window, doc);
    window->setProperty(window_property, QVariant::fromValue(static_cast<QObject*>(observer)));
    QWidget* view = it->second(doc, window);
    if (auto* plot = qobject_cast<CPlotView*>(view)) {
        plot->set_legend(m_legend->isChecked());
        connect(plot, &CPlotView::readout_changed, m_readout, &QLabel::setText);
    }
    window->setWidget(view);
    m_mdi->addSubWindow(window);
    // A series window fills the area, as its frame always opens maximized.
    if (doc.kind() == doc_kind::time_series)
        window->showMaximized();
    else
        window->show();
    m_mdi->setActiveSubWindow(window);
    active_changed(window);
}

document* CMainFrame::active_document() const {
    QMdiSubWindow* w = m_mdi->currentSubWindow();
    if (!w) return nullptr;
    auto* observer = static_cast<window_observer*>(w->property(window_property).value<QObject*>());
    return observer ? observer->doc() : nullptr;
}

QWidget* CMainFrame::active_widget() const {
    const QMdiSubWindow* w = m_mdi->currentSubWindow();
    return w ? w->widget() : nullptr;
}

bool CMainFrame::active_is_picture() const {
    QMdiSubWindow* w = m_mdi->currentSubWindow();
    if (!w) return false;
    if (w->property(picture_property).toBool()) return true;
    const document* doc = active_document();
    // find: a kind without a registered view is no plot, and this is const.
    const auto it = doc ? m_plots.find(doc->kind()) : m_plots.end();
    return it != m_plots.end() && it->second;
}

void CMainFrame::show_wcorrelation(const t_reconstructed_tss& rec, int L, int m, const std::string& data_path) {
    guarded([&] {
        matrix rho(0, 0);
        if (!m_ui.run_computation([&] { rho = wcorrelation(rec, L, m); })) return;
        auto* window = new QMdiSubWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setProperty(picture_property, true);
        auto* view = new CWCorrelationView(rho, window);
        window->setWidget(view);
        window->setWindowTitle(QString::fromStdString(result_title(CWCorrelationView::title, data_path, L)));
        m_mdi->addSubWindow(window);
        window->resize(view->sizeHint() + QSize(16, 40));
        window->show();
        m_mdi->setActiveSubWindow(window);
        active_changed(window);
    });
}

void CMainFrame::show_wcorrelation(CSummationInvestDoc& doc) {
    t_summation_invest& inv = doc.get_investigation();
    const t_reconstructed_tss* rec = inv.get_reconstructed();
    if (!rec || !inv.get_svd()) return;
    show_wcorrelation(*rec, inv.get_svd()->L(), std::min({doc.components(), rec->amount(), wcor_default_limit}), doc.name);
}

void CMainFrame::active_changed(QMdiSubWindow* window) {
    // Deactivating the main window reports no active window; the states stay.
    if (window) {
        if (document* doc = active_document()) m_states = states_after_activation(doc->kind(), m_states);
    }
    for (auto& [c, a] : m_actions)
        if (follows_active_view(c)) a->setEnabled(enabled_in(c, m_states));
    m_actions[command::file_close]->setEnabled(m_mdi->currentSubWindow() != nullptr);
    const document* doc = active_document();
    const bool own_series = dynamic_cast<series_saver*>(active_widget()) != nullptr;
    for (command c : {command::file_save, command::file_save_as})
        m_actions[c]->setEnabled(own_series || (doc && saves_series(doc->kind())));
    m_actions[command::file_save_image]->setEnabled(active_is_picture());
    update_title();
}

void CMainFrame::update_title() {
    // A picture without a document has its window's title.
    const document* doc = active_document();
    const QMdiSubWindow* window = m_mdi->currentSubWindow();
    const QString shown = doc ? QString::fromStdString(doc->title()) : window ? window->windowTitle() : QString();
    m_title = shown.isEmpty() ? QString(title) : QString("%1 - %2").arg(title, shown);
    setWindowTitle(m_title);
}

void CMainFrame::changeEvent(QEvent* event) {
    // A maximized MDI window writes its own title into the frame's: ours stays.
    if (event->type() == QEvent::WindowTitleChange && !m_title.isNull() && windowTitle() != m_title)
        setWindowTitle(m_title);
    QMainWindow::changeEvent(event);
}

void CMainFrame::fill_recent_menu() {
    for (QAction* a : m_recent_actions) {
        m_file_menu->removeAction(a);
        a->deleteLater();
    }
    m_recent_actions.clear();
    // The entries go between the separator after the print commands and the one before Exit.
    const QList<QAction*> all = m_file_menu->actions();
    QAction* before = all.at(all.indexOf(m_recent_separator) + 1);
    const std::vector<std::string>& files = m_app.recent_files();
    if (files.empty()) {
        auto* none = new QAction(tr("Recent File"), m_file_menu);
        none->setEnabled(false);
        m_recent_actions << none;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = files[i];
        auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(QString::fromStdString(path)), m_file_menu);
        connect(a, &QAction::triggered, this, [this, path] { guarded([&] { m_app.open_series_file(path); }); });
        m_recent_actions << a;
    }
    for (QAction* a : m_recent_actions) m_file_menu->insertAction(before, a);
}

void CMainFrame::fill_window_menu() {
    for (QAction* a : m_window_actions) {
        m_window_menu->removeAction(a);
        a->deleteLater();
    }
    m_window_actions.clear();
    // The open windows below the commands, the active one checked; the first nine numbered.
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return;
    m_window_actions << m_window_menu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* w = windows[i];
        const QString text = i < 9 ? QString("&%1 %2").arg(i + 1).arg(w->windowTitle()) : w->windowTitle();
        QAction* a = m_window_menu->addAction(text);
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
        m_window_actions << a;
    }
}

void CMainFrame::guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        m_ui.message_box(e.what(), title, notify_icon::error);
    } catch (...) {
        m_ui.message_box("The command failed for an unknown reason.", title, notify_icon::error);
    }
}

void CMainFrame::run(command c) {
    switch (c) {
    case command::file_new: guarded([&] { m_app.file_new(); }); return;
    case command::file_open: guarded([&] { m_app.file_open(); }); return;
    case command::file_close:
        if (QMdiSubWindow* w = m_mdi->currentSubWindow()) w->close();
        return;
    case command::file_save_image: save_image(); return;
    case command::file_save:
    case command::file_save_as:
        if (auto* saver = dynamic_cast<series_saver*>(active_widget())) {
            saver->save_series();
            return;
        }
        break;
    case command::file_exit: close(); return;
    case command::view_toolbar:
    case command::view_status_bar: return;  // the actions toggle the bars themselves
    case command::close_all: close_all(); return;
    case command::window_cascade: m_mdi->cascadeSubWindows(); return;
    case command::window_tile: m_mdi->tileSubWindows(); return;
    case command::about: about(); return;
    default: break;
    }
    // Disabled commands stay off whatever reaches them (a shortcut, a test).
    if (QAction* a = action(c); a && !a->isEnabled()) return;
    guarded([&] { m_app.execute(c, active_document()); });
}

void CMainFrame::save_image() {
    QMdiSubWindow* window = m_mdi->currentSubWindow();
    if (!window || !active_is_picture() || !window->widget()) return;
    QString path = QString::fromStdString(
        m_ui.ask_save_file("Save image", "PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg||", ""));
    if (path.isEmpty()) return;
    // The format follows the suffix; without one the picture is a PNG.
    if (QFileInfo(path).suffix().isEmpty()) path += ".png";
    QString error;
    if (!::save_image(*window->widget(), path, &error))
        m_ui.message_box(error.toStdString(), "Error", notify_icon::error);
}

void CMainFrame::show_log(const std::string& path) {
    m_log->set_file_name(path);
    m_log->refresh();
    if (!m_log->isVisible()) m_log->showNormal();
    m_log->raise();
}

void CMainFrame::close_all() {
    if (!m_mdi->currentSubWindow()) return;
    if (!m_ui.ask_yes_no(close_all_question, title, notify_icon::none, true)) return;
    // The active window first, then whichever becomes active, until none is left.
    while (QMdiSubWindow* w = m_mdi->currentSubWindow() ? m_mdi->currentSubWindow() : m_mdi->subWindowList().value(0)) {
        w->close();
        delete w;
    }
}

void CMainFrame::about() {
    QDialog box(this);
    box.setObjectName("about");
    box.setWindowTitle("About Kelvane");
    auto* icon = new QLabel(&box);
    icon->setPixmap(program_icon().pixmap(64, 64));
    auto* text = new QLabel("Kelvane", &box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(row);
    layout->addWidget(buttons);
    box.exec();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls)
        if (url.isLocalFile()) guarded([&] { m_app.open_series_file(url.toLocalFile().toStdString()); });
}
