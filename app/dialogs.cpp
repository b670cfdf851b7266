#include "app/dialogs.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>

#include "core/hooks.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "excel/excel.h"
#include "invest/forecast.h"

namespace {

std::string between(const char* kind, const std::string& lo, const std::string& hi) {
    return std::string("Please enter ") + kind + " between " + lo + " and " + hi + ".";
}

// Reads fields in order and keeps the first failure.
struct exchanger {
    const std::vector<std::string>& texts;
    std::optional<dlg_failure> failure;

    const std::string& at(int f) const {
        static const std::string empty;
        return f < static_cast<int>(texts.size()) ? texts[f] : empty;
    }
    void fail(int f, const std::optional<std::string>& msg) {
        if (!failure && msg) failure = dlg_failure{f, *msg};
    }
    void integer(int f, int& v) {
        if (!failure) fail(f, dlg_read_int(at(f), v));
    }
    void integer(int f, int& v, int lo, int hi) {
        integer(f, v);
        if (!failure) fail(f, dlg_int_range(v, lo, hi));
    }
    void real(int f, double& v) {
        if (!failure) fail(f, dlg_read_real(at(f), v));
    }
    void real(int f, double& v, double lo, double hi) {
        real(f, v);
        if (!failure) fail(f, dlg_real_range(v, lo, hi));
    }
};

vector_kind kind_of_radio(int radio, const char* place) {
    switch (radio) {
        case 0: return vk_eigenvectors;
        case 1: return vk_factor_vectors;
        case 2: return vk_reconstructed;
        default: throw SSA_math_exception::unknown_objects_for_identification(place);
    }
}

int radio_of_kind(vector_kind k) {
    switch (k) {
        case vk_eigenvectors: return 0;
        case vk_factor_vectors:
        case vk_factor_vectors2: return 1;
        case vk_reconstructed: return 2;
    }
    return -1;
}

}  // namespace

std::string dlg_int_text(int v) { return std::to_string(v); }

std::string dlg_real_text(double v) { return format_text("%.15g", v); }

std::optional<std::string> dlg_read_int(const std::string& text, int& v) {
    const std::optional<long long> r = parse_integer(text);
    if (!r || *r < INT_MIN || *r > INT_MAX) return std::string("Please enter an integer.");
    v = static_cast<int>(*r);
    return std::nullopt;
}

std::optional<std::string> dlg_read_unsigned(const std::string& text, unsigned& v) {
    const std::optional<long long> r = parse_integer(text);
    if (!r || *r < 0 || *r > UINT_MAX || text.find('-') != std::string::npos)
        return std::string("Please enter a positive integer.");
    v = static_cast<unsigned>(*r);
    return std::nullopt;
}

std::optional<std::string> dlg_read_real(const std::string& text, double& v) {
    // Fields show a '.', but a user of a decimal-comma locale types a ','.
    std::string t = text;
    const char* point = std::localeconv()->decimal_point;
    if (point && point[0] && point[0] != '.' && !point[1]) std::replace(t.begin(), t.end(), point[0], '.');
    const std::optional<double> r = parse_number(t);
    if (!r || !std::isfinite(*r)) return std::string("Please enter a number.");
    v = *r;
    return std::nullopt;
}

std::optional<std::string> dlg_int_range(int v, int lo, int hi) {
    if (v >= lo && v <= hi) return std::nullopt;
    return between("an integer", dlg_int_text(lo), dlg_int_text(hi));
}

std::optional<std::string> dlg_real_range(double v, double lo, double hi) {
    if (v >= lo && v <= hi) return std::nullopt;
    return between("a number", dlg_real_text(lo), dlg_real_text(hi));
}

// Chooser

std::vector<std::string> CDlgChooseInvestigation::texts() const {
    return {dlg_int_text(L), dlg_int_text(amount)};
}

int CDlgChooseInvestigation::amount_max(int l) const {
    return std::min(l, SVD::truncated_components(decomposition, l));
}

std::optional<dlg_failure> CDlgChooseInvestigation::exchange(const std::vector<std::string>& t) {
    exchanger x{t, {}};
    int l = L, a = amount;
    if (use_L) x.integer(f_L, l, 2, L_max);
    if (use_amount) x.integer(f_amount, a, 1, amount_max(l));
    if (x.failure) return x.failure;
    L = l;
    amount = a;
    return std::nullopt;
}

dlg_spin CDlgChooseInvestigation::spin(field f) const {
    return f == f_L ? dlg_spin{2, L_max, 1} : dlg_spin{1, amount_max(L), 1};
}

// Trend

