#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "app/document.h"
#include "paint_probe.h"
#include "timeseries/ts.h"
#include "gui/qt_dc.h"
#include "gui/save_image.h"
#include "gui/ts_view.h"

namespace {

template <class Draw>
QImage painted(int w, int h, Draw draw) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        draw(p);
    }
    return img;
}

bool is_blue(QRgb p) { return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) > 200; }

int count_blue(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += is_blue(img.pixel(x, y));
    return n;
}

void expect_envelope_matches(const std::vector<double>& v, int width) {
    const t_ts ts(v);
    CDCUtils u;
    const dc_rect rect{5, 5, width - 5, 195};
    u.set_scale(rect, ts.size(), CDCUtils::min_of(ts), CDCUtils::max_of(ts));
    const QImage envelope = painted(width, 200, [&](QPainter& p) {
        qt_dc dc(p);
        u.draw_series(dc, ts, 0);
    });
    const QImage full = painted(width, 200, [&](QPainter& p) {
        qt_dc dc(p);
        dc.select(u.pens().pen(0));
        u.draw_polyline(dc, v.data(), ts.size());
    });
    EXPECT_GT(count_blue(full), width * 2);
    EXPECT_TRUE(envelope == full);
}

TEST(Envelope, SamePixelsAsTheFullPolyline) {
    // Five points a column, where the steps between columns show.
    unsigned r = 12345;
    std::vector<double> wave(1530);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = std::fabs((i % 212) / 106.0 - 1) + ((r = r * 1103515245u + 12345u) >> 16) % 1000 / 20000.0;
    expect_envelope_matches(wave, 300);
}

class series_doc : public document {
public:
    explicit series_doc(std::vector<double> v) : document(doc_kind::time_series), ts(v) { set_title("co2"); }
    t_ts ts;
};

TEST(TsViewRender, ShowsTheSeriesAndFollowsItsDocument) {
    auto doc = std::make_unique<series_doc>(std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    CTsView view(doc.get(), [d = doc.get()]() -> const t_ts& { return d->ts; });
    view.setFrameShape(QFrame::NoFrame);
    view.resize(460, 360);
    view.show();
    // Plot area (40, 40) to (440, 340): half way between the first two points.
    QImage img = render(view);
    EXPECT_TRUE(is_blue(img.pixel(60, 325)));
    // The ramp falls now: repainted.
    for (int i = 0; i <= 10; ++i) doc->ts[i] = 10 - i;
    doc->changed(change_content);
    img = render(view);
    EXPECT_TRUE(is_blue(img.pixel(40 - 1, 40)));
    EXPECT_FALSE(is_blue(img.pixel(60, 325)));
    // A closed document leaves an empty window, not a dangling pointer.
    doc.reset();
    EXPECT_EQ(view.doc(), nullptr);
    EXPECT_EQ(count_blue(render(view)), 0);
}

TEST(SaveImage, PngAndSvgBySuffixAnythingElseRefused) {
    series_doc doc({1, 3, 2, 5, 4});
    CTsView view(&doc, [&]() -> const t_ts& { return doc.ts; });
    view.resize(320, 240);
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(save_image(view, dir.filePath("plot.PNG"), &error)) << error.toStdString();
    EXPECT_GT(count_blue(QImage(dir.filePath("plot.PNG"))), 50);
    ASSERT_TRUE(save_image(view, dir.filePath("plot.svg"), &error)) << error.toStdString();
    QFile svg(dir.filePath("plot.svg"));
    EXPECT_TRUE(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("N=5"));
    EXPECT_FALSE(save_image(view, dir.filePath("plot.bmp"), &error));
    EXPECT_EQ(error, "Unknown image type \"bmp\": choose a name ending in .png or .svg.");
    EXPECT_FALSE(QFile::exists(dir.filePath("plot.bmp")));
    EXPECT_FALSE(save_image(view, dir.filePath("missing/plot.png"), &error));
    EXPECT_TRUE(error.startsWith("Cannot write the image"));
}

}  // namespace
