#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "app/document.h"
#include "gui/ts_view.h"
#include "paint_probe.h"
#include "timeseries/ts.h"

namespace {

class plain_doc : public document {
public:
    plain_doc() : document(doc_kind::time_series) {}
};

// 201 points with dates, in a window whose plot runs from x = 40 to 580.
struct plot_window {
    plot_window() : view(&doc, [this]() -> const t_ts& { return ts; }) {
        std::vector<std::string> dates;
        for (int t = 0; t < 201; ++t) {
            ts.values()[t] = t % 7 + 0.5 * t;
            dates.push_back("d" + std::to_string(t));
        }
        ts.set_ticks(&dates);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(600, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QWidget* port() { return view.viewport(); }
    // The panels come from a paint, as on screen.
    const dc_rect& rect() {
        render(view);
        return view.panels().front().rect;
    }
    double point_at(int x) { return view.window().point_at(x, rect().left, rect().right); }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent e(type, at, port()->mapToGlobal(at), button, type == QEvent::MouseMove ? held : Qt::MouseButtons(button),
                      mods);
        QCoreApplication::sendEvent(port(), &e);
    }
    t_ts ts{std::vector<double>(201)};
    plain_doc doc;
    CTsView view;
};

TEST(PlotView, CtrlWheelZoomsAroundThePointerAndAPlainWheelDoesNot) {
    plot_window w;
    const QPoint at(w.rect().left + (w.rect().width() * 3) / 4, 200);
    const double before = w.point_at(at.x());
    for (Qt::KeyboardModifier mods : {Qt::NoModifier, Qt::ControlModifier}) {
        QWheelEvent e(at, w.port()->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w.port(), &e);
        EXPECT_EQ(w.doc.span().whole(), mods == Qt::NoModifier);
    }
    // Two notches in: 1.25 squared, the point under the pointer where it was.
    EXPECT_NEAR(w.view.window().span(), 200 / 1.5625, 1e-9);
    EXPECT_NEAR(w.point_at(at.x()), before, 1e-9);
}

TEST(PlotView, KeysZoomAboutTheMiddlePanAndHomeShowsEverything) {
    plot_window w;
    QTest::keyClick(&w.view, Qt::Key_Up, Qt::ControlModifier);
    const time_window zoomed = w.view.window();
    EXPECT_NEAR(zoomed.span(), 160, 1e-9);
    EXPECT_NEAR(zoomed.first() + zoomed.last(), 200, 1e-9);
    QTest::keyClick(&w.view, Qt::Key_Left);
    EXPECT_NEAR(w.view.window().first(), zoomed.first() - 16, 1e-9);
    QTest::keyClick(&w.view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(w.doc.span().whole());
    QTest::keyClick(&w.view, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(&w.view, Qt::Key_Home);
    EXPECT_TRUE(w.doc.span().whole());
}

TEST(PlotView, DragPansAndShiftDragZoomsToTheBandButAClickDoesNot) {
    plot_window w;
    w.view.set_window(time_window(201, 100, 150));
    const dc_rect r = w.rect();
    const QPoint from(r.left + 300, 200), to(r.left + 300 - r.width() / 5, 200);
    w.mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    w.mouse(QEvent::MouseMove, to, Qt::NoButton);
    w.mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    // A fifth of the plot to the left: a fifth of the span further on, the span kept.
    EXPECT_NEAR(w.view.window().first(), 110, 1e-9);
    EXPECT_NEAR(w.view.window().span(), 50, 1e-9);

    w.view.set_window(time_window(201));
    const QPoint a(r.left + r.width() / 2, 150), b(r.left + r.width() / 4, 220);
    const double pa = w.point_at(a.x()), pb = w.point_at(b.x());
    w.mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::ShiftModifier);
    w.mouse(QEvent::MouseButtonRelease, a + QPoint(1, 0), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(w.doc.span().whole());
    w.mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::ShiftModifier);
    w.mouse(QEvent::MouseMove, b, Qt::NoButton, Qt::ShiftModifier);
    w.mouse(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_NEAR(w.view.window().first(), pb, 1e-9);
    EXPECT_NEAR(w.view.window().last(), pa, 1e-9);
}

TEST(PlotView, PointerReadsOutTheNearestPointInTheLabelAndTheSignal) {
    plot_window w;
    QString told;
    QObject::connect(&w.view, &CPlotView::readout_changed, [&](const QString& s) { told = s; });
    w.view.set_window(time_window(201, 50, 100));
    const dc_rect r = w.rect();
    // 30 % across 50 .. 100: point 65.
    w.mouse(QEvent::MouseMove, QPoint(r.left + (r.width() * 3) / 10, 200), Qt::NoButton);
    const QString expected = QString("d65: series %1").arg(65 % 7 + 0.5 * 65);
    EXPECT_EQ(w.view.readout_text(), expected);
    EXPECT_EQ(told, expected);
    auto* label = w.port()->findChild<QLabel*>("readout");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), expected);
    // New data in the document: the old panels point into freed values, so nothing reads
    // them until the repaint, which reads the new ones.
    w.ts = t_ts(std::vector<double>(201, 7.0));
    w.doc.changed(change_content);
    w.mouse(QEvent::MouseMove, QPoint(r.left + (r.width() * 3) / 10, 200), Qt::NoButton);
    w.view.viewport()->repaint();
    EXPECT_TRUE(w.view.readout_text().endsWith(": series 7")) << w.view.readout_text().toStdString();
    // Off the plot, and leaving the window, clear it.
    w.mouse(QEvent::MouseMove, QPoint(5, 5), Qt::NoButton);
    EXPECT_TRUE(told.isEmpty());
    EXPECT_FALSE(label->isVisible());
}

}  // namespace
