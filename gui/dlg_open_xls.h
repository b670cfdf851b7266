// The Qt face of CDlgOpenXLS: the worksheet list, the column list with its
// two boxes and their arrows, and the preview of what OK will import. Edits
// a copy of the model, written back only on OK. Widgets carry object names
// ("sheets", "columns", "data", "ticks", "data_in", ...) for the tests.
#pragma once

#include <QDialog>

#include "app/dialogs.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

class CQtDlgOpenXLS : public QDialog {
    Q_OBJECT
public:
    explicit CQtDlgOpenXLS(CDlgOpenXLS& model, QWidget* parent = nullptr);
    void accept() override;

protected:
    // Space on the worksheet list chooses it: the keyboard's double-click
    // (Enter is OK).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the model again after any change of it.
    void refresh();
    void move_in(CDlgOpenXLS::box b);

    CDlgOpenXLS& m_target;
    CDlgOpenXLS m_model;
    QListWidget* m_sheets = nullptr;
    QListWidget* m_columns = nullptr;
    QListWidget* m_boxes[2] = {};
    QLabel* m_preview_caption = nullptr;
    QLabel* m_preview_note = nullptr;
    QTableWidget* m_preview = nullptr;
};