void CDlgTrendParam::check_init() const {
    if (method < 0 || method > 2)
        throw SSA_math_exception::internal_error("incorrect m_method value inside CDlgTrendParam::OnInitDialog()");
}

std::vector<std::string> CDlgTrendParam::texts() const {
    return {dlg_int_text(L),           dlg_real_text(kendall),  dlg_int_text(roots_count),
            dlg_int_text(roots_percent), dlg_real_text(omega), dlg_real_text(C)};
}

std::optional<dlg_failure> CDlgTrendParam::exchange(const std::vector<std::string>& t) {
    exchanger x{t, {}};
    int l = L, count = roots_count, percent = roots_percent;
    double k = kendall, w = omega, c = C;
    x.integer(f_L, l, 2, L_max);
    x.real(f_kendall, k, 0.0, 1.0);
    x.integer(f_roots_count, count, 0, INT_MAX);
    x.integer(f_roots_percent, percent, 0, 100);
    x.real(f_omega, w, 0.0, 0.5);
    x.real(f_C, c, 0.0, 1.0);
    if (x.failure) return x.failure;
    L = l;
    kendall = k;
    roots_count = count;
    roots_percent = percent;
    omega = w;
    C = c;
    return std::nullopt;
}

bool CDlgTrendParam::enabled(field f) const {
    switch (f) {
        case f_kendall: return method == 0;
        case f_roots_count: return method == 1 && roots_mode == 0;
        case f_roots_percent: return method == 1 && roots_mode == 1;
        case f_omega:
        case f_C: return method == 2;
        default: return true;
    }
}

dlg_spin CDlgTrendParam::spin(field f) const {
    if (f == f_L) return {2, L_spin_max, 1};
    return {};
}

t_trend_invest::method_kind CDlgTrendParam::get_method() const {
    if (method < 0 || method > 2)
        throw SSA_math_exception::internal_error("invalid method of trend investigation inside CDlgTrendParam::get_method()");
    return static_cast<t_trend_invest::method_kind>(method);
}

vector_kind CDlgTrendParam::get_vectors() const { return kind_of_radio(vectors, "CDlgTrendParam::get_vectors()"); }
void CDlgTrendParam::set_vectors(vector_kind k) { vectors = radio_of_kind(k); }

// Period

std::vector<std::string> CDlgPeriodParam::texts() const {
    return {dlg_int_text(L),            dlg_int_text(crit),         dlg_real_text(vyg),
            dlg_real_text(period_min),  dlg_real_text(period_max),  dlg_real_text(percent),
            dlg_int_text(max_components)};
}

std::optional<dlg_failure> CDlgPeriodParam::exchange(const std::vector<std::string>& t) {
    exchanger x{t, {}};
    int l = L, c = crit, count = max_components;
    double v = vyg, lo = period_min, hi = period_max, p = percent;
    x.integer(f_L, l, 2, L_max);
    x.integer(f_crit, c);
    x.real(f_vyg, v, 0.0, 1.0);
    x.real(f_min, lo, 2.0, 11111111111111.1);
    x.real(f_max, hi, 0.0, 1e99);
    x.real(f_percent, p, 0.0, 100.0);
    x.integer(f_count, count, -1, INT_MAX);
    if (x.failure) return x.failure;
    L = l;
    crit = c;
    vyg = v;
    period_min = lo;
    period_max = hi;
    percent = p;
    max_components = count;
    return std::nullopt;
}

bool CDlgPeriodParam::enabled(field f) const {
    switch (f) {
        case f_min:
        case f_max: return goal == 1 || goal == 2;
        case f_vyg: return vyg_on != 0;
        case f_percent: return approx_mode == 0;
        case f_count: return approx_mode == 1;
        default: return true;
    }
}

dlg_spin CDlgPeriodParam::spin(field f) const {
    switch (f) {
        case f_L: return {2, L_max, 1};
        case f_count: return {0, L_at_open, 2};
        default: return {};
    }
}

vector_kind CDlgPeriodParam::get_vectors() const {
    return kind_of_radio(vectors, "CDlgPeriodParam::get_dealswith()");
}
void CDlgPeriodParam::set_vectors(vector_kind k) { vectors = radio_of_kind(k); }

// Trend conditions

void CDlgTrendConditions::set_checked(int column, int i, bool on) {
    if (on) {
        conditions = static_cast<std::uint8_t>((conditions | bit(column, i)) & ~bit(1 - column, i));
    } else {
        conditions = static_cast<std::uint8_t>(conditions & ~bit(column, i));
    }
}

// Summation

