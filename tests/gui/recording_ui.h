// The Qt UI services with boxes recorded, never shown; the rest is the program's own.
#pragma once

#include <QCoreApplication>
#include <QThread>
#include <string>
#include <vector>

#include "app/application.h"
#include "gui/qt_app_ui.h"
#include "../app/fake_app_ui.h"

class recording_qt_ui : public CQtAppUi {
public:
    struct message {
        std::string text;
        notify_icon icon;
        bool on_gui_thread;
    };
    void message_box(const std::string& text, const std::string&, notify_icon icon) override {
        messages.push_back({text, icon, QThread::currentThread() == qApp->thread()});
    }
    // No box opens in a test: every question is cancelled.
    ui_answer ask_yes_no_cancel(const std::string&, const std::string&) override { return ui_answer::cancel; }
    bool ask_yes_no(const std::string&, const std::string&, notify_icon, bool) override { return false; }
    // Recorded and cancelled: no file dialog opens in a test.
    std::string ask_save_file(const std::string& title, const std::string&, const std::string&) override {
        save_titles.push_back(title);
        return {};
    }
    std::vector<message> messages;
    std::vector<std::string> save_titles;
};
