#include "grouping_windows.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/app_ui.h"
#include "app/save_names.h"
#include "app/text_format.h"
#include "core/number_text.h"
#include "decomp/reconstructed.h"
#include "decomp/wcorrelation.h"
#include "draw/periodogram_paint.h"
#include "gui/qt_dc.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QColor qcolour(rgb c) { return QColor(c.red, c.green, c.blue); }

// The components the map and the proposal look at by default.
constexpr int map_default_limit = 50;

}  // namespace

CComponentGrid::CComponentGrid(std::shared_ptr<const grouping_workbench> bench, kind k, QWidget* parent)
    : QWidget(parent), m_bench(std::move(bench)), m_kind(k) {
    m_periods.assign(static_cast<size_t>(m_bench->svd().count()), -1.0);
    m_periodograms.resize(m_periods.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    fit_width(cell_width);
}

int CComponentGrid::cells() const {
    const int n = m_bench->svd().count();
    return m_kind == pairs ? std::max(n - 1, 0) : n;
}

void CComponentGrid::fit_width(int width) {
    m_columns = std::max(1, width / cell_width);
    const int rows = (cells() + m_columns - 1) / m_columns;
    setMinimumSize(cell_width, std::max(1, rows) * cell_height);
    update();
}

void CComponentGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (std::max(1, width() / cell_width) != m_columns) fit_width(width());
}

void CComponentGrid::set_factor_vectors(bool on) {
    if (on != m_factor) std::fill(m_periodograms.begin(), m_periodograms.end(), std::nullopt);
    m_factor = on;
    update();
}

std::vector<double> CComponentGrid::vector_of(int c) const {
    const SVD::t_svd& svd = m_bench->svd();
    const matrix& m = m_factor ? svd.factor_vectors() : svd.eigenvectors();
    std::vector<double> v(static_cast<size_t>(m.rows()));
    for (int t = 0; t < m.rows(); ++t) v[static_cast<size_t>(t)] = m(t, c);
    return v;
}

double CComponentGrid::period_of(int c) const {
    double& p = m_periods.at(static_cast<size_t>(c));
    if (p >= 0) return p;
    if (m_kind == pairs)
        p = pair_period(m_bench->svd(), c, c + 1);
    else if (m_kind == periodograms && !m_factor)  // the curve the cell draws anyway
        p = periodogram_of(c).dominant_period();
    else
        p = eigenvector_period(m_bench->svd(), c);
    return p;
}

const periodogram& CComponentGrid::periodogram_of(int c) const {
    std::optional<periodogram>& p = m_periodograms.at(static_cast<size_t>(c));
    if (!p) {
        const std::vector<double> u = vector_of(c);
        p = vectors_periodogram({u.data()}, static_cast<int>(u.size()));
    }
    return *p;
}

QString CComponentGrid::caption(int c) const {
    if (m_kind == pairs) return QString("%1 vs %2, period %3").arg(c + 2).arg(c + 1).arg(qs(period_text(period_of(c))));
    // Four significant digits: a small contribution is never "0.000 %".
    return QString("%1: %2 %, period %3")
        .arg(c + 1)
        .arg(qs(format_text("%.4g", 100 * m_bench->svd().contribution(c))))
        .arg(qs(period_text(period_of(c))));
}

