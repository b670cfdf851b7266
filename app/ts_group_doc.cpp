#include "ts_group_doc.h"

void CTsGroupDoc::add_series(const t_ts& ts) {
    m_series.push_back(ts);
    changed(change_content);
}

void CTsGroupDoc::set_draw_style(int style) {
    if (style == m_style) return;
    m_style = style;
    changed(change_style);
}
