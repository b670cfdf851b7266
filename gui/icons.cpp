#include "icons.h"
#include "core/two_pi.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace {

const QColor ink(40, 40, 40);
const QColor blue(30, 90, 200);
const QColor red(200, 40, 40);
const QColor green(30, 150, 60);

// Glyphs are drawn on a 16 x 15 grid and scaled, so both sizes look alike.
QIcon drawn(const std::function<void(QPainter&)>& glyph) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(16 * scale, 15 * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        glyph(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPen pen(const QColor& c, double w = 1.2) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void wave(QPainter& p, double y0, double amp, double periods, const QColor& c, double x0 = 1.5, double x1 = 14.5) {
    QPainterPath path;
    for (int i = 0; i <= 40; ++i) {
        const double x = x0 + (x1 - x0) * i / 40.0;
        const double y = y0 - amp * std::sin(two_pi * periods * i / 40.0);
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    p.setPen(pen(c));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void polyline(QPainter& p, std::initializer_list<QPointF> pts, const QColor& c, double w = 1.2) {
    p.setPen(pen(c, w));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(pts.begin(), static_cast<int>(pts.size()));
}

void page(QPainter& p, const QRectF& r) {
    p.setPen(pen(ink, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

QIcon glyph_of(command c) {
    switch (c) {
    case command::file_open:
        return drawn([](QPainter& p) {
            p.setPen(pen(QColor(150, 110, 20), 1));
            p.setBrush(QColor(240, 200, 90));
            p.drawPolygon(QPolygonF({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
        });
    case command::file_save:
        return drawn([](QPainter& p) {
            p.setPen(pen(ink, 1));
            p.setBrush(blue);
            p.drawRect(QRectF(1.5, 1.5, 13, 12));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.drawRect(QRectF(3.5, 9, 9, 4.5));
        });
    case command::file_print:
        return drawn([](QPainter& p) {
            page(p, QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(170, 170, 170));
            p.drawRect(QRectF(1.5, 6.5, 13, 5));
            page(p, QRectF(4.5, 10, 7, 4));
        });
    case command::edit_cut:
        return drawn([](QPainter& p) {
            polyline(p, {{4, 1}, {10, 9}}, ink);
            polyline(p, {{12, 1}, {6, 9}}, ink);
            p.setPen(pen(red));
            p.drawEllipse(QRectF(2.5, 9, 4, 4));
            p.drawEllipse(QRectF(9.5, 9, 4, 4));
        });
    case command::edit_copy:
        return drawn([](QPainter& p) {
            page(p, QRectF(1.5, 1.5, 8, 9));
            page(p, QRectF(6.5, 4.5, 8, 9));
        });
    case command::edit_paste:
        return drawn([](QPainter& p) {
            p.setPen(pen(ink, 1));
            p.setBrush(QColor(190, 140, 70));
            p.drawRect(QRectF(1.5, 2.5, 10, 11));
            page(p, QRectF(6.5, 6.5, 8, 7.5));
        });
    case command::view_timeseries:
        return drawn([](QPainter& p) {
            page(p, QRectF(0.5, 0.5, 15, 14));
            polyline(p, {{2, 11}, {4, 7}, {6, 9}, {8, 4}, {10, 8}, {12, 5}, {14, 3}}, blue);
        });
    case command::run_investigation:
        return drawn([](QPainter& p) {
            p.setPen(pen(green.darker(), 1));
            p.setBrush(green);
            p.drawPolygon(QPolygonF({{4, 1.5}, {14, 7.5}, {4, 13.5}}));
        });
    case command::display_svd:
        return drawn([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(blue);
            const double heights[] = {12, 7, 4.5, 3, 2, 1.5};
            for (int i = 0; i < 6; ++i) p.drawRect(QRectF(1 + i * 2.4, 14 - heights[i], 1.8, heights[i]));
        });
    case command::investigation_log:
        return drawn([](QPainter& p) {
            page(p, QRectF(2.5, 0.5, 11, 14));
            for (double y : {3.5, 6.0, 8.5, 11.0}) polyline(p, {{4.5, y}, {y < 10 ? 11.5 : 8.5, y}}, ink, 0.8);
        });
    case command::smooth:
        return drawn([](QPainter& p) { wave(p, 7.5, 4.5, 1, blue); });
    case command::unsmooth:
        return drawn([](QPainter& p) {
            polyline(p, {{1.5, 7}, {3, 3}, {4.5, 6}, {6, 2}, {7.5, 10}, {9, 8}, {10.5, 13}, {12, 9}, {14.5, 11}}, blue);
        });
    case command::break_harmonics:
        return drawn([](QPainter& p) {
            wave(p, 4, 2.5, 1, blue);
            wave(p, 11, 2.5, 2, red);
        });
    case command::final_decomposition:
        return drawn([](QPainter& p) {
            polyline(p, {{1.5, 4.5}, {14.5, 1.5}}, red);
            wave(p, 7.5, 2, 2, blue);
            polyline(p, {{1.5, 13}, {3.5, 12}, {5.5, 14}, {7.5, 12.5}, {9.5, 13.5}, {11.5, 12}, {14.5, 13}}, ink, 0.8);
        });
    case command::two_scales:
        return drawn([](QPainter& p) {
            polyline(p, {{1.5, 0.5}, {1.5, 14.5}}, blue);
            polyline(p, {{14.5, 0.5}, {14.5, 14.5}}, red);
            wave(p, 5, 2.5, 1, blue, 3, 13);
            polyline(p, {{3, 13}, {13, 8}}, red);
        });
    case command::close_all:
        return drawn([](QPainter& p) {
            page(p, QRectF(0.5, 0.5, 10, 8));
            page(p, QRectF(3.5, 3.5, 10, 8));
            polyline(p, {{9, 8}, {15, 14}}, red, 2);
            polyline(p, {{15, 8}, {9, 14}}, red, 2);
        });
    case command::about:
        return drawn([](QPainter& p) {
            p.setPen(pen(blue.darker(), 1));
            p.setBrush(blue);
            p.drawEllipse(QRectF(1, 0.5, 14, 14));
            p.setPen(Qt::white);
            QFont f = p.font();
            f.setPixelSize(11);
            f.setBold(true);
            p.setFont(f);
            p.drawText(QRectF(1, 0.5, 14, 14), Qt::AlignCenter, "?");
        });
    default:
        return {};
    }
}

const char* theme_name(command c) {
    switch (c) {
    case command::file_open: return "document-open";
    case command::file_save: return "document-save";
    case command::file_print: return "document-print";
    case command::edit_cut: return "edit-cut";
    case command::edit_copy: return "edit-copy";
    case command::edit_paste: return "edit-paste";
    case command::about: return "help-about";
    default: return nullptr;
    }
}

}  // namespace

QIcon command_icon(command c) {
    const char* name = theme_name(c);
    return name ? QIcon::fromTheme(name, glyph_of(c)) : glyph_of(c);
}

QIcon reset_zoom_icon() {
    return drawn([](QPainter& p) {
        page(p, QRectF(3.5, 2.5, 9, 10));
        polyline(p, {{4.5, 10}, {6.5, 6}, {8.5, 8}, {11.5, 4}}, blue);
        polyline(p, {{0.5, 7.5}, {3, 5}}, ink);
        polyline(p, {{0.5, 7.5}, {3, 10}}, ink);
        polyline(p, {{15.5, 7.5}, {13, 5}}, ink);
        polyline(p, {{15.5, 7.5}, {13, 10}}, ink);
    });
}

QIcon program_icon() {
    QIcon icon;
    for (int size : {16, 32, 64, 128}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        p.setPen(QPen(QColor(20, 50, 120), 2));
        p.setBrush(QColor(235, 242, 255));
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
        p.setPen(QPen(red, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 48), QPointF(54, 20));
        QPainterPath path;
        for (int i = 0; i <= 60; ++i) {
            const double x = 10 + 44.0 * i / 60, y = 48 - 28.0 * i / 60 - 8 * std::sin(two_pi * 3 * i / 60.0);
            if (i == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        p.setPen(QPen(blue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
