#include "wcor_view.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

CWCorrelationView::CWCorrelationView(const matrix& rho, QWidget* parent) : QWidget(parent), m_rho(rho) {
    setWindowTitle(title);
    setMouseTracking(true);
    setMinimumSize(120, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CWCorrelationView::margin() const {
    // Room for the widest component number and a gap.
    return fontMetrics().horizontalAdvance(QString::number(std::max(components(), 1))) + 8;
}

int CWCorrelationView::legend_width() const { return 24 + fontMetrics().horizontalAdvance("0.00") + 12; }

int CWCorrelationView::cell_size() const {
    const int m = std::max(components(), 1);
    const int room = std::min(width() - legend_width(), height()) - margin() - 2;
    return std::max(room / m, 1);
}

QRect CWCorrelationView::cell_rect(int i, int j) const {
    const int c = cell_size(), o = margin();
    return QRect(o + j * c, o + i * c, c, c);
}

bool CWCorrelationView::cell_at(QPoint p, int& i, int& j) const {
    const int c = cell_size(), o = margin();
    if (p.x() < o || p.y() < o) return false;
    i = (p.y() - o) / c;
    j = (p.x() - o) / c;
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
    update();
}

void CWCorrelationView::set_blocks(std::vector<block> blocks) {
    m_blocks = std::move(blocks);
    update();
}

int CWCorrelationView::diagonal_at(QPoint p) const {
    const int c = cell_size(), o = margin();
    // Along the diagonal: the nearer of the row and the column the point lies in.
    const int k = ((p.x() - o) / c + (p.y() - o) / c) / 2;
    return std::clamp(k, 0, std::max(components() - 1, 0));
}

void CWCorrelationView::mousePressEvent(QMouseEvent* event) {
    int i = 0, j = 0;
    if (event->button() != Qt::LeftButton || !cell_at(event->position().toPoint(), i, j)) return QWidget::mousePressEvent(event);
    m_drag_from = diagonal_at(event->position().toPoint());
    m_sel_first = m_sel_last = m_drag_from;
    update();
}

void CWCorrelationView::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag_from < 0) return QWidget::mouseMoveEvent(event);
    const int k = diagonal_at(event->position().toPoint());
    m_sel_first = std::min(m_drag_from, k);
    m_sel_last = std::max(m_drag_from, k);
    update();
}

void CWCorrelationView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag_from < 0) return QWidget::mouseReleaseEvent(event);
    mouseMoveEvent(event);
    m_drag_from = -1;
    if (m_on_select) m_on_select(m_sel_first, m_sel_last);
}

void CWCorrelationView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int m = components(), c = cell_size(), o = margin();
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) {
            const int grey = static_cast<int>(std::lround(255 * (1 - std::min(std::fabs(m_rho(i, j)), 1.0))));
            p.fillRect(cell_rect(i, j), QColor(grey, grey, grey));
        }
    if (c >= values_from) {
        QFont small = font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() * std::min(1.0, c / 36.0)));
        p.setFont(small);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j) {
                // Light text on the dark cells.
                p.setPen(std::fabs(m_rho(i, j)) > 0.5 ? Qt::white : Qt::black);
                const QString v = QString::number(std::fabs(m_rho(i, j)), 'f', 2);
                p.drawText(cell_rect(i, j), Qt::AlignCenter, v == "1.00" ? "1" : v.mid(1));
            }
        p.setFont(font());
    }
    p.setPen(Qt::gray);
    p.drawRect(o - 1, o - 1, m * c + 1, m * c + 1);
    auto diagonal_block = [&](int first, int last) {
        return QRect(o + first * c, o + first * c, (last - first + 1) * c, (last - first + 1) * c);
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
    // The legend: white for 0 down to black for |w| = 1.
    const int lx = o + m * c + 12, lh = m * c;
    for (int y = 0; y < lh; ++y) {
        const int grey = static_cast<int>(std::lround(255.0 * y / std::max(lh - 1, 1)));
        p.fillRect(lx, o + y, 16, 1, QColor(grey, grey, grey));
    }
    p.setPen(Qt::gray);
    p.drawRect(lx - 1, o - 1, 17, lh + 1);
    p.setPen(Qt::black);
    for (const auto& [v, y] : {std::pair(1.0, o), std::pair(0.5, o + lh / 2), std::pair(0.0, o + lh)})
        p.drawText(QRect(lx + 20, y - 10, 60, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::number(v, 'f', 2));
    // Every step-th number, so that neighbouring numbers never overlap.
    const QFontMetrics fm = fontMetrics();
    const int room = std::max(fm.height(), fm.horizontalAdvance(QString::number(m)) + 4);
    const int step = std::max(1, (room + c - 1) / c);
    p.setPen(Qt::black);
    for (int k = 0; k < m; k += step) {
        const QString n = QString::number(k + 1);
        p.drawText(QRect(0, o + k * c, o - 4, c), Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, n);
        p.drawText(QRect(o + k * c, 0, c, o - 2), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip, n);
    }
}

bool CWCorrelationView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = cell_text(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, cell_rect(0, 0));
        return true;
    }
    return QWidget::event(event);
}
