#include "gui/param_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "gui/dlg_open_xls.h"
#include "excel/excel.h"
#include "tests/locale_guard.h"

namespace {

// Records the messages of a failed OK instead of showing a modal box.
class ParamDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        m_old = set_dlg_message_fn([this](QWidget*, const QString& text) { messages.push_back(text.toStdString()); });
    }
    void TearDown() override { set_dlg_message_fn(m_old); }
    std::vector<std::string> messages;

private:
    dlg_message_fn m_old;
};

QAbstractButton* button(QWidget& dlg, const QString& text) {
    for (QAbstractButton* b : dlg.findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

QLineEdit* field(QWidget& dlg, const char* name) {
    auto* e = dlg.findChild<QLineEdit*>(name);
    EXPECT_NE(e, nullptr) << name;
    return e;
}

void click_ok(QWidget& dlg) { dlg.findChild<QAbstractButton*>("ok")->click(); }

TEST_F(ParamDialogs, TrendOkWritesTheFieldsAndABadValueKeepsTheDialogOnIt) {
    CDlgTrendParam model;
    model.method = 0;
    model.L_max = 99;
    CQtDlgTrendParam dlg(model);
    dlg.show();
    EXPECT_EQ(field(dlg, "kendall")->text(), "0.95");
    field(dlg, "L")->setText("12");
    field(dlg, "kendall")->setText("1.5");
    click_ok(dlg);
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter a number between 0 and 1."});
    EXPECT_EQ(dlg.focusWidget(), field(dlg, "kendall"));
    EXPECT_EQ(std::pair(dlg.result(), model.L), std::pair(int(QDialog::Rejected), 2)) << "a failed OK writes nothing";
    field(dlg, "kendall")->setText("0.5");
    button(dlg, "Factor vectors")->click();
    click_ok(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((std::vector<int>{model.L, model.vectors}), (std::vector<int>{12, 1}));
    EXPECT_DOUBLE_EQ(model.kendall, 0.5);
    EXPECT_FALSE(dlg.findChild<QAbstractButton*>("reset_all")->isEnabled());
}

TEST_F(ParamDialogs, TrendEnablingFollowsTheMethodAndRootsRadiosAndCancelWritesNothing) {
    CDlgTrendParam model;
    CQtDlgTrendParam dlg(model);
    field(dlg, "L")->setText("40");
    struct step { const char* click; bool kendall, roots_radios, count, percent, lowfreq; };
    const step steps[] = {
        {"Kendall", true, false, false, false, false},
        {"Roots", false, true, true, false, false},
        {"In percents to the corresponding vector length", false, true, false, true, false},
        {"LowFreq", false, false, false, false, true},
        {"Kendall", true, false, false, false, false},  // a change for Cancel to drop
    };
    for (const step& s : steps) {
        button(dlg, s.click)->click();
        SCOPED_TRACE(s.click);
        EXPECT_EQ(field(dlg, "kendall")->isEnabled(), s.kendall);
        EXPECT_EQ(button(dlg, "Absolute")->isEnabled(), s.roots_radios);
        EXPECT_EQ(field(dlg, "roots_count")->isEnabled(), s.count);
        EXPECT_EQ(dlg.findChild<QAbstractButton*>("roots_count_up")->isEnabled(), s.count);
        EXPECT_EQ(field(dlg, "roots_percent")->isEnabled(), s.percent);
        EXPECT_EQ(field(dlg, "omega")->isEnabled() + field(dlg, "C")->isEnabled(), 2 * s.lowfreq);
    }
    dlg.findChild<QAbstractButton*>("cancel")->click();
    EXPECT_EQ((std::vector<int>{model.L, model.method}), (std::vector<int>{2, 2}));
}

TEST_F(ParamDialogs, PeriodEnablingFollowsGoalApproximationAndVyg) {
    CDlgPeriodParam model;
    model.goal = model.approx_mode = 0;
    model.L = 10;
    CQtDlgPeriodParam dlg(model);
    EXPECT_FALSE(field(dlg, "min")->isEnabled() || button(dlg, "Phi")->isEnabled() || field(dlg, "vyg")->isEnabled());
    button(dlg, "Find harmonics with given period")->click();
    EXPECT_TRUE(field(dlg, "max")->isEnabled() && button(dlg, "Periodogr")->isEnabled());
    button(dlg, "Maximal number of components")->click();
    EXPECT_FALSE(field(dlg, "percent")->isEnabled());
    dlg.findChild<QAbstractButton*>("vyg_on")->click();
    EXPECT_TRUE(field(dlg, "vyg")->isEnabled());
    // The count spin moves by 2 and stops at the L of the opening.
    field(dlg, "count")->setText("7");
    for (int i = 0; i < 3; ++i) dlg.findChild<QAbstractButton*>("count_up")->click();
    EXPECT_EQ(field(dlg, "count")->text(), "10");
    click_ok(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((std::vector<int>{model.approx_mode, model.vyg_on, model.max_components}), (std::vector<int>{1, 1, 10}));
}

TEST_F(ParamDialogs, ChooserDoubleClickIsOkAndChecksTheEnabledL) {
    CDlgChooseInvestigation model;
    model.names = {"1. Trend investigation", "2. Period investigation"};
    model.L = 50;
    model.L_max = 99;
    CQtDlgChooseInvestigation dlg(model);
    EXPECT_FALSE(field(dlg, "L")->isEnabled());
    dlg.findChild<QAbstractButton*>("use_L")->click();
    field(dlg, "L")->setText("100");
    auto* list = dlg.findChild<QListWidget*>("list");
    list->setCurrentRow(1);
    emit list->itemDoubleClicked(list->item(1));
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter an integer between 2 and 99."});
    EXPECT_EQ(model.selected, -1);
    field(dlg, "L")->setText("60");
    emit list->itemDoubleClicked(list->item(1));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((std::vector<int>{model.selected, model.use_L, model.L}), (std::vector<int>{1, 1, 60}));
}

// Enter with the focus in any field or on any radio presses the dialog's OK.
TEST_F(ParamDialogs, EnterInAFieldOrOnARadioIsOkAndTheTitleFits) {
    const auto enter = [](QDialog& dlg, QWidget* focus) {
        dlg.show();
        // Sized to its title, which a window manager would cut otherwise.
        EXPECT_GE(dlg.width(), dlg.fontMetrics().horizontalAdvance(dlg.windowTitle()) + 100)
            << dlg.windowTitle().toStdString();
        focus->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
        return dlg.result() == QDialog::Accepted;
    };
    CDlgTrendParam trend;
    trend.L_max = 99;
    CQtDlgTrendParam qt_trend(trend);
    EXPECT_TRUE(enter(qt_trend, field(qt_trend, "omega"))) << "the disabled Reset all took Enter";
    CDlgPeriodParam period;
    period.L = 10;
    period.L_max = 99;
    CQtDlgPeriodParam qt_period(period);
    EXPECT_TRUE(enter(qt_period, button(qt_period, "Phi")));
    CDlgSVDtoDisplay svd;
    CQtDlgSVDtoDisplay qt_svd(svd);
    EXPECT_TRUE(enter(qt_svd, qt_svd.findChild<QWidget*>("part1")));
    EXPECT_EQ(svd.part, 1);
    EXPECT_EQ(messages, std::vector<std::string>{});
    // The chooser's list has no line selected even with the focus: Start chooses nothing.
    CDlgChooseInvestigation chooser;
    chooser.names = {"1. Trend investigation", "2. Period investigation"};
    CQtDlgChooseInvestigation qt_chooser(chooser);
    auto* list = qt_chooser.findChild<QListWidget*>("list");
    QFocusEvent focus_in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(list, &focus_in);
    EXPECT_TRUE(enter(qt_chooser, list));
    EXPECT_EQ(chooser.selected, -1);
}

TEST_F(ParamDialogs, AFieldThatIsNoNumberIsNamedAndTheUsersSeparatorReadsBack) {
    scoped_comma_locale de;
    SKIP_WITHOUT_COMMA_LOCALE(de);
    CDlgPeriodParam model;
    model.L = 12;
    model.L_max = 99;
    CQtDlgPeriodParam dlg(model);
    field(dlg, "min")->setText("eleven");
    click_ok(dlg);
    EXPECT_EQ(messages, std::vector<std::string>{"Min: Please enter a number."});
    field(dlg, "min")->setText("10,5");
    field(dlg, "max")->setText("12.5");
    click_ok(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(std::pair(model.period_min, model.period_max), std::pair(10.5, 12.5));
}

TEST_F(ParamDialogs, ForecastOkNeedsAPartOfTheSignal) {
    CDlgForecast model;
    model.L_max = 99;
    CQtDlgForecast dlg(model);
    auto* ok = dlg.findChild<QAbstractButton*>("ok");
    EXPECT_FALSE(ok->isEnabled());  // neither part chosen
    dlg.findChild<QAbstractButton*>("harmonics")->click();
    EXPECT_TRUE(ok->isEnabled());
}

TEST_F(ParamDialogs, ChangingToThePeriodogramForcesReconstructed) {
    CDlgChangeEstPeriodParam model;
    model.method = model.vectors = 0;
    CQtDlgChangeEstPeriodParam dlg(model);
    button(dlg, "Periodogr of initial series")->click();
    EXPECT_FALSE(button(dlg, "eigenvectors")->isEnabled());
    EXPECT_TRUE(button(dlg, "reconstructed")->isChecked());
    button(dlg, "Phi")->click();
    EXPECT_TRUE(button(dlg, "eigenvectors")->isEnabled());
    click_ok(dlg);
    EXPECT_EQ((std::vector<int>{model.method, model.vectors}), (std::vector<int>{0, 2}));
}

}  // namespace

TEST_F(ParamDialogs, PairedComponentShowsTheFirstAndSpinsTheSecondInRange) {
    CDlgSelectHarmPair model;
    model.first = model.second = 3;
    model.range_max = 5;
    CQtDlgSelectHarmPair dlg(model);
    EXPECT_TRUE(field(dlg, "first")->isReadOnly());
    for (int i = 0; i < 4; ++i) dlg.findChild<QAbstractButton*>("second_up")->click();
    EXPECT_EQ(field(dlg, "second")->text(), "5");  // the spin stops at the last component
    EXPECT_EQ(model.second, 3);                     // nothing reaches the model before OK
    field(dlg, "second")->setText("4");
    click_ok(dlg);
    EXPECT_EQ(model.second, 4);
}

TEST_F(ParamDialogs, OpenXlsPickSheetAndColumnsThenEnterHandsTheChoiceToTheModel) {
    CExcel book;
    book.sheets() = {{"Notes", {{"text"}}}, {"Data", {{"Year", "CO2"}, {"1959", "315.42"}, {"1960", "316.31"}}}};
    CDlgOpenXLS model(book);
    CQtDlgOpenXLS dlg(model);
    dlg.show();
    auto* sheets = dlg.findChild<QListWidget*>("sheets");
    auto* columns = dlg.findChild<QListWidget*>("columns");
    const auto key = [](QWidget* w, Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    };
    // Space is the keyboard's double-click (Enter is OK); the moves themselves are the model's.
    sheets->setCurrentRow(1);
    key(sheets, Qt::Key_Space);
    ASSERT_EQ(columns->count(), 2);
    columns->setCurrentRow(1);
    dlg.findChild<QAbstractButton*>("data_in")->click();
    emit columns->itemDoubleClicked(columns->item(0));
    EXPECT_EQ(dlg.findChild<QListWidget*>("ticks")->item(0)->text(), "Year");
    EXPECT_EQ(dlg.findChild<QTableWidget*>("preview")->rowCount(), 2);
    EXPECT_EQ(model.sheet, -1) << "nothing written before OK";
    key(dlg.findChild<QAbstractButton*>("data_out"), Qt::Key_Return);  // an arrow leaves Enter to OK
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((std::vector<int>{model.sheet, model.data_column, model.ticks_column}), (std::vector<int>{1, 1, 0}));
}
