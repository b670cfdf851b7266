// Test doubles for the user interface.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/hooks.h"
#include "core/ui_services.h"

class scripted_ui : public ui_services {
public:
    void message_box(const std::string& text, const std::string& caption, notify_icon) override {
        messages.push_back(caption + "|" + text);
    }
    ui_answer ask_yes_no_cancel(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + "|" + text);
        if (answers.empty()) return ui_answer::cancel;
        const ui_answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::deque<ui_answer> answers;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
};

// Records every notification while alive.
class notification_recorder {
public:
    notification_recorder()
        : m_guard([this](const std::string& text, const std::string&, notify_icon) { texts.push_back(text); }) {}

    std::vector<std::string> texts;

private:
    scoped_notify_hook m_guard;
};
