// Models of the dialogs the documents open: the fields a dialog shows and
// hands back, the checks of OK, which controls are enabled and the spin
// ranges. The user interface fills in and runs them (app_ui::run_dialog):
// it shows texts(), hands exchange() what the user typed when OK is pressed
// and keeps the dialog open, focus on the failing field, while that fails.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decomp/svd.h"
#include "invest/investigation.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"

// The first field that failed on OK, with the framework's message.
struct dlg_failure {
    int field = 0;
    std::string message;
    bool operator==(const dlg_failure& o) const { return field == o.field && message == o.message; }
};

// A spin button's range and step per click.
struct dlg_spin {
    int lower = 0;
    int upper = 100;
    int step = 1;
    bool operator==(const dlg_spin& o) const { return lower == o.lower && upper == o.upper && step == o.step; }
};

// Field exchange: the text a field shows and the reads of OK. A read answers
// the framework's message, or nothing when the text is accepted.
std::string dlg_int_text(int v);
std::string dlg_real_text(double v);  // 15 significant digits
std::optional<std::string> dlg_read_int(const std::string& text, int& v);
std::optional<std::string> dlg_read_unsigned(const std::string& text, unsigned& v);
std::optional<std::string> dlg_read_real(const std::string& text, double& v);
std::optional<std::string> dlg_int_range(int v, int lo, int hi);
std::optional<std::string> dlg_real_range(double v, double lo, double hi);

// "Start investigation".
class CDlgChooseInvestigation {
public:
    static constexpr const char* title = "Start investigation";
    static constexpr const char* text = "What investigation do you want to start?";
    static constexpr const char* ok_text = "Start";
    static constexpr const char* L_text = "L";
    static constexpr const char* amount_text = "Amount of components \nto investigate";

    enum field { f_L, f_amount, field_count };

    std::vector<std::string> names;  // the list, in order
    int selected = -1;               // -1: no line selected
    int use_L = 0;
    int L = 0;
    int use_amount = 0;
    int amount = 0;
    int L_max = 100;  // the caller's N-1
    // How the investigation will decompose: a truncated decomposition holds fewer components than L.
    SVD::svd_options decomposition;

    std::vector<std::string> texts() const;
    // The components the decomposition for window length l holds: l, or k when truncated.
    int amount_max(int l) const;
    // The window length only 2 .. L_max and the amount only 1 .. amount_max(L),
    // each while its check button is on (a disabled field keeps what it showed).
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts);
    bool enabled(field f) const { return f == f_L ? use_L != 0 : use_amount != 0; }
    dlg_spin spin(field f) const;
};

// Trend parameters.
class CDlgTrendParam {
public:
    static constexpr const char* title = "Set parameters for 'Trend' investigatin";
    static constexpr const char* ok_text = "Process";

    enum field { f_L, f_kendall, f_roots_count, f_roots_percent, f_omega, f_C, field_count };
    // Controls whose enabling depends on the state, beyond the fields.
    enum control { c_roots_mode, c_reset_all };

    int method = 2;  // 0 Kendall, 1 Roots, 2 LowFreq
    int L = 2;
    int L_max = 2147483646;  // the check's upper end; the caller sets N-1
    int L_spin_max = 1000;
    double kendall = 0.95;
    int roots_mode = 0;  // 0 absolute, 1 percent
    int roots_count = 3;
    int roots_percent = 5;
    double omega = 0.0;
    double C = 0.9;
    int vectors = -1;  // radio index: eigen, factor, reconstructed

    // Throws ssa_exception for a method the radios cannot show.
    void check_init() const;
    std::vector<std::string> texts() const;
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts);
    bool enabled(field f) const;
    bool enabled(control c) const { return c == c_roots_mode && method == 1; }
    dlg_spin spin(field f) const;

    t_trend_invest::method_kind get_method() const;
    // Radio 0, 1, 2 as eigenvectors, factor vectors, reconstructed; throws
    // unknown_objects_for_identification when none is checked.
    vector_kind get_vectors() const;
    void set_vectors(vector_kind k);
};

// Period parameters.
class CDlgPeriodParam {
public:
    static constexpr const char* title = "Set parameters for 'Period' investigation";

    enum field { f_L, f_crit, f_vyg, f_min, f_max, f_percent, f_count, field_count };
    enum control { c_estimation, c_optimize };

