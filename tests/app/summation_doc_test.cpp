#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/summation_doc.h"
#include "app/text_format.h"
#include "app_series.h"
#include "core/ssa_exception.h"

namespace {

std::unique_ptr<CSummationInvestDoc> run_summation(const t_ts& ts, int L, vector_kind kind = vk_eigenvectors,
                                                   int amount = -1) {
    auto doc = std::make_unique<CSummationInvestDoc>(ts);
    t_summation_invest& inv = doc->get_investigation();
    inv.set_treatedvectors(kind);
    inv.set_L(L);
    if (amount > 0) inv.set_amount(amount);
    doc->start_investigation();
    return doc;
}

const matrix& tested(CSummationInvestDoc& doc) { return *doc.get_investigation().tested_vectors(); }

// Sines at 0.25 and 0.30 of different strength: with L = 100 the pairs (1, 2)
// and (3, 4), five bins of 1/L apart.
t_ts two_sines() {
    std::vector<double> v;
    for (int t = 0; t < 299; ++t) v.push_back(3 * std::sin(2 * M_PI * 0.25 * t) + std::sin(2 * M_PI * 0.30 * t + 0.7));
    return t_ts(v);
}

}  // namespace

TEST(SummationDoc, EveryVerdictIsItsTestsOwnStatisticForEveryKind) {
    for (vector_kind kind : {vk_eigenvectors, vk_factor_vectors, vk_reconstructed}) {
        SCOPED_TRACE(kind);
        auto doc = run_summation(noisy_mix(), 30, kind, 24);
        const matrix& V = tested(*doc);
        ASSERT_EQ(doc->components(), 24);
        ASSERT_EQ(doc->get_results().size(), 24u);
        ASSERT_EQ(doc->get_row_texts().size(), 24u);
        for (int k = 0; k < 24; ++k) {
            const t_component_results& r = doc->get_results()[static_cast<size_t>(k)];
            EXPECT_EQ(r.component_no, k + 1);
            EXPECT_EQ(r.plevel, V.kendall_plevel(k));
            EXPECT_EQ(r.kendall_significant, r.plevel < 0.05);
            EXPECT_EQ(r.zeros, V.roots_amount(0.0001, k));
            EXPECT_EQ(r.zeros_significant, r.zeros == 0);
            EXPECT_EQ(r.relation, V.lowfreq_relation(0.075, k));
            EXPECT_EQ(r.lf_omega, 0.075);
            EXPECT_EQ(r.lowfreq_significant, r.relation >= 0.1);
            EXPECT_EQ(doc->text(k, 0), text_printf("%f", r.plevel));
            EXPECT_EQ(doc->text(k, 1), std::to_string(r.zeros));
            EXPECT_EQ(doc->text(k, 2), text_printf("%f", r.relation));

            ASSERT_FALSE(r.pair_entries.empty());
            const t_pair_entry& own = r.pair_entries[0];
            if (k == 0) {
                // Component 1 has no predecessor to pair with.
                EXPECT_FALSE(own.fourier_significant);
                EXPECT_EQ(doc->text(0, 3), "-");
                EXPECT_EQ(doc->text(0, 4), "-");
                continue;
            }
            EXPECT_EQ(own.peak_freq, V.periodogram_max(k).fmax);
            EXPECT_TRUE(own.partner == k || own.partner == k - 1);
            if (own.fourier_significant) {
                EXPECT_EQ(own.rho, V.pair_rhomax(k, own.partner, kind == vk_reconstructed));
                EXPECT_EQ(own.vyg_significant, own.rho > 0.7);
                EXPECT_EQ(doc->text(k, 4), text_printf("%f", own.rho));
            } else {
                EXPECT_FALSE(own.vyg_significant);
                EXPECT_EQ(doc->text(k, 4), "-");
            }
            // A pair that passed both tests is mirrored on its earlier member.
            const auto& before = doc->get_results()[static_cast<size_t>(k - 1)].pair_entries;
            int mirrors = 0;
            for (const t_pair_entry& e : before)
                if (e.partner == k) {
                    ++mirrors;
                    EXPECT_TRUE(e.fourier_significant && e.vyg_significant);
                    EXPECT_EQ(e.rho, own.rho);
                    EXPECT_EQ(e.fourier_value, own.fourier_value);
                }
            EXPECT_EQ(mirrors, own.fourier_significant && own.vyg_significant && own.partner == k - 1) << k;
        }
    }
}

