#include "gui/plot_view.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

#include "gui/qt_dc.h"

namespace {

// One wheel notch or key press zooms by this much.
constexpr double zoom_step = 1.25;
// Left and Right move by this share of the part shown.
constexpr double pan_share = 0.1;
// A shorter drag is a click.
constexpr int min_drag = 3;

}  // namespace

CPlotView::CPlotView(document* doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(doc), m_label(new QLabel(viewport())) {
    if (m_doc) {
        m_doc->add_observer(this);
        setWindowTitle(QString::fromStdString(m_doc->title()));
    }
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_label->setObjectName("readout");
    m_label->setStyleSheet("QLabel { background: rgb(255, 255, 225); border: 1px solid rgb(160, 160, 160); "
                           "padding: 1px 3px; }");
    m_label->hide();
}

CPlotView::~CPlotView() {
    if (m_doc) m_doc->remove_observer(this);
}

void CPlotView::notify_changed(const document& doc, unsigned changes) {
    if (changes & change_title) setWindowTitle(QString::fromStdString(doc.title()));
    // The panels point into the document's data, which may have changed.
    m_utils.clear_panels();
    update_scroll();
    viewport()->update();
}

void CPlotView::notify_closing(const document&) {
    m_doc = nullptr;
    m_utils.clear_panels();
    clear_readout();
    viewport()->update();
}

time_window CPlotView::window() const {
    const int points = m_doc ? time_points() : 0;
    const time_span& s = m_doc ? m_doc->span() : time_span{};
    return s.whole() ? time_window(points) : time_window(points, s.first, s.last);
}

void CPlotView::set_window(const time_window& w) {
    if (!m_doc || w.points() < 2) return;
    m_doc->set_span(w.whole() ? time_span{} : time_span{w.first(), w.last()});
}

void CPlotView::set_legend(bool on) {
    if (m_legend == on) return;
    m_legend = on;
    m_utils.clear_panels();
    viewport()->update();
}

QString CPlotView::readout_text() const {
    return m_readout ? QString::fromStdString(m_readout->text) : QString();
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
    m_utils.clear_panels();
    m_utils.set_window(window());
    paint(dc, viewport()->width(), viewport()->height());
    painter.restore();
}

void CPlotView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    paint_to(painter);
    // The read-out follows the new panels: a zoom moves the points under the pointer.
    if (m_pointer) update_readout(*m_pointer);
    if (!m_readout) return;
    const dc_rect& r = m_utils.panels()[static_cast<size_t>(m_readout->panel)].rect;
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    painter.setPen(QPen(QColor(120, 120, 120), 0, Qt::DashLine));
    painter.drawLine(m_readout->x, r.top, m_readout->x, r.bottom);
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

QPoint CPlotView::content(const QPoint& p) const {
    return p + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

std::optional<dc_rect> CPlotView::panel_rect(const QPoint& viewport_pos) const {
    const std::vector<plot_panel>& panels = m_utils.panels();
    if (panels.empty()) return std::nullopt;
    const QPoint c = content(viewport_pos);
    const std::optional<int> at = panel_at(panels, c.x(), c.y());
    return panels[static_cast<size_t>(at.value_or(0))].rect;
}

double CPlotView::axis_point(const QPoint& viewport_pos) const {
    const time_window w = window();
    const std::optional<dc_rect> r = panel_rect(viewport_pos);
    if (!r) return (w.first() + w.last()) / 2;
    // Every panel shows the same share of its points, so the share across the panel is the axis'.
    return w.point_at(content(viewport_pos).x(), r->left, r->right);
}

void CPlotView::zoom(double factor, double at) {
    time_window w = window();
    w.zoom(factor, at);
    set_window(w);
}

void CPlotView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || time_points() < 2) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) zoom(std::pow(zoom_step, notches), axis_point(event->position().toPoint()));
    event->accept();
}

