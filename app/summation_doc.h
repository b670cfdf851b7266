// The summation: every test on every leading component, the verdicts in one
// table, and the classification of each component as trend or harmonic.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/colour.h"
#include "app/document.h"
#include "invest/summation_invest.h"

class CSummationInvestDoc : public document {
public:
    // Result types of if_significant, one per test column.
    enum result_type { res_kendall = 0, res_zeros = 1, res_lowfreq = 2, res_fourier = 3, res_vyg = 4 };
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

    double get_summ_epsilon() const { return m_epsilon; }
    void set_summ_epsilon(double v) { m_epsilon = v; }
    double get_summ_omega() const { return m_omega; }
    void set_summ_omega(double v) { m_omega = v; }
    int get_summ_fourier() const { return m_fourier; }
    void set_summ_fourier(int v) { m_fourier = v; }
    double get_summ_kendall() const { return m_kendall; }
    void set_summ_kendall(double v) { m_kendall = v; }
    double get_summ_lowfreq_C() const { return m_lowfreq_C; }
    void set_summ_lowfreq_C(double v) { m_lowfreq_C = v; }
    int get_summ_roots_max() const { return m_roots_max; }
    void set_summ_roots_max(int v) { m_roots_max = v; }
    double get_summ_vyg() const { return m_vyg; }
    void set_summ_vyg(double v) { m_vyg = v; }
    // Bits 0..3: identified by Kendall, Zeros, LowFreq, Fourier; bits 4..7: NOT identified by them.
    std::uint8_t get_summ_trend_conditions() const { return m_conditions; }
    void set_summ_trend_conditions(std::uint8_t c) { m_conditions = c; }

    // Decomposes the series anew for the window length of the current
    // decomposition, builds the reconstructed components and computes the
    // tables. Opening the interactive window is the caller's.
    void start_investigation();
    // The tables from the decomposition and reconstructed components as they
    // are (the last step of start_investigation).
    void compute_tables();

    // Rows of the tables: the investigation's number of components.
    int components() const;
    const std::vector<t_component_results>& get_results() const { return m_results; }
    t_component_results get_record(int k) const { return m_results.at(static_cast<size_t>(k)); }
    const std::vector<std::array<std::string, 5>>& get_row_texts() const { return m_row_texts; }
    // The stored text of test column 0..4 ("TR:Kendall" .. "PER:VYG").
    const std::string& text(int k, int column) const;

    // Throws ssa_exception for a type outside 0..4.
    bool if_significant(int k, int type) const;
    bool is_trend(int k) const;
    bool is_harmonic(int k) const { return if_significant(k, res_vyg) && !is_trend(k); }

    // The table: header texts, widths, cell texts and background colours.
    static std::string header_text(int column);
    static int column_width(int column);
    std::string cell_text(int k, int column) const;
    rgb cell_colour(int k, int column) const;

    // The dominant period of component k's eigenvector, or of the pair (k, p)
    // together (0: the frequency 0 dominates); see eigenvector_period.
    double component_period(int k) const { return m_periods.at(static_cast<size_t>(k)); }
    double pair_period(int k, int p) const;
    // "12.00", or "-" for no period.
    static std::string period_text(double period);

private:
    std::unique_ptr<t_summation_invest> m_investigation;
    double m_epsilon = 0.0001;
    double m_omega = 0.075;
    int m_fourier = 1;
    double m_kendall = 0.05;
    double m_lowfreq_C = 0.1;
    int m_roots_max = 0;
    double m_vyg = 0.7;
    std::uint8_t m_conditions = 135;
    std::vector<t_component_results> m_results;
    std::vector<std::array<std::string, 5>> m_row_texts;
    std::vector<double> m_periods;
    // Pairs the user forms are asked for at every paint of the interactive table.
    mutable std::map<std::pair<int, int>, double> m_pair_periods;
};