TEST(SummationDoc, FourierDistanceIsScaledByLForEveryKind) {
    // Factor vectors have 200 points and reconstructed components 299: a
    // distance in units of their length would be 2 or 3 times larger.
    for (vector_kind kind : {vk_eigenvectors, vk_factor_vectors, vk_reconstructed}) {
        SCOPED_TRACE(kind);
        auto doc = run_summation(two_sines(), 100, kind);
        ASSERT_EQ(doc->components(), 4);
        const auto& r = doc->get_results();
        const t_pair_entry &second = r[1].pair_entries[0], &third = r[2].pair_entries[0],
                           &fourth = r[3].pair_entries[0];
        EXPECT_NEAR(second.peak_freq, 0.25, 0.002);
        EXPECT_NEAR(third.peak_freq, 0.30, 0.002);
        // Equal peaks pass.
        EXPECT_EQ(second.fourier_value, 0);
        EXPECT_TRUE(second.fourier_significant);
        EXPECT_EQ(second.partner, 0);
        EXPECT_TRUE(fourth.fourier_significant);
        // 0.25 against 0.30 is 5 bins of 1/L: fails.
        EXPECT_FALSE(third.fourier_significant);
        EXPECT_GE(third.fourier_value, 4);
        EXPECT_LE(third.fourier_value, 5);
        EXPECT_EQ(doc->text(2, 3), text_printf("F(2,3)=%f", 100 * std::fabs(third.peak_freq - second.peak_freq)));
    }
}

TEST(SummationDoc, PeriodTwoComponentPairsWithItselfWithoutMirror) {
    auto doc = run_summation(trend_sine_alternating(), 30);
    ASSERT_EQ(doc->components(), 5);
    const t_pair_entry& own = doc->get_results()[3].pair_entries[0];
    EXPECT_EQ(own.partner, 3);
    EXPECT_TRUE(own.fourier_significant);
    EXPECT_TRUE(own.vyg_significant);
    EXPECT_EQ(doc->text(3, 3), text_printf("F(4,4)=%f", 30 * std::fabs(own.peak_freq - 0.5)));
    EXPECT_EQ(doc->get_results()[2].pair_entries.size(), 1u);  // component 3 gets no mirror
    EXPECT_TRUE(doc->is_harmonic(3));
}

TEST(SummationDoc, RhoEqualToTheThresholdFailsVyg) {
    auto doc = run_summation(trend_sine_alternating(), 30);
    const t_pair_entry own = doc->get_results()[2].pair_entries[0];
    ASSERT_TRUE(own.vyg_significant);
    ASSERT_EQ(own.partner, 1);

    doc->set_summ_vyg(own.rho);
    doc->start_investigation();
    EXPECT_FALSE(doc->get_results()[2].pair_entries[0].vyg_significant);
    EXPECT_EQ(doc->get_results()[1].pair_entries.size(), 1u);  // no mirror for a failed pair
    EXPECT_EQ(doc->text(2, 4), text_printf("%f", own.rho));
    EXPECT_TRUE(doc->if_significant(2, CSummationInvestDoc::res_fourier));
    EXPECT_FALSE(doc->if_significant(2, CSummationInvestDoc::res_vyg));

    doc->set_summ_vyg(std::nextafter(own.rho, 0.0));
    doc->start_investigation();
    EXPECT_TRUE(doc->get_results()[2].pair_entries[0].vyg_significant);
    EXPECT_TRUE(doc->if_significant(1, CSummationInvestDoc::res_vyg));  // through the mirror
}

TEST(SummationDoc, TrendConditionsReadTheirVerdicts) {
    auto doc = run_summation(noisy_mix(), 30, vk_eigenvectors, 24);
    // A pair passing Fourier but not VYG, so the Fourier conditions must read VYG to agree below.
    doc->set_summ_vyg(doc->get_results()[2].pair_entries[0].rho);
    doc->start_investigation();
    bool fourier_without_vyg = false;
    for (int k = 0; k < 24; ++k)
        fourier_without_vyg |= doc->if_significant(k, 3) && !doc->if_significant(k, 4);
    ASSERT_TRUE(fourier_without_vyg);

    const int type_of_bit[8] = {0, 1, 2, 4, 0, 1, 2, 4};
    for (int bit = 0; bit < 8; ++bit) {
        doc->set_summ_trend_conditions(static_cast<std::uint8_t>(1 << bit));
        for (int k = 0; k < 24; ++k)
            EXPECT_EQ(doc->is_trend(k), doc->if_significant(k, type_of_bit[bit]) == (bit < 4)) << bit << " " << k;
    }
    doc->set_summ_trend_conditions(135);
    int trend = 0;
    for (int k = 0; k < 24; ++k) {
        const bool expected = doc->if_significant(k, 0) && doc->if_significant(k, 1) && doc->if_significant(k, 2) &&
                              !doc->if_significant(k, 4);
        EXPECT_EQ(doc->is_trend(k), expected) << k;
        EXPECT_EQ(doc->is_harmonic(k), doc->if_significant(k, 4) && !expected) << k;
        trend += expected;
    }
    EXPECT_EQ(trend, 1);
    // No condition: every component is trend, and its first cell red.
    doc->set_summ_trend_conditions(0);
    for (int k = 0; k < 24; ++k) {
        EXPECT_TRUE(doc->is_trend(k));
        EXPECT_FALSE(doc->is_harmonic(k));
        EXPECT_EQ(doc->cell_colour(k, 0), colours::trend);
    }
}

