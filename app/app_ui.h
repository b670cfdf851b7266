// What the documents and the application ask of the user interface beyond
// message boxes and questions: dialogs, file choices, windows and running a
// computation away from the event loop. The desktop program implements it
// with Qt (gui/), the tests with a script.
#pragma once

#include <functional>
#include <string>

#include "app/dialogs.h"
#include "core/ui_services.h"

class document;

class app_ui : public ui_services {
public:
    // Shows the dialog modally; true for OK, with the fields as the user left them.
    virtual bool run_dialog(CDlgSelectHarmPair& dlg) = 0;
    // Cancel until the user interface has the dialog.
    virtual bool run_dialog(CDlgChooseInvestigation&) { return false; }
    virtual bool run_dialog(CDlgTrendParam&) { return false; }
    virtual bool run_dialog(CDlgPeriodParam&) { return false; }
    virtual bool run_dialog(CDlgSummationParams&) { return false; }
    virtual bool run_dialog(CDlgTrendConditions&) { return false; }
    virtual bool run_dialog(CDlgForecast&) { return false; }
    virtual bool run_dialog(CDlgSVDtoDisplay&) { return false; }
    virtual bool run_dialog(CDlgGroupDrawStyle&) { return false; }
    virtual bool run_dialog(CDlgChangeEstPeriodParam&) { return false; }
    virtual bool run_dialog(CDlgOpenXLS&) { return false; }

    // Yes/No question; true for Yes. default_no makes No the default button.
    virtual bool ask_yes_no(const std::string& text, const std::string& caption, notify_icon icon,
                            bool default_no) = 0;
    // The chosen path, or "" when cancelled. filter as "Data Files (*.dat)|*.dat|All Files (*.*)|*.*||".
    virtual std::string ask_open_file(const std::string& title, const std::string& filter) = 0;
    // Asks before overwriting an existing file, saying so when it is the data
    // file of an open series (is_data_file).
    virtual std::string ask_save_file(const std::string& title, const std::string& filter,
                                      const std::string& suggested) = 0;
    // Whether a path is the file an open series was loaded from; set by the application.
    std::function<bool(const std::string&)> is_data_file;

    // Opens and shows a window on the document; the document stays its owner's.
    virtual void open_window(document& doc) = 0;
    // The log window on an investigation's log file.
    virtual void show_log(const std::string& /*path*/) {}

    // Runs work on a worker thread while the calculating window is shown and no
    // other input is taken; the worker has its own progress hook (which throws
    // SSA_math_exception::cancelled after Cancel) and a notification hook that shows
    // message boxes. True when the work ended, false when it was cancelled;
    // an exception of the work is rethrown here.
    virtual bool run_computation(const std::function<void()>& work) = 0;
};
