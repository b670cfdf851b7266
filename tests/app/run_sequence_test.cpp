#include "app/run_sequence.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <fstream>

#include "app/application.h"
#include "app/forecast_doc.h"
#include "app/invest_doc.h"
#include "app/ts_group_doc.h"
#include "core/number_text.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

// Chooses line `line` with the check buttons as they are.
std::function<bool(CDlgChooseInvestigation&)> choose(int line) {
    return [line](CDlgChooseInvestigation& d) { d.selected = line; return true; };
}
template <class D>
std::function<bool(D&)> ok(std::function<void(D&)> edit = {}) {
    return [edit](D& d) { if (edit) edit(d); return true; };
}

class RunSequence : public ::testing::Test {
protected:
    void SetUp() override {
        auto d = std::make_unique<CWinKelvaneDoc>();
        d->ts = with_years(trend_sine_alternating(), dates);  // N = 80
        d->name = "series.dat";
        d->data_file = "/d/series.dat";
        doc = d.get();
        app.adopt(std::move(d));
    }
    void run() { app.execute(command::run_investigation, doc); }
    template <class D>
    D* window(size_t i) { return i < ui.windows.size() ? dynamic_cast<D*>(ui.windows[i]) : nullptr; }
    // Chooses line `line`, then OK on its parameter dialog after `edit`.
    template <class D>
    void run_with(int line, scripted_app_ui::script<D>& dialog, std::function<void(D&)> edit = {}) {
        ui.chooser.answers.push_back(choose(line));
        dialog.answers.push_back(ok<D>(edit));
        run();
    }
    void run_trend(int L) { run_with<CDlgTrendParam>(0, ui.trend, [L](CDlgTrendParam& d) { d.L = L; }); }

    scripted_app_ui ui;
    memory_store store;
    CWinKelvaneApp app{ui, store};
    CWinKelvaneDoc* doc = nullptr;
    std::vector<std::string> dates;  // the series' tick marks
};

// Cancelled dialogs store nothing and open nothing; a confirmed one stores its parameters.
TEST_F(RunSequence, DialogsStoreWhatWasConfirmedOnly) {
    doc->choose_use_L = 1;
    ui.chooser.answers.push_back([](CDlgChooseInvestigation& d) { d.use_L = 0; d.L = 7; return false; });
    run();
    // The default L is stored before the chooser shows, the chooser's edits are not.
    EXPECT_EQ(std::pair(doc->choose_L, doc->choose_use_L), std::pair(40, 1));
    EXPECT_EQ(ui.chooser.shown.at(0).L_max, 79);
    ui.chooser.answers.push_back(choose(0));
    ui.trend.answers.push_back([](CDlgTrendParam& d) { d.method = 0; d.L = 12; return false; });
    run();
    EXPECT_TRUE(doc->trend.trend_method == 2 && ui.windows.empty());
    EXPECT_EQ(ui.trend.shown.at(0).L, 40);  // the chooser's L, its check button on
    run_with<CDlgTrendParam>(0, ui.trend, [](CDlgTrendParam& d) { d.L = 30; d.method = 0; d.vectors = 1; });
    auto* trend = window<CTrendInvestDoc>(0);
    ASSERT_NE(trend, nullptr);
    EXPECT_EQ(trend->invest().get_treatedvectors(), vk_factor_vectors);
    // The next dialog opens with what was confirmed.
    doc->choose_use_L = 0;
    ui.chooser.answers.push_back(choose(0));
    run();
    EXPECT_EQ(std::pair(ui.trend.shown.at(2).L, ui.trend.shown.at(2).method), std::pair(30, 0));
}

TEST_F(RunSequence, DecompositionReusedForTheSameLOnly) {
    run_trend(30);
    ASSERT_EQ(ui.windows.size(), 1u);
    // With no memory for a new decomposition, only a reuse can succeed.
    SVD::scoped_available_memory none(1.0);
    run_trend(30);
    run_trend(20);
    EXPECT_EQ(ui.windows.size(), 2u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("for L = 20 needs"), std::string::npos) << ui.messages[0];
}

TEST_F(RunSequence, ALogThatCannotBeWrittenIsSaidOnceAndOpensNothing) {
    // No file may grow (its signal ignored, writes fail): a full disk under the log.
    struct no_room {
        no_room() : previous(std::signal(SIGXFSZ, SIG_IGN)) {
            getrlimit(RLIMIT_FSIZE, &old);
            const rlimit none{0, old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &none);
        }
        ~no_room() { setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, previous); }
        void (*previous)(int);
        rlimit old{};
    } full;
    run_trend(30);
    EXPECT_TRUE(ui.windows.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("unable to write log file : /", 0), 0u) << ui.messages[0];
}

