#include "wcor_view.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

CWCorrelationView::CWCorrelationView(const matrix& rho, QWidget* parent) : QAbstractScrollArea(parent), m_rho(rho) {
    setWindowTitle(title);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 120);
    update_scroll();
}

int CWCorrelationView::margin() const {
    // Room for the widest component number and a gap.
    return fontMetrics().horizontalAdvance(QString::number(std::max(components(), 1))) + 8;
}

int CWCorrelationView::legend_width() const { return 24 + fontMetrics().horizontalAdvance("0.00") + 12; }

QSize CWCorrelationView::map_room() const {
    const int o = margin();
    return QSize(std::max(0, viewport()->width() - o - legend_width() - 2), std::max(0, viewport()->height() - o - 2));
}

int CWCorrelationView::cell_size() const {
    if (m_cell > 0) return m_cell;
    const QSize room = map_room();
    return std::max(std::min(room.width(), room.height()) / std::max(components(), 1), 1);
}

QRect CWCorrelationView::map_area() const {
    const QSize room = map_room();
    const int side = components() * cell_size(), o = margin();
    return QRect(o, o, std::min(side, room.width()), std::min(side, room.height()));
}

QPoint CWCorrelationView::map_origin() const {
    const int o = margin();
    return QPoint(o - horizontalScrollBar()->value(), o - verticalScrollBar()->value());
}

void CWCorrelationView::update_scroll() {
    const QSize room = map_room();
    const int side = components() * cell_size();
    horizontalScrollBar()->setRange(0, std::max(0, side - room.width()));
    verticalScrollBar()->setRange(0, std::max(0, side - room.height()));
    horizontalScrollBar()->setPageStep(std::max(1, room.width()));
    verticalScrollBar()->setPageStep(std::max(1, room.height()));
    horizontalScrollBar()->setSingleStep(cell_size());
    verticalScrollBar()->setSingleStep(cell_size());
}

void CWCorrelationView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    update_scroll();
}

void CWCorrelationView::scrollContentsBy(int, int) { viewport()->update(); }

QRect CWCorrelationView::cell_rect(int i, int j) const {
    const int c = cell_size();
    const QPoint o = map_origin();
    return QRect(o.x() + j * c, o.y() + i * c, c, c);
}

bool CWCorrelationView::cell_at(QPoint p, int& i, int& j) const {
    // The numbers and the legend cover whatever of the map is scrolled under them.
    if (!map_area().contains(p)) return false;
    const int c = cell_size();
    const QPoint o = map_origin();
    i = (p.y() - o.y()) / c;
    j = (p.x() - o.x()) / c;
    return i < components() && j < components();
}

QString CWCorrelationView::cell_text(QPoint p) const {
    int i = 0, j = 0;
    if (!cell_at(p, i, j)) return {};
    QString text = QString("%1 and %2: %3").arg(i + 1).arg(j + 1).arg(m_rho(i, j), 0, 'f', 4);
    if (i == j) return text;
    return text + (std::fabs(m_rho(i, j)) < 0.1 ? ", separable (|w| < 0.1)" : ", not separable");
}

QSize CWCorrelationView::sizeHint() const {
    const int side = std::clamp(12 * components(), 240, 600) + margin() + 2;
    return QSize(side + legend_width(), side);
}

void CWCorrelationView::set_matrix(const matrix& rho) {
    m_rho = rho;
    m_blocks.clear();
    m_sel_first = m_sel_last = m_drag_from = -1;
    zoom_fit();
}

void CWCorrelationView::set_blocks(std::vector<block> blocks) {
    m_blocks = std::move(blocks);
    viewport()->update();
}

void CWCorrelationView::zoom(int steps, QPoint anchor) {
    const int before = cell_size();
    int c = before;
    for (; steps > 0; --steps) c = std::min(max_cell, std::max(c + 1, static_cast<int>(std::lround(c * 1.25))));
    for (; steps < 0; ++steps) c = std::max(1, std::min(c - 1, static_cast<int>(std::lround(c / 1.25))));
    // The map in the component units the anchor points at, kept under it.
    const QPoint o = map_origin();
    const double x = static_cast<double>(anchor.x() - o.x()) / before;
    const double y = static_cast<double>(anchor.y() - o.y()) / before;
    m_cell = 0;
    if (c > cell_size()) m_cell = c;  // no smaller than the fitted map
    update_scroll();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(x * cell_size())) - (anchor.x() - margin()));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(y * cell_size())) - (anchor.y() - margin()));
    viewport()->update();
}

void CWCorrelationView::zoom_fit() {
    m_cell = 0;
    update_scroll();
    viewport()->update();
}

bool CWCorrelationView::zoom_key(const QKeyEvent& event, int& steps) {
    if (!(event.modifiers() & Qt::ControlModifier)) return false;
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: steps = 1; return true;
    case Qt::Key_Minus: steps = -1; return true;
    case Qt::Key_0: steps = 0; return true;
    default: return false;
    }
}

bool CWCorrelationView::event(QEvent* event) {
    // The zoom keys are the map's while it has the focus, not the menu's smoothing.
    int steps = 0;
    if (event->type() == QEvent::ShortcutOverride && zoom_key(*static_cast<QKeyEvent*>(event), steps)) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CWCorrelationView::keyPressEvent(QKeyEvent* event) {
    int steps = 0;
    if (!zoom_key(*event, steps)) return QAbstractScrollArea::keyPressEvent(event);
    steps == 0 ? zoom_fit() : zoom(steps);
}

void CWCorrelationView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return QAbstractScrollArea::wheelEvent(event);
    m_wheel_rest += event->angleDelta().y();
    const int notches = m_wheel_rest / 120;
    m_wheel_rest -= notches * 120;
    if (notches != 0) zoom(notches, event->position().toPoint());
    event->accept();
}

