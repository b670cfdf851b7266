// The w-correlation window: the weighted correlations of the leading
// components as a grey-scale map, black for |rho| = 1, white for 0, with the
// component numbers on both axes; hovering a cell shows its value. The map is
// scaled to the window, so it never scrolls.
#pragma once

#include <QString>
#include <QWidget>

#include "core/matrix.h"

class CWCorrelationView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* title = "W-correlations";

    // rho: square, components numbered from 1 on the axes.
    explicit CWCorrelationView(const matrix& rho, QWidget* parent = nullptr);

    int components() const { return m_rho.rows(); }
    // The cell under a point of the widget; false outside the map.
    bool cell_at(QPoint p, int& i, int& j) const;
    // The text shown on hovering, empty outside the map.
    QString cell_text(QPoint p) const;
    // The cell's rectangle in widget coordinates.
    QRect cell_rect(int i, int j) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int cell_size() const;
    int margin() const;

    matrix m_rho;
};
