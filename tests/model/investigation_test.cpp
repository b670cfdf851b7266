#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_ui.h"
#include "invest/investigation.h"
#include "test_util.h"

namespace {

// Identifies the first amount components, as a real investigation clips them first.
class probe_invest : public t_invest_with_results {
public:
    using t_invest_with_results::t_invest_with_results;
    void identificate() override {
        clip_amount_to_L();
        for (int c = 0; c < m_amount; ++c) m_components.push_back(c);
    }
    void update() override {}
};

}  // namespace

TEST(Investigation, SetLClipsAmountToTheCountInUse) {
    probe_invest a(t_ts(std::vector<double>{1, 1, 1, 1, 1, 1}));  // count 1 for any L
    EXPECT_EQ(a.set_L(3), 1);

    probe_invest b(sample_series(40));
    b.set_amount(7);
    EXPECT_EQ(b.set_L(5), 5);
    b.set_amount(3);
    EXPECT_EQ(b.set_L(5), 3);
}

TEST(Investigation, AmountAboveLIsWarnedOnceAndClipped) {
    for (vector_kind v : {vk_eigenvectors, vk_reconstructed}) {
        notification_recorder rec;
        probe_invest inv(sample_series(40));
        inv.set_L(10);
        inv.set_treatedvectors(v);
        inv.set_amount(12);
        inv.investigate();
        EXPECT_EQ(rec.texts, std::vector<std::string>{"Attention! You have set amount of components to investigate "
                                                      "greater than L. \nI use L instead of it."});
        EXPECT_EQ(inv.get_components().size(), 10u);
    }
}

TEST(Results, BestComponentIsTheFirstSmallestRank) {
    probe_invest r(sample_series(3));
    EXPECT_THROW(r.get_best_component(), SSA_math_exception::out_of_range);
    r.get_components() = {4, 7, 9};
    r.get_ranks() = {1, 3, 2};
    EXPECT_EQ(r.get_best_component(), 4);
    r.get_ranks() = {3, 1, 1};
    EXPECT_EQ(r.get_best_component(), 7);
}

TEST(Investigation, FailedDecompositionThrowsItsFailureAndLeavesNoDecomposition) {
    probe_invest inv(sample_series(10));
    EXPECT_THAT(failure_of([&] { inv.set_L(11); }), testing::MatchesRegex("internal 1: .*incorrect window length: L = 11 is outside 1..10"));
    EXPECT_EQ(inv.get_svd(), nullptr);
    // Nothing to investigate now: a refusal, not a crash.
    EXPECT_THAT(thrown([&] { inv.investigate(); }), testing::HasSubstr("no decomposition"));
}
