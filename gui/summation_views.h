// The summation's two tables on the grid control: the verdicts of every test
// and the interactive marks.
#pragma once

#include <functional>

#include "app/summ_interact_doc.h"
#include "app/save_names.h"
#include "app/summation_doc.h"
#include "app/text_format.h"
#include "gui/tabul_grid.h"

// Asks the summation document; rows vanish when it closes.
class summation_grid : public tabul_grid_owner {
public:
    explicit summation_grid(const CSummationInvestDoc* doc) : m_doc(doc) {}
    void drop() { m_doc = nullptr; }
    int grid_rows() const override { return m_doc ? m_doc->components() : 0; }
    int grid_columns() const override { return CSummationInvestDoc::table_columns; }
    std::string grid_header(int c) const override { return CSummationInvestDoc::header_text(c); }
    int grid_width(int c) const override { return CSummationInvestDoc::column_width(c); }
    std::string grid_text(int r, int c) const override { return m_doc ? m_doc->cell_text(r, c) : ""; }
    rgb grid_colour(int r, int c) const override { return m_doc ? m_doc->cell_colour(r, c) : colours::white; }
    std::string grid_file_name() const override {
        return m_doc ? derived_name(path_stem(m_doc->data_file.empty() ? m_doc->name : m_doc->data_file), "summation", ".csv") : tabul_grid_owner::grid_file_name();
    }

private:
    const CSummationInvestDoc* m_doc;
};

class summ_interact_grid : public tabul_grid_owner {
public:
    explicit summ_interact_grid(const CSummInteractDoc* doc) : m_doc(doc) {}
    void drop() { m_doc = nullptr; }
    int grid_rows() const override { return m_doc ? m_doc->rows() : 0; }
    int grid_columns() const override { return CSummInteractDoc::table_columns; }
    std::string grid_header(int c) const override { return CSummInteractDoc::header_text(c); }
    int grid_width(int c) const override { return CSummInteractDoc::column_width(c); }
    std::string grid_text(int r, int c) const override { return m_doc ? m_doc->cell_text(r, c) : ""; }
    rgb grid_colour(int r, int c) const override { return m_doc ? m_doc->cell_colour(r, c) : colours::white; }
    cell_kind grid_kind(int, int c) const override {
        return c == CSummInteractDoc::col_tr || c == CSummInteractDoc::col_per ? cell_check
               : c == CSummInteractDoc::col_info                                ? cell_button
                                                                                : cell_text;
    }
    bool grid_checked(int r, int c) const override {
        if (!m_doc) return false;
        return c == CSummInteractDoc::col_tr ? m_doc->is_trend(r) : c == CSummInteractDoc::col_per && m_doc->is_harmonic(r);
    }
    std::string grid_copy_text(int r, int c) const override { return m_doc ? m_doc->copy_text(r, c) : ""; }
    std::string grid_file_name() const override {
        const CSummationInvestDoc* s = m_doc ? m_doc->get_summation() : nullptr;
        return s ? derived_name(path_stem(s->data_file.empty() ? s->name : s->data_file), "interactive-summation", ".csv") : tabul_grid_owner::grid_file_name();
    }

private:
    const CSummInteractDoc* m_doc;
};

class CSummationInvestView : public CTabulGridView {
    Q_OBJECT
public:
    // wcor is called by the context menu's "W-correlations..."; empty does nothing.
    CSummationInvestView(CSummationInvestDoc* doc, app_ui* ui, std::function<void(CSummationInvestDoc&)> wcor,
                         QWidget* parent = nullptr);
    void notify_closing(const document& doc) override;

private:
    summation_grid* m_owner;
};

class CSummInteractView : public CTabulGridView {
    Q_OBJECT
public:
    // TR and PER clicks go to the document's rules; Info calls info(row).
    CSummInteractView(CSummInteractDoc* doc, app_ui& ui, std::function<void(CSummInteractDoc&, int)> info,
                      QWidget* parent = nullptr);
    void notify_closing(const document& doc) override;

private:
    summ_interact_grid* m_owner;
};