    int L = 0;
    int L_max = 2147483646;  // the caller sets N-1
    int optimize = 0;
    int goal = -1;
    int vectors = -1;     // radio index
    int estimation = -1;  // 0 Phi, 1 Charroots, 2 Periodogr
    int pairing = -1;     // 0 when "Fourier" is checked
    int crit = 0;
    int vyg_on = 0;
    double vyg = 0.0;
    double period_min = 2.0;
    double period_max = 2.0;
    int approx_mode = -1;  // 0 percent, 1 count
    double percent = 0.0;
    int max_components = 0;
    int L_at_open = 0;  // the count spin's upper end, taken when the dialog opens

    void open() { L_at_open = L; }
    std::vector<std::string> texts() const;
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts);
    bool enabled(field f) const;
    bool enabled(control c) const { return c == c_estimation && (goal == 1 || goal == 2); }
    dlg_spin spin(field f) const;

    t_period_invest::estimation_kind get_estimation() const {
        return estimation == 1 || estimation == 2 ? static_cast<t_period_invest::estimation_kind>(estimation)
                                                  : t_period_invest::phi;
    }
    t_period_invest::pairing_kind get_pairing() const {
        return pairing == 1 ? t_period_invest::charroots_pairing : t_period_invest::fourier_pairing;
    }
    t_period_invest::aim_kind get_goal() const {
        return goal == 1 || goal == 2 ? static_cast<t_period_invest::aim_kind>(goal) : t_period_invest::periodicities;
    }
    vector_kind get_vectors() const;
    void set_vectors(vector_kind k);
};

// Trend conditions: the 8-bit set of the time-series document.
class CDlgTrendConditions {
public:
    static constexpr const char* title = "Define trend conditions";
    static constexpr const char* methods[4] = {"Kendall", "Zeros", "LowFreq", "Fourier"};

    std::uint8_t conditions = 0;

    // Box i of column 0 ("be identificated by") or 1 ("be NOT identificated by").
    bool checked(int column, int i) const { return conditions & bit(column, i); }
    // Checking a box unchecks the same method in the other column.
    void set_checked(int column, int i, bool on);

private:
    static std::uint8_t bit(int column, int i) { return static_cast<std::uint8_t>(1u << (column * 4 + i)); }
};

// Summation parameters.
class CDlgSummationParams {
public:
    static constexpr const char* title = "Choose summation investigation parameters";

    enum field { f_L, f_epsilon, f_omega, f_roots_count, f_roots_percent, f_kendall, f_C, f_fourier, f_vyg,
                 field_count };

    int L = 2;
    int L_max = 100;  // the caller's N-1
    int vectors = -1;
    double epsilon = 0.0;
    double omega = 0.0;
    int roots_mode = 1;  // 0 absolute, 1 percent
    int roots_count = 0;
    int roots_percent = 0;
    double kendall = 0.0;
    double C = 0.0;
    std::uint8_t conditions = 0;
    int fourier = 0;
    double vyg = 0.0;

    std::vector<std::string> texts() const;
    // Only L is checked, 2 .. L_max; the other fields are only read.
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts);
    // The "VYG" box is disabled; every field is enabled.
    dlg_spin spin(field f) const;

    // "Define trend conditions": the set handed back on OK replaces the current one.
    void take_conditions(const CDlgTrendConditions& dlg, bool ok) {
        if (ok) conditions = dlg.conditions;
    }

    vector_kind dealswith() const;
    // The maximal trend roots for a series of length N.
    int get_roots_threshold(int N) const;
};

// Forecast.
class CDlgForecast {
public:
    static constexpr const char* title = "Forecast signal of time series";

    enum field { f_L, f_points, f_level, f_replicates, field_count };
    static constexpr const char* methods[2] = {"Recurrent", "Vector"};

    unsigned L = 0;
    int L_max = 100;  // the caller's N-1
    int trend = 0;
    int harmonics = 0;
    unsigned points = 0;
    int method = 0;  // radio index of forecast_method
    int intervals = 0;
    double level = 0.95;
    int replicates = 200;

    std::vector<std::string> texts() const;
    // The level and the replicates are read only while intervals is on.
    std::optional<dlg_failure> exchange(const std::vector<std::string>& texts);
    // A signal needs at least one of its parts.
    bool ok_enabled() const { return trend != 0 || harmonics != 0; }
    bool enabled(field f) const { return (f != f_level && f != f_replicates) || intervals != 0; }
    dlg_spin spin(field f) const;
};

