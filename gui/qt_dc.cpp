#include "gui/qt_dc.h"

namespace {

QColor qcolour(const dc_colour& c) { return QColor(c.red, c.green, c.blue); }

QPen qpen(const dc_pen& p) {
    // Width 1 is cosmetic too, so both ends of a line are always drawn.
    QPen pen(qcolour(p.colour), p.width <= 1 ? 0 : p.width, p.style == pen_style::dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCosmetic(p.width <= 1);
    return pen;
}

}  // namespace

qt_dc::qt_dc(QPainter& painter) : m_painter(painter) {
    m_state.brush = dc_brush{{255, 255, 255}};
    m_state.font = dc_font{"Helvetica", 8};
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    apply();
}

QFont qt_dc::qfont(const dc_font& f) {
    QFont font(QString::fromStdString(f.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(f.points);
    return font;
}

void qt_dc::apply() {
    m_painter.setPen(qpen(m_state.pen));
    m_painter.setBrush(qcolour(m_state.brush.colour));
    m_painter.setFont(qfont(m_state.font));
}

dc_pen qt_dc::select(const dc_pen& pen) {
    const dc_pen old = m_state.pen;
    m_state.pen = pen;
    m_painter.setPen(qpen(pen));
    return old;
}

dc_brush qt_dc::select(const dc_brush& brush) {
    const dc_brush old = m_state.brush;
    m_state.brush = brush;
    m_painter.setBrush(qcolour(brush.colour));
    return old;
}

dc_font qt_dc::select(const dc_font& font) {
    const dc_font old = m_state.font;
    if (!(font == old)) {
        m_state.font = font;
        m_painter.setFont(qfont(font));
    }
    return old;
}

void qt_dc::save() { m_saved.push_back(m_state); }

void qt_dc::restore() {
    if (m_saved.empty()) return;
    m_state = m_saved.back();
    m_saved.pop_back();
    apply();
}

void qt_dc::move_to(int x, int y) { m_pos = QPoint(x, y); }

void qt_dc::line_to(int x, int y) {
    const QPoint to(x, y);
    m_painter.drawLine(m_pos, to);
    m_pos = to;
}

// The box excludes its right and bottom edges; QPainter's outline covers one
// pixel more than the rectangle it is given.
void qt_dc::ellipse(int left, int top, int right, int bottom) {
    m_painter.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void qt_dc::rectangle(int left, int top, int right, int bottom) {
    m_painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

int qt_dc::text_width(const std::string& s) {
    return m_painter.fontMetrics().horizontalAdvance(QString::fromStdString(s));
}

void qt_dc::text(int x, int y, const std::string& s) {
    const QPen pen = m_painter.pen();
    m_painter.setPen(Qt::black);
    m_painter.drawText(QPoint(x, y + m_painter.fontMetrics().ascent()), QString::fromStdString(s));
    m_painter.setPen(pen);
}