std::vector<std::string> CDlgSummationParams::texts() const {
    return {dlg_int_text(L),            dlg_real_text(epsilon),     dlg_real_text(omega),
            dlg_int_text(roots_count),  dlg_int_text(roots_percent), dlg_real_text(kendall),
            dlg_real_text(C),           dlg_int_text(fourier),      dlg_real_text(vyg)};
}

std::optional<dlg_failure> CDlgSummationParams::exchange(const std::vector<std::string>& t) {
    exchanger x{t, {}};
    int l = L, count = roots_count, percent = roots_percent, f = fourier;
    double e = epsilon, w = omega, k = kendall, c = C, v = vyg;
    x.integer(f_L, l, 2, L_max);
    x.real(f_epsilon, e);
    x.real(f_omega, w);
    x.integer(f_roots_count, count);
    x.integer(f_roots_percent, percent);
    x.real(f_kendall, k);
    x.real(f_C, c);
    x.integer(f_fourier, f);
    x.real(f_vyg, v);
    if (x.failure) return x.failure;
    L = l;
    epsilon = e;
    omega = w;
    roots_count = count;
    roots_percent = percent;
    kendall = k;
    C = c;
    fourier = f;
    vyg = v;
    return std::nullopt;
}

dlg_spin CDlgSummationParams::spin(field f) const {
    if (f == f_L) return {2, L_max, 1};
    return {};
}

vector_kind CDlgSummationParams::dealswith() const {
    return kind_of_radio(vectors, "inside \"CDlgSummationParams::dealswith()\"");
}

int CDlgSummationParams::get_roots_threshold(int N) const {
    if (roots_mode != 1) return roots_count;
    int length = 0;
    switch (vectors) {
        case 0: length = L; break;
        case 1: length = N - L + 1; break;
        case 2: length = N; break;
        default:
            throw SSA_math_exception::unknown_objects_for_identification(
                "inside \"CDlgSummationParams::get_roots_threshold(...)\"");
    }
    return length * roots_percent / 100;
}

// Forecast

std::vector<std::string> CDlgForecast::texts() const {
    return {std::to_string(L), std::to_string(points), dlg_real_text(level), dlg_int_text(replicates)};
}

std::optional<dlg_failure> CDlgForecast::exchange(const std::vector<std::string>& t) {
    exchanger x{t, {}};
    unsigned l = L, p = points;
    x.fail(f_L, dlg_read_unsigned(x.at(f_L), l));
    if (!x.failure) x.fail(f_L, l > static_cast<unsigned>(INT_MAX) ? dlg_int_range(INT_MAX, 2, L_max)
                                                                    : dlg_int_range(static_cast<int>(l), 2, L_max));
    if (!x.failure) x.fail(f_points, dlg_read_unsigned(x.at(f_points), p));
    // 0 stays the forecast's own refusal; above the bound the values would not fit.
    if (!x.failure && p > static_cast<unsigned>(max_forecast_points))
        x.fail(f_points, dlg_int_range(max_forecast_points + 1, 0, max_forecast_points));
    double lv = level;
    int r = replicates;
    if (intervals) {
        x.real(f_level, lv);
        if (!x.failure && !(lv > 0 && lv < 1))
            x.fail(f_level, std::string("Please enter a level above 0 and below 1."));
        x.integer(f_replicates, r, min_replicates, max_replicates);
        if (!x.failure && static_cast<double>(r) * p > max_bootstrap_values)
            x.fail(f_replicates,
                   format_text("The bootstrap keeps at most %.0f values: fewer replicates or points, please.",
                               max_bootstrap_values));
    }
    if (x.failure) return x.failure;
    L = l;
    points = p;
    level = lv;
    replicates = r;
    return std::nullopt;
}

dlg_spin CDlgForecast::spin(field f) const {
    if (f == f_L) return {2, L_max, 1};
    if (f == f_replicates) return {min_replicates, max_replicates, 100};
    return {};
}

// Change period estimation

void CDlgChangeEstPeriodParam::set_estmethod(int m) {
    if (m < 0 || m > 2)
        throw SSA_math_exception::internal_error("invalid estmethod for CDlgChangeEstPeriodParam going to be set");
    method = m;
}

int CDlgChangeEstPeriodParam::get_estmethod() const {
    if (method < 0 || method > 2)
        throw SSA_math_exception::internal_error(
            "unknown method of period estimation inside 'CDlgChangeEstPeriodParam::get_estmethod()'");
    return method;
}

