#include "gui/plot_view.h"

#include <QPainter>
#include <QScrollBar>

#include "gui/qt_dc.h"

CPlotView::CPlotView(document* doc, QWidget* parent) : QAbstractScrollArea(parent), m_doc(doc) {
    if (m_doc) {
        m_doc->add_observer(this);
        setWindowTitle(QString::fromStdString(m_doc->title()));
    }
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

CPlotView::~CPlotView() {
    if (m_doc) m_doc->remove_observer(this);
}

void CPlotView::notify_changed(const document& doc, unsigned changes) {
    if (changes & change_title) setWindowTitle(QString::fromStdString(doc.title()));
    update_scroll();
    viewport()->update();
}

void CPlotView::notify_closing(const document&) {
    m_doc = nullptr;
    viewport()->update();
}

void CPlotView::update_scroll() {
    m_scroll = wanted_scroll_size(viewport()->width());
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_scroll.width - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, m_scroll.height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    // A wheel notch or an arrow click moves a few lines of text, not a few pixels.
    const int line = fontMetrics().lineSpacing();
    horizontalScrollBar()->setSingleStep(line);
    verticalScrollBar()->setSingleStep(line);
}

void CPlotView::paint_to(QPainter& painter) {
    painter.fillRect(QRect(QPoint(0, 0), viewport()->size()), Qt::white);
    painter.save();
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    qt_dc dc(painter);
    paint(dc, viewport()->width(), viewport()->height());
    painter.restore();
}

void CPlotView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    paint_to(painter);
}

void CPlotView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    update_scroll();
}

void CPlotView::scrollContentsBy(int, int) { viewport()->update(); }

void CPlotView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    emit activated(this);
}