void CPlotView::keyPressEvent(QKeyEvent* event) {
    if (time_points() < 2) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const time_window w = window();
    const double middle = (w.first() + w.last()) / 2;
    time_window moved = w;
    switch (event->key()) {
    case Qt::Key_Home: reset_zoom(); return;
    case Qt::Key_Up:
        if (!ctrl) break;
        zoom(zoom_step, middle);
        return;
    case Qt::Key_Down:
        if (!ctrl) break;
        zoom(1 / zoom_step, middle);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        moved.pan((event->key() == Qt::Key_Left ? -pan_share : pan_share) * w.span());
        set_window(moved);
        return;
    default: break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CPlotView::mousePressEvent(QMouseEvent* event) {
    const std::optional<dc_rect> r = panel_rect(event->position().toPoint());
    if (event->button() != Qt::LeftButton || time_points() < 2 || !r) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_press = event->position().toPoint();
    m_press_window = window();
    m_press_panel = *r;
    m_drag = event->modifiers() & Qt::ShiftModifier ? drag::band : drag::pan;
    if (m_drag == drag::pan) viewport()->setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void CPlotView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_drag == drag::pan && m_press_panel.width() > 0) {
        time_window w = m_press_window;
        w.pan(-(pos.x() - m_press.x()) * w.span() / m_press_panel.width());
        set_window(w);
    } else if (m_drag == drag::band) {
        if (!m_band) m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
        const int top = m_press_panel.top - verticalScrollBar()->value();
        const int bottom = m_press_panel.bottom - verticalScrollBar()->value();
        m_band->setGeometry(QRect(QPoint(std::min(m_press.x(), pos.x()), top),
                                  QPoint(std::max(m_press.x(), pos.x()), bottom)));
        m_band->show();
    }
    m_pointer = pos;
    // Panels dropped by a change come back with the repaint, which reads out again.
    if (!m_utils.panels().empty()) update_readout(pos);
}

void CPlotView::mouseReleaseEvent(QMouseEvent* event) {
    const drag was = m_drag;
    m_drag = drag::none;
    viewport()->unsetCursor();
    if (m_band) m_band->hide();
    if (was == drag::band && std::abs(event->position().x() - m_press.x()) >= min_drag) {
        time_window w = m_press_window;
        const int offset = horizontalScrollBar()->value();
        w.select(m_press_window.point_at(m_press.x() + offset, m_press_panel.left, m_press_panel.right),
                 m_press_window.point_at(static_cast<int>(event->position().x()) + offset, m_press_panel.left,
                                         m_press_panel.right));
        set_window(w);
    }
    if (was == drag::none) QAbstractScrollArea::mouseReleaseEvent(event);
}

void CPlotView::leaveEvent(QEvent* event) {
    QAbstractScrollArea::leaveEvent(event);
    m_pointer.reset();
    clear_readout();
    viewport()->update();
}

void CPlotView::update_readout(const QPoint& viewport_pos) {
    const QPoint c = content(viewport_pos);
    std::optional<readout> r = read_out(m_utils.panels(), c.x(), c.y());
    const bool moved = r.has_value() != m_readout.has_value() ||
                       (r && (r->panel != m_readout->panel || r->x != m_readout->x || r->text != m_readout->text));
    if (!moved) return;
    if (!r) {
        clear_readout();
        viewport()->update();
        return;
    }
    m_readout = std::move(r);
    const QString text = QString::fromStdString(m_readout->text);
    m_label->setText(text);
    m_label->adjustSize();
    // Beside the line, inside the window: to the left of it near the right edge.
    const int x = m_readout->x - horizontalScrollBar()->value();
    int left = x + 8;
    if (left + m_label->width() > viewport()->width()) left = std::max(0, x - 8 - m_label->width());
    const int top = std::clamp(viewport_pos.y() + 16, 0, std::max(0, viewport()->height() - m_label->height()));
    m_label->move(left, top);
    m_label->show();
    m_label->raise();
    emit readout_changed(text);
    viewport()->update();
}

void CPlotView::clear_readout() {
    if (!m_readout) return;
    m_readout.reset();
    m_label->hide();
    emit readout_changed(QString());
}