void CComponentGrid::paint_cell(QPainter& p, int c, QRect r) const {
    p.setPen(Qt::lightGray);
    p.drawRect(r.adjusted(2, 2, -3, -3));
    p.setPen(Qt::black);
    p.drawText(r.adjusted(6, 4, -6, 0), Qt::AlignLeft | Qt::AlignTop, caption(c));
    const QRect plot = r.adjusted(8, 24, -8, -8);
    if (m_kind == periodograms) {
        // The plot sets its own font and pens: the next cell's caption keeps the widget's.
        p.save();
        {
            qt_dc dc(p);
            CDCUtils utils;
            // Room below the frame for the frequencies.
            paint_periodogram(dc, utils, {plot.left(), plot.top(), plot.right(), plot.bottom() - 12},
                              periodogram_of(c));
        }
        p.restore();
        return;
    }
    QPainterPath path;
    if (m_kind == pairs) {
        const std::vector<double> x = vector_of(c + 1), y = vector_of(c);
        double big = 0;
        for (size_t t = 0; t < x.size(); ++t) big = std::max({big, std::fabs(x[t]), std::fabs(y[t])});
        if (!(big > 0)) return;
        // Equal scales, so a harmonic pair is a regular polygon, not an ellipse.
        const double half = std::min(plot.width(), plot.height()) / 2.0, cx = plot.center().x(), cy = plot.center().y();
        for (size_t t = 0; t < x.size(); ++t) {
            const QPointF pt(cx + half * x[t] / big, cy - half * y[t] / big);
            t == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
    } else {
        const std::vector<double> v = vector_of(c);
        if (v.empty()) return;
        double lo = *std::min_element(v.begin(), v.end());
        double hi = *std::max_element(v.begin(), v.end());
        if (!(hi > lo)) hi = lo + 1;
        const int n = static_cast<int>(v.size());
        const double w = plot.width();
        auto y_of = [&](double value) { return plot.bottom() - (value - lo) / (hi - lo) * plot.height(); };
        if (n > 2 * plot.width()) {
            // Long vectors: each pixel column's lowest and highest value.
            for (int px = 0; px < plot.width(); ++px) {
                const int a = static_cast<int>(static_cast<long long>(px) * n / plot.width());
                const int b = std::max(a + 1, static_cast<int>(static_cast<long long>(px + 1) * n / plot.width()));
                const auto [mn, mx] = std::minmax_element(v.begin() + a, v.begin() + std::min(b, n));
                path.moveTo(plot.left() + px, y_of(*mn));
                path.lineTo(plot.left() + px, y_of(*mx));
            }
        } else {
            for (int t = 0; t < n; ++t) {
                const QPointF pt(plot.left() + w * t / std::max(n - 1, 1), y_of(v[static_cast<size_t>(t)]));
                t == 0 ? path.moveTo(pt) : path.lineTo(pt);
            }
        }
    }
    p.setPen(QPen(QColor(31, 119, 180), 1));
    p.drawPath(path);
}

void CComponentGrid::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    m_painted = 0;
    const QRect exposed = event->rect();
    const int first_row = std::max(0, exposed.top() / cell_height), last_row = exposed.bottom() / cell_height;
    for (int row = first_row; row <= last_row; ++row)
        for (int col = 0; col < m_columns; ++col) {
            const int c = row * m_columns + col;
            const QRect r(col * cell_width, row * cell_height, cell_width, cell_height);
            if (c >= cells() || !r.intersects(exposed)) continue;
            paint_cell(p, c, r);
            ++m_painted;
        }
}

CComponentsView::CComponentsView(std::shared_ptr<const grouping_workbench> bench, QWidget* parent)
    : QTabWidget(parent), m_bench(bench) {
    setWindowTitle(title);
    const std::pair<CComponentGrid::kind, const char*> pages[] = {
        {CComponentGrid::vectors, "Vectors"}, {CComponentGrid::pairs, "Pairs"}, {CComponentGrid::periodograms, "Periodograms"}};
    for (const auto& [k, name] : pages) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(2, 2, 2, 2);
        if (k == CComponentGrid::vectors) {
            m_factor = new QCheckBox("&Factor vectors instead of eigenvectors");
            layout->addWidget(m_factor);
        }
        auto* area = new QScrollArea;
        auto* grid = new CComponentGrid(bench, k);
        area->setWidget(grid);
        area->setWidgetResizable(true);  // as wide as the page; the cells flow into its columns
        area->setBackgroundRole(QPalette::Base);
        layout->addWidget(area);
        m_grids.push_back(grid);
        addTab(page, name);
    }
    connect(m_factor, &QCheckBox::toggled, this, [this](bool on) { m_grids[0]->set_factor_vectors(on); });
    resize(3 * CComponentGrid::cell_width + 40, 2 * CComponentGrid::cell_height + 80);
}


CGroupingMapView::CGroupingMapView(std::shared_ptr<grouping_workbench> bench, CGroupsView* groups, app_ui& ui,
                                   QWidget* parent)
    : QWidget(parent), m_bench(std::move(bench)), m_groups(groups), m_ui(ui) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    m_count = new QSpinBox;
    m_count->setRange(1, std::max(1, m_bench->svd().count()));
    m_count->setValue(std::min(map_default_limit, m_bench->svd().count()));
    m_threshold = new QDoubleSpinBox;
    m_threshold->setRange(0, 1);
    m_threshold->setSingleStep(0.05);
    m_threshold->setValue(default_cluster_threshold);
    m_name = new QLineEdit;
    m_name->setPlaceholderText("name of a selected block");
    auto* propose_button = new QPushButton("&Propose");
    auto* accept_button = new QPushButton("&Accept proposal");
    auto* count_label = new QLabel("&Components:");
    count_label->setBuddy(m_count);
    auto* threshold_label = new QLabel("&Threshold:");
    threshold_label->setBuddy(m_threshold);
    for (QWidget* w : std::initializer_list<QWidget*>{count_label, m_count, threshold_label, m_threshold, propose_button,
                                                      accept_button, m_name})
        bar->addWidget(w);
    layout->addLayout(bar);
    m_rule = new QLabel;
    m_rule->setWordWrap(true);
    layout->addWidget(m_rule);
    m_map = new CWCorrelationView(matrix(0, 0));
    layout->addWidget(m_map, 1);
    connect(m_count, &QSpinBox::valueChanged, this, [this] { recompute(); });
    connect(propose_button, &QPushButton::clicked, this, [this] { propose(); });
    connect(accept_button, &QPushButton::clicked, this, [this] { accept_proposal(); });
    m_map->set_select_handler([this](int first, int last) { selected(first, last); });
    if (m_groups) m_groups->on_changed([this] { show_groups(); });
    recompute();
    resize(m_map->sizeHint() + QSize(40, 100));
}

