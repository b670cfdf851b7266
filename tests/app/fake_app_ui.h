// A scripted app_ui: dialogs answered from a queue, messages recorded.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/app_ui.h"

class scripted_app_ui : public app_ui {
public:
    void message_box(const std::string& text, const std::string&, notify_icon icon) override {
        messages.push_back(text);
        icons.push_back(icon);
    }
    ui_answer ask_yes_no_cancel(const std::string&, const std::string&) override { return ui_answer::cancel; }
    bool run_dialog(CDlgSelectHarmPair& dlg) override {
        shown.push_back(dlg);
        const std::optional<int> answer = pop(seconds, std::optional<int>());
        if (answer) dlg.second = *answer;
        return answer.has_value();
    }
    bool ask_yes_no(const std::string& text, const std::string&, notify_icon icon, bool default_no) override {
        questions.push_back(text);
        question_icons.push_back(icon);
        question_default_no.push_back(default_no);
        return pop(yes_no, false);
    }
    std::string ask_open_file(const std::string&, const std::string&) override { return pop(files, std::string()); }
    std::string ask_save_file(const std::string&, const std::string&, const std::string&) override {
        return pop(files, std::string());
    }
    void open_window(document& doc) override { windows.push_back(&doc); }
    // The work runs on the calling thread; cancel_computations stands for the user's Cancel.
    bool run_computation(const std::function<void()>& work) override {
        if (cancel_computations) return false;
        work();
        return true;
    }

    // An empty queue answers Cancel, No and no file.
    std::deque<std::optional<int>> seconds;  // the second component of a pair
    std::deque<bool> yes_no;
    std::deque<std::string> files;
    std::vector<std::string> questions;
    std::vector<document*> windows;
    std::vector<CDlgSelectHarmPair> shown;
    std::vector<std::string> messages;
    std::vector<notify_icon> icons;  // one per message
    std::vector<notify_icon> question_icons;
    std::vector<bool> question_default_no;
    bool cancel_computations = false;

private:
    template <class T>
    static T pop(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T front = queue.front();
        queue.pop_front();
        return front;
    }
};
