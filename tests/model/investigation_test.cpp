#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "core/ssa_exception.h"
#include "fake_ui.h"
#include "invest/investigation.h"

namespace {

t_ts sample_series(int n) {
    std::vector<double> v;
    for (int t = 0; t < n; ++t) v.push_back(10 + 0.5 * t + 3 * std::sin(2 * M_PI * t / 6) + std::cos(1.3 * t * t));
    return t_ts(v);
}

// Identifies the first amount components and remembers what it was given.
class probe_invest : public t_invest_with_results {
public:
    using t_invest_with_results::t_invest_with_results;
    void identificate() override {
        clip_amount_to_L();
        built_reconstructed = get_reconstructed() != nullptr;
        tested = treated_matrix();
        for (int c = 0; c < m_amount; ++c) m_components.push_back(c);
    }
    void update() override {}

    bool built_reconstructed = false;
    const matrix* tested = nullptr;
};

}  // namespace

TEST(Investigation, SetLClipsAmountToTheCountInUse) {
    probe_invest a(t_ts(std::vector<double>{1, 1, 1, 1, 1, 1}));  // count 1 for any L
    EXPECT_EQ(a.get_amount(), -1);
    EXPECT_EQ(a.set_L(3), 1);

    probe_invest b(sample_series(40));
    b.set_amount(7);
    EXPECT_EQ(b.set_L(5), 5);
    b.set_amount(3);
    EXPECT_EQ(b.set_L(5), 3);
    EXPECT_EQ(b.get_svd()->count(), 5);  // set_L does not touch the new count
    b.set_amount(2);
    EXPECT_EQ(b.get_svd()->count(), 2);
}

TEST(Investigation, AmountAboveLIsWarnedOnceAndClipped) {
    for (vector_kind v : {vk_eigenvectors, vk_reconstructed}) {
        notification_recorder rec;
        probe_invest inv(sample_series(40));
        inv.set_L(10);
        inv.set_treatedvectors(v);
        inv.set_amount(12);
        inv.investigate();
        ASSERT_EQ(rec.texts.size(), 1u);
        EXPECT_EQ(rec.texts[0],
                  "Attention! You have set amount of components to investigate greater than L. \nI use L instead of it.");
        EXPECT_EQ(inv.get_amount(), 10);
        EXPECT_EQ(inv.get_components().size(), 10u);
    }
}

TEST(Investigation, ReconstructedComponentsOnlyForTreatedKind3) {
    for (int kind = 0; kind <= 4; ++kind) {
        probe_invest inv(sample_series(30));
        inv.set_L(8);
        inv.set_treatedvectors(static_cast<vector_kind>(kind));
        inv.investigate();
        EXPECT_EQ(inv.built_reconstructed, kind == 3) << kind;
        const int rows[] = {8, 23, 23, 30};
        if (kind <= 3) {
            ASSERT_NE(inv.tested, nullptr);
            EXPECT_EQ(inv.tested->rows(), rows[kind]) << kind;
        } else {
            EXPECT_EQ(inv.tested, nullptr);
        }
    }
}

TEST(Investigation, ResultIsTheGroupReconstruction) {
    probe_invest inv(sample_series(30));
    inv.set_L(8);
    inv.set_amount(3);
    inv.investigate();
    inv.make_result(*inv.get_svd());
    t_ts group;
    inv.get_svd()->reconstruct({0, 1, 2}, group);
    ASSERT_EQ(inv.get_result().size(), 30);
    for (int t = 0; t < 30; ++t) EXPECT_EQ(inv.get_result()[t], group[t]);
    EXPECT_EQ(inv.get_result().ticks(), nullptr);
}

TEST(Investigation, LogLivesAndDiesWithTheInvestigation) {
    std::string name;
    {
        probe_invest inv(sample_series(10));
        name = inv.get_log().file_name();
        EXPECT_EQ(name.rfind("filelog", 0), 0u);
        inv.get_log() << "tested\n";
        inv.set_L(4);
        inv.investigate();  // flushes
        std::ifstream in(name);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "tested");
        EXPECT_STREQ(inv.get_name(), "Investigation with abstract results");
    }
    EXPECT_NE(access(name.c_str(), F_OK), 0);
}

TEST(Results, BestComponentIsTheFirstSmallestRank) {
    struct ranked : probe_invest {
        ranked(std::vector<int> c, std::vector<int> r) : probe_invest(t_ts(std::vector<double>{1, 2, 3})) {
            m_components = std::move(c);
            m_ranks = std::move(r);
        }
    };
    EXPECT_EQ(ranked({4, 7, 9}, {1, 3, 2}).get_best_component(), 4);
    EXPECT_EQ(ranked({4, 7, 9}, {3, 1, 1}).get_best_component(), 7);
    EXPECT_THROW(ranked({}, {}).get_best_component(), SSA_math_exception::out_of_range);
}

TEST(InvestigationDeathTest, FailedDecompositionShowsItsMessageThenExits) {
    probe_invest inv(sample_series(10));
    // The default hook writes both boxes to standard error.
    EXPECT_EXIT(inv.set_L(11), testing::ExitedWithCode(1), "incorrect window length inside t_svd.*\nExiting");
}
