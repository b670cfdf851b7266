#include <gtest/gtest.h>

#include "app/application.h"
#include "app/comp_info_doc.h"
#include "app/decomp_result_doc.h"
#include "app/summ_interact_doc.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

// 0-based: 0 trend, (1, 2) a pair, 3 alone at 0.5, 4 unexplained.
class SummInteract : public testing::Test, protected summation_with_table {
protected:
    void SetUp() override { ASSERT_EQ(summation->components(), 5); }

    std::vector<int> per_marked() const {
        std::vector<int> marked;
        for (int k = 0; k < doc.rows(); ++k)
            if (doc.is_harmonic(k)) marked.push_back(k);
        return marked;
    }
    std::string per_text(int k) const { return doc.cell_text(k, CSummInteractDoc::col_per); }
    void click_per(int k) { doc.click(k, CSummInteractDoc::col_per, ui); }

    CSummInteractDoc& doc = interact;
    scripted_app_ui ui;
};

// N = 80, L = 30.
class CompInfo : public testing::Test, protected summation_with_table {};

struct change_counter : document_observer {
    int changes = 0;
    void notify_changed(const document&, unsigned) override { ++changes; }
    void notify_closing(const document&) override {}
};

}  // namespace

// Marks, toggles, dissolving and self-pairing through the views are pinned with the GUI.
TEST_F(SummInteract, StartsFromTheVerdictsAndAPairDissolvedIsMadeAgain) {
    EXPECT_EQ(per_text(3) + per_text(0), "4-");
    doc.click(1, CSummInteractDoc::col_tr, ui);
    doc.click(0, CSummInteractDoc::col_tr, ui);
    EXPECT_TRUE(doc.is_trend(1) && doc.is_harmonic(1));
    // The colours keep the summation's verdicts.
    EXPECT_EQ(std::pair(doc.cell_colour(1, 0), doc.cell_colour(0, 0)), std::pair(colours::harmonic, colours::trend));
    click_per(1);
    EXPECT_TRUE(ui.shown.empty());  // no dialog to dissolve
    ui.seconds = {3};
    click_per(1);
    EXPECT_EQ(ui.shown.at(0).first, 2);
    EXPECT_EQ(doc.partners(2), std::vector<int>{1});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SummInteract, AMarkedPartnerIsRefusedEvenWhenItIsAloneAndCancelChangesNothing) {
    ui.seconds = {2, 4, std::nullopt};  // a pair member, the period-2 harmonic alone, Cancel
    for (int i = 0; i < 3; ++i) click_per(4);
    EXPECT_EQ(ui.messages, std::vector<std::string>(
                               2, "You can't include this component in the new pair,\n it's alreary in a pair.\n"));
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(doc.partners(4).empty());
}

TEST_F(SummInteract, InfoShowsThePairOrTheComponentAlone) {
    const t_reconstructed_tss& rec = *summation->get_investigation().get_reconstructed();
    const component_info pair = doc.info(2);
    EXPECT_EQ(pair.series.title(), "Reconstructed from ET3,2");
    for (int t = 0; t < 80; ++t) EXPECT_EQ(pair.series[t], rec.value(2, t) + rec.value(1, t));
    EXPECT_EQ(doc.info(3).series.title(), "Reconstructed from ET4");  // paired with itself at 0.5
}

// Conditions 0: no row starts marked though VYG pairs exist; only the user's pairs show or are summed.
TEST_F(SummInteract, UnmarkedRowsKeepNoPartnersFromTheirVerdicts) {
    summation->params().summ_trend_conditions = 0;
    doc.init(summation.get());
    ASSERT_TRUE(per_marked().empty());
    for (int k = 0; k < 5; ++k) EXPECT_TRUE(doc.partners(k).empty()) << k;
    ui.seconds = {5, 4};
    click_per(1);
    EXPECT_EQ(per_text(1), "5");
    EXPECT_EQ(doc.info(1).series.title(), "Reconstructed from ET2,5");
    click_per(2);
    click_per(2);  // dissolves (3, 4) and leaves (2, 5)
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 4}));
    EXPECT_EQ(doc.partners(4), std::vector<int>{1});
}

