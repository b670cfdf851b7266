// The main window's grouping commands: the Components, map and Groups windows
// and the grouping file, on the decomposition of the active window.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "app/app_ui.h"
#include "app/application.h"
#include "app/invest_doc.h"
#include "gui/grouping_windows.h"
#include "gui/main_frame.h"
#include "app/summ_interact_doc.h"
#include "app/summation_doc.h"
#include "app/text_format.h"
#include "app/ts_group_doc.h"

namespace {

// The decomposition a window holds, with its series and data file; the
// interactive table answers for its summation.
struct decomposition_source {
    const document* owner = nullptr;
    const SVD::t_svd* svd = nullptr;
    const t_ts* ts = nullptr;
    std::string path;
};

decomposition_source source_of(document* doc) {
    if (!doc) return {};
    if (doc->kind() == doc_kind::summ_interact) doc = static_cast<CSummInteractDoc*>(doc)->get_summation();
    if (!doc) return {};
    if (doc->kind() == doc_kind::summation_invest) {
        auto* s = static_cast<CSummationInvestDoc*>(doc);
        t_summation_invest& inv = s->get_investigation();
        return {doc, inv.get_svd(), inv.get_ts(), s->data_file.empty() ? s->name : s->data_file};
    }
    if (doc->kind() == doc_kind::trend_invest || doc->kind() == doc_kind::period_invest) {
        auto* d = static_cast<CInvestDoc*>(doc);
        t_investigation* inv = d->get_investigation();
        return {doc, inv ? inv->get_svd() : nullptr, &d->ts, d->data_file.empty() ? d->name : d->data_file};
    }
    if (doc->kind() == doc_kind::svd_display) {
        auto* d = static_cast<CWinKelvaneDoc*>(doc);
        return {doc, d->svd_cache.get(), &d->ts, d->data_file.empty() ? d->name : d->data_file};
    }
    return {};
}

const char* const no_decomposition = "The active window holds no decomposition: open the Components, the map or "
                                     "Groups from a summation table, a trend or period result or the SVD window.";

}  // namespace

void CMainFrame::add_grouping_actions(QMenu* file, QMenu* view) {
    auto add = [this](QMenu* menu, QAction* before, const QString& text, QKeySequence key, std::function<void()> f) {
        auto* a = new QAction(text, this);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, f] { guarded(f); });
        before ? menu->insertAction(before, a) : menu->addAction(a);
        return a;
    };
    file->insertSeparator(m_recent_separator);
    add(file, m_recent_separator, tr("Save &grouping..."), {}, [this] { save_grouping(); });
    add(file, m_recent_separator, tr("Open g&rouping..."), {}, [this] { open_grouping(); });
    view->addSeparator();
    add(view, nullptr, tr("&Components"), QKeySequence(Qt::CTRL | Qt::Key_K), [this] { show_components(); });
    add(view, nullptr, tr("&W-correlation map"), {}, [this] { show_grouping_map(); });
    add(view, nullptr, tr("&Groups"), {}, [this] { show_groups(); });
}

std::shared_ptr<grouping_workbench> CMainFrame::workbench_for(const document& doc) {
    const decomposition_source src = source_of(const_cast<document*>(&doc));
    if (!src.svd || !src.ts) return nullptr;
    grouping_session& s = m_groupings[src.owner];
    // A document at the address of a closed one gets a workbench of its own.
    if (!s.bench || s.bench->svd().L() != src.svd->L() || s.bench->series().size() != src.ts->size()) {
        auto svd = std::make_shared<SVD::t_svd>(*src.svd);
        s = {std::make_shared<grouping_workbench>(*src.ts, svd, src.path), nullptr};
    }
    return s.bench;
}

std::shared_ptr<grouping_workbench> CMainFrame::active_workbench() {
    document* doc = active_document();
    std::shared_ptr<grouping_workbench> bench = doc ? workbench_for(*doc) : nullptr;
    // The grouping windows answer for the decomposition they show.
    const QWidget* w = active_widget();
    const grouping_workbench* shown = nullptr;
    if (auto* g = qobject_cast<const CGroupsView*>(w)) shown = &g->bench();
    if (auto* m = qobject_cast<const CGroupingMapView*>(w)) shown = &m->bench();
    if (auto* c = qobject_cast<const CComponentsView*>(w)) shown = &c->bench();
    for (const auto& [owner, s] : m_groupings)
        if (shown && s.bench.get() == shown) bench = s.bench;
    if (!bench) m_ui.message_box(no_decomposition, title, notify_icon::information);
    return bench;
}

void CMainFrame::open_picture(QWidget* view, const QString& window_title) {
    auto* window = new QMdiSubWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWidget(view);
    window->setWindowTitle(window_title);
    m_mdi->addSubWindow(window);
    window->resize(view->size() + QSize(16, 40));
    window->show();
    m_mdi->setActiveSubWindow(window);
}

void CMainFrame::show_components() {
    const std::shared_ptr<grouping_workbench> bench = active_workbench();
    if (!bench) return;
    // The factor vectors are built on the worker: the pages paint on this thread.
    if (!m_ui.run_computation([&] { bench->svd().factor_vectors(); })) return;
    open_picture(new CComponentsView(bench),
                 QString::fromStdString(result_title(CComponentsView::title, bench->data_path(), bench->svd().L())));
}

CGroupsView* CMainFrame::show_groups() {
    const std::shared_ptr<grouping_workbench> bench = active_workbench();
    if (!bench) return nullptr;
    grouping_session* session = nullptr;
    for (auto& [doc, s] : m_groupings)
        if (s.bench == bench) session = &s;
    if (session->groups) {
        m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(session->groups->parentWidget()));
        return session->groups;
    }
    const std::string path = bench->data_path();
    const int L = bench->svd().L();
    auto* view = new CGroupsView(bench, m_ui, [this, path, L](const grouped_reconstruction& r, bool separate) {
        auto doc = std::make_unique<CTsGroupDoc>();
        doc->data_file = path;
        for (const t_ts& g : r.groups) doc->add_series(g);
        doc->add_series(r.residual);
        doc->set_draw_style(separate ? CTsGroupDoc::style_separate : CTsGroupDoc::style_overlaid);
        doc->set_title(result_title("Groups", path, L));
        open_window(m_app.adopt(std::move(doc)));
    });
    session->groups = view;
    open_picture(view, QString::fromStdString(result_title(CGroupsView::title, path, bench->svd().L())));
    return view;
}

void CMainFrame::show_grouping_map() {
    const std::shared_ptr<grouping_workbench> bench = active_workbench();
    if (!bench) return;
    CGroupsView* groups = show_groups();
    auto* view = new CGroupingMapView(bench, groups, m_ui);
    open_picture(view, QString::fromStdString(result_title(CGroupingMapView::title, bench->data_path(), bench->svd().L())));
}

void CMainFrame::save_grouping() {
    if (CGroupsView* groups = show_groups()) groups->save_grouping();
}

void CMainFrame::open_grouping() {
    if (CGroupsView* groups = show_groups()) groups->open_grouping();
}

void CMainFrame::send_to_groups(CSummInteractDoc& marks) {
    CGroupsView* groups = show_groups();
    if (groups) groups->set_groups(grouping_workbench::groups_from_marks(marks));
}
