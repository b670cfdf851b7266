#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../app/app_series.h"
#include "../app/fake_app_ui.h"
#include "gui/grouping_windows.h"

namespace {

// trend_sine_alternating at L = 30: 1 trend, (2, 3) period 10, 4 period 2, 5 the rest.
std::shared_ptr<grouping_workbench> mix_bench() {
    const t_ts ts = trend_sine_alternating();
    auto svd = std::make_shared<SVD::t_svd>(ts, 30);
    svd->factor_vectors();
    return std::make_shared<grouping_workbench>(ts, svd, "/data/mix.dat");
}

void drag(QWidget& w, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, w.mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QMouseEvent move(QEvent::MouseMove, to, w.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w.mapToGlobal(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
}

}  // namespace

TEST(ComponentsView, CaptionsPagesAndOnlyTheVisibleCellsPainted) {
    const auto bench = mix_bench();
    CComponentsView view(bench);
    view.resize(3 * CComponentGrid::cell_width + 40, CComponentGrid::cell_height + 80);
    view.show();
    QApplication::processEvents();
    CComponentGrid& vectors = view.grid(0);
    ASSERT_EQ(vectors.cells(), bench->svd().count());
    EXPECT_TRUE(vectors.caption(0).endsWith(", period -"));
    EXPECT_EQ(view.grid(1).caption(1).toStdString(), "3 vs 2, period 10.00");
    EXPECT_EQ(view.grid(1).cells(), bench->svd().count() - 1);
    // A paint touches only the cells it exposes: here the first row.
    const int columns = vectors.width() / CComponentGrid::cell_width;
    ASSERT_GE(columns, 2);
    vectors.repaint(QRect(0, 0, vectors.width(), CComponentGrid::cell_height));
    EXPECT_EQ(vectors.painted(), std::min(columns, vectors.cells()));
    vectors.repaint(QRect(0, 0, 10, 10));
    EXPECT_EQ(vectors.painted(), 1);
    const QImage eigen = vectors.grab().toImage();
    view.factor_switch().setChecked(true);
    EXPECT_NE(vectors.grab().toImage(), eigen);  // the factor vectors differ from the eigenvectors
}

TEST(GroupingMapView, DragAlongTheDiagonalMakesAGroupAndTheProposalTheRest) {
    const auto bench = mix_bench();
    scripted_app_ui ui;
    CGroupsView groups(bench, ui, {});
    CGroupingMapView view(bench, &groups, ui);
    view.resize(700, 700);
    view.show();
    QApplication::processEvents();
    CWCorrelationView& map = view.map();
    EXPECT_EQ(view.count().value(), std::min(50, bench->svd().count()));
    view.group_name().setText("annual");
    drag(*map.viewport(), map.cell_rect(1, 1).center(), map.cell_rect(2, 2).center());
    ASSERT_EQ(bench->groups().size(), 1u);
    EXPECT_EQ(bench->groups()[0].name, "annual");
    EXPECT_EQ(bench->groups()[0].components, (std::vector<int>{1, 2}));
    ASSERT_EQ(map.blocks().size(), 1u);
    // The block is drawn in the group's colour on the diagonal.
    const QImage img = map.grab().toImage();
    const rgb c = grouping_workbench::colour(0);
    EXPECT_EQ(img.pixelColor(map.cell_rect(1, 1).topLeft() + QPoint(2, 10)), QColor(c.red, c.green, c.blue));
    view.threshold().setValue(0.5);
    view.propose();
    EXPECT_NE(view.proposal_text().indexOf("2-3"), -1) << view.proposal_text().toStdString();
    view.accept_proposal();
    // Every component of the map in exactly one group; the annual pair kept its name.
    std::vector<int> all;
    for (const component_group& g : bench->groups()) all.insert(all.end(), g.components.begin(), g.components.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(static_cast<int>(all.size()), view.count().value());
    EXPECT_EQ(bench->groups()[0].name, "annual");
    EXPECT_EQ(groups.list().rowCount(), static_cast<int>(bench->groups().size()));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(GroupsView, TypedGroupsReconstructSaveAndReopen) {
    const auto bench = mix_bench();
    scripted_app_ui ui;
    std::vector<size_t> shown;
    CGroupsView view(bench, ui, [&](const grouped_reconstruction& r, bool) { shown.push_back(r.groups.size()); });
    view.show();
    view.name_field().setText("trend");
    for (const char* typed : {"1", "2-3", "3,x"}) {
        view.components_field().setText(typed);
        view.add_typed();
    }
    EXPECT_EQ(ui.messages.size(), 1u);  // the text is the parser's
    EXPECT_EQ(view.list().rowCount(), 2);
    EXPECT_EQ(view.list().item(1, 1)->text(), "2-3");
    view.reconstruct();
    EXPECT_EQ(shown, std::vector<size_t>{2});
    EXPECT_TRUE(view.wcor_text().startsWith("trend and 2-3: w = ")) << view.wcor_text().toStdString();
    EXPECT_NE(view.wcor_text().indexOf(", separable"), -1);
    QTemporaryDir dir;
    const std::string path = dir.filePath("g.json").toStdString();
    ui.files = {path};
    view.save_grouping();
    view.set_groups({});
    ui.files = {path};
    view.open_grouping();
    ASSERT_EQ(bench->groups().size(), 2u);
    EXPECT_EQ(bench->groups()[0].name, "trend");
    EXPECT_EQ(ui.messages.size(), 1u);
}