// Only clicks that change a mark reach the views; the summation closed first, the table empties (no freed memory read).
TEST_F(SummInteract, MarkChangesAndClosingTheSummationNotifyTheViews) {
    change_counter views;
    doc.add_observer(&views);
    doc.click(0, CSummInteractDoc::col_tr, ui);
    EXPECT_EQ(views.changes, 1);
    click_per(1);  // dissolves (2, 3)
    EXPECT_EQ(views.changes, 2);
    click_per(1);  // nothing scripted: Cancel
    doc.click(0, CSummInteractDoc::col_info, ui);
    EXPECT_EQ(views.changes, 2);
    summation.reset();
    EXPECT_EQ(doc.get_summation(), nullptr);
    EXPECT_EQ(doc.rows(), 0);
    EXPECT_GT(views.changes, 2);
    doc.click(0, CSummInteractDoc::col_per, ui);
    EXPECT_THROW(doc.info(0), std::exception);
    doc.remove_observer(&views);
}

TEST_F(CompInfo, TextLinesOfAPairedAndAnUnexplainedComponent) {
    const std::vector<std::string> p = CCompInfoDoc(interact.info(1)).text_lines();
    ASSERT_GE(p.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(p.begin(), p.begin() + 3),
              (std::vector<std::string>{"Component 2", "N = 80, L = 30, K = 51", "TREND:"}));
    EXPECT_EQ(p[5].rfind("    HighFreq(0.075) = ", 0), 0u) << p[5];
    EXPECT_NE(std::find(p.begin(), p.end(), "   Pair (2,3)"), p.end());
    const auto fourier = std::find_if(p.begin(), p.end(), [](const std::string& l) { return l.rfind("      Fourier = ", 0) == 0; });
    ASSERT_NE(fourier, p.end());
    EXPECT_EQ(fourier->substr(fourier->find(", period")), ", period 10") << *fourier;
    EXPECT_EQ(std::count(p.begin(), p.end(), "    ---"), 0);
    EXPECT_EQ(CCompInfoDoc(interact.info(4)).text_lines().back(), "    ---");
}

TEST(DecompResult, AComponentMarkedTrendAndHarmonicEntersBothButNotResidual) {
    summation_with_table s;
    CSummInteractDoc& interact = s.interact;
    scripted_app_ui ui;
    interact.click(1, CSummInteractDoc::col_tr, ui);
    const auto doc = make_final_decomposition(interact);
    EXPECT_EQ(doc->get_classes()[1], CDecompResultDoc::cls_trend_and_periodic);
    const t_reconstructed_tss& rec = *s.summation->get_investigation().get_reconstructed();
    for (int t = 0; t < 80; ++t) {
        EXPECT_DOUBLE_EQ((*doc->get_trend())[t], rec.value(0, t) + rec.value(1, t));
        EXPECT_DOUBLE_EQ((*doc->get_periodic())[t], rec.value(1, t) + rec.value(2, t) + rec.value(3, t));
        EXPECT_DOUBLE_EQ((*doc->get_residual())[t], rec.value(4, t));
    }
}

TEST(DecompResult, TheThreeSeriesKeepTheSeriesDatesEachUnderItsOwnTitle) {
    std::vector<std::string> dates;
    const auto summation = run_summation(with_years(trend_sine_alternating(), dates));
    CSummInteractDoc interact;
    interact.init(summation.get());
    const auto doc = make_final_decomposition(interact);
    for (const t_ts* part : {doc->get_trend(), doc->get_periodic(), doc->get_residual()}) {
        EXPECT_EQ(part->title().substr(part->title().find(' ')), " component of original series");
        EXPECT_TRUE(part->has_ticks() && *part->ticks() == dates) << part->title();
    }
}
