#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "app/document.h"
#include "core/hooks.h"
#include "decomp/svd.h"
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
