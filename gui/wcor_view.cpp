#include "wcor_view.h"

#include <QFontMetrics>
#include <QHelpEvent>
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

int CWCorrelationView::cell_size() const {
    const int m = std::max(components(), 1);
    const int room = std::min(width(), height()) - margin() - 2;
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
    return QString("%1 and %2: %3").arg(i + 1).arg(j + 1).arg(m_rho(i, j), 0, 'f', 4);
}

QSize CWCorrelationView::sizeHint() const {
    const int side = std::clamp(12 * components(), 240, 600) + margin() + 2;
    return QSize(side, side);
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
    p.setPen(Qt::gray);
    p.drawRect(o - 1, o - 1, m * c + 1, m * c + 1);
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
