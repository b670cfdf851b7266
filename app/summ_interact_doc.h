// The interactive summation: the user's trend marks and harmonic pairs,
// starting from the summation's verdicts.
#pragma once

#include <string>
#include <vector>

#include "app/app_ui.h"
#include "app/colour.h"
#include "app/document.h"
#include "app/summation_doc.h"
#include "invest/grouping.h"

// What the component information window is given for one component.
struct component_info {
    std::string window_title;
    int L = 0;  // the decomposition's window length
    std::vector<double> eigenvector;
    std::vector<double> factor_vector;
    periodogram eigen_periodogram;  // the eigenvector's
    // The component, or its sum with its first partner, titled "Reconstructed from ET...".
    t_ts series;
    t_ts original;
    t_component_results record;
};

// Observes its summation: when that closes first, the pointer is dropped and
// the table empties, so no click or Info reaches a destroyed document.
class CSummInteractDoc : public document, private document_observer {
public:
    CSummInteractDoc() : document(doc_kind::summ_interact) {}
    ~CSummInteractDoc() override;
    enum { col_component = 0, col_tr = 1, col_per = 2, col_info = 3, col_period = 4, table_columns = 5 };

    // Keeps the summation (not owned; its closing empties this table), takes
    // the marks from its verdicts and the partners from its pair entries.
    void init(CSummationInvestDoc* summation);
    CSummationInvestDoc* get_summation() const { return m_summation; }
    // The partner lists anew from the summation's pair entries, for the rows marked PER only
    // (the view does this when it opens).
    void reset_partners();

    int rows() const { return static_cast<int>(m_tr_marks.size()); }
    bool is_trend(int k) const { return m_tr_marks.at(static_cast<size_t>(k)); }
    bool is_harmonic(int k) const { return m_per_marks.at(static_cast<size_t>(k)); }
    const std::vector<int>& partners(int k) const { return m_partners.at(static_cast<size_t>(k)); }

    // A click on the TR or PER cell of row k; other columns change nothing
    // (the Info button opens a window: see info()).
    void click(int k, int column, app_ui& ui);
    void toggle_trend(int k);
    // Dissolves k's pairs when it is marked; otherwise asks for a partner.
    void click_per(int k, app_ui& ui);

    static std::string header_text(int column);
    static int column_width(int column);
    std::string cell_text(int k, int column) const;
    // What Copy and Save table write: the marks as the user set them, "TR" or
    // empty, the partners of a marked PER row or empty.
    std::string copy_text(int k, int column) const;
    // Follows the summation's classification, not the marks.
    rgb cell_colour(int k, int column) const;

    // What the Info button of row k shows.
    component_info info(int k) const;

private:
    void notify_changed(const document&, unsigned) override {}
    void notify_closing(const document& doc) override;

    CSummationInvestDoc* m_summation = nullptr;
    std::vector<bool> m_tr_marks;
    std::vector<bool> m_per_marks;
    std::vector<std::vector<int>> m_partners;
};
