// The import dialog driven through its widgets: a worksheet, a column into
// each box, the preview, and Enter on an arrow button being OK.
#include "app/qt/dlg_open_xls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "app/qt/param_dialogs.h"
#include "excel/excel.h"

namespace {

TEST(DlgOpenXLS, PickSheetAndColumnsThenEnterHandsTheChoiceToTheModel) {
    std::vector<std::string> messages;
    const dlg_message_fn old =
        set_dlg_message_fn([&](QWidget*, const QString& text) { messages.push_back(text.toStdString()); });
    CExcel book;
    book.sheets() = {{"Notes", {{"text only"}}},
                     {"Data", {{"Year", "CO2"}, {"1959", "315.42"}, {"1960", "316.31"}}}};
    CDlgOpenXLS model(book);
    CQtDlgOpenXLS dlg(model);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Import timeseries from Excel file");

    auto* sheets = dlg.findChild<QListWidget*>("sheets");
    auto* columns = dlg.findChild<QListWidget*>("columns");
    ASSERT_TRUE(sheets && columns);
    emit sheets->itemDoubleClicked(sheets->item(0));
    EXPECT_EQ(columns->count(), 1);
    // Space is the keyboard's double-click.
    sheets->setCurrentRow(1);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(sheets, &space);
    ASSERT_EQ(columns->count(), 2);
    EXPECT_EQ(columns->item(0)->text(), "Year");

    dlg.findChild<QAbstractButton*>("ticks_in")->click();
    EXPECT_EQ(messages, std::vector<std::string>{"Select a column from the columns list, please."});
    columns->setCurrentRow(1);
    dlg.findChild<QAbstractButton*>("data_in")->click();
    emit columns->itemDoubleClicked(columns->item(0));  // data chosen: into the tick-mark box
    EXPECT_EQ(columns->count(), 0);
    EXPECT_EQ(dlg.findChild<QListWidget*>("data")->item(0)->text(), "CO2");
    EXPECT_EQ(dlg.findChild<QListWidget*>("ticks")->item(0)->text(), "Year");

    // Tab runs from the lists through each box's arrows and box to the buttons.
    std::vector<std::string> chain;
    for (QWidget* w = sheets; chain.size() < 12; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dlg)) chain.push_back(w->objectName().toStdString());
        if (w->nextInFocusChain() == sheets) break;
    }
    EXPECT_EQ(chain, (std::vector<std::string>{"sheets", "columns", "data_in", "data_out", "data", "ticks_in",
                                                "ticks_out", "ticks", "ok", "cancel"}));

    auto* preview = dlg.findChild<QTableWidget*>("preview");
    ASSERT_EQ(preview->rowCount(), 2);
    EXPECT_FALSE(preview->isColumnHidden(0));
    EXPECT_EQ(preview->item(1, 0)->text(), "1960");
    EXPECT_EQ(preview->item(1, 1)->text(), "316.31");
    EXPECT_EQ(model.sheet, -1) << "nothing written before OK";

    // An arrow button does not take Enter: it reaches OK.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dlg.findChild<QAbstractButton*>("data_out"), &enter);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((std::vector<int>{model.sheet, model.data_column, model.ticks_column}), (std::vector<int>{1, 1, 0}));
    set_dlg_message_fn(old);
}

}  // namespace
