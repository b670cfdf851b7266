// The grouping windows over one grouping_workbench: the components at a
// glance (eigenvector or factor-vector plots, neighbouring pairs as scatter
// plots, periodograms), the w-correlation map to act on, and the Groups window.
#pragma once

#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/grouping_workbench.h"
#include "gui/series_saver.h"
#include "gui/wcor_view.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class app_ui;

// One page of small plots, one per component (or neighbouring pair); only the
// cells inside the exposed rectangle are painted, so 50 components of
// length 5 10^4 open at once.
class CComponentGrid : public QWidget {
    Q_OBJECT
public:
    enum kind { vectors, pairs, periodograms };
    static constexpr int cell_width = 220, cell_height = 150;

    CComponentGrid(std::shared_ptr<const grouping_workbench> bench, kind k, QWidget* parent = nullptr);
    int cells() const;
    // Lays the cells out for a width: as many columns as fit.
    void fit_width(int width);
    void set_factor_vectors(bool on);
    // The cells painted by the last paint, for the laziness check.
    int painted() const { return m_painted; }
    // The caption of cell c: "2: 0.1234 %, period 12.00".
    QString caption(int c) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<double> vector_of(int c) const;
    // The period in cell c's caption (of a pair on the Pairs page).
    double period_of(int c) const;
    const periodogram& periodogram_of(int c) const;
    void paint_cell(QPainter& p, int c, QRect r) const;

    std::shared_ptr<const grouping_workbench> m_bench;
    kind m_kind;
    bool m_factor = false;
    int m_columns = 1;
    // Filled as cells are first painted, so a repaint refits nothing: the
    // captions' periods (-1 unknown) and the Periodograms page's curves.
    mutable std::vector<double> m_periods;
    mutable std::vector<std::optional<periodogram>> m_periodograms;
    int m_painted = 0;
};

// The Components window (Ctrl+K): the pages Vectors, Pairs and Periodograms.
class CComponentsView : public QTabWidget {
    Q_OBJECT
public:
    static constexpr const char* title = "Components";
    explicit CComponentsView(std::shared_ptr<const grouping_workbench> bench, QWidget* parent = nullptr);
    const grouping_workbench& bench() const { return *m_bench; }
    CComponentGrid& grid(int page) { return *m_grids.at(static_cast<size_t>(page)); }
    QCheckBox& factor_switch() { return *m_factor; }

private:
    std::shared_ptr<const grouping_workbench> m_bench;
    std::vector<CComponentGrid*> m_grids;
    QCheckBox* m_factor;
};

class CGroupsView;

// The map of the leading components' w-correlations with the count, the
// clustering threshold, the proposal and the groups drawn as blocks.
class CGroupingMapView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* title = "W-correlation map";
    CGroupingMapView(std::shared_ptr<grouping_workbench> bench, CGroupsView* groups, app_ui& ui,
                     QWidget* parent = nullptr);

    CWCorrelationView& map() { return *m_map; }
    const grouping_workbench& bench() const { return *m_bench; }
    QSpinBox& count() { return *m_count; }
    QDoubleSpinBox& threshold() { return *m_threshold; }
    QLineEdit& group_name() { return *m_name; }
    // The proposal for the current count and threshold, shown as blocks and listed.
    void propose();
    const std::vector<std::vector<int>>& proposal() const { return m_proposal; }
    // Sends the proposal to the Groups window; components already in a group stay there.
    void accept_proposal();
    QString proposal_text() const;

private:
    void recompute();
    void selected(int first, int last);
    void show_groups();

    std::shared_ptr<grouping_workbench> m_bench;
    CGroupsView* m_groups;
    app_ui& m_ui;
    CWCorrelationView* m_map;
    QSpinBox* m_count;
    QDoubleSpinBox* m_threshold;
    QLineEdit* m_name;
    QLabel* m_rule;
    std::vector<std::vector<int>> m_proposal;
};

// The Groups window: the named groups with their colours, typed or sent from
// the other windows; Reconstruct, Save series, and the w-correlations between
// the groups.
class CGroupsView : public QWidget, public series_saver {
    Q_OBJECT
public:
    static constexpr const char* title = "Groups";
    // reconstructed: shows the groups and the residual (separate: one plot each).
    using show_handler = std::function<void(const grouped_reconstruction&, bool separate)>;
    CGroupsView(std::shared_ptr<grouping_workbench> bench, app_ui& ui, show_handler show, QWidget* parent = nullptr);

    grouping_workbench& bench() { return *m_bench; }
    const grouping_workbench& bench() const { return *m_bench; }
    QLineEdit& name_field() { return *m_name; }
    QLineEdit& components_field() { return *m_components; }
    QTableWidget& list() { return *m_list; }
    QString wcor_text() const;

    // Each shows a refusal in a message box and changes nothing.
    void add_typed();
    void add(const std::string& name, const std::string& components);
    void set_groups(std::vector<component_group> groups);
    void reconstruct();
    // Asks for a file per group and for the residual; a cancelled one is skipped.
    void save_series() override;
    void save_grouping();
    void open_grouping();
    // Observers of the groups (the map redraws its blocks).
    void on_changed(std::function<void()> f) { m_changed.push_back(std::move(f)); }

private:
    void refresh();
    void guarded(const std::function<void()>& f);

    std::shared_ptr<grouping_workbench> m_bench;
    app_ui& m_ui;
    show_handler m_show;
    QTableWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_components;
    QCheckBox* m_separate;
    QPlainTextEdit* m_wcor;
    std::vector<std::function<void()>> m_changed;
};
