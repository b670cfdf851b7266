#include <gtest/gtest.h>

#include "app/decomp_result_doc.h"
#include "app/summ_interact_doc.h"
#include "app_series.h"
#include "core/ssa_exception.h"
#include "fake_app_ui.h"

namespace {

struct decomposed {
    decomposed() : svd(noisy_mix(), 30), rec(&svd, 30) {}
    SVD::t_svd svd;
    t_reconstructed_tss rec;
};

CDecompResultDoc computed(const decomposed& d, std::vector<int> trend, std::vector<int> periodic) {
    CDecompResultDoc doc;
    doc.set_original(noisy_mix());
    doc.set_reconstructed(d.rec);
    doc.set_trend_list(trend);
    doc.set_periodic_list(periodic);
    doc.compute();
    return doc;
}

}  // namespace

TEST(DecompResult, AComponentInBothListsEntersTrendAndPeriodicButNotResidual) {
    const decomposed d;
    const CDecompResultDoc doc = computed(d, {0, 4}, {1, 2, 4});
    const std::vector<int>& cls = doc.get_classes();
    ASSERT_EQ(cls.size(), 30u);
    EXPECT_EQ(cls[0], CDecompResultDoc::cls_trend);
    EXPECT_EQ(cls[1], CDecompResultDoc::cls_periodic);
    EXPECT_EQ(cls[4], CDecompResultDoc::cls_trend_and_periodic);
    EXPECT_EQ(cls[3], CDecompResultDoc::cls_residual);
    for (int t = 0; t < 80; ++t) {
        EXPECT_DOUBLE_EQ((*doc.get_trend())[t], d.rec.value(0, t) + d.rec.value(4, t)) << t;
        EXPECT_DOUBLE_EQ((*doc.get_periodic())[t], d.rec.value(1, t) + d.rec.value(2, t) + d.rec.value(4, t)) << t;
        double rest = 0;
        for (int k = 0; k < 30; ++k)
            if (k != 0 && k != 1 && k != 2 && k != 4) rest += d.rec.value(k, t);
        EXPECT_NEAR((*doc.get_residual())[t], rest, 1e-12) << t;
    }
    for (const t_ts* s : {doc.get_trend(), doc.get_periodic(), doc.get_residual()})
        EXPECT_EQ(s->title(), "Trend component of original series");
}

TEST(DecompResult, EmptyListsLeaveEverythingInTheResidual) {
    const decomposed d;
    const CDecompResultDoc doc = computed(d, {}, {});
    const t_ts original = noisy_mix();
    for (int t = 0; t < 80; ++t) {
        EXPECT_EQ((*doc.get_trend())[t], 0.0);
        EXPECT_EQ((*doc.get_periodic())[t], 0.0);
        // All L components of the decomposition add up to the series.
        EXPECT_NEAR((*doc.get_residual())[t], original[t], 1e-9) << t;
    }
    EXPECT_EQ(doc.overlaid_title(), "");
    EXPECT_EQ(doc.panel_title(1), "");
    EXPECT_EQ(doc.panel_title(2), "");
    EXPECT_EQ(doc.panel_title(3), "Residual series");

    CDecompResultDoc none;
    EXPECT_THROW(none.compute(), SSA_math_exception::ssa_exception);
}

TEST(DecompResult, Titles) {
    const decomposed d;
    const CDecompResultDoc both = computed(d, {0, 9}, {1, 2});
    EXPECT_EQ(both.get_style(), CDecompResultDoc::style_overlaid);
    EXPECT_EQ(both.panel_title(0), "Original timeseries");
    EXPECT_EQ(both.panel_title(1), "Trend component of original series, components 1,10");
    EXPECT_EQ(both.panel_title(2), "Periodical components of original series, components 2,3");
    EXPECT_EQ(both.overlaid_title(), "Trend components 1,10.   Periodical components 2,3");
    EXPECT_EQ(computed(d, {0}, {}).overlaid_title(), "Trend components 1");
    EXPECT_EQ(computed(d, {}, {3}).overlaid_title(), ".   Periodical components 4");
    EXPECT_EQ(CDecompResultDoc::legend(2), "Summ of periodical");
}

TEST(DecompResult, TakesTheMarksOfTheInteractiveSummation) {
    CSummationInvestDoc summation(trend_sine_alternating());
    summation.get_investigation().set_L(30);
    summation.start_investigation();
    CSummInteractDoc interact;
    interact.init(&summation);
    scripted_app_ui ui;
    interact.click(1, CSummInteractDoc::col_tr, ui);  // 2 is now trend and harmonic

    const auto doc = make_final_decomposition(interact);
    EXPECT_EQ(doc->get_trend_list(), (std::vector<int>{0, 1}));
    EXPECT_EQ(doc->get_periodic_list(), (std::vector<int>{1, 2, 3}));
    const t_reconstructed_tss& rec = *summation.get_investigation().get_reconstructed();
    for (int t = 0; t < 80; ++t) {
        EXPECT_DOUBLE_EQ((*doc->get_trend())[t], rec.value(0, t) + rec.value(1, t));
        EXPECT_DOUBLE_EQ((*doc->get_residual())[t], rec.value(4, t));
    }
    EXPECT_EQ(doc->get_original()->size(), 80);
}
