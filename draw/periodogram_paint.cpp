#include "draw/periodogram_paint.h"

#include <algorithm>

#include "core/number_text.h"


void paint_periodogram(device_context& dc, CDCUtils& u, const dc_rect& rect, const periodogram& p) {
    const int nf = static_cast<int>(p.power.size());
    if (nf < 2) return;
    // Index k of the power lies at frequency k df, so a frequency f at index f / df.
    const double df = p.frequency[1];
    // Frequencies, not time: the panel never follows the window's zoom.
    const time_window zoomed = u.window();
    u.set_window(time_window());
    u.set_scale(rect, nf, 0.0, *std::max_element(p.power.begin(), p.power.end()));
    u.set_window(zoomed);
    u.draw_frame(dc, rect);

    dc.save();
    dc.select(u.label_font);
    // The finest frequency step whose labels do not run into each other.
    const int room = dc.text_width("0.25") + 8;
    double step = 0.5;
    for (double s : {0.25, 0.1, 0.05})
        if (u.x_of(s / df) - u.x_of(0) >= room) step = s;
    dc.select(u.grid_pen);
    for (int i = 0; i * step <= 0.5 + 1e-12; ++i) {
        const double f = i * step;
        const int x = u.x_of(f / df);
        if (x > rect.right) break;
        if (i > 0 && x < rect.right) {
            dc.move_to(x, rect.top);
            dc.line_to(x, rect.bottom);
        }
        const std::string text = format_text("%g", f);
        dc.text(x - dc.text_width(text) / 2, rect.bottom + 1, text);
    }

    dc.select(u.pens().pen(0));
    u.draw_polyline(dc, p.power.data(), nf);

    const std::string label = "period " + period_text(p.dominant_period());
    int x = rect.left + 3;
    if (p.peak_frequency > 0) {
        x = u.x_of(p.peak_frequency / df);
        dc.select(dc_pen{pen_style::dotted, 1, u.pens().pen(1).colour});
        dc.move_to(x, rect.top);
        dc.line_to(x, rect.bottom);
        x += 3;
    }
    // Beside the peak, inside the frame however near its right edge the peak lies.
    dc.text(std::max(rect.left + 3, std::min(x, rect.right - 2 - dc.text_width(label))), rect.top + 2, label);
    dc.restore();
}
