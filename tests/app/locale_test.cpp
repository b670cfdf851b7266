// Under a decimal-comma locale the import, the tables and the dialogs read and write as in the "C" locale.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "app/dialogs.h"
#include "app/summation_doc.h"
#include "core/number_text.h"
#include "app_series.h"
#include "tests/locale_guard.h"

namespace {

std::vector<std::string> table_texts(const CSummationInvestDoc& doc) {
    std::vector<std::string> texts;
    for (int k = 0; k < doc.components(); ++k)
        for (int c = 0; c < 8; ++c) texts.push_back(doc.cell_text(k, c));
    return texts;
}

}  // namespace

TEST(Locale, ImportTablesAndDialogFieldsUnderADecimalComma) {
    const std::string path = testing::TempDir() + "kelvane_locale_" + std::to_string(getpid()) + ".csv";
    std::ofstream(path) << "t,v\n1,315.42\n2,-0.999998\n3,0.5\n";
    const auto summation = run_summation(noisy_mix());
    const std::vector<std::string> table = table_texts(*summation);
    scoped_comma_locale de;
    SKIP_WITHOUT_COMMA_LOCALE(de);
    t_ts ts;
    ts.load(path, excel_choice{"", 2, 0});
    EXPECT_EQ(std::vector<double>(ts.values().data(), ts.values().data() + ts.size()),
              (std::vector<double>{315.42, -0.999998, 0.5}));
    EXPECT_EQ(table_texts(*summation), table) << "the texts Save table writes";
    // A field shows what reads back (the user's own separator is pinned with the GUI).
    EXPECT_EQ(dlg_real_text(0.1), "0.1");
    CDlgTrendParam trend;
    trend.L_max = 99;
    std::vector<std::string> texts = trend.texts();
    EXPECT_EQ(trend.exchange(texts), std::nullopt);
    EXPECT_EQ(trend.texts(), texts);
}

TEST(Locale, ACommaIsNoDecimalPointWhereTheLocaleHasNone) {
    double v = 0;
    EXPECT_EQ(dlg_read_real("0,1", v), "Please enter a number.");
    EXPECT_EQ(dlg_read_real("1e999", v), "Please enter a number.");
}
