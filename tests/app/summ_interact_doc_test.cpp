#include <gtest/gtest.h>

#include "app/summ_interact_doc.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

const char* const already_paired = "You can't include this component in the new pair,\n it's alreary in a pair.\n";

// 1 trend, (2, 3) a pair, 4 alone at 0.5, 5 unexplained (0-based 0, 1-2, 3, 4).
class SummInteract : public testing::Test {
protected:
    void SetUp() override {
        summation.get_investigation().set_L(30);
        summation.start_investigation();
        ASSERT_EQ(summation.components(), 5);
        doc.init(&summation);
    }

    std::vector<int> per_marked() const {
        std::vector<int> marked;
        for (int k = 0; k < doc.rows(); ++k)
            if (doc.is_harmonic(k)) marked.push_back(k);
        return marked;
    }

    CSummationInvestDoc summation{trend_sine_alternating()};
    CSummInteractDoc doc;
    scripted_app_ui ui;
};

}  // namespace

TEST_F(SummInteract, StartsFromTheSummationsVerdicts) {
    EXPECT_EQ(doc.get_summation(), &summation);
    ASSERT_EQ(doc.rows(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(doc.is_trend(k), summation.is_trend(k)) << k;
        EXPECT_EQ(doc.is_harmonic(k), summation.is_harmonic(k)) << k;
    }
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc.partners(1), std::vector<int>{2});
    EXPECT_EQ(doc.partners(2), std::vector<int>{1});
    EXPECT_EQ(doc.partners(3), std::vector<int>{3});
    EXPECT_EQ(doc.cell_text(1, CSummInteractDoc::col_per), "3");
    EXPECT_EQ(doc.cell_text(2, CSummInteractDoc::col_per), "2");
    EXPECT_EQ(doc.cell_text(3, CSummInteractDoc::col_per), "4");
    EXPECT_EQ(doc.cell_text(0, CSummInteractDoc::col_per), "-");
    EXPECT_EQ(doc.cell_text(4, CSummInteractDoc::col_component), "5");
    EXPECT_EQ(doc.cell_text(4, CSummInteractDoc::col_tr), " ");
    EXPECT_EQ(doc.cell_text(4, CSummInteractDoc::col_info), "push");
    EXPECT_EQ(CSummInteractDoc::header_text(2), "PER");
    EXPECT_EQ(CSummInteractDoc::column_width(3), 80);
}

TEST_F(SummInteract, UncheckingAPairMemberDissolvesThePairAndChoosingAgainRestoresIt) {
    doc.click(1, CSummInteractDoc::col_per, ui);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(per_marked(), std::vector<int>{3});
    EXPECT_TRUE(doc.partners(1).empty());
    EXPECT_TRUE(doc.partners(2).empty());
    EXPECT_EQ(doc.cell_text(2, CSummInteractDoc::col_per), "-");

    ui.seconds = {3};
    doc.click(1, CSummInteractDoc::col_per, ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].first, 2);
    EXPECT_EQ(ui.shown[0].second, 2);  // preset to the row itself
    EXPECT_EQ(ui.shown[0].range_min, 1);
    EXPECT_EQ(ui.shown[0].range_max, 5);
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc.partners(1), std::vector<int>{2});
    EXPECT_EQ(doc.partners(2), std::vector<int>{1});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SummInteract, ChoosingTheRowItselfMakesAOneComponentHarmonic) {
    ui.seconds = {5};
    doc.click(4, CSummInteractDoc::col_per, ui);
    EXPECT_EQ(doc.partners(4), std::vector<int>{4});
    EXPECT_EQ(doc.cell_text(4, CSummInteractDoc::col_per), "5");
    // Dissolving it touches no other row.
    doc.click(4, CSummInteractDoc::col_per, ui);
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(doc.partners(4).empty());
}

TEST_F(SummInteract, AMarkedPartnerIsRefusedEvenWhenItIsAloneAndCancelChangesNothing) {
    for (int taken : {2, 4}) {  // a pair member, then the period-2 harmonic alone
        ui.seconds = {taken};
        doc.click(4, CSummInteractDoc::col_per, ui);
    }
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], already_paired);
    EXPECT_EQ(ui.messages[1], already_paired);
    ui.seconds = {std::nullopt};
    doc.click(0, CSummInteractDoc::col_per, ui);
    EXPECT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(doc.partners(4).empty());
    EXPECT_TRUE(doc.partners(0).empty());
    EXPECT_EQ(doc.partners(3), std::vector<int>{3});
}

TEST_F(SummInteract, TrClickTogglesAndColoursFollowTheSummation) {
    doc.click(1, CSummInteractDoc::col_tr, ui);
    EXPECT_TRUE(doc.is_trend(1));
    EXPECT_TRUE(doc.is_harmonic(1));  // both marks can hold
    EXPECT_EQ(doc.cell_colour(1, 0), colours::harmonic);
    doc.click(0, CSummInteractDoc::col_tr, ui);
    EXPECT_FALSE(doc.is_trend(0));
    EXPECT_EQ(doc.cell_colour(0, 0), colours::trend);
    EXPECT_EQ(doc.cell_colour(0, 1), colours::white);
    EXPECT_EQ(doc.cell_colour(4, 0), colours::white);
    doc.click(1, CSummInteractDoc::col_tr, ui);
    EXPECT_FALSE(doc.is_trend(1));
    // The number and the button change nothing.
    doc.click(1, CSummInteractDoc::col_component, ui);
    doc.click(1, CSummInteractDoc::col_info, ui);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(per_marked(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SummInteract, InfoShowsThePairOrTheComponentAlone) {
    const t_reconstructed_tss& rec = *summation.get_investigation().get_reconstructed();
    const component_info pair = doc.info(2);
    EXPECT_EQ(pair.window_title, "Component 3 info");
    EXPECT_EQ(pair.series.title(), "Reconstructed from ET3,2");
    ASSERT_EQ(pair.series.size(), 80);
    for (int t = 0; t < 80; ++t) EXPECT_EQ(pair.series[t], rec.value(2, t) + rec.value(1, t));
    EXPECT_EQ(pair.record.component_no, 3);
    EXPECT_EQ(pair.original.values()[5], summation.get_investigation().get_ts()->values()[5]);
    const t_eigen_triple et = summation.get_investigation().get_svd()->triple(2);
    EXPECT_EQ(pair.eigenvector, et.eigenvector);
    EXPECT_EQ(pair.factor_vector, et.factor_vector);

    for (int k : {3, 4}) {  // alone at 0.5, and not marked
        const component_info alone = doc.info(k);
        EXPECT_EQ(alone.series.title(), "Reconstructed from ET" + std::to_string(k + 1));
        for (int t = 0; t < 80; ++t) EXPECT_EQ(alone.series[t], rec.value(k, t));
    }
}
