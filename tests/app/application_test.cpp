#include "app/application.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/decomp_result_doc.h"
#include "app/forecast_doc.h"
#include "app/invest_doc.h"
#include "app/ts_group_doc.h"
#include "app/save_names.h"
#include "../model/test_util.h"
#include "app_series.h"
#include "fake_app_ui.h"
#include "log/private_dir.h"

namespace fs = std::filesystem;

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kelvane_app_" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = (dir / name).string();
        std::ofstream(path) << text;
        return path;
    }

    fs::path dir;
    scripted_app_ui ui;
    memory_store store;
    CWinKelvaneApp app{ui, store};
};

// column: double-clicked in the import dialog, -1 none; -2: no dialog may open.
TEST_F(ApplicationTest, FailedOrCancelledOpensLeaveNoDocumentWindowOrRecentEntry) {
    const std::string empty = "Error in data loading or file is empty";
    const struct { std::string path, message; int column; } cases[] = {
        {dir.string(), dir.string() + "\nis a directory, not a data file.", -2},
        {write("bad.dat", "1\n2\n1e999\n"), "value on line 3 is not a finite number : " + (dir / "bad.dat").string() + ".", -2},
        {write("damaged.xls", "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1 not really a workbook"), empty, -2},
        {write("titles.csv", "a,b\nx,y\n"), empty, 1},  // a column without numbers
        {write("nochoice.csv", "1,2\n"), empty, -1},     // OK without a data column
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        ui.open_xls.shown.clear();
        if (c.column > -2)
            ui.open_xls.answers.push_back([&c](CDlgOpenXLS& d) { d.double_click_column(c.column); return true; });
        EXPECT_EQ(app.open_series_file(c.path), nullptr) << c.path;
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(ui.open_xls.shown.size(), c.column > -2 ? 1u : 0u) << c.path;
    }
    // A cancelled load says nothing.
    ui.messages.clear();
    ui.cancel_computations = true;
    EXPECT_EQ(app.open_series_file(write("good.dat", "1\n2\n")), nullptr);
    EXPECT_TRUE(ui.messages.empty() && app.documents().empty() && ui.windows.empty() && app.recent_files().empty());
}

