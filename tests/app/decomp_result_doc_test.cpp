#include <gtest/gtest.h>

#include "app/decomp_result_doc.h"
#include "app/summ_interact_doc.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

CDecompResultDoc computed(const t_reconstructed_tss& rec, std::vector<int> trend, std::vector<int> periodic) {
    CDecompResultDoc doc;
    doc.set_reconstructed(rec);
    doc.set_trend_list(trend);
    doc.set_periodic_list(periodic);
    doc.compute();
    return doc;
}

}  // namespace

TEST(DecompResult, EmptyListsLeaveEverythingInTheResidual) {
    const SVD::t_svd svd(noisy_mix(), 30);
    const CDecompResultDoc doc = computed(t_reconstructed_tss(&svd, 30), {}, {});
    const t_ts original = noisy_mix();
    for (int t = 0; t < 80; ++t) {
        EXPECT_EQ((*doc.get_trend())[t], 0.0);
        EXPECT_EQ((*doc.get_periodic())[t], 0.0);
        EXPECT_NEAR((*doc.get_residual())[t], original[t], 1e-9) << t;  // all L components
    }
    EXPECT_EQ(doc.get_residual()->title(), "Trend component of original series");
    EXPECT_EQ(doc.overlaid_title(), "");
    EXPECT_EQ(doc.panel_title(1), "");
}

TEST(DecompResult, Titles) {
    const SVD::t_svd svd(noisy_mix(), 30);
    const t_reconstructed_tss rec(&svd, 12);
    const CDecompResultDoc both = computed(rec, {0, 9}, {1, 2});
    EXPECT_EQ(both.panel_title(1), "Trend component of original series, components 1,10");
    EXPECT_EQ(both.panel_title(2), "Periodical components of original series, components 2,3");
    EXPECT_EQ(both.overlaid_title(), "Trend components 1,10.   Periodical components 2,3");
    EXPECT_EQ(computed(rec, {}, {3}).overlaid_title(), ".   Periodical components 4");
}

TEST(DecompResult, AComponentMarkedTrendAndHarmonicEntersBothButNotResidual) {
    CSummationInvestDoc summation(trend_sine_alternating());
    summation.get_investigation().set_L(30);
    summation.start_investigation();
    CSummInteractDoc interact;
    interact.init(&summation);
    scripted_app_ui ui;
    interact.click(1, CSummInteractDoc::col_tr, ui);

    const auto doc = make_final_decomposition(interact);
    EXPECT_EQ(doc->get_trend_list(), (std::vector<int>{0, 1}));
    EXPECT_EQ(doc->get_periodic_list(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc->get_classes()[1], CDecompResultDoc::cls_trend_and_periodic);
    const t_reconstructed_tss& rec = *summation.get_investigation().get_reconstructed();
    for (int t = 0; t < 80; ++t) {
        EXPECT_DOUBLE_EQ((*doc->get_trend())[t], rec.value(0, t) + rec.value(1, t));
        EXPECT_DOUBLE_EQ((*doc->get_periodic())[t], rec.value(1, t) + rec.value(2, t) + rec.value(3, t));
        EXPECT_DOUBLE_EQ((*doc->get_residual())[t], rec.value(4, t));
    }
}