TEST(SummationDoc, RunningTwiceGivesTheSameTables) {
    auto doc = run_summation(noisy_mix(), 30, vk_reconstructed, 12);
    const auto texts = doc->get_row_texts();
    const auto results = doc->get_results();
    doc->start_investigation();
    ASSERT_EQ(doc->get_row_texts(), texts);
    ASSERT_EQ(doc->get_results().size(), results.size());
    for (size_t k = 0; k < results.size(); ++k) {
        const auto &a = results[k], &b = doc->get_results()[k];
        EXPECT_EQ(a.relation, b.relation);
        ASSERT_EQ(a.pair_entries.size(), b.pair_entries.size());
        for (size_t e = 0; e < a.pair_entries.size(); ++e) {
            EXPECT_EQ(a.pair_entries[e].partner, b.pair_entries[e].partner);
            EXPECT_EQ(a.pair_entries[e].rho, b.pair_entries[e].rho);
        }
    }
}

TEST(SummationDoc, TableCells) {
    auto doc = run_summation(trend_sine_alternating(), 30);
    const SVD::t_svd& svd = *doc->get_investigation().get_svd();
    EXPECT_EQ(CSummationInvestDoc::header_text(4), "PER:Fourier");
    EXPECT_EQ(CSummationInvestDoc::header_text(7), "Singular values");
    EXPECT_EQ(CSummationInvestDoc::column_width(4), 130);
    EXPECT_EQ(doc->cell_text(3, 0), "4");
    EXPECT_EQ(doc->cell_text(3, 4), doc->text(3, 3));
    EXPECT_EQ(doc->cell_text(3, 6), "");
    EXPECT_EQ(doc->cell_text(3, 7), text_printf("%f", std::sqrt(svd.spectrum()[3])));
    EXPECT_EQ(doc->cell_text(3, 8), "-");

    // 1 trend, (2, 3) a pair, 4 alone at 0.5, 5 the trend's slope, which
    // fails Zeros and so only the next component's Fourier test could colour it.
    ASSERT_TRUE(doc->is_trend(0));
    EXPECT_EQ(doc->cell_colour(0, 0), colours::trend);
    EXPECT_EQ(doc->cell_colour(1, 0), colours::harmonic);
    EXPECT_EQ(doc->cell_colour(3, 0), colours::harmonic);
    ASSERT_FALSE(doc->is_trend(4) || doc->is_harmonic(4));
    EXPECT_EQ(doc->cell_colour(4, 0), doc->if_significant(4, 0) || doc->if_significant(4, 2) ? colours::partly
                                                                                               : colours::white);
    EXPECT_EQ(doc->cell_colour(0, 1), colours::trend_test);  // Kendall
    // Component 2 failed Fourier against 1, yet holds the mirror of the pair with 3.
    EXPECT_EQ(doc->cell_colour(1, 4), colours::harmonic_test);
    EXPECT_EQ(doc->cell_colour(4, 4), colours::white);
    EXPECT_EQ(doc->cell_colour(1, 5), colours::harmonic_test);
    EXPECT_EQ(doc->cell_colour(0, 7), colours::white);
}

TEST(SummationDoc, Failures) {
    auto doc = run_summation(trend_sine_alternating(), 30);
    try {
        doc->if_significant(0, 5);
        ADD_FAILURE();
    } catch (const SSA_math_exception::ssa_exception& e) {
        EXPECT_EQ(e.message, "unknown result type for component inside \"CSummationInvestDoc::if_significant(...)\"");
    }
    EXPECT_THROW(doc->if_significant(0, -1), SSA_math_exception::ssa_exception);

    doc->get_investigation().set_treatedvectors(static_cast<vector_kind>(4));
    try {
        doc->start_investigation();
        ADD_FAILURE();
    } catch (const SSA_math_exception::unknown_objects_for_identification& e) {
        EXPECT_EQ(e.message, "inside \"CSummationInvestDoc::start_investigation()\"");
    }
    EXPECT_TRUE(doc->get_results().empty());
    EXPECT_TRUE(doc->get_row_texts().empty());

    CSummationInvestDoc fresh(trend_sine_alternating());
    EXPECT_THROW(fresh.start_investigation(), SSA_math_exception::ssa_exception);  // no decomposition yet
}
