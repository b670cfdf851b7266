// A group of series shown together, overlaid in one plot or as a grid of
// small plots. The series are copies: the group does not follow their origin.
// Its title (document::title) is the window's and is drawn above the plots.
#pragma once

#include <string>
#include <vector>

#include "app/document.h"
#include "timeseries/ts.h"

class CTsGroupDoc : public document {
public:
    enum { style_separate = 0, style_overlaid = 1 };

    CTsGroupDoc() : document(doc_kind::ts_group) {}

    // Each tells the observers what changed.
    void add_series(const t_ts& ts);
    void set_draw_style(int style);

    int count() const { return static_cast<int>(m_series.size()); }
    const std::vector<t_ts>& series() const { return m_series; }
    int draw_style() const { return m_style; }

    // The file of the series the group was made from, when its series run over that series' time.
    std::string data_file;
    std::string time_axis() const override { return data_file; }

private:
    std::vector<t_ts> m_series;
    int m_style = style_overlaid;
};
