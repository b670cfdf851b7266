// The w-correlation window: the weighted correlations of the leading
// components as a grey-scale map, black for |rho| = 1, white for 0, with the
// component numbers on both axes and a legend bar 0..1 at the right; hovering
// a cell shows its value, cells of at least 24 pixels show it inside. The map
// fits the window until zoomed (Ctrl+wheel, Ctrl++ / Ctrl+-, Ctrl+0 fits
// again); a zoomed map scrolls under its component numbers, which stay at the
// top and left. Coloured blocks along the diagonal mark groups; a drag along
// the diagonal selects a block.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <functional>
#include <vector>

#include "core/matrix.h"

class CWCorrelationView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr const char* title = "W-correlations";

    // rho: square, components numbered from 1 on the axes.
    explicit CWCorrelationView(const matrix& rho, QWidget* parent = nullptr);

    int components() const { return m_rho.rows(); }
    const matrix& rho() const { return m_rho; }
    // Points are in viewport coordinates (the widget's: the view has no frame).
    // The cell under a point; false outside the visible map.
    bool cell_at(QPoint p, int& i, int& j) const;
    // The text shown on hovering, empty outside the map.
    QString cell_text(QPoint p) const;
    // The cell's rectangle, where the current zoom and scrolling put it.
    QRect cell_rect(int i, int j) const;

    QSize sizeHint() const override;

    // A new matrix, e.g. for another number of components; the blocks and the selection go.
    void set_matrix(const matrix& rho);
    // Components (0-based) outlined in a colour each, along the diagonal.
    struct block {
        std::vector<int> components;
        QColor colour;
    };
    void set_blocks(std::vector<block> blocks);
    const std::vector<block>& blocks() const { return m_blocks; }
    // Called with the first and last component (0-based) of a block dragged along the diagonal.
    void set_select_handler(std::function<void(int, int)> h) { m_on_select = std::move(h); }
    // The selected block, -1 -1 when none.
    int selection_first() const { return m_sel_first; }
    int selection_last() const { return m_sel_last; }
    static constexpr int values_from = 24;  // cell size at which the values show inside
    static constexpr int max_cell = 160;

    // The side of a cell in pixels.
    int cell_size() const;
    bool fitted() const { return m_cell == 0; }
    // Each step scales the cells by about 1.25, keeping the cell under anchor
    // (a viewport point) where it is; zooming out as far as the window fits
    // the map to it again.
    void zoom(int steps, QPoint anchor);
    void zoom(int steps) { zoom(steps, viewport()->rect().center()); }
    void zoom_fit();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int margin() const;
    int legend_width() const;
    // The room the cells have in the viewport, and the part of it they fill.
    QSize map_room() const;
    QRect map_area() const;
    // Where the map's top-left corner lies in the viewport, scrolling included.
    QPoint map_origin() const;
    void update_scroll();
    // The diagonal index nearest to a point of the map, clamped into it.
    int diagonal_at(QPoint p) const;
    // Whether the key zooms: steps +1 in, -1 out, 0 fits.
    static bool zoom_key(const QKeyEvent& event, int& steps);

    matrix m_rho;
    std::vector<block> m_blocks;
    std::function<void(int, int)> m_on_select;
    int m_drag_from = -1, m_sel_first = -1, m_sel_last = -1;
    int m_cell = 0;        // 0: fitted to the window
    int m_wheel_rest = 0;  // eighths of a degree short of a notch (touchpads)
};
