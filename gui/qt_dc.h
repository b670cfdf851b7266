// device_context over a QPainter. Lines are aliased so a plot has the crisp
// pixels the drawing rules count in; text is black whatever the pen.
#pragma once

#include <QFont>
#include <QPainter>
#include <vector>

#include "draw/dc.h"

class qt_dc : public device_context {
public:
    // Starts with a black one-pixel pen, a white brush and the 8-point label font.
    explicit qt_dc(QPainter& painter);

    dc_pen select(const dc_pen& pen) override;
    dc_brush select(const dc_brush& brush) override;
    dc_font select(const dc_font& font) override;
    void save() override;
    void restore() override;

    void move_to(int x, int y) override;
    void line_to(int x, int y) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void text(int x, int y, const std::string& s) override;
    int text_width(const std::string& s) override;

    // "Helvetica" where it exists, else the system's sans-serif face.
    static QFont qfont(const dc_font& font);

private:
    struct state {
        dc_pen pen;
        dc_brush brush;
        dc_font font;
    };
    void apply();

    QPainter& m_painter;
    state m_state;
    std::vector<state> m_saved;
    QPoint m_pos;
};
