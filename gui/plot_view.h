// The scrollable plot window the series views share: it paints through a
// device context on white, scrolls over the size the paint asks for, and
// observes its document (repaint on change, forget it on closing). The
// window title follows the document's.
//
// Every plot explores its time axis the same way: Ctrl+wheel and Ctrl+Up/Down
// zoom (around the pointer, or the middle), a drag pans, Shift+drag zooms to
// the band, Left/Right pan and Home shows the whole axis again. The part shown
// is the document's span, so windows linked through the application follow.
// The pointer gets a cursor line on the nearest point and a read-out of it.
#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <optional>

#include "app/document.h"
#include "draw/dc_utils.h"
#include "draw/ts_paint.h"

class QLabel;
class QRubberBand;

class CPlotView : public QAbstractScrollArea, public document_observer {
    Q_OBJECT
public:
    // doc may be null (nothing to observe); the view unregisters on destruction.
    explicit CPlotView(document* doc, QWidget* parent = nullptr);
    ~CPlotView() override;

    document* doc() const { return m_doc; }
    dc_size scroll_size() const { return m_scroll; }
    // Renders the visible part, as the window shows it, into painter.
    void paint_to(QPainter& painter);

    // The part of the time axis shown; setting it sets the document's span.
    time_window window() const;
    void set_window(const time_window& w);
    void reset_zoom() { set_window(time_window(time_points())); }
    // The legend of the windows that have one.
    bool legend() const { return m_legend; }
    void set_legend(bool on);
    // The read-out at the pointer, empty when it is over no plot.
    QString readout_text() const;
    // The panels of the last paint.
    const std::vector<plot_panel>& panels() const { return m_utils.panels(); }

    void notify_changed(const document& doc, unsigned changes) override;
    void notify_closing(const document& doc) override;

signals:
    // The window became the active one: the frame updates its commands.
    void activated(CPlotView* view);
    // The pointer's read-out changed (empty: it left the plots).
    void readout_changed(const QString& text);

protected:
    // Draws the client area of the given size; the device context is
    // already moved by the scroll position.
    virtual void paint(device_context& dc, int client_width, int client_height) = 0;
    // The scroll area for the current client width.
    virtual dc_size wanted_scroll_size(int /*client_width*/) const { return initial_scroll_size; }
    // The points on the time axis; below 2 the window does not zoom.
    virtual int time_points() const { return 0; }
    void update_scroll();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

    CDCUtils m_utils;

private:
    // A viewport position in the painted content's coordinates.
    QPoint content(const QPoint& viewport_pos) const;
    // The panel under a viewport position, else the first one.
    std::optional<dc_rect> panel_rect(const QPoint& viewport_pos) const;
    // The point of the axis under a viewport position (the window's middle off the plots).
    double axis_point(const QPoint& viewport_pos) const;
    void zoom(double factor, double at);
    void update_readout(const QPoint& viewport_pos);
    void clear_readout();

    document* m_doc;
    dc_size m_scroll = initial_scroll_size;
    bool m_legend = false;

    // A drag: the press, the window then and the panel's width.
    enum class drag { none, pan, band } m_drag = drag::none;
    QPoint m_press;
    time_window m_press_window;
    dc_rect m_press_panel;
    QRubberBand* m_band = nullptr;

    std::optional<QPoint> m_pointer;
    std::optional<readout> m_readout;
    QLabel* m_label;
};
