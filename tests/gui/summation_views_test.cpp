#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

#include "../app/app_series.h"
#include "../app/fake_app_ui.h"
#include "app/comp_info_doc.h"
#include "paint_probe.h"
#include "gui/comp_info_view.h"
#include "gui/summation_views.h"

namespace {

class fixed_grid : public tabul_grid_owner {
public:
    int grid_rows() const override { return 2; }
    int grid_columns() const override { return 3; }
    std::string grid_header(int c) const override { return c == 0 ? "A" : c == 1 ? "B,x" : "C"; }
    int grid_width(int) const override { return 40; }
    std::string grid_text(int r, int c) const override {
        static const char* const t[2][3] = {{"1", "say \"hi\"", " "}, {"2", "plain", " "}};
        return t[r][c];
    }
    cell_kind grid_kind(int, int c) const override { return c == 2 ? cell_check : cell_text; }
    bool grid_checked(int r, int) const override { return r == 1; }
};

TEST(TabulGrid, SelectionAndCsvTexts) {
    const fixed_grid g;
    const std::pair<std::vector<std::pair<int, int>>, std::string> rows[] = {
        {{{0, 0}}, "A\n1\n"},
        {{{1, 1}, {0, 0}}, "A\tB,x\n1\t\n\tplain\n"},  // the spanned rectangle, unselected cells empty
        {{}, ""},
    };
    for (const auto& [cells, text] : rows) EXPECT_EQ(grid_selection_text(g, cells), text);
    EXPECT_EQ(grid_csv(g), "A,\"B,x\",C\n1,\"say \"\"hi\"\"\",0\n2,plain,1\n");
}

QImage grabbed(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QColor at(CTabulGridView& v, QImage& img, int row, int column) {
    const QRect r = v.visualRect(v.model()->index(row, column));
    const QPoint p = v.viewport()->mapTo(&v, r.topLeft() + QPoint(r.width() - 3, r.height() / 2));
    return img.pixelColor(p);
}

void click(CTabulGridView& v, int row, int column) {
    const QPoint p = v.visualRect(v.model()->index(row, column)).center();
    for (const auto& [type, buttons] : {std::pair(QEvent::MouseButtonPress, Qt::LeftButton),
                                         std::pair(QEvent::MouseButtonRelease, Qt::NoButton)}) {
        QMouseEvent e(type, p, v.viewport()->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(v.viewport(), &e);
    }
}

class SummationViews : public testing::Test, protected summation_with_table {
protected:
    scripted_app_ui ui;
};

TEST_F(SummationViews, TableShowsTheDocumentsTextsAndColours) {
    CSummationInvestView view(summation.get(), &ui, {});
    view.resize(1400, 300);
    view.show();
    ASSERT_EQ(view.model()->rowCount(), 5);
    QImage img = grabbed(view);
    for (int c = 0; c < CSummationInvestDoc::table_columns; ++c) {
        EXPECT_EQ(view.model()->headerData(c, Qt::Horizontal).toString().toStdString(),
                  CSummationInvestDoc::header_text(c));
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(view.model()->index(k, c).data().toString().toStdString(), summation->cell_text(k, c));
            const rgb want = summation->cell_colour(k, c);
            EXPECT_EQ(at(view, img, k, c), QColor(want.red, want.green, want.blue)) << k << "," << c;
        }
    }
    summation.reset();  // the window outlives its document: an empty table
    EXPECT_EQ(view.model()->rowCount(), 0);
}

TEST_F(SummationViews, InteractiveClicksFollowTheRulesAndRepaint) {
    std::vector<int> infos;
    CSummInteractView view(&interact, ui, [&](CSummInteractDoc&, int k) { infos.push_back(k); });
    view.resize(500, 300);
    view.show();
    auto checked = [&](int k, int c) {
        return view.model()->index(k, c).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    };
    auto text = [&](int k, int c) { return view.model()->index(k, c).data().toString().toStdString(); };
    EXPECT_GE(view.columnWidth(0), view.horizontalHeader()->fontMetrics().horizontalAdvance("Component #"));
    EXPECT_TRUE(checked(0, 1) && !checked(0, 2) && checked(1, 2) && checked(2, 2));
    EXPECT_EQ(text(1, 2) + text(2, 2), "32");
    // Copy and Save table write the marks as set, the partners of the pairs.
    const std::string csv = grid_csv(*view.owner());
    EXPECT_EQ(csv.rfind("Component #,TR,PER,Info,Period\n1,TR,,push,-\n2,,3,push,10.00\n3,,2,push,10.00\n", 0), 0u) << csv;
    // The rules are the document's; here each column's click reaches it and the view follows.
    click(view, 0, CSummInteractDoc::col_tr);
    EXPECT_FALSE(checked(0, 1));
    click(view, 1, CSummInteractDoc::col_per);
    EXPECT_FALSE(checked(2, 2));
    ui.seconds.push_back(5);
    click(view, 4, CSummInteractDoc::col_per);  // itself, answered by the ui's dialog
    EXPECT_EQ(text(4, 2), "5");
    click(view, 2, CSummInteractDoc::col_info);
    EXPECT_EQ(infos, std::vector<int>{2});
    QImage img = grabbed(view);
    EXPECT_EQ(at(view, img, 4, 0), QColor(Qt::white));  // repainted after 5 paired itself
}

TEST_F(SummationViews, SaveTableWritesTheCsvAndAFailureIsShown) {
    summation->name = "/data/co2.dat";
    CSummationInvestView view(summation.get(), &ui, {});
    QTemporaryDir dir;
    const std::string path = dir.filePath("table.csv").toStdString();
    ui.files = {path, dir.filePath("missing/table.csv").toStdString()};
    view.save_table();
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), grid_csv(*view.owner()));
    EXPECT_TRUE(ui.messages.empty());
    view.save_table();
    view.save_table();  // Cancel: nothing
    EXPECT_EQ(ui.messages.size(), 1u);
    // Named after the data, beside it; never after the window's title.
    EXPECT_EQ(ui.proposed.at(0), "/data/co2-summation.csv");
}