void CGroupingMapView::recompute() {
    const int m = m_count->value();
    matrix rho(0, 0);
    const grouping_workbench& b = *m_bench;
    if (!m_ui.run_computation([&] {
            const t_reconstructed_tss rec(&b.svd(), m);
            rho = wcorrelation(rec, b.svd().L(), m);
        }))
        return;
    m_map->set_matrix(rho);
    m_proposal.clear();
    m_rule->clear();
    show_groups();
}

void CGroupingMapView::show_groups() {
    std::vector<CWCorrelationView::block> blocks;
    const std::vector<component_group>& g = m_bench->groups();
    for (size_t i = 0; i < g.size(); ++i) {
        std::vector<int> inside;
        for (int c : g[i].components)
            if (c < m_map->components()) inside.push_back(c);
        blocks.push_back({inside, qcolour(grouping_workbench::colour(static_cast<int>(i)))});
    }
    // The proposal dashed in grey under the groups.
    for (const std::vector<int>& p : m_proposal)
        if (p.size() > 1) blocks.insert(blocks.begin(), {p, QColor(120, 120, 120)});
    m_map->set_blocks(blocks);
}

void CGroupingMapView::propose() {
    m_proposal = cluster_components(m_map->rho(), m_threshold->value());
    m_rule->setText(qs(clustering_rule(m_threshold->value())) + ": " + proposal_text());
    show_groups();
}

QString CGroupingMapView::proposal_text() const {
    QStringList parts;
    for (const std::vector<int>& p : m_proposal) parts << qs(component_set_text(p));
    return parts.join(" | ");
}

void CGroupingMapView::accept_proposal() {
    if (!m_groups) return;
    std::vector<component_group> groups = m_bench->groups();
    for (const std::vector<int>& p : m_proposal) {
        std::vector<int> free;
        for (int c : p) {
            bool taken = false;
            for (const component_group& g : groups)
                taken = taken || std::find(g.components.begin(), g.components.end(), c) != g.components.end();
            if (!taken) free.push_back(c);
        }
        if (!free.empty()) groups.push_back({component_set_text(free), free});
    }
    m_groups->set_groups(groups);
}

void CGroupingMapView::selected(int first, int last) {
    if (!m_groups || first < 0) return;
    m_groups->add(m_name->text().toStdString(), std::to_string(first + 1) + "-" + std::to_string(last + 1));
    m_name->clear();
}

CGroupsView::CGroupsView(std::shared_ptr<grouping_workbench> bench, app_ui& ui, show_handler show, QWidget* parent)
    : QWidget(parent), m_bench(std::move(bench)), m_ui(ui), m_show(std::move(show)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_list = new QTableWidget(0, 3);
    m_list->setHorizontalHeaderLabels({"", "Name", "Components"});
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 24);
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(m_list, 1);
    auto* add_row = new QHBoxLayout;
    m_name = new QLineEdit;
    m_name->setPlaceholderText("name");
    m_components = new QLineEdit;
    m_components->setPlaceholderText("components, e.g. 1,4-5,7");
    auto* add_button = new QPushButton("&Add");
    auto* remove_button = new QPushButton("Re&move");
    for (QWidget* w : std::initializer_list<QWidget*>{m_name, m_components, add_button, remove_button})
        add_row->addWidget(w);
    layout->addLayout(add_row);
    auto* actions = new QHBoxLayout;
    auto* reconstruct_button = new QPushButton("&Reconstruct");
    m_separate = new QCheckBox("One plot &each");
    auto* save_button = new QPushButton("&Save series...");
    for (QWidget* w : std::initializer_list<QWidget*>{reconstruct_button, m_separate, save_button}) actions->addWidget(w);
    layout->addLayout(actions);
    m_wcor = new QPlainTextEdit;
    m_wcor->setReadOnly(true);
    m_wcor->setMaximumHeight(120);
    layout->addWidget(m_wcor);
    connect(add_button, &QPushButton::clicked, this, [this] { add_typed(); });
    connect(m_components, &QLineEdit::returnPressed, this, [this] { add_typed(); });
    connect(remove_button, &QPushButton::clicked, this, [this] {
        m_bench->remove_group(m_list->currentRow());
        refresh();
    });
    connect(reconstruct_button, &QPushButton::clicked, this, [this] { reconstruct(); });
    connect(save_button, &QPushButton::clicked, this, [this] { save_series(); });
    refresh();
    resize(420, 360);
}

