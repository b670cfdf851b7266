#include "dlg_file_log.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>
#include <fstream>

CDlgFileLog::CDlgFileLog(QWidget* parent) : QDialog(parent), m_text(new QPlainTextEdit(this)) {
    setObjectName("invest_log");
    setWindowTitle("Invest log");
    setModal(false);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* close = new QPushButton("Close", this);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    resize(640, 420);
}

void CDlgFileLog::refresh() {
    m_text->clear();
    // A second, read-only handle: the investigation keeps writing through its own.
    std::ifstream in(m_file_name);
    if (!in) {
        m_text->setPlainText(open_error);
        return;
    }
    QStringList lines;
    std::string line;
    while (std::getline(in, line) && line.size() <= static_cast<std::size_t>(max_line))
        lines << QString::fromLocal8Bit(line.data(), static_cast<int>(line.size()));
    // Every line shown was followed by a line break.
    m_text->setPlainText(lines.isEmpty() ? QString() : lines.join('\n') + '\n');
    m_text->moveCursor(QTextCursor::Start);
    m_text->ensureCursorVisible();
}

QString CDlgFileLog::text() const { return m_text->toPlainText(); }