int count_in(const QImage& img, const dc_rect& r, QRgb colour) {
    int n = 0;
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x) n += img.pixel(x, y) == colour;
    return n;
}

TEST_F(SummationViews, ComponentInfoPanelsTextAndTwoScales) {
    CCompInfoDoc doc(interact.info(1));
    CCompInfoView view(&doc, [&doc] { return comp_info_of(doc); });
    view.setFrameShape(QFrame::NoFrame);
    view.resize(800, 600);
    view.show();
    const QImage one = render(view);
    const std::vector<dc_rect> panels = comp_info_panels(800, 600);
    ASSERT_EQ(panels.size(), static_cast<size_t>(panel_count));
    const QRgb blue = qRgb(0, 0, 255), green = qRgb(0, 150, 0), black = qRgb(0, 0, 0), red = qRgb(255, 0, 0);
    for (const dc_rect& r : panels) EXPECT_GT(count_in(one, r, blue), 50);
    EXPECT_GT(count_in(one, panels[panel_component], green), 50);  // the original over the component
    EXPECT_GT(count_in(one, panels[panel_periodogram], red), 10);  // the eigenvector's peak
    EXPECT_GT(count_in(one, {15 + 770 * 3 / 4 + 15, 15, 785, 585}, black), 100);  // the text column
    // Two scales: the component keeps its own range and fills more of the panel height.
    auto rows_with = [&](const QImage& img, const dc_rect& r) {
        int n = 0;
        for (int y = r.top; y <= r.bottom; ++y) {
            bool any = false;
            for (int x = r.left; x <= r.right && !any; ++x) any = img.pixel(x, y) == blue;
            n += any;
        }
        return n;
    };
    doc.set_two_scales(true);
    const QImage two = render(view);
    EXPECT_GT(rows_with(two, panels[panel_component]), rows_with(one, panels[panel_component]) + 20);
}

}  // namespace
