#include "app/comp_info_doc.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

// N = 80, L = 30.
class CompInfo : public testing::Test, protected summation_with_table {};

}  // namespace

TEST_F(CompInfo, TextLinesOfAPairedAndAnUnexplainedComponent) {
    const CCompInfoDoc pair(interact.info(1));
    EXPECT_EQ(pair.title(), "Component 2 info");
    const std::vector<std::string> p = pair.text_lines();
    ASSERT_GE(p.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(p.begin(), p.begin() + 3),
              (std::vector<std::string>{"Component 2", "N = 80, L = 30, K = 51", "TREND:"}));
    EXPECT_EQ(p[5].rfind("    HighFreq(0.075) = ", 0), 0u) << p[5];
    EXPECT_EQ(p[6], "PERIOD:");
    EXPECT_NE(std::find(p.begin(), p.end(), "   Pair (2,3)"), p.end());
    EXPECT_EQ(std::count(p.begin(), p.end(), "    ---"), 0);

    const std::vector<std::string> lone = CCompInfoDoc(interact.info(4)).text_lines();
    EXPECT_EQ(lone.front(), "Component 5");
    EXPECT_EQ(lone.back(), "    ---");
}

// Two scales (Ctrl+L) toggles the window's scale; Esc closes it and no other kind.
TEST_F(CompInfo, TwoScalesAndEscThroughTheApplication) {
    scripted_app_ui ui;
    memory_store store;
    CWinKelvaneApp app(ui, store);
    document& info = app.adopt(std::make_unique<CCompInfoDoc>(interact.info(0)));
    app.execute(command::two_scales, &info);
    EXPECT_TRUE(static_cast<CCompInfoDoc&>(info).get_two_scales());
    document& other = app.adopt(std::make_unique<CSummInteractDoc>());
    app.execute(command::close_comp_info, &other);
    EXPECT_EQ(app.documents().size(), 2u);
    app.execute(command::close_comp_info, &info);
    EXPECT_EQ(app.documents().size(), 1u);
}
