#include "gui/summation_views.h"

CSummationInvestView::CSummationInvestView(CSummationInvestDoc* doc, app_ui* ui,
                                           std::function<void(CSummationInvestDoc&)> wcor, QWidget* parent)
    : CTabulGridView(doc, std::make_unique<summation_grid>(doc), ui, parent),
      m_owner(static_cast<summation_grid*>(owner())) {
    add_menu_action("W-correlations...", [this, wcor] {
        if (wcor && this->doc()) wcor(static_cast<CSummationInvestDoc&>(*this->doc()));
    });
}

void CSummationInvestView::notify_closing(const document& d) {
    m_owner->drop();
    CTabulGridView::notify_closing(d);
    grid().refresh();
}

CSummInteractView::CSummInteractView(CSummInteractDoc* doc, app_ui& ui, std::function<void(CSummInteractDoc&, int)> info,
                                     QWidget* parent)
    : CTabulGridView(doc, std::make_unique<summ_interact_grid>(doc), &ui, parent),
      m_owner(static_cast<summ_interact_grid*>(owner())) {
    set_click_handler([this, &ui, info](int row, int column) {
        auto* d = static_cast<CSummInteractDoc*>(this->doc());
        if (!d) return;
        if (column == CSummInteractDoc::col_info) {
            if (info) info(*d, row);
            return;
        }
        d->click(row, column, ui);
    });
}

void CSummInteractView::notify_closing(const document& d) {
    m_owner->drop();
    CTabulGridView::notify_closing(d);
    grid().refresh();
}
