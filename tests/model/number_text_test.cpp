// Numbers as text independent of the C library's locale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

#include "core/number_text.h"
#include "invest/trend_invest.h"
#include "test_util.h"
#include "tests/locale_guard.h"

TEST(NumberText, ReadsTheDecimalPrefixOfTheCLocale) {
    // The text, how much of it is the number, and its value (the compiler's own reading of the literal).
    const struct { const char* text; long used; double value; } cases[] = {
        {"-1.5", 4, -1.5}, {"+.5", 3, 0.5}, {"1e+", 1, 1}, {"+-1", 0, 0}, {"1.", 2, 1}, {"..1", 0, 0},
        {"-1e999", 6, -HUGE_VAL}, {"4.9e-324", 8, 4.9e-324}, {"2e-324", 6, 0}, {"00012.5e-2", 10, 0.125},
        {"123456789012345678901234567890", 30, 123456789012345678901234567890.0},
        {"0.1000000000000000055511151231257827", 36, 0.1}, {"1 234", 1, 1}, {"7e-2e3", 4, 0.07}};
    for (const auto& c : cases) {
        double v = 0;
        const char* used = read_decimal(c.text, c.text + std::strlen(c.text), v);
        EXPECT_EQ(used - c.text, c.used) << c.text;
        if (used != c.text) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    // Where the C library would read more than a decimal number, nothing is read.
    for (const char* text : {"0x10", "inf", "nan", "infinity"}) {
        double v = 7;
        EXPECT_EQ(read_decimal(text, text + std::strlen(text), v), text + (text[0] == '0' ? 1 : 0)) << text;
    }
}

TEST(NumberText, FormatsAsPrintfInTheCLocale) {
    const char* formats[] = {"%g", "%10.4e", "%-12.6G", "%+f", "% .2f", "%08.3f", "%.0f", "%.17g", "%13.4f%%"};
    const double values[] = {0, -0.0, 0.5, -1.25, 315.42, 1e-7, 123456789.125, 1e300, -4.9e-324, HUGE_VAL, -HUGE_VAL};
    for (const char* f : formats)
        for (double v : values) {
            char buf[512];
            std::snprintf(buf, sizeof buf, f, v);
            EXPECT_EQ(format_text(f, v), buf) << f << " of " << v;
        }
    EXPECT_EQ(format_text("%d|%5s|%-4d|%lld|%zu|%*d|%.*f|%c|%x", 42, "ab", 7, 1LL << 40, size_t(3), 5, 9, 2, 3.14159,
                          'z', 255),
              "42|   ab|7   |1099511627776|3|    9|3.14|z|ff");
}

TEST(Locale, DataFilesAndLogsAreTheSameUnderADecimalComma) {
    const t_ts ts(with_noise(60, 7, 0.3, [](int t) { return 0.5 + 0.01 * t; }));
    const auto trend_log = [](const t_ts& s) {
        t_trend_invest inv(s);
        inv.set_L(12);
        inv.investigate();
        inv.get_log().flush();
        return slurp(inv.get_log().file_name());
    };
    const auto saved_text = [](const t_ts& s) { std::ostringstream out; write_cts(out, s); return out.str(); };
    const std::string log = trend_log(ts), saved = saved_text(ts);
    const std::string text_path = testing::TempDir() + "kelvane_locale_" + std::to_string(getpid()) + ".dat";
    std::ofstream(text_path) << "%fractions\n0.25\n-0.999998\n1.5e-3\n";

    scoped_comma_locale de;
    SKIP_WITHOUT_COMMA_LOCALE(de);
    EXPECT_EQ(trend_log(ts), log);
    EXPECT_EQ(saved_text(ts), saved);
    t_ts back;
    back.load(text_path);
    EXPECT_EQ(values_of(back), (std::vector<double>{0.25, -0.999998, 1.5e-3}));
}
