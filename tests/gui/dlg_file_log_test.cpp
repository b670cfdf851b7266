#include "app/qt/dlg_file_log.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fstream>
#include <string>

namespace {

TEST(dlg_file_log, a_line_longer_than_249_characters_ends_the_display) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("filelog0.log").toStdString();
    const std::string fits(249, 'a'), too_long(250, 'b');
    const struct {
        std::string content;
        std::string shown;
    } rows[] = {
        {"first\n" + fits + "\nlast\n", "first\n" + fits + "\nlast\n"},
        {"first\n" + too_long + "\nlast\n", "first\n"},
        {too_long + "\n", ""},
        {"no end of line", "no end of line\n"},
        {"", ""},
    };
    CDlgFileLog dlg;
    dlg.set_file_name(path);
    for (const auto& r : rows) {
        std::ofstream(path) << r.content;
        dlg.refresh();
        EXPECT_EQ(dlg.text().toStdString(), r.shown) << r.content.substr(0, 20);
    }
}

TEST(dlg_file_log, shows_the_file_as_it_was_at_the_last_refresh) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("filelog1.log").toStdString();
    std::ofstream log(path);
    log << "* Component #1\n" << std::flush;
    CDlgFileLog dlg;
    EXPECT_EQ(dlg.windowTitle(), "Invest log");
    dlg.set_file_name(path);
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
