#include <gtest/gtest.h>

#include "app/decomp_result_doc.h"
#include "app/summ_interact_doc.h"
#include "app_series.h"
#include "fake_app_ui.h"

TEST(DecompResult, EmptyListsLeaveEverythingInTheResidualAndListsNameTheParts) {
    const SVD::t_svd svd(noisy_mix(), 30);
    CDecompResultDoc doc;
    doc.set_reconstructed(t_reconstructed_tss(&svd, 30));
    doc.compute();
    const t_ts original = noisy_mix();
    for (int t = 0; t < 80; ++t) {
        EXPECT_EQ((*doc.get_trend())[t], 0.0);
        EXPECT_EQ((*doc.get_periodic())[t], 0.0);
        EXPECT_NEAR((*doc.get_residual())[t], original[t], 1e-9) << t;  // all L components
    }
    EXPECT_EQ(doc.overlaid_title(), "");
    EXPECT_EQ(doc.panel_title(1), "");

    doc.set_trend_list({0, 9});
    doc.set_periodic_list({1, 2});
    EXPECT_EQ(doc.panel_title(2), "Periodical components of original series, components 2,3");
    EXPECT_EQ(doc.overlaid_title(), "Trend components 1,10.   Periodical components 2,3");
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
