// "Invest log": a modeless window showing an investigation's log file as it
// was on disk at the last refresh. The frame creates it once, hidden.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

class CDlgFileLog : public QDialog {
    Q_OBJECT
public:
    // Lines longer than this end the display: the log was read through a
    // buffer of 250 characters.
    static constexpr int max_line = 249;
    static constexpr const char* open_error = "Error in opening file log";

    explicit CDlgFileLog(QWidget* parent = nullptr);

    void set_file_name(const std::string& path) { m_file_name = path; }
    const std::string& file_name() const { return m_file_name; }
    // Reads the file again into the text box and scrolls to its first line.
    void refresh();
    QString text() const;

private:
    std::string m_file_name;
    QPlainTextEdit* m_text;
};