void CGroupsView::guarded(const std::function<void()>& f) {
    try {
        f();
    } catch (const SSA_math_exception::ssa_exception& e) {
        m_ui.message_box(e.message, title, notify_icon::warning);
    } catch (const std::exception& e) {
        m_ui.message_box(e.what(), title, notify_icon::error);
    }
}

void CGroupsView::refresh() {
    const std::vector<component_group>& g = m_bench->groups();
    m_list->setRowCount(static_cast<int>(g.size()));
    for (int i = 0; i < static_cast<int>(g.size()); ++i) {
        auto* swatch = new QTableWidgetItem;
        swatch->setBackground(qcolour(grouping_workbench::colour(i)));
        m_list->setItem(i, 0, swatch);
        m_list->setItem(i, 1, new QTableWidgetItem(qs(g[static_cast<size_t>(i)].name)));
        m_list->setItem(i, 2, new QTableWidgetItem(qs(component_set_text(g[static_cast<size_t>(i)].components))));
    }
    m_wcor->clear();
    for (const auto& f : m_changed) f();
}

void CGroupsView::add_typed() { add(m_name->text().toStdString(), m_components->text().toStdString()); }

void CGroupsView::add(const std::string& name, const std::string& components) {
    guarded([&] {
        m_bench->add_group(name, components);
        m_name->clear();
        m_components->clear();
        refresh();
    });
}

void CGroupsView::set_groups(std::vector<component_group> groups) {
    guarded([&] {
        m_bench->set_groups(std::move(groups));
        refresh();
    });
}

QString CGroupsView::wcor_text() const { return m_wcor->toPlainText(); }

void CGroupsView::reconstruct() {
    guarded([&] {
        if (m_bench->groups().empty()) throw grouping_error("no group to reconstruct: add one first");
        grouped_reconstruction r;
        matrix w(0, 0);
        if (!m_ui.run_computation([&] {
                r = m_bench->reconstruct();
                w = m_bench->group_wcorrelation(r);
            }))
            return;
        // The separability check: |w| below 0.1 between groups.
        QStringList lines;
        const std::vector<component_group>& g = m_bench->groups();
        for (int i = 0; i < w.rows(); ++i)
            for (int j = i + 1; j < w.cols(); ++j)
                lines << QString("%1 and %2: w = %3%4")
                             .arg(qs(g[static_cast<size_t>(i)].name), qs(g[static_cast<size_t>(j)].name))
                             .arg(w(i, j), 0, 'f', 4)
                             .arg(std::fabs(w(i, j)) < grouping_workbench::separable_below ? ", separable" : ", not separable");
        m_wcor->setPlainText(lines.join("\n"));
        if (m_show) m_show(r, m_separate->isChecked());
    });
}

void CGroupsView::save_series() {
    guarded([&] {
        if (m_bench->groups().empty()) throw grouping_error("no group to save: add one first");
        grouped_reconstruction r;
        if (!m_ui.run_computation([&] { r = m_bench->reconstruct(); })) return;
        std::vector<const t_ts*> parts;
        for (const t_ts& t : r.groups) parts.push_back(&t);
        parts.push_back(&r.residual);
        for (const t_ts* t : parts) {
            const std::string path = m_ui.ask_save_file("Save " + t->title(), "Data files (*.dat)|*.dat||",
                                                        derived_name(path_stem(m_bench->data_path()), t->title()));
            if (!path.empty()) save_cts(path, *t);
        }
    });
}

void CGroupsView::save_grouping() {
    guarded([&] {
        const std::string path = m_ui.ask_save_file("Save grouping", "Grouping files (*.json)|*.json||",
                                                    derived_name(path_stem(m_bench->data_path()), "grouping", ".json"));
        if (!path.empty()) ::save_grouping(path, m_bench->grouping());
    });
}

void CGroupsView::open_grouping() {
    guarded([&] {
        const std::string path = m_ui.ask_open_file("Open grouping", "Grouping files (*.json)|*.json||");
        if (path.empty()) return;
        m_bench->open(load_grouping(path));
        refresh();
    });
}
