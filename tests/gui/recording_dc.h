// Records every primitive with the pen, brush and font selected at the time.
#pragma once

#include <string>
#include <vector>

#include "draw/dc.h"

struct dc_op {
    enum kind_t { line, ellipse, rectangle, text } kind;
    // line: from (a, b) to (c, d); ellipse and rectangle: the box; text: (a, b).
    int a = 0, b = 0, c = 0, d = 0;
    std::string s;
    dc_pen pen;
    dc_brush brush;
    dc_font font;
};

class recording_dc : public device_context {
public:
    // The state a fresh window's device context starts with: a black pen and a white brush.
    recording_dc() { m_state.brush = dc_brush{{255, 255, 255}}; }
    dc_pen select(const dc_pen& pen) override { return swap(m_state.pen, pen); }
    dc_brush select(const dc_brush& brush) override { return swap(m_state.brush, brush); }
    dc_font select(const dc_font& font) override { return swap(m_state.font, font); }
    void save() override { m_saved.push_back(m_state); }
    void restore() override {
        if (m_saved.empty()) return;
        m_state = m_saved.back();
        m_saved.pop_back();
    }
    void move_to(int x, int y) override { m_x = x, m_y = y; }
    void line_to(int x, int y) override {
        add(dc_op::line, m_x, m_y, x, y);
        m_x = x, m_y = y;
    }
    void ellipse(int l, int t, int r, int b) override { add(dc_op::ellipse, l, t, r, b); }
    void rectangle(int l, int t, int r, int b) override { add(dc_op::rectangle, l, t, r, b); }
    void text(int x, int y, const std::string& s) override { add(dc_op::text, x, y, 0, 0, s); }
    // A fixed advance, so that tests know where a text ends.
    static constexpr int char_width = 6;
    int text_width(const std::string& s) override { return char_width * static_cast<int>(s.size()); }
    std::vector<dc_op> ops;
    std::vector<dc_op> of(dc_op::kind_t k) const {
        std::vector<dc_op> out;
        for (const dc_op& o : ops)
            if (o.kind == k) out.push_back(o);
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const dc_op& o : ops)
            if (o.kind == dc_op::text) out.push_back(o.s);
        return out;
    }
    const dc_pen& pen() const { return m_state.pen; }
    size_t saved_depth() const { return m_saved.size(); }

private:
    struct state {
        dc_pen pen;
        dc_brush brush;
        dc_font font;
    };
    template <class T>
    static T swap(T& slot, const T& v) {
        T old = slot;
        slot = v;
        return old;
    }
    void add(dc_op::kind_t k, int a, int b, int c, int d, const std::string& s = {}) {
        ops.push_back(dc_op{k, a, b, c, d, s, m_state.pen, m_state.brush, m_state.font});
    }
    state m_state;
    std::vector<state> m_saved;
    int m_x = 0, m_y = 0;
};