// "Choose what part of SVD to display": a click on one of the three radios
// is OK at once; closing the window is Cancel.
class CDlgSVDtoDisplay {
public:
    static constexpr const char* title = "Choose what part of SVD to display";
    static constexpr const char* parts[4] = {"Singular values graph", "Eigen vectors graphs",
                                             "Factor vectors graphs", "Reconstructed components"};

    int part = -1;  // 0 singular values, 1 eigenvectors, 2 factor vectors
    int logarithmed = 0;

    // "Reconstructed components" is disabled.
    static bool enabled(int radio) { return radio >= 0 && radio < 3; }
};

// Group draw style.
class CDlgGroupDrawStyle {
public:
    static constexpr const char* title = "Draw style";

    int style = 1;  // 0 overlaid, 1 separate
};

// "Change period estimation parameters" of the harmonic break.
class CDlgChangeEstPeriodParam {
public:
    static constexpr const char* title = "Change period estimation parameters";

    int method = -1;   // 0 Phi, 1 Charroots, 2 Periodogr of initial series
    int vectors = -1;  // radio index

    // Throw ssa_exception for a code other than 0, 1, 2.
    void set_estmethod(int m);
    int get_estmethod() const;
    // Code 0 to radio 0, 1 and 2 to radio 1, 3 to radio 2; read back as 0, 1, 3.
    void set_treatedvectors(int code);
    vector_kind get_treatedvectors() const;
    // A click on a method radio: the periodogram needs reconstructed components.
    void click_method(int m);
    // Radios 0 and 1 of "Methods deals with".
    bool enabled_vectors(int radio) const { return radio == 2 || method != 2; }
};

// "Select paired component": the second component of a harmonic pair.
class CDlgSelectHarmPair {
public:
    static constexpr const char* title = "Select paired component";

    int first = 0;   // shown, read-only
    int second = 0;  // chosen, within range_min .. range_max
    int range_min = 1;
    int range_max = 1;
};

class CExcel;

// What the chosen columns would import, shown below the boxes.
struct xls_preview {
    int count = 0;                    // values the import reads
    std::vector<std::string> values;  // the first of them, shortest round-trip text
    std::vector<std::string> ticks;   // beside them, when a tick-mark column is chosen
    std::string caption;
    std::string note;  // why the run stops early, or why nothing is read
};

// "Import timeseries from Excel file": a worksheet, a data column and an
// optional tick-mark column of a workbook read beforehand. The book must
// outlive the dialog.
class CDlgOpenXLS {
public:
    static constexpr const char* title = "Import timeseries from Excel file";
    static constexpr const char* select_data_text = "Select a column from columns list, please.";
    static constexpr const char* select_ticks_text = "Select a column from the columns list, please.";
    static constexpr int preview_rows = 10;

    enum box { b_data, b_ticks };

    struct column_entry {
        int column;  // 0-based in the worksheet
        std::string name;
        bool operator==(const column_entry& o) const { return column == o.column && name == o.name; }
    };

    // Lists the worksheets; a workbook of one worksheet has it chosen already.
    explicit CDlgOpenXLS(const CExcel& book);

    std::vector<std::string> sheets;  // names in workbook order
    int sheet = -1;                   // 0-based; -1 until one is double-clicked
    int data_column = -1;             // 0-based column of the worksheet, -1 while not chosen
    int ticks_column = -1;
    int selected = -1;                // the selected entry of the column list

    // The column list as it stands after the moves.
    const std::vector<column_entry>& columns() const { return m_columns; }
    // A double-click on worksheet i: its columns listed, both boxes emptied.
    void choose_sheet(int i);
    // ">": the selected entry into the box (a column it held goes back to the
    // list's end); the message when no entry is selected.
    std::optional<std::string> move_in(box b);
    // "<" or a double-click on the box: its column back to the list's end.
    void move_out(box b);
    // A double-click on entry i: into the data box while that is empty, else
    // into the tick-mark box.
    void double_click_column(int i);
    // The name of the box's column, "" when empty.
    std::string box_text(box b) const;

    // What OK hands to the import; nothing without a worksheet and a data column.
    std::optional<excel_choice> choice() const;
    // Read through the import itself, so it shows what OK will give.
    xls_preview preview() const;

private:
    int& box_column(box b) { return b == b_data ? data_column : ticks_column; }

    const CExcel* m_book;
    std::vector<std::string> m_names;  // the chosen worksheet's column names
    std::vector<column_entry> m_columns;
};