TEST_F(RunSequence, AnInvalidThresholdIsShownAndOpensNothing) {
    // A threshold the constraint refuses fails before the computation, as an error box too.
    run_with<CDlgPeriodParam>(1, ui.period, [](CDlgPeriodParam& d) { d.vyg_on = 1; d.vyg = 1.0; });
    EXPECT_TRUE(ui.windows.empty() && ui.icons == std::vector<notify_icon>{notify_icon::error});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"invalid param for VYG constraint"});
}

// The run's top level: one error box per failure, by its kind, none for a cancel; never a window.
TEST_F(RunSequence, EachKindOfFailureIsOneErrorBoxOrNone) {
    namespace ex = SSA_math_exception;
    const struct {
        std::exception_ptr failure;
        std::vector<std::string> boxes;
    } cases[] = {
        {std::make_exception_ptr(ex::cancelled()), {}},
        {std::make_exception_ptr(std::runtime_error("boom")), {"boom"}},
    };
    for (const auto& c : cases) {
        ui.messages.clear(), ui.icons.clear();
        ui.computation_failure = c.failure;
        run_trend(30);
        EXPECT_TRUE(ui.windows.empty() && app.documents().size() == 1u);
        EXPECT_EQ(ui.messages, c.boxes);
        EXPECT_EQ(ui.icons, std::vector<notify_icon>(c.boxes.size(), notify_icon::error));
    }
}

TEST(RunSequenceRules, NumberOfComponentsIsTheCheckedAmountAtMostM) {
    CWinKelvaneDoc doc;
    doc.choose_amount = 3;
    EXPECT_EQ(components_to_investigate(doc, 24, 30), 24);  // unchecked: L
    doc.choose_use_amount = 1;
    EXPECT_EQ(components_to_investigate(doc, 24, 30), 3);
    doc.choose_amount = 40;
    EXPECT_EQ(components_to_investigate(doc, 24, 30), 30);
}

// The amount, left unchecked, is the window length.
TEST_F(RunSequence, RootsPercentConvertedByTheTreatedVectorsLengthAndAmountUnchecked) {
    doc->choose_amount = 3;
    // N = 80, L = 30, 5 percent: eigenvectors 1.5, factor vectors 2.55, reconstructed 4.
    for (auto [radio, expected] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{2, 4}}) {
        ui.windows.clear();
        run_with<CDlgTrendParam>(0, ui.trend, [radio = radio](CDlgTrendParam& d) {
            d.L = 30; d.method = 1; d.roots_mode = 1; d.roots_percent = 5; d.vectors = radio;
        });
        auto* trend = window<CTrendInvestDoc>(0);
        ASSERT_NE(trend, nullptr);
        EXPECT_EQ(std::pair(trend->invest().get_maxroots(), trend->invest().get_amount()), std::pair(expected, 30)) << radio;
    }
}

TEST_F(RunSequence, HarmonicsGoalOpensTheHarmonicsWindowToo) {
    ui.draw_style.answers.push_back(ok<CDlgGroupDrawStyle>());
    ui.est_change.answers.push_back(ok<CDlgChangeEstPeriodParam>());
    run_with<CDlgPeriodParam>(1, ui.period,
                              [](CDlgPeriodParam& d) { d.L = 30; d.goal = 2; d.period_min = 9; d.period_max = 11; });
    auto* period = window<CPeriodInvestDoc>(0);
    auto* group = window<CTsGroupDoc>(1);
    ASSERT_TRUE(period && group && !period->invest().get_pairs().empty());
    EXPECT_EQ(group->count(), static_cast<int>(period->invest().get_pairs().size()));
    EXPECT_EQ(doc->period.approx_max_components, 40);  // filled from (N+1)/2 before the dialog
}