void CDlgChangeEstPeriodParam::set_treatedvectors(int code) {
    switch (code) {
        case 0: vectors = 0; break;
        case 1:
        case 2: vectors = 1; break;
        case 3: vectors = 2; break;
        default:
            throw SSA_math_exception::unknown_objects_for_identification(
                "CDlgChangeEstPeriodParam::set_treatedvectors(...)");
    }
}

vector_kind CDlgChangeEstPeriodParam::get_treatedvectors() const {
    return kind_of_radio(vectors, "CDlgChangeEstPeriodParam::get_treatedvectors()");
}

void CDlgChangeEstPeriodParam::click_method(int m) {
    method = m;
    if (m == 2) vectors = 2;
}

// Import from a workbook

CDlgOpenXLS::CDlgOpenXLS(const CExcel& book) : m_book(&book) {
    for (const auto& w : book.sheets()) sheets.push_back(w.name);
    if (sheets.size() == 1) choose_sheet(0);
}

void CDlgOpenXLS::choose_sheet(int i) {
    if (i < 0 || i >= static_cast<int>(sheets.size()) || i == sheet) return;
    sheet = i;
    data_column = ticks_column = selected = -1;
    m_names.clear();
    m_columns.clear();
    for (excel_column& e : excel_column_names(*m_book, i + 1)) {
        const int c = e.column - 1;
        if (c >= static_cast<int>(m_names.size())) m_names.resize(static_cast<size_t>(c) + 1);
        m_names[static_cast<size_t>(c)] = e.name;
        m_columns.push_back({c, std::move(e.name)});
    }
}

std::optional<std::string> CDlgOpenXLS::move_in(box b) {
    if (selected < 0 || selected >= static_cast<int>(m_columns.size()))
        return std::string(b == b_data ? select_data_text : select_ticks_text);
    const int column = m_columns[selected].column;
    m_columns.erase(m_columns.begin() + selected);
    selected = -1;
    move_out(b);
    box_column(b) = column;
    return std::nullopt;
}

void CDlgOpenXLS::move_out(box b) {
    int& column = box_column(b);
    if (column < 0) return;
    m_columns.push_back({column, m_names[column]});
    column = -1;
}

void CDlgOpenXLS::double_click_column(int i) {
    if (i < 0 || i >= static_cast<int>(m_columns.size())) return;
    selected = i;
    move_in(data_column < 0 ? b_data : b_ticks);
}

std::string CDlgOpenXLS::box_text(box b) const {
    const int column = b == b_data ? data_column : ticks_column;
    return column >= 0 ? m_names[column] : std::string();
}

std::optional<excel_choice> CDlgOpenXLS::choice() const {
    if (sheet < 0 || data_column < 0) return std::nullopt;
    excel_choice c;
    // The import finds a worksheet by name first, then by number: the name when
    // it leads to this worksheet, else a number no worksheet is named (with
    // zeros in front if need be).
    const auto named = [this](const std::string& n) { return std::find(sheets.begin(), sheets.end(), n); };
    if (!sheets[sheet].empty() && named(sheets[sheet]) - sheets.begin() == sheet) {
        c.sheet = sheets[sheet];
    } else {
        c.sheet = std::to_string(sheet + 1);
        while (named(c.sheet) != sheets.end()) c.sheet.insert(0, "0");
    }
    c.column = data_column + 1;
    c.ticks_column = ticks_column + 1;
    return c;
}

xls_preview CDlgOpenXLS::preview() const {
    xls_preview p;
    const std::optional<excel_choice> c = choice();
    if (!c) {
        p.caption = "Choose a data column to see its first values.";
        return p;
    }
    t_ts ts;
    try {
        // The import's warning of a run that stops early belongs in the preview.
        scoped_notify_hook note([&p](const std::string& text, const std::string&, notify_icon) { p.note = text; });
        import_excel(*m_book, *c, ts);
    } catch (const SSA_math_exception::file_exception& e) {
        // Nothing read: the preview says why, where OK gives the empty series.
        p.note = e.message;
    }
    p.count = ts.size();
    const int shown = std::min(p.count, preview_rows);
    for (int i = 0; i < shown; ++i) {
        char buf[32];
        char* end = std::to_chars(buf, buf + sizeof buf, ts[i]).ptr;
        p.values.emplace_back(buf, static_cast<size_t>(end - buf));
        if (c->ticks_column != 0 && ts.ticks()) p.ticks.push_back((*ts.ticks())[i]);
    }
    if (p.count == 0)
        p.caption = "No numbers in this column.";
    else
        p.caption = std::to_string(p.count) + (p.count == 1 ? " value" : " values") +
                    (p.count > shown ? ", the first " + std::to_string(shown) + ":" : ":");
    return p;
}
