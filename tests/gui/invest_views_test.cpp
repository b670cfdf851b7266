#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
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
    EXPECT_EQ(view.scroll_size().width, view.viewport()->width() - 20);  // narrowed by the scroll bar
    // A wheel notch scrolls the grid by lines of text, not by pixels.
    QWheelEvent notch(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &notch);
    EXPECT_EQ(view.verticalScrollBar()->value(), QApplication::wheelScrollLines() * view.fontMetrics().lineSpacing());
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

// Zoomed and scrolled, a point names, paints and selects the cell under it; the zoom keys are the map's.
TEST(WCorrelationView, ZoomKeepsHoverPaintAndDragOnTheComponentsUnderThePointer) {
    const int m = 30;
    matrix rho(m, m);  // not symmetric, so that a row taken for a column shows
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) rho.set(i == j ? 1.0 : ((i * 7 + j * 3) % 11) / 10.0 - 0.5, i, j);
    QWidget window;
    CWCorrelationView view(rho, &window);
    int smoothed = 0;
    auto* smooth = new QAction(&window);
    smooth->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    window.addAction(smooth);
    QObject::connect(smooth, &QAction::triggered, [&] { ++smoothed; });
    view.resize(400, 400);
    window.show();
    view.setFocus();
    QApplication::processEvents();
    const int fitted = view.cell_size();
    ASSERT_LT(fitted, CWCorrelationView::values_from);
    auto notches = [&](QPoint at, int n) {
        QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * n), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
    };
    auto grey_of = [](double w) { return static_cast<int>(std::lround(255 * (1 - std::fabs(w)))); };
    auto shows = [&](const QImage& img, int i, int j) {
        const QPoint corner = view.cell_rect(i, j).topLeft() + QPoint(1, 1);
        const QString hover = QString("%1 and %2: %3").arg(i + 1).arg(j + 1).arg(rho(i, j), 0, 'f', 4);
        return qGray(img.pixel(corner)) == grey_of(rho(i, j)) && view.cell_text(corner).startsWith(hover);
    };
    QImage whole(view.size(), QImage::Format_RGB32);
    view.render(&whole);
    EXPECT_TRUE(shows(whole, 0, 1) && shows(whole, 2, 1));
    // Ctrl+wheel zooms about the pointer: the cell under it stays under it.
    const QPoint at = view.cell_rect(10, 12).center();
    notches(at, 3);
    EXPECT_FALSE(view.fitted());
    EXPECT_GT(view.cell_size(), fitted);
    int i = -1, j = -1;
    ASSERT_TRUE(view.cell_at(at, i, j));
    EXPECT_EQ(std::pair(i, j), std::pair(10, 12));
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(view.horizontalScrollBar()->value(), 0);  // scrolled to keep the anchor
    // Ctrl++ until the values show; the window's own Ctrl+- and Ctrl++ never fire.
    for (int k = 0; k < 10 && view.cell_size() < CWCorrelationView::values_from; ++k)
        QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(smoothed, 0);
    ASSERT_GE(view.cell_size(), CWCorrelationView::values_from);
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QImage img(view.size(), QImage::Format_RGB32);
    view.render(&img);
    EXPECT_TRUE(shows(img, m - 1, m - 2) && shows(img, m - 3, m - 1));
    // Cells scrolled under the numbers are no cells there.
    EXPECT_EQ(view.cell_text(QPoint(2, view.cell_rect(m - 1, 0).center().y())), QString());
    // Zooming out stops at the fitted map; Ctrl+0 fits at once.
    for (int k = 0; k < 20; ++k) QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_TRUE(view.fitted());
    EXPECT_EQ(view.cell_size(), fitted);
    notches(view.cell_rect(5, 5).center(), 2);
    QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(view.fitted());
    EXPECT_EQ(smoothed, 0);
}

}  // namespace