TEST_F(RunSequence, ForecastRunsWithTheChosenPartsMethodAndIntervals) {
    run_with<CDlgForecast>(3, ui.forecast, [](CDlgForecast& d) {
        d.L = 30; d.harmonics = 0; d.method = 1; d.intervals = 1; d.level = 0.9; d.replicates = 20;
    });
    EXPECT_EQ(ui.forecast.shown.at(0).points, 8u);
    auto* fore = window<CForeInvestDoc>(0);
    ASSERT_NE(fore, nullptr);
    const std::string header = fore->header_text();
    EXPECT_TRUE(header.find("TREND") != std::string::npos && header.find("HARM") == std::string::npos) << header;
    const std::string tail = "; vector forecast; 90% intervals from 20 bootstrap replicates";
    EXPECT_EQ(header.substr(header.size() - std::min(header.size(), tail.size())), tail);
    const t_RSSA_signal_forecast& f = *fore->get_forecast();
    ASSERT_EQ(f.get_lower().size(), 8);
    // File Save: the signal then the forecast, under a name of its own, the years continued, bounds beside.
    const std::string saved = ::testing::TempDir() + "kelvane_forecast.dat";
    ui.files.push_back(saved);
    app.execute(command::file_save, fore);
    EXPECT_EQ(ui.proposed, std::vector<std::string>{"/d/series-forecast.dat"});
    const t_ts& expected = f.get_forecast_ts();
    std::ifstream in(saved);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 89u);
    EXPECT_EQ(lines[81], "1980\t" + value_text(expected[80]) + "\t" + value_text(f.get_lower()[0]) + "\t" +
                            value_text(f.get_upper()[0]));
    std::remove(saved.c_str());
}

TEST_F(RunSequence, InvestigationCommands) {
    run_trend(30);
    auto* trend = window<CTrendInvestDoc>(0);
    ASSERT_NE(trend, nullptr);
    app.execute(command::investigation_log, trend);
    EXPECT_EQ(ui.logs, std::vector<std::string>{trend->invest().get_log().file_name()});
    // Factor vectors are built in a computation before the SVD window opens: a cancel there opens nothing.
    for (const int part : {2, 2, 1}) {
        ui.cancel_computations = part == 2 && !ui.cancel_computations;  // the first one only
        ui.svd_part.answers.push_back(ok<CDlgSVDtoDisplay>([part](CDlgSVDtoDisplay& d) { d.part = part; }));
        app.execute(command::display_svd, trend);
    }
    ASSERT_EQ(ui.windows.size(), 3u);
    EXPECT_EQ(window<CSVDDoc>(1)->display_kind, CSVDDoc::factor_vectors);
    auto* svd = window<CSVDDoc>(2);
    ASSERT_NE(svd, nullptr);
    EXPECT_EQ(svd->display_kind, CSVDDoc::eigenvectors);
    // File Save writes the result series, not the original one, with the dates, under a name of its own.
    const std::string saved = ::testing::TempDir() + "kelvane_trend_result.dat";
    ui.files.push_back(saved);
    app.execute(command::file_save, trend);
    EXPECT_EQ(ui.proposed, std::vector<std::string>{"/d/series-trend.dat"});
    t_ts back;
    back.load(saved);
    ASSERT_TRUE(back.ticks() && *back.ticks() == dates);
    EXPECT_NEAR(back[5], trend->invest().get_result()[5], 1e-9);
    EXPECT_GT(std::abs(back[5] - doc->ts[5]), 1e-3);
    std::remove(saved.c_str());
    // Closing the window deletes the investigation's log; the SVD window keeps its copy.
    const std::string log = trend->invest().get_log().file_name();
    ASSERT_TRUE(std::ifstream(log).good());
    app.close_document(*trend);
    EXPECT_FALSE(std::ifstream(log).good());
    EXPECT_EQ(svd->svd_cache->L(), 30);
}

// A series too short for any window length is told so before any dialog.
TEST_F(RunSequence, TooShortASeriesIsRefusedBeforeTheChooser) {
    doc->ts = t_ts(std::vector<double>{1.0});
    run();
    EXPECT_TRUE(ui.chooser.shown.empty());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The series holds 1 value; at least 3 are needed for a decomposition."});
}

// On a truncated decomposition the summation table and the interactive one hold its k components.
TEST_F(RunSequence, SummationOpensItsTableAndTheInteractiveTableOfTheKComponents) {
    constexpr int k = 8;
    doc->ts = noisy_mix();
    doc->decomposition = SVD::svd_options(svd_solver::truncated, k);
    run_with<CDlgSummationParams>(2, ui.summation, [](CDlgSummationParams& d) { d.L = 30; });
    ASSERT_TRUE(ui.messages.empty()) << ui.messages.at(0);
    auto* summation = window<CSummationInvestDoc>(0);
    auto* interact = window<CSummInteractDoc>(1);
    ASSERT_TRUE(summation && interact);
    EXPECT_TRUE(summation->get_investigation().get_svd()->truncated());
    EXPECT_EQ(std::pair(summation->components(), interact->rows()), std::pair(k, k));
    EXPECT_EQ(interact->info(k - 1).factor_vector.size(), 51u);  // built off the GUI thread
    EXPECT_EQ(ui.chooser.shown.at(0).amount, k);  // no more than the decomposition will hold
}

}  // namespace
