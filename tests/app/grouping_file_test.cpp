#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "app/grouping_file.h"
#include "app_series.h"

namespace fs = std::filesystem;

namespace {

std::string refusal(const std::function<void()>& f) {
    try {
        f();
    } catch (const grouping_error& e) {
        return e.message;
    }
    return "accepted";
}

t_grouping annual_grouping() {
    return {"co2 \"v2\".dat", 30, {{"trend", {0}}, {"annual", {1, 2}}, {"two", {3}}}};
}

}  // namespace

TEST(GroupingFile, RoundTripsThroughDiskAndReconstructsTheSameSeries) {
    const fs::path path = fs::temp_directory_path() / ("kelvane_grouping_" + std::to_string(getpid()) + ".json");
    const t_grouping g = annual_grouping();
    save_grouping(path.string(), g);
    const t_grouping back = load_grouping(path.string());
    fs::remove(path);
    EXPECT_EQ(back.series, g.series);
    EXPECT_EQ(back.L, 30);
    ASSERT_EQ(back.groups.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.groups[i].name, g.groups[i].name);
        EXPECT_EQ(back.groups[i].components, g.groups[i].components);
    }
    // Numbers from 1 in the file, as everywhere the user sees them.
    EXPECT_NE(grouping_json(g).find("\"components\": [\n        2,\n        3\n      ]"), std::string::npos)
        << grouping_json(g);

    const t_ts ts = trend_sine_alternating();
    const SVD::t_svd svd(ts, back.L);
    check_grouping_fits(back, ts.size(), 0, svd.count());
    const grouped_reconstruction a = reconstruct_groups(ts, svd, g.groups), b = reconstruct_groups(ts, svd, back.groups);
    for (size_t i = 0; i < a.groups.size(); ++i)
        for (int t = 0; t < ts.size(); ++t) ASSERT_EQ(a.groups[i][t], b.groups[i][t]);
}

TEST(GroupingFile, RefusesWhatDoesNotFitNamingTheProblem) {
    EXPECT_EQ(refusal([] { grouping_from_json("{\"L\": 24"); }).rfind("the grouping file is not valid JSON (", 0), 0u);
    EXPECT_EQ(refusal([] { grouping_from_json("[1]"); }), "the grouping file holds no JSON object");
    EXPECT_EQ(refusal([] { grouping_from_json(R"({"series": "a", "groups": []})"); }), "the grouping has no \"L\"");
    EXPECT_EQ(refusal([] { grouping_from_json(R"({"series": "a", "L": 2.5, "groups": []})"); }),
              "the grouping's \"L\" is not a whole number");
    EXPECT_EQ(refusal([] { grouping_from_json(R"({"series": "a", "L": 4, "groups": [{"name": "x"}]})"); }),
              "the grouping's group 1 has no \"components\" list");
    EXPECT_EQ(refusal([] { grouping_from_json(R"({"series": "a", "L": 4, "groups": [{"name": "x", "components": [0]}]})"); }),
              "the group \"x\" has a component that is no number from 1: 0");

    const t_grouping g = annual_grouping();
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 30, 0, 5); }),
              "the grouping's window length 30 does not fit a series of 30 values (2..29)");
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 80, 24, 5); }), "the grouping was made with L = 30, not L = 24");
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 80, 0, 3); }),
              "component 4 of the group \"two\" is beyond the 3 components in use");
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 80, 30, 4); }), "accepted");
}
