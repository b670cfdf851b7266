// The scrollable plot window the series views share: it paints through a
// device context on white, scrolls over the size the paint asks for, and
// observes its document (repaint on change, forget it on closing). The
// window title follows the document's.
#pragma once

#include <QAbstractScrollArea>

#include "app/document.h"
#include "draw/dc_utils.h"
#include "draw/ts_paint.h"

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

    void notify_changed(const document& doc, unsigned changes) override;
    void notify_closing(const document& doc) override;

signals:
    // The window became the active one: the frame updates its commands.
    void activated(CPlotView* view);

protected:
    // Draws the client area of the given size; the device context is
    // already moved by the scroll position.
    virtual void paint(device_context& dc, int client_width, int client_height) = 0;
    // The scroll area for the current client width.
    virtual dc_size wanted_scroll_size(int /*client_width*/) const { return initial_scroll_size; }
    void update_scroll();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;

    CDCUtils m_utils;

private:
    document* m_doc;
    dc_size m_scroll = initial_scroll_size;
};