// A workbook goes through the import dialog; its choice decides what is read.
TEST_F(ApplicationTest, WorkbookOpensThroughTheImportDialogWithTheChosenColumns) {
    const std::string path = write("co2.CSV", "month,ppm\n1959-01,315.42\n1959-02,0\n,\n1959-04,1\n");
    ui.open_xls.answers.push_back([](CDlgOpenXLS& d) {
        d.double_click_column(1);  // ppm as data
        d.double_click_column(0);  // month as tick marks
        return true;
    });
    CWinKelvaneDoc* doc = app.open_series_file(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->ts.size() == 2 && doc->ts.ticks());
    EXPECT_EQ((std::vector<double>{doc->ts[0], doc->ts[1]}), (std::vector<double>{315.42, 0}));
    EXPECT_EQ(*doc->ts.ticks(), (std::vector<std::string>{"1959-01", "1959-02"}));
    // Reopened it asks again; Cancel reads nothing and says nothing.
    EXPECT_EQ(app.open_series_file(path), nullptr);
    EXPECT_EQ(ui.open_xls.shown.size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
}

// A child process holds a write lock on path until the guard ends it.
struct lock_holder {
    lock_holder(const std::string& path, bool use_flock) {
        int ready[2];
        if (pipe(ready) != 0) throw std::runtime_error("pipe");
        if ((pid = fork()) == 0) {
            const int fd = open(path.c_str(), O_RDWR);
            struct flock lk {};
            lk.l_type = F_WRLCK;
            char c = fd >= 0 && (use_flock ? flock(fd, LOCK_EX) == 0 : fcntl(fd, F_SETLK, &lk) == 0) ? 'y' : 'n';
            if (write(ready[1], &c, 1) == 1) pause();
            _exit(0);
        }
        close(ready[1]);
        char c = 'n';
        if (read(ready[0], &c, 1) != 1 || c != 'y') ADD_FAILURE() << "the child took no lock";
        close(ready[0]);
    }
    ~lock_holder() {
        if (pid <= 0) return;  // kill(-1) would reach every process
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
};

// A copy of its own in the private directory per open, deleted with its document; the user's files untouched.
TEST_F(ApplicationTest, LockedFileIsReadFromAPrivateTemporaryCopyDeletedOnClose) {
    const std::string theirs = write("theirs.dat", "the user's own\n");
    for (const bool use_flock : {false, true}) {
        SCOPED_TRACE(use_flock ? "flock" : "fcntl");
        const std::string path = write("locked.dat", "1\n2\n3\n4\n");
        // The name the copy once had beside the file: a file of the user's, then a link to one.
        const fs::path beside = dir / "locked-tmp.dat";
        fs::remove(beside);
        use_flock ? fs::create_symlink(theirs, beside) : void(std::ofstream(beside) << "the user's own\n");
        CWinKelvaneDoc *doc = nullptr, *again = nullptr;
        ui.messages.clear();
        {
            const lock_holder lock(path, use_flock);
            doc = app.open_series_file(path);
            again = app.open_series_file(path);
        }
        ASSERT_TRUE(doc && again);
        const std::string copy = doc->name;
        EXPECT_NE(again->name, copy);
        for (const fs::path c : {copy, again->name})
            EXPECT_TRUE(c.parent_path() == private_directory() && c.filename().string().rfind("locked-tmp-", 0) == 0 &&
                        c.extension() == ".dat") << c;
        EXPECT_EQ(ui.messages.front(), "The file:\n\n<" + path + ">\n\nis locked by another application, we created a "
                                       "temporary copy:\n\n<" + copy + ">,\n\nwhich will be deleted at the end of work.");
        EXPECT_EQ(doc->ts.size(), 4);
        EXPECT_EQ(app.recent_files().front(), path);
        const std::string second = again->name;
        app.close_document(*doc);
        EXPECT_TRUE(!fs::exists(copy) && fs::exists(second));
        app.close_document(*again);
        EXPECT_TRUE(!fs::exists(second) && fs::exists(path));
        EXPECT_EQ(slurp(beside.string()), "the user's own\n");
        EXPECT_EQ(fs::is_symlink(beside), use_flock);
    }
    EXPECT_EQ(slurp(theirs), "the user's own\n");
    // A copy that fails to load is not left behind.
    const std::string empty = write("empty.txt1", "");
    {
        const lock_holder lock(empty, true);
        EXPECT_EQ(app.open_series_file(empty), nullptr);
    }
    EXPECT_TRUE(fs::is_empty(private_directory()));
}

TEST_F(ApplicationTest, OpensIntoAWindowTitledByThePathRecentFilesMostRecentFirstAtMostFour) {
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) paths.push_back(write("f" + std::to_string(i) + ".dat", "%co2\n1959.00 1\n1959.17 3\n"));
    CWinKelvaneDoc* doc = app.open_series_file(paths[0]);
    ASSERT_NE(doc, nullptr);
    for (const std::string& p : paths) app.open_series_file(p);
    app.open_series_file(paths[2]);
    const std::vector<std::string> expected = {paths[2], paths[4], paths[3], paths[1]};
    EXPECT_EQ(app.recent_files(), expected);
    EXPECT_EQ(store.stored, expected);
    // An entry whose file has gone leaves the list after its message.
    fs::remove(paths[4]);
    EXPECT_EQ(app.open_series_file(paths[4]), nullptr);
    EXPECT_EQ(ui.messages.back(), "There is no such file:\n" + paths[4] + ".");
    EXPECT_EQ(store.stored, (std::vector<std::string>{paths[2], paths[3], paths[1]}));
    memory_store earlier;
    earlier.stored = {"a", "b", "a", "", "c", "d", "e"};
    const CWinKelvaneApp next(ui, earlier);
    EXPECT_EQ(next.recent_files(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(ApplicationTest, FileNewTellsThenAsksLikeFileOpen) {
    const std::string path = write("new.dat", "1\n2\n");
    ui.files = {path};
    app.execute(command::file_new, nullptr);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Please open data file for processing"});
    EXPECT_EQ(ui.icons, std::vector<notify_icon>{notify_icon::information});
    EXPECT_EQ(app.documents().size(), 1u);
}

TEST_F(ApplicationTest, RefusalsWhenTheActiveDocumentDoesNotFit) {
    constexpr doc_kind trend = doc_kind::trend_invest, period = doc_kind::period_invest;
    const struct { command c; std::vector<doc_kind> fits; std::string text; notify_icon icon; } cases[] = {
        {command::run_investigation,
         {doc_kind::time_series, trend, period, doc_kind::summation_invest, doc_kind::forecast, doc_kind::svd_display},
         "No active timeseries views, open one, please.", notify_icon::none},
        {command::display_svd, {trend, period, doc_kind::summation_invest},
         "There is no active investigation, select one or start new, please.", notify_icon::none},
        {command::break_harmonics, {period}, "There is no active period investigation, select one or start new, please.",
         notify_icon::information},
        {command::smooth, {trend, period}, "There is no active investigation to smooth recosntructed series,\n select one or start new, please.",
         notify_icon::information},
        {command::final_decomposition, {doc_kind::summ_interact},
         "There is no active view of interactive summation results,\nselect one or generate new, please.", notify_icon::none},
        {command::two_scales, {trend, period, doc_kind::comp_info}, "There is no active window where two-scaling is allowed.",
         notify_icon::none},
    };
    for (const auto& c : cases) {
        for (int k = -1; k < doc_kind_count; ++k) {
            document doc(static_cast<doc_kind>(k < 0 ? 0 : k));
            const bool fits = k >= 0 && std::find(c.fits.begin(), c.fits.end(), doc.kind()) != c.fits.end();
            ui.messages.clear(), ui.icons.clear();
            app.execute(c.c, k < 0 ? nullptr : &doc);
            EXPECT_EQ(ui.messages, fits ? std::vector<std::string>{} : std::vector<std::string>{c.text}) << k;
            EXPECT_EQ(ui.icons, fits ? std::vector<notify_icon>{} : std::vector<notify_icon>{c.icon}) << k;
        }
    }
}

// Yes is pinned with the GUI.
TEST_F(ApplicationTest, CloseAllAsksOnlyWhenThereAreWindowsAndNoByDefault) {
    app.execute(command::close_all, nullptr);
    EXPECT_TRUE(ui.questions.empty());
    document& a = app.adopt(std::make_unique<document>(doc_kind::time_series));
    app.execute(command::close_all, &a);
    EXPECT_EQ(app.documents().size(), 1u);
    EXPECT_TRUE(ui.question_default_no.at(0));
}

TEST_F(ApplicationTest, FileSaveWritesTheSeriesExactlyWithItsDatesAndNothingWhenCancelled) {
    const std::string data = write("in.dat", "%title\n1959-01\t0.1\n1959-02\t1e-300\n");
    CWinKelvaneDoc* doc = app.open_series_file(data);
    ASSERT_NE(doc, nullptr);
    const std::string out = (dir / "out.dat").string();
    ui.files = {out};
    app.execute(command::file_save, doc);
    app.execute(command::file_save, doc);  // cancelled: the file stays as written
    EXPECT_EQ(slurp(out), "%title\n1959-01\t0.1\n1959-02\t1e-300\n");
    // Proposed: a name of its own beside the data, never the data file, which Enter would replace.
    EXPECT_EQ(ui.proposed, std::vector<std::string>(2, (dir / "in-copy.dat").string()));
    // Chosen anyway, the overwrite question names it for what it is, through a link too.
    fs::create_symlink(data, dir / "alias.dat");
    ASSERT_TRUE(ui.is_data_file);
    EXPECT_TRUE(ui.is_data_file(data) && ui.is_data_file((dir / "alias.dat").string()) && !ui.is_data_file(out));
    EXPECT_EQ(overwrite_question(data, true), data + " is the data file of an open series.\nDo you want to replace it?");
    app.close_document(*doc);
    EXPECT_FALSE(ui.is_data_file(data));
}

TEST_F(ApplicationTest, LinkedTimeAxesMoveTheDocumentsOfTheSameFileOnly) {
    const auto adopt = [&](std::unique_ptr<CWinKelvaneDoc> d, const std::string& file) -> CWinKelvaneDoc& {
        d->data_file = file;
        return static_cast<CWinKelvaneDoc&>(app.adopt(std::move(d)));
    };
    CWinKelvaneDoc& a = adopt(std::make_unique<CWinKelvaneDoc>(), "/d/co2.dat");
    CWinKelvaneDoc& b = adopt(std::make_unique<CForeInvestDoc>(), "/d/co2.dat");
    CWinKelvaneDoc& other = adopt(std::make_unique<CWinKelvaneDoc>(), "/d/nottem.dat");
    CWinKelvaneDoc& svd = adopt(std::make_unique<CSVDDoc>(), "/d/co2.dat");
    auto& group = static_cast<CTsGroupDoc&>(app.adopt(std::make_unique<CTsGroupDoc>()));
    group.data_file = "/d/co2.dat";
    app.set_linked_axes(true);
    a.set_span({30, 60});
    EXPECT_TRUE(b.span() == (time_span{30, 60}) && group.span() == (time_span{30, 60}));
    // Another file, and the SVD window's lags, do not follow.
    EXPECT_TRUE(other.span().whole() && svd.span().whole());
}

TEST(SaveNames, DerivedFromTheStemOfTheDataFile) {
    EXPECT_EQ(derived_name(path_stem("/d.x/co2"), "copy"), "/d.x/co2-copy.dat");
    EXPECT_EQ(derived_name(path_stem("/d/.hidden"), "periodic"), "/d/.hidden-periodic.dat");
    EXPECT_EQ(derived_name(path_stem("/d/a.b.csv"), "summation", ".csv"), "/d/a.b-summation.csv");
}

class FinalDecompositionCommand : public ApplicationTest, protected summation_with_table {};

TEST_F(FinalDecompositionCommand, OpensOneWindowInTheChosenStyleWhoseSaveSkipsACancelledSeries) {
    summation->data_file = (dir / "nottem.dat").string();
    app.execute(command::final_decomposition, &interact);
    EXPECT_EQ(ui.draw_style.shown.at(0).style, 0);  // "Overlaid" preselected
    EXPECT_TRUE(app.documents().empty());
    ui.draw_style.answers.push_back([&](CDlgGroupDrawStyle& d) { d.style = 1; return true; });
    app.execute(command::final_decomposition, &interact);
    ASSERT_EQ(ui.windows.size(), 1u);
    auto* doc = dynamic_cast<CDecompResultDoc*>(ui.windows[0]);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->get_style(), CDecompResultDoc::style_separate);
    EXPECT_EQ(doc->get_trend_list(), std::vector<int>{0});
    EXPECT_EQ(doc->get_periodic_list(), (std::vector<int>{1, 2, 3}));
    const std::string trend = (dir / "trend.dat").string(), residual = (dir / "residual.dat").string();
    ui.files = {trend, "", residual};
    app.execute(command::file_save, doc);
    EXPECT_EQ(ui.proposed, (std::vector<std::string>{(dir / "nottem-trend.dat").string(), (dir / "nottem-periodic.dat").string(),
                                                     (dir / "nottem-residual.dat").string()}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    const std::pair<std::string, const t_ts*> written[] = {{trend, doc->get_trend()}, {residual, doc->get_residual()}};
    for (const auto& [path, expected] : written) {
        t_ts back;
        back.load(path);
        ASSERT_EQ(back.size(), expected->size()) << path;
        for (int t = 0; t < back.size(); ++t)
            EXPECT_NEAR(back[t], (*expected)[t], 1e-5 * (1 + std::abs((*expected)[t]))) << path << " " << t;
    }
}

}  // namespace
