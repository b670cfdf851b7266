// A scripted app_ui: dialogs answered from a queue, messages recorded.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/app_ui.h"

class scripted_app_ui : public app_ui {
public:
    void message_box(const std::string& text, const std::string&, notify_icon) override { messages.push_back(text); }
    ui_answer ask_yes_no_cancel(const std::string&, const std::string&) override { return ui_answer::cancel; }
    // The next scripted second component; nullopt, or nothing left, is Cancel.
    bool run_dialog(CDlgSelectHarmPair& dlg) override {
        shown.push_back(dlg);
        const std::optional<int> answer = seconds.empty() ? std::nullopt : seconds.front();
        if (!seconds.empty()) seconds.pop_front();
        if (answer) dlg.second = *answer;
        return answer.has_value();
    }

    std::deque<std::optional<int>> seconds;
    std::vector<CDlgSelectHarmPair> shown;
    std::vector<std::string> messages;
};
