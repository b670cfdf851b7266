#include "dlg_open_xls.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/param_dialogs.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QPushButton* arrow(const char* text, const QString& name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    // Enter is OK wherever the focus is.
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance("MM") + 12);
    return b;
}

}  // namespace

CQtDlgOpenXLS::CQtDlgOpenXLS(CDlgOpenXLS& model, QWidget* parent)
    : QDialog(parent), m_target(model), m_model(model) {
    setWindowTitle(CDlgOpenXLS::title);
    // Widgets are made in tab order: lists, each box's arrows and box, buttons.
    auto* top = new QVBoxLayout(this);
    auto* choose = new QHBoxLayout;
    top->addLayout(choose, 1);

    auto* page = new QGroupBox("Select page");
    auto* page_layout = new QVBoxLayout(page);
    m_sheets = new QListWidget;
    m_sheets->setObjectName("sheets");
    for (const std::string& name : m_model.sheets) m_sheets->addItem(qs(name));
    m_sheets->installEventFilter(this);
    page_layout->addWidget(m_sheets);
    choose->addWidget(page, 1);
    connect(m_sheets, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_model.choose_sheet(m_sheets->row(item));
        refresh();
    });

    auto* cols = new QGroupBox("Select columns for data and ticmarks");
    auto* cols_layout = new QHBoxLayout(cols);
    m_columns = new QListWidget;
    m_columns->setObjectName("columns");
    cols_layout->addWidget(m_columns, 1);
    connect(m_columns, &QListWidget::currentRowChanged, this, [this](int row) { m_model.selected = row; });
    connect(m_columns, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_model.double_click_column(m_columns->row(item));
        refresh();
    });
    choose->addWidget(cols, 2);

    auto* boxes = new QVBoxLayout;
    cols_layout->addLayout(boxes, 1);
    for (auto b : {CDlgOpenXLS::b_data, CDlgOpenXLS::b_ticks}) {
        const QString name = b == CDlgOpenXLS::b_data ? "data" : "ticks";
        boxes->addWidget(new QLabel(b == CDlgOpenXLS::b_data ? "Data column" : "Ticmarks column"));
        auto* row = new QHBoxLayout;
        QPushButton* in = arrow(">", name + "_in");
        QPushButton* out = arrow("<", name + "_out");
        auto* box = new QListWidget;
        box->setObjectName(name);
        box->addItem(QString());
        // One line: the box holds one column.
        box->setFixedHeight(box->fontMetrics().lineSpacing() + 2 * box->frameWidth() + 4);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setMinimumWidth(140);
        m_boxes[b] = box;
        row->addWidget(in);
        row->addWidget(out);
        row->addWidget(box, 1);
        boxes->addLayout(row);
        connect(in, &QPushButton::clicked, this, [this, b] { move_in(b); });
        const auto back = [this, b] {
            m_model.move_out(b);
            refresh();
        };
        connect(out, &QPushButton::clicked, this, back);
        connect(box, &QListWidget::itemDoubleClicked, this, back);
    }
    boxes->addStretch(1);

    auto* preview = new QGroupBox("Preview");
    auto* preview_layout = new QVBoxLayout(preview);
    m_preview_caption = new QLabel;
    m_preview_caption->setObjectName("preview_caption");
    preview_layout->addWidget(m_preview_caption);
    m_preview_note = new QLabel;
    m_preview_note->setObjectName("preview_note");
    m_preview_note->setWordWrap(true);
    preview_layout->addWidget(m_preview_note);
    m_preview = new QTableWidget(0, 2);
    m_preview->setObjectName("preview");
    m_preview->setHorizontalHeaderLabels({"Tick mark", "Value"});
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->verticalHeader()->setDefaultSectionSize(m_preview->fontMetrics().height() + 6);
    // Only shown: Tab goes from the choices to the buttons.
    m_preview->setFocusPolicy(Qt::NoFocus);
    preview_layout->addWidget(m_preview, 1);
    top->addWidget(preview, 1);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);

    resize(680, 600);
    refresh();
    m_sheets->setFocus();
}

void CQtDlgOpenXLS::move_in(CDlgOpenXLS::box b) {
    if (const auto message = m_model.move_in(b)) {
        show_dlg_message(this, qs(*message));
        return;
    }
    refresh();
}

void CQtDlgOpenXLS::refresh() {
    // Rebuilding the list must not report a selection back to the model.
    const QSignalBlocker block(m_columns);
    m_columns->clear();
    for (const auto& entry : m_model.columns()) m_columns->addItem(qs(entry.name));
    m_columns->setCurrentRow(m_model.selected);

    for (int i = 0; i < m_sheets->count(); ++i) {
        QFont f = m_sheets->item(i)->font();
        f.setBold(i == m_model.sheet);
        m_sheets->item(i)->setFont(f);
    }
    if (m_model.sheet >= 0) m_sheets->setCurrentRow(m_model.sheet);
    for (auto b : {CDlgOpenXLS::b_data, CDlgOpenXLS::b_ticks}) m_boxes[b]->item(0)->setText(qs(m_model.box_text(b)));

    const xls_preview p = m_model.preview();
    m_preview_caption->setText(qs(p.caption));
    m_preview_note->setText(qs(p.note));
    m_preview_note->setVisible(!p.note.empty());
    m_preview->setRowCount(static_cast<int>(p.values.size()));
    for (int r = 0; r < static_cast<int>(p.values.size()); ++r) {
        const QString tick = r < static_cast<int>(p.ticks.size()) ? qs(p.ticks[r]) : QString();
        m_preview->setItem(r, 0, new QTableWidgetItem(tick));
        m_preview->setItem(r, 1, new QTableWidgetItem(qs(p.values[r])));
    }
    m_preview->setColumnHidden(0, p.ticks.empty());
}

bool CQtDlgOpenXLS::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sheets && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_sheets->currentRow() >= 0) {
        m_model.choose_sheet(m_sheets->currentRow());
        refresh();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CQtDlgOpenXLS::accept() {
    m_target = m_model;
    QDialog::accept();
}
