#include "app/qt/dlg_file_log.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fstream>
#include <string>

namespace {

TEST(dlg_file_log, shows_the_file_at_the_last_refresh_up_to_a_line_over_249_characters) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("filelog0.log").toStdString();
    CDlgFileLog dlg;
    EXPECT_EQ(dlg.windowTitle(), "Invest log");
    dlg.set_file_name(path);
    const std::string fits(249, 'a'), too_long(250, 'b');
    const std::pair<std::string, std::string> rows[] = {
        {"first\n" + fits + "\nlast\n", "first\n" + fits + "\nlast\n"},
        {"first\n" + too_long + "\nlast\n", "first\n"},
        {too_long + "\n", ""},
        {"no end of line", "no end of line\n"},
        {"", ""},
    };
    for (const auto& [content, shown] : rows) {
        std::ofstream(path) << content;
        dlg.refresh();
        EXPECT_EQ(dlg.text().toStdString(), shown) << content.substr(0, 20);
    }

    std::ofstream log(path);
    log << "* Component #1\n" << std::flush;
    dlg.refresh();
    log << "* Component #2\n" << std::flush;
    EXPECT_EQ(dlg.text(), "* Component #1\n");
    dlg.refresh();
    EXPECT_EQ(dlg.text(), "* Component #1\n* Component #2\n");

    dlg.set_file_name(dir.filePath("missing.log").toStdString());
    dlg.refresh();
    EXPECT_EQ(dlg.text(), "Error in opening file log");
}

}  // namespace
