#include <gtest/gtest.h>

#include <cmath>

#include "core/number_text.h"
#include "app_series.h"
#include "core/ssa_exception.h"

namespace {

const t_pair_entry& own_entry(const CSummationInvestDoc& doc, int k) {
    return doc.get_results()[static_cast<size_t>(k)].pair_entries[0];
}

}  // namespace

TEST(SummationDoc, ReconstructedComponentsAreNormalisedForRhoAndPairsMirrored) {
    auto doc = run_summation(noisy_mix(), 30, vk_reconstructed, 24);
    const matrix& V = *doc->get_investigation().tested_vectors();
    EXPECT_EQ(doc->text(0, 3), "-");  // component 1 has no predecessor
    int mirrored = 0;
    for (int k = 1; k < 24; ++k) {
        const t_pair_entry& own = own_entry(*doc, k);
        if (own.fourier_significant) {
            EXPECT_EQ(own.rho, V.pair_rhomax(k, own.partner, true)) << k;
        }
        const auto& before = doc->get_results()[static_cast<size_t>(k - 1)].pair_entries;
        const bool mirror = before.back().partner == k && before.size() == 2;
        EXPECT_EQ(mirror, own.vyg_significant && own.partner == k - 1) << k;
        mirrored += mirror;
    }
    EXPECT_GT(mirrored, 0);
}

TEST(SummationDoc, FourierDistanceIsScaledByLForEveryKind) {
    // Sines at 0.25 and 0.30, L = 100: in units of the vectors' own length (200, 299) it would be 2-3 times larger.
    std::vector<double> v;
    for (int t = 0; t < 299; ++t) v.push_back(3 * std::sin(M_PI * t / 2) + std::sin(2 * M_PI * 0.3 * t + 0.7));
    for (vector_kind kind : {vk_eigenvectors, vk_factor_vectors, vk_reconstructed}) {
        SCOPED_TRACE(kind);
        auto doc = run_summation(t_ts(v), 100, kind);
        ASSERT_EQ(doc->components(), 4);
        const t_pair_entry &second = own_entry(*doc, 1), &third = own_entry(*doc, 2);
        EXPECT_FALSE(third.fourier_significant);  // 0.25 against 0.30
        EXPECT_TRUE(third.fourier_value >= 4 && third.fourier_value <= 5) << third.fourier_value;
        EXPECT_EQ(doc->text(2, 3), format_text("F(2,3)=%f", 100 * std::fabs(third.peak_freq - second.peak_freq)));
    }
}

TEST(SummationDoc, PeriodTwoComponentPairsWithItselfAndRhoAtTheThresholdFailsVyg) {
    auto doc = run_summation(trend_sine_alternating());
    const t_pair_entry& own = own_entry(*doc, 3);
    EXPECT_EQ(own.partner, 3);
    EXPECT_EQ(doc->text(3, 3), format_text("F(4,4)=%f", 30 * std::fabs(own.peak_freq - 0.5)));
    EXPECT_EQ(doc->get_results()[2].pair_entries.size(), 1u);
    // Component 2 failed Fourier against 1 but is paired with 3: the mirror colours its cell.
    EXPECT_EQ(doc->text(1, 4), "-");
    EXPECT_EQ(doc->cell_colour(1, 4), colours::harmonic_test);
    // A rho equal to the threshold fails VYG, and the trend conditions read VYG.
    const double rho = own_entry(*doc, 2).rho;
    ASSERT_TRUE(doc->is_harmonic(1) && doc->is_harmonic(2));
    doc->params().summ_vyg = rho;
    doc->start_investigation();
    EXPECT_EQ(doc->get_results()[1].pair_entries.size(), 1u);  // no mirror either
    EXPECT_TRUE(doc->if_significant(2, res_fourier) && !doc->if_significant(2, res_vyg));
    doc->params().summ_trend_conditions = 128;
    EXPECT_TRUE(doc->is_trend(2));
    doc->params().summ_vyg = std::nextafter(rho, 0.0);
    doc->start_investigation();
    EXPECT_TRUE(doc->if_significant(1, res_vyg));  // through the mirror
}

TEST(SummationDoc, Conditions135And0AndRunningTwice) {
    auto doc = run_summation(noisy_mix(), 30, vk_eigenvectors, 24);
    for (int k = 0; k < 24; ++k) {
        const bool trend = doc->if_significant(k, 0) && doc->if_significant(k, 1) && doc->if_significant(k, 2) &&
                           !doc->if_significant(k, 4);
        EXPECT_EQ(doc->is_trend(k), trend) << k;
        EXPECT_EQ(doc->is_harmonic(k), doc->if_significant(k, 4) && !trend) << k;
    }
    doc->params().summ_trend_conditions = 0;
    for (int k = 0; k < 24; ++k) EXPECT_EQ(doc->cell_colour(k, 0), colours::trend) << k;
    const auto texts = doc->get_row_texts();
    doc->start_investigation();
    EXPECT_EQ(doc->get_row_texts(), texts);
}

TEST(SummationDoc, UnknownVectorsThrowAndLeaveNoTables) {
    auto doc = run_summation(trend_sine_alternating());
    doc->get_investigation().set_treatedvectors(static_cast<vector_kind>(4));
    EXPECT_THROW(doc->start_investigation(), SSA_math_exception::unknown_objects_for_identification);
    EXPECT_TRUE(doc->get_results().empty() && doc->get_row_texts().empty());
}