int CWCorrelationView::diagonal_at(QPoint p) const {
    const int c = cell_size();
    const QPoint o = map_origin();
    // Along the diagonal: the nearer of the row and the column the point lies in.
    const int k = static_cast<int>(std::floor((p.x() - o.x() + p.y() - o.y()) / (2.0 * c)));
    return std::clamp(k, 0, std::max(components() - 1, 0));
}

void CWCorrelationView::mousePressEvent(QMouseEvent* event) {
    int i = 0, j = 0;
    if (event->button() != Qt::LeftButton || !cell_at(event->position().toPoint(), i, j))
        return QAbstractScrollArea::mousePressEvent(event);
    m_drag_from = diagonal_at(event->position().toPoint());
    m_sel_first = m_sel_last = m_drag_from;
    viewport()->update();
}

void CWCorrelationView::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag_from < 0) return QAbstractScrollArea::mouseMoveEvent(event);
    const int k = diagonal_at(event->position().toPoint());
    m_sel_first = std::min(m_drag_from, k);
    m_sel_last = std::max(m_drag_from, k);
    viewport()->update();
}

void CWCorrelationView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag_from < 0) return QAbstractScrollArea::mouseReleaseEvent(event);
    mouseMoveEvent(event);
    m_drag_from = -1;
    if (m_on_select) m_on_select(m_sel_first, m_sel_last);
}

void CWCorrelationView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), Qt::white);
    const int m = components(), c = cell_size(), o = margin();
    if (m == 0) return;
    const QRect area = map_area();
    const QPoint origin = map_origin();
    // Only the cells in view: a zoomed map of 50 components is mostly off screen.
    const int first_row = (area.top() - origin.y()) / c, last_row = std::min(m - 1, (area.bottom() - origin.y()) / c);
    const int first_col = (area.left() - origin.x()) / c, last_col = std::min(m - 1, (area.right() - origin.x()) / c);

    p.save();
    p.setClipRect(area);
    for (int i = first_row; i <= last_row; ++i)
        for (int j = first_col; j <= last_col; ++j) {
            const int grey = static_cast<int>(std::lround(255 * (1 - std::min(std::fabs(m_rho(i, j)), 1.0))));
            p.fillRect(cell_rect(i, j), QColor(grey, grey, grey));
        }
    if (c >= values_from) {
        QFont small = font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() * std::min(1.0, c / 36.0)));
        p.setFont(small);
        for (int i = first_row; i <= last_row; ++i)
            for (int j = first_col; j <= last_col; ++j) {
                // Light text on the dark cells.
                p.setPen(std::fabs(m_rho(i, j)) > 0.5 ? Qt::white : Qt::black);
                const QString v = QString::number(std::fabs(m_rho(i, j)), 'f', 2);
                p.drawText(cell_rect(i, j), Qt::AlignCenter, v == "1.00" ? "1" : v.mid(1));
            }
        p.setFont(font());
    }
    auto diagonal_block = [&](int first, int last) {
        return QRect(origin.x() + first * c, origin.y() + first * c, (last - first + 1) * c, (last - first + 1) * c);
    };
    for (const block& b : m_blocks) {
        p.setPen(QPen(b.colour, 3));
        p.setBrush(Qt::NoBrush);
        // Each run of neighbouring components is a square of its own.
        for (size_t a = 0; a < b.components.size();) {
            size_t e = a;
            while (e + 1 < b.components.size() && b.components[e + 1] == b.components[e] + 1) ++e;
            p.drawRect(diagonal_block(b.components[a], b.components[e]).adjusted(1, 1, -2, -2));
            a = e + 1;
        }
    }
    if (m_sel_first >= 0) {
        p.setPen(QPen(Qt::red, 2, Qt::DashLine));
        p.drawRect(diagonal_block(m_sel_first, m_sel_last).adjusted(0, 0, -1, -1));
    }
    p.restore();
    p.setPen(Qt::gray);
    p.drawRect(area.adjusted(-1, -1, 0, 0));

    // The legend: white for 0 down to black for |w| = 1, as high as the map in view.
    const int lx = area.right() + 12, lh = area.height();
    for (int y = 0; y < lh; ++y) {
        const int grey = static_cast<int>(std::lround(255.0 * y / std::max(lh - 1, 1)));
        p.fillRect(lx, o + y, 16, 1, QColor(grey, grey, grey));
    }
    p.setPen(Qt::gray);
    p.drawRect(lx - 1, o - 1, 17, lh + 1);
    p.setPen(Qt::black);
    for (const auto& [v, y] : {std::pair(1.0, o), std::pair(0.5, o + lh / 2), std::pair(0.0, o + lh)})
        p.drawText(QRect(lx + 20, y - 10, 60, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::number(v, 'f', 2));

    // Every step-th number, so that neighbouring numbers never overlap; they
    // stay beside the map however it scrolls.
    const QFontMetrics fm = fontMetrics();
    const int room = std::max(fm.height(), fm.horizontalAdvance(QString::number(m)) + 4);
    const int step = std::max(1, (room + c - 1) / c);
    for (int k = 0; k < m; k += step) {
        const QString n = QString::number(k + 1);
        const QRect row(0, origin.y() + k * c, o - 4, c), column(origin.x() + k * c, 0, c, o - 2);
        if (row.center().y() >= area.top() && row.center().y() <= area.bottom())
            p.drawText(row, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, n);
        if (column.center().x() >= area.left() && column.center().x() <= area.right())
            p.drawText(column, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip, n);
    }
}

bool CWCorrelationView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = cell_text(help->pos());
        int i = 0, j = 0;
        if (text.isEmpty() || !cell_at(help->pos(), i, j))
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), cell_rect(i, j));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
