// The result windows rendered offscreen through QPainter.
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "app/document.h"
#include "core/hooks.h"
#include "decomp/svd.h"
#include "invest/trend_invest.h"
#include "timeseries/ts.h"
#include "views/invest_views.h"

namespace {

class plain_doc : public document {
public:
    plain_doc() : document(doc_kind::time_series) {}
};

QImage render(CPlotView& view) {
    QImage img(view.viewport()->size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    view.paint_to(p);
    return img;
}

int count(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
}

TEST(TrendInvestViewRender, ShowsTheSeriesAndTheTrendOnOneOrTwoScales) {
    // A rising line with a period-4 wiggle: LowFreq finds the trend.
    std::vector<double> v;
    for (int t = 0; t < 60; ++t) v.push_back(10 + 0.5 * t + ((t % 4) - 1.5));
    const t_ts ts(v);
    t_trend_invest inv(ts);
    inv.set_L(12);
    inv.investigate();
    ASSERT_FALSE(inv.get_components().empty());

    plain_doc doc;
    bool two = false;
    CTrendInvestView view(&doc, [&] { return invest_window<t_trend_invest>{&ts, &inv, two}; });
    view.setFrameShape(QFrame::NoFrame);
    view.resize(500, 300);
    view.show();
    ASSERT_EQ(view.viewport()->width(), 500);
    const QImage img = render(view);
    EXPECT_GT(count(img, qRgb(0, 0, 255)), 200);     // the series
    EXPECT_GT(count(img, qRgb(255, 128, 64)), 200);  // the trend
    // Two scales make room for the labels on the right: the frame's right edge moves in.
    EXPECT_EQ(img.pixel(479, 150), qRgb(0, 0, 0));
    two = true;
    doc.changed(change_content);
    const QImage scaled = render(view);
    EXPECT_NE(scaled.pixel(479, 150), qRgb(0, 0, 0));
    EXPECT_EQ(scaled.pixel(459, 150), qRgb(0, 0, 0));
}

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

}  // namespace
