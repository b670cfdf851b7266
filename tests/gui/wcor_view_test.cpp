// The w-correlation map rendered offscreen.
#include <QImage>
#include <gtest/gtest.h>

#include "views/wcor_view.h"

namespace {

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
        EXPECT_EQ(img.pixel(r.center()), qRgb(p.grey, p.grey, p.grey)) << p.i << "," << p.j;
        EXPECT_EQ(view.cell_text(r.center()),
                  QString("%1 and %2: %3").arg(p.i + 1).arg(p.j + 1).arg(values[p.i][p.j], 0, 'f', 4));
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
