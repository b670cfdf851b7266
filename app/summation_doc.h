// The summation: every test on every leading component, the verdicts in one
// table, and the classification of each component as trend or harmonic.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/colour.h"
#include "app/document.h"
#include "invest/summation_invest.h"

class CSummationInvestDoc : public document {
public:
    // Columns of the table.
    enum { col_period = 8, table_columns = 9 };

    explicit CSummationInvestDoc(const t_ts& ts);

    std::string name;  // the data file's path, for the titles of the windows opened from here
    std::string data_file;  // the file the user opened, for the names File Save proposes
    CSummationInvestDoc(const CSummationInvestDoc&) = delete;
    CSummationInvestDoc& operator=(const CSummationInvestDoc&) = delete;

    // The decomposition, the number of components and the treated vectors are set here.
    t_summation_invest& get_investigation() { return *m_investigation; }
    const t_summation_invest& get_investigation() const { return *m_investigation; }

    // The thresholds and trend conditions the tables are computed and classified with.
    summation_params& params() { return m_params; }
    const summation_params& params() const { return m_params; }

    // Decomposes the series anew for the window length of the current
    // decomposition, builds the reconstructed components and computes the
    // tables. Opening the interactive window is the caller's.
    void start_investigation();
    // The tables from the decomposition and reconstructed components as they
    // are (the last step of start_investigation).
    void compute_tables();

    // Rows of the tables: the investigation's number of components.
    int components() const;
    const std::vector<t_component_results>& get_results() const { return m_table.results; }
    t_component_results get_record(int k) const { return m_table.results.at(static_cast<size_t>(k)); }
    const std::vector<std::array<std::string, 5>>& get_row_texts() const { return m_table.row_texts; }
    // The stored text of test column 0..4 ("TR:Kendall" .. "PER:VYG").
    const std::string& text(int k, int column) const;

    // Throws ssa_exception for a type outside 0..4.
    bool if_significant(int k, int type) const { return m_table.if_significant(k, type); }
    bool is_trend(int k) const { return m_table.is_trend(k, m_params.summ_trend_conditions); }
    bool is_harmonic(int k) const { return m_table.is_harmonic(k, m_params.summ_trend_conditions); }

    // The table: header texts, widths, cell texts and background colours.
    static std::string header_text(int column);
    static int column_width(int column);
    std::string cell_text(int k, int column) const;
    rgb cell_colour(int k, int column) const;

    // The dominant period of component k's eigenvector, or of the pair (k, p)
    // together (0: the frequency 0 dominates); see eigenvector_period.
    double component_period(int k) const { return m_table.periods.at(static_cast<size_t>(k)); }
    double pair_period(int k, int p) const;

private:
    std::unique_ptr<t_summation_invest> m_investigation;
    summation_params m_params;
    summation_table m_table;
    // Pairs the user forms are asked for at every paint of the interactive table.
    mutable std::map<std::pair<int, int>, double> m_pair_periods;
};
