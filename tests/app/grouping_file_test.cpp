#include <gtest/gtest.h>

#include "invest/grouping_file.h"
#include "app/grouping_workbench.h"
#include "app_series.h"

using t_svd_ptr = std::shared_ptr<const SVD::t_svd>;

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

// The disk round trip is pinned with the GUI.
TEST(GroupingFile, RoundTripsThroughJson) {
    const t_grouping g = annual_grouping();
    EXPECT_EQ(grouping_json(grouping_from_json(grouping_json(g))), grouping_json(g));
    // Numbers from 1 in the file, as everywhere the user sees them.
    EXPECT_NE(grouping_json(g).find("\"components\": [\n        2,\n        3\n      ]"), std::string::npos)
        << grouping_json(g);
}

TEST(GroupingFile, RefusesWhatDoesNotFitNamingTheProblem) {
    EXPECT_EQ(refusal([] { grouping_from_json("{\"L\": 24"); }).rfind("the grouping file is not valid JSON (", 0), 0u);
    EXPECT_EQ(refusal([] { grouping_from_json("[1]"); }), "the grouping file holds no JSON object");
    EXPECT_EQ(refusal([] { grouping_from_json(R"({"series": "a", "L": 2.5, "groups": []})"); }),
              "the grouping's \"L\" is not a whole number");
    EXPECT_EQ(refusal([] { grouping_from_json(R"({"series": "a", "L": 4, "groups": [{"name": "x", "components": [0]}]})"); }),
              "the group \"x\" has a component that is no number from 1: 0");
    const t_grouping g = annual_grouping();
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 30, 0, 5); }),
              "the grouping's window length 30 does not fit a series of 30 values (2..29)");
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 80, 0, 3); }),
              "component 4 of the group \"two\" is beyond the 3 components in use");
    EXPECT_EQ(refusal([&] { check_grouping_fits(g, 80, 30, 4); }), "accepted");
}

TEST(GroupingWorkbench, MarksBecomeGroupsAndTheGroupsKeepTheirRules) {
    summation_with_table s;
    const t_svd_ptr svd = std::make_shared<const SVD::t_svd>(*s.summation->get_investigation().get_svd());
    grouping_workbench bench(trend_sine_alternating(), svd, "/data/mix.dat");
    const std::vector<component_group> sent = grouping_workbench::groups_from_marks(s.interact);
    std::vector<std::string> texts;
    for (const component_group& g : sent) texts.push_back(g.name + " " + component_set_text(g.components));
    EXPECT_EQ(texts, (std::vector<std::string>{"trend 1", "period 10.00 2-3", "period 2.00 4"}));
    bench.set_groups(sent);
    EXPECT_EQ(refusal([&] { bench.add_group("again", "3,5"); }), "component 3 is in both groups \"period 10.00\" and \"again\"");
    bench.add_group("", "5");
    EXPECT_EQ(bench.groups().back().name, "5");
    // The grouping keeps the file name, not its folder (the w-correlations are pinned with the GUI).
    EXPECT_EQ(std::pair(bench.grouping().series, bench.grouping().L), std::pair(std::string("mix.dat"), 30));
    t_grouping other = bench.grouping();
    other.L = 20;
    EXPECT_EQ(refusal([&] { bench.open(other); }), "the grouping was made with L = 20, not L = 30");
    EXPECT_EQ(bench.groups().size(), 4u);  // a refused file changes nothing
    bench.remove_group(0);
    other = bench.grouping();
    bench.set_groups({});
    bench.open(other);
    EXPECT_EQ(bench.groups().front().name, "period 10.00");
}
