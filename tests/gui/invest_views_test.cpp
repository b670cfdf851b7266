#include <QApplication>
#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "app/document.h"
#include "core/hooks.h"
#include "decomp/svd.h"
#include "paint_probe.h"
#include "timeseries/ts.h"
#include "gui/invest_views.h"
#include "gui/wcor_view.h"

namespace {

class plain_doc : public document {
public:
    plain_doc() : document(doc_kind::time_series) {}
};

TEST(SvdViewRender, ScrollsOverTheGridAndSaysUnrealizedOnce) {
    std::vector<double> v;
    for (int t = 0; t < 60; ++t) v.push_back(3 + std::sin(t * 0.7) + 0.3 * std::cos(1.3 * t * t));
    SVD::t_svd svd(t_ts(v), 20);
    svd.set_count(7);
    plain_doc doc;
    int kind = svd_eigenvectors;
    CSVDView view(&doc, [&] { return CSVDView::svd_display{&svd, kind}; });
    view.setFrameShape(QFrame::NoFrame);
    view.resize(650, 300);
    view.show();
    // The vertical scroll bar narrows the client area.
    EXPECT_EQ(view.scroll_size(), (dc_size{view.viewport()->width() - 20, 573}));

    // A wheel notch scrolls the grid by lines of text, not by pixels.
    QWheelEvent notch(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &notch);
    EXPECT_EQ(view.verticalScrollBar()->value(), QApplication::wheelScrollLines() * view.fontMetrics().lineSpacing());
    EXPECT_GE(view.verticalScrollBar()->value(), 30);

    std::vector<std::string> said;
    scoped_notify_hook hook([&](const std::string& s, const std::string&, notify_icon) { said.push_back(s); });
    kind = svd_reconstructed;
    doc.changed(change_content);
    EXPECT_EQ(view.scroll_size(), initial_scroll_size);
    render(view);
    render(view);
    QCoreApplication::processEvents();
    EXPECT_EQ(said, std::vector<std::string>{"unrealized"});
}

// The w-correlation map.
TEST(WCorrelationView, GreyFollowsTheAbsoluteCorrelationAndHoverNamesTheCell) {
    matrix rho(3, 3);
    const double values[3][3] = {{1, -0.5, 0}, {-0.5, 1, 0.25}, {0, 0.25, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rho.set(values[i][j], i, j);
    CWCorrelationView view(rho);
    view.resize(300, 300);
    QImage img(view.size(), QImage::Format_RGB32);
    view.render(&img);

    struct probe { int i, j, grey; };
    for (probe p : {probe{0, 0, 0}, probe{0, 1, 128}, probe{1, 0, 128}, probe{0, 2, 255}, probe{1, 2, 191}}) {
        const QRect r = view.cell_rect(p.i, p.j);
        ASSERT_GT(r.width(), 50);  // scaled to the window
        // Off the value written in the middle of a large cell.
        EXPECT_EQ(img.pixel(r.topLeft() + QPoint(3, 3)), qRgb(p.grey, p.grey, p.grey)) << p.i << "," << p.j;
        EXPECT_TRUE(view.cell_text(r.center())
                        .startsWith(QString("%1 and %2: %3").arg(p.i + 1).arg(p.j + 1).arg(values[p.i][p.j], 0, 'f', 4)));
    }
    EXPECT_EQ(view.cell_text(QPoint(2, 2)), QString());  // the axis labels
    // The numbers stand left of the first row: some dark pixel there.
    const QRect first = view.cell_rect(0, 0);
    bool label = false;
    for (int x = 0; x < first.left() - 1; ++x)
        for (int y = first.top(); y < first.bottom(); ++y) label = label || qGray(img.pixel(x, y)) < 128;
    EXPECT_TRUE(label);
}

}  // namespace
