#include "app/dialogs.h"

#include <gtest/gtest.h>

#include "core/ssa_exception.h"
#include "excel/excel.h"
#include "timeseries/ts.h"

namespace {

TEST(dialog_fields, reads_and_framework_messages) {
    int i = 7;
    EXPECT_EQ(std::pair(dlg_read_int(" 12 ", i), i), std::pair(std::optional<std::string>(), 12));
    for (const char* bad : {"", "1.5", "3x", "99999999999"})
        EXPECT_EQ(dlg_read_int(bad, i), "Please enter an integer.") << bad;
    EXPECT_EQ(dlg_real_range(1e100, 0.0, 1e99), "Please enter a number between 0 and 1e+99.");
}

TEST(trend_dialog, first_failing_field_and_message) {
    struct row { std::vector<std::string> texts; std::optional<dlg_failure> failure; };
    const row rows[] = {
        {{"100", "1.5", "3", "5", "0", "0.9"}, dlg_failure{CDlgTrendParam::f_L, "Please enter an integer between 2 and 99."}},
        {{"10", "0.5", "3", "5", "0.1", "x"}, dlg_failure{CDlgTrendParam::f_C, "Please enter a number."}},
        {{"10", "0.5", "4", "6", "0.1", "0.8"}, std::nullopt},
    };
    for (const row& r : rows) {
        CDlgTrendParam dlg;
        dlg.L_max = 99;
        EXPECT_EQ(dlg.exchange(r.texts), r.failure) << r.texts[0];
        EXPECT_EQ(dlg.L, r.failure ? 2 : 10);  // members change only on success
    }
    CDlgTrendParam unbounded;
    EXPECT_EQ(unbounded.exchange({"1", "0.95", "3", "5", "0", "0.9"})->message, "Please enter an integer between 2 and 2147483646.");
    unbounded.method = 3;
    EXPECT_THROW(unbounded.check_init(), SSA_math_exception::ssa_exception);
}

// Enabling and spins are pinned with the GUI.
TEST(period_dialog, mappings_and_max_below_min) {
    CDlgPeriodParam dlg;
    dlg.estimation = 5;
    EXPECT_EQ(dlg.get_estimation(), 0);
    EXPECT_THROW(dlg.get_vectors(), SSA_math_exception::unknown_objects_for_identification);
    // Max below Min is accepted.
    dlg.L_max = 99;
    EXPECT_EQ(dlg.exchange({"24", "1", "0.9", "13", "11", "0", "-1"}), std::nullopt);
}

TEST(chooser_dialog, window_length_and_amount_ranges) {
    CDlgChooseInvestigation dlg;
    dlg.L_max = 143;
    dlg.L = 72;
    dlg.amount = 72;
    // Unchecked fields are not read.
    EXPECT_EQ(dlg.exchange({"5000", "0"}), std::nullopt);
    dlg.use_L = dlg.use_amount = 1;
    EXPECT_EQ(dlg.exchange({"20", "21"}), (dlg_failure{1, "Please enter an integer between 1 and 20."}));
    // A truncated decomposition holds k components: the amount goes no further.
    dlg.decomposition = SVD::svd_options(svd_solver::truncated, 8);
    EXPECT_EQ(dlg.exchange({"20", "9"}), (dlg_failure{1, "Please enter an integer between 1 and 8."}));
    EXPECT_EQ(dlg.spin(CDlgChooseInvestigation::f_amount), (dlg_spin{1, 8, 1}));
    // Automatic keeps every component of a window up to 2000.
    dlg.L_max = 4000;
    dlg.decomposition = SVD::svd_options(svd_solver::automatic, 50);
    EXPECT_EQ(dlg.exchange({"1000", "1000"}), std::nullopt);
    EXPECT_EQ(dlg.exchange({"2001", "51"}), (dlg_failure{1, "Please enter an integer between 1 and 50."}));
}

TEST(forecast_dialog, points_bound_and_interval_fields_read_only_while_asked_for) {
    CDlgForecast dlg;
    dlg.L_max = 143;
    // The command line's bound: more values would not fit.
    EXPECT_EQ(dlg.exchange({"72", "2000000"}), (dlg_failure{1, "Please enter an integer between 0 and 1000000."}));
    EXPECT_EQ(dlg.exchange({"72", "1000000"}), std::nullopt);
    EXPECT_EQ(dlg.exchange({"72", "14", "1.5", "3"}), std::nullopt);
    EXPECT_EQ(std::tuple(dlg.points, dlg.level, dlg.replicates), std::tuple(14u, 0.95, 200));
    dlg.intervals = 1;
    EXPECT_EQ(dlg.exchange({"72", "14", "1", "100"}), (dlg_failure{2, "Please enter a level above 0 and below 1."}));
    EXPECT_EQ(dlg.exchange({"72", "1000", "0.8", "100000"}),
              (dlg_failure{3, "The bootstrap keeps at most 50000000 values: fewer replicates or points, please."}));
    EXPECT_EQ(dlg.exchange({"72", "14", "0.8", "50"}), std::nullopt);
    EXPECT_EQ(std::pair(dlg.level, dlg.replicates), std::pair(0.8, 50));
}

TEST(summation_dialog, roots_threshold_and_conditions) {
    CDlgSummationParams dlg;
    dlg.L = 72;
    dlg.roots_percent = 5;
    dlg.vectors = 2;  // reconstructed: 5 percent of N = 144
    EXPECT_EQ(dlg.get_roots_threshold(144), 7);
    CDlgTrendConditions cond;
    cond.conditions = 16;  // not by Kendall
    cond.set_checked(0, 0, true);
    EXPECT_EQ(cond.conditions, 1);
    for (const bool ok : {false, true}) {
        dlg.take_conditions(cond, ok);
        EXPECT_EQ(dlg.conditions, ok ? 1 : 0);
    }
}

using strings = std::vector<std::string>;
strings names(const CDlgOpenXLS& dlg) {
    strings out;
    for (const auto& e : dlg.columns()) out.push_back(e.name);
    return out;
}

TEST(open_xls_dialog, sheets_moves_double_clicks_and_messages) {
    CExcel book;
    book.sheets() = {{"Plain", {{"1", "10"}}}, {"Titles", {{"Year", "CO2", "Note"}, {"1959", "315.42"}}}};
    CDlgOpenXLS dlg(book);
    dlg.choose_sheet(0);
    EXPECT_EQ(names(dlg), (strings{"Column 1", "Column 2"}));
    dlg.double_click_column(0);
    dlg.choose_sheet(1);  // the boxes held columns of the other worksheet
    using D = CDlgOpenXLS;
    enum action { in_data, in_ticks, out_data, dclick };
    struct step { action what; int entry; const char* message; int data, ticks; strings list; };  // entry: selected or double-clicked
    const step steps[] = {
        {in_data, -1, D::select_data_text, -1, -1, {"Year", "CO2", "Note"}},
        {in_ticks, 0, nullptr, -1, 0, {"CO2", "Note"}},  // tick marks first
        {dclick, 1, nullptr, 2, 0, {"CO2"}},             // data box empty: data
        {out_data, -1, nullptr, -1, 0, {"CO2", "Note"}},  // back to the list's end
        {dclick, 0, nullptr, 1, 0, {"Note"}},
        {dclick, 0, nullptr, 1, 2, {"Year"}},  // data chosen: ticks, the one held goes back
    };
    for (const step& s : steps) {
        std::optional<std::string> message;
        dlg.selected = s.entry;
        if (s.what == dclick)
            dlg.double_click_column(s.entry);
        else if (s.what == out_data)
            dlg.move_out(D::b_data);
        else
            message = dlg.move_in(s.what == in_data ? D::b_data : D::b_ticks);
        EXPECT_EQ(std::tuple(message, dlg.data_column, dlg.ticks_column, names(dlg)),
                  std::tuple(s.message ? std::optional<std::string>(s.message) : std::nullopt, s.data, s.ticks, s.list))
            << &s - steps;
    }
    const excel_choice c = *dlg.choice();
    EXPECT_EQ(std::tuple(c.sheet, c.column, c.ticks_column), std::tuple(std::string("Titles"), 2, 3));
    EXPECT_EQ(CDlgOpenXLS(book).choice(), std::nullopt) << "OK before a worksheet reads nothing";
}

TEST(open_xls_dialog, preview_shows_what_the_import_reads) {
    CExcel book;
    book.sheets() = {{"s", {{"t", "v"}, {"a", "1.5"}, {"b", "0,0"}, {"c", "0.0"}, {"", ""}}}};
    for (int i = 0; i < 12; ++i) book.sheets()[0].rows.push_back({"x", std::to_string(i)});
    CDlgOpenXLS dlg(book);  // a single worksheet is chosen at once
    dlg.double_click_column(1);
    dlg.double_click_column(0);
    const xls_preview p = dlg.preview();
    // 0,0 and 0.0 go on; the gap ends the run.
    EXPECT_EQ(std::tuple(p.values, p.ticks, p.caption),
              std::tuple(strings{"1.5", "0", "0"}, strings{"a", "b", "c"}, std::string("3 values:")));
    t_ts imported;
    import_excel(book, *dlg.choice(), imported);
    EXPECT_EQ(imported.size(), p.count);
    std::swap(dlg.data_column, dlg.ticks_column);
    EXPECT_EQ(dlg.preview().caption, "No numbers in this column.");
    book.sheets()[0].rows.erase(book.sheets()[0].rows.begin() + 1, book.sheets()[0].rows.begin() + 5);
    std::swap(dlg.data_column, dlg.ticks_column);
    EXPECT_EQ(std::pair(dlg.preview().caption, dlg.preview().values.back()),
              std::pair(std::string("12 values, the first 10:"), std::string("9")));
}

TEST(open_xls_dialog, columns_of_the_used_range_and_a_run_that_stops_early) {
    CExcel book;
    // Row 1 and column A empty, headers in B2:C2.
    book.sheets() = {{"s", {{}, {"", "Temp", "Rain"}, {"", "1", "5"}, {"", "2", "6"}, {"", "", "7"}, {"", "4", "8"}}}};
    CDlgOpenXLS dlg(book);
    EXPECT_EQ(dlg.columns(), (std::vector<CDlgOpenXLS::column_entry>{{1, "Temp"}, {2, "Rain"}}));
    dlg.double_click_column(0);
    EXPECT_EQ(dlg.box_text(CDlgOpenXLS::b_data), "Temp");
    // The import's note, its texts pinned with the import.
    EXPECT_EQ(dlg.preview().values, (strings{"1", "2"}));
    EXPECT_NE(dlg.preview().note.find("column Temp; row 5 is empty"), std::string::npos);
    EXPECT_EQ(dlg.choice()->column, 2) << "counted from column A, as --column counts";
}

TEST(open_xls_dialog, choice_leads_the_import_to_the_worksheet_chosen) {
    struct row { strings sheet_names; int chosen; };
    for (const row& r : {row{{"2", "1"}, 0}, row{{"x", "x"}, 1}, row{{"", "1"}, 0}, row{{"2", "2"}, 1}}) {
        CExcel book;
        for (size_t i = 0; i < r.sheet_names.size(); ++i)
            book.sheets().push_back({r.sheet_names[i], {{std::to_string(10 * (i + 1))}}});
        CDlgOpenXLS dlg(book);
        dlg.choose_sheet(r.chosen);
        dlg.double_click_column(0);
        t_ts ts;
        import_excel(book, *dlg.choice(), ts);
        EXPECT_EQ(ts.size() == 1 ? ts[0] : 0, 10 * (r.chosen + 1)) << r.sheet_names[0] << "," << r.sheet_names[1];
    }
}

}  // namespace
