// The UI services of the desktop program: message boxes, questions and file
// dialogs with Qt, windows through the main frame, and computations on a
// worker thread behind the calculating window.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "app/app_ui.h"

// "Data Files (*.dat)|*.dat|All Files (*.*)|*.*||" as a Qt filter list,
// "Data Files (*.dat);;All Files (*)" (the patterns in brackets are Qt's).
QString qt_file_filter(const std::string& filter);

class CQtAppUi : public app_ui {
public:
    static constexpr const char* caption = "Kelvane";

    // parent: the window the boxes are centred on (the main frame).
    explicit CQtAppUi(QWidget* parent = nullptr) : m_parent(parent) {}
    void set_parent(QWidget* parent) { m_parent = parent; }
    // Where open_window sends documents (the main frame).
    void set_window_opener(std::function<void(document&)> opener) { m_opener = std::move(opener); }
    // Where show_log sends a log file (the main frame's log window).
    void set_log_shower(std::function<void(const std::string&)> shower) { m_log_shower = std::move(shower); }

    void message_box(const std::string& text, const std::string& caption, notify_icon icon) override;
    ui_answer ask_yes_no_cancel(const std::string& text, const std::string& caption) override;
    bool run_dialog(CDlgSelectHarmPair& dlg) override;
    bool run_dialog(CDlgChooseInvestigation& dlg) override;
    bool run_dialog(CDlgTrendParam& dlg) override;
    bool run_dialog(CDlgPeriodParam& dlg) override;
    bool run_dialog(CDlgSummationParams& dlg) override;
    bool run_dialog(CDlgTrendConditions& dlg) override;
    bool run_dialog(CDlgForecast& dlg) override;
    bool run_dialog(CDlgSVDtoDisplay& dlg) override;
    bool run_dialog(CDlgGroupDrawStyle& dlg) override;
    bool run_dialog(CDlgChangeEstPeriodParam& dlg) override;
    bool run_dialog(CDlgOpenXLS& dlg) override;
    void show_log(const std::string& path) override;
    // notify_icon::none shows the question mark: it is a question.
    bool ask_yes_no(const std::string& text, const std::string& caption, notify_icon icon, bool default_no) override;
    std::string ask_open_file(const std::string& title, const std::string& filter) override;
    std::string ask_save_file(const std::string& title, const std::string& filter, const std::string& suggested) override;
    void open_window(document& doc) override;
    bool run_computation(const std::function<void()>& work) override;

protected:
    QWidget* parent_widget() const { return m_parent; }

private:
    QPointer<QWidget> m_parent;
    std::function<void(document&)> m_opener;
    std::function<void(const std::string&)> m_log_shower;
};
