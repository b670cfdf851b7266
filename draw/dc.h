// The device context every plot draws on: pens, brushes, fonts and a few
// primitives in device pixels (x to the right, y downwards). The desktop
// program paints through QPainter (views/qt_dc.h), the tests record.
#pragma once

#include <string>

struct dc_colour {
    int red = 0, green = 0, blue = 0;
    bool operator==(const dc_colour& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

enum class pen_style { solid, dotted };

struct dc_pen {
    pen_style style = pen_style::solid;
    int width = 1;  // 0: one pixel whatever the scale
    dc_colour colour;
    bool operator==(const dc_pen& o) const { return style == o.style && width == o.width && colour == o.colour; }
};

struct dc_brush {
    dc_colour colour;
    bool operator==(const dc_brush& o) const { return colour == o.colour; }
};

struct dc_font {
    std::string face;  // "Helvetica"; the adapter falls back to a sans-serif face
    int points = 10;
    bool operator==(const dc_font& o) const { return face == o.face && points == o.points; }
};

struct dc_rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

class device_context {
public:
    virtual ~device_context() = default;
    // Each select returns the one selected before, so callers can restore it.
    virtual dc_pen select(const dc_pen& pen) = 0;
    virtual dc_brush select(const dc_brush& brush) = 0;
    virtual dc_font select(const dc_font& font) = 0;
    virtual void save() = 0;
    virtual void restore() = 0;

    virtual void move_to(int x, int y) = 0;
    // A line from the current position to (x, y), which becomes the current position.
    virtual void line_to(int x, int y) = 0;
    // Inside the box, outlined with the pen and filled with the brush.
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    // Text with its top-left corner at (x, y).
    virtual void text(int x, int y, const std::string& s) = 0;
    // The width text() would take in the selected font.
    virtual int text_width(const std::string& s) = 0;
};
