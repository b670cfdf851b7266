// The import dialog driven through its widgets: worksheet, columns, preview,
// the keyboard, and the choice reaching the model only on OK.
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

    // Space is the keyboard's double-click (Enter is OK).
    sheets->setCurrentRow(1);
    key(sheets, Qt::Key_Space);
    ASSERT_EQ(columns->count(), 2);
    dlg.findChild<QAbstractButton*>("ticks_in")->click();
    EXPECT_EQ(messages, std::vector<std::string>{"Select a column from the columns list, please."});
    columns->setCurrentRow(1);
    dlg.findChild<QAbstractButton*>("data_in")->click();
    emit columns->itemDoubleClicked(columns->item(0));  // data chosen: into the tick-mark box
    EXPECT_EQ(dlg.findChild<QListWidget*>("ticks")->item(0)->text(), "Year");
    auto* preview = dlg.findChild<QTableWidget*>("preview");
    ASSERT_EQ(preview->rowCount(), 2);
    EXPECT_EQ(preview->item(1, 0)->text() + " " + preview->item(1, 1)->text(), "1960 316.31");

    std::vector<std::string> chain;
    for (QWidget* w = sheets; chain.size() < 12; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dlg)) chain.push_back(w->objectName().toStdString());
        if (w->nextInFocusChain() == sheets) break;
    }
    EXPECT_EQ(chain, (std::vector<std::string>{"sheets", "columns", "data_in", "data_out", "data", "ticks_in",
                                                "ticks_out", "ticks", "ok", "cancel"}));

    EXPECT_EQ(model.sheet, -1) << "nothing written before OK";
    key(dlg.findChild<QAbstractButton*>("data_out"), Qt::Key_Return);  // an arrow leaves Enter to OK
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((std::vector<int>{model.sheet, model.data_column, model.ticks_column}), (std::vector<int>{1, 1, 0}));
    set_dlg_message_fn(old);
}

}  // namespace
