// The w-correlation window: the weighted correlations of the leading
// components as a grey-scale map, black for |rho| = 1, white for 0, with the
// component numbers on both axes and a legend bar 0..1 at the right; hovering
// a cell shows its value, cells of at least 24 pixels show it inside. The map
// is scaled to the window (zoom by resizing it). Coloured blocks along the
// diagonal mark groups; a drag along the diagonal selects a block.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/matrix.h"

class CWCorrelationView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* title = "W-correlations";

    // rho: square, components numbered from 1 on the axes.
    explicit CWCorrelationView(const matrix& rho, QWidget* parent = nullptr);

    int components() const { return m_rho.rows(); }
    const matrix& rho() const { return m_rho; }
    // The cell under a point of the widget; false outside the map.
    bool cell_at(QPoint p, int& i, int& j) const;
    // The text shown on hovering, empty outside the map.
    QString cell_text(QPoint p) const;
    // The cell's rectangle in widget coordinates.
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

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int cell_size() const;
    int margin() const;
    int legend_width() const;
    // The diagonal index nearest to a point of the map, clamped into it.
    int diagonal_at(QPoint p) const;

    matrix m_rho;
    std::vector<block> m_blocks;
    std::function<void(int, int)> m_on_select;
    int m_drag_from = -1, m_sel_first = -1, m_sel_last = -1;
};
