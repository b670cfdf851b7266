// A scripted app_ui: dialogs answered from a queue, messages recorded.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_ui.h"

class scripted_app_ui : public app_ui {
public:
    void message_box(const std::string& text, const std::string& caption, notify_icon icon) override {
        messages.push_back(text);
        captions.push_back(caption);
        icons.push_back(icon);
    }
    ui_answer ask_yes_no_cancel(const std::string&, const std::string&) override { return ui_answer::cancel; }
    // The next scripted second component; nullopt, or nothing left, is Cancel.
    bool run_dialog(CDlgSelectHarmPair& dlg) override {
        shown.push_back(dlg);
        const std::optional<int> answer = seconds.empty() ? std::nullopt : seconds.front();
        if (!seconds.empty()) seconds.pop_front();
        if (answer) dlg.second = *answer;
        return answer.has_value();
    }

    // The other dialogs: the next scripted answer edits the dialog and says OK
    // or Cancel; nothing left is Cancel. Every dialog shown is kept as it opened.
    template <class D>
    struct script {
        std::deque<std::function<bool(D&)>> answers;
        std::vector<D> shown;
        bool run(D& dlg) {
            shown.push_back(dlg);
            if (answers.empty()) return false;
            auto answer = answers.front();
            answers.pop_front();
            return answer(dlg);
        }
    };
    bool run_dialog(CDlgChooseInvestigation& d) override { return chooser.run(d); }
    bool run_dialog(CDlgTrendParam& d) override { return trend.run(d); }
    bool run_dialog(CDlgPeriodParam& d) override { return period.run(d); }
    bool run_dialog(CDlgSummationParams& d) override { return summation.run(d); }
    bool run_dialog(CDlgTrendConditions& d) override { return conditions.run(d); }
    bool run_dialog(CDlgForecast& d) override { return forecast.run(d); }
    bool run_dialog(CDlgSVDtoDisplay& d) override { return svd_part.run(d); }
    bool run_dialog(CDlgGroupDrawStyle& d) override { return draw_style.run(d); }
    bool run_dialog(CDlgChangeEstPeriodParam& d) override { return est_change.run(d); }
    void show_log(const std::string& path) override { logs.push_back(path); }

    script<CDlgChooseInvestigation> chooser;
    script<CDlgTrendParam> trend;
    script<CDlgPeriodParam> period;
    script<CDlgSummationParams> summation;
    script<CDlgTrendConditions> conditions;
    script<CDlgForecast> forecast;
    script<CDlgSVDtoDisplay> svd_part;
    script<CDlgGroupDrawStyle> draw_style;
    script<CDlgChangeEstPeriodParam> est_change;
    std::vector<std::string> logs;

    bool ask_yes_no(const std::string& text, const std::string&, notify_icon icon, bool default_no) override {
        questions.push_back(text);
        question_icons.push_back(icon);
        question_default_no.push_back(default_no);
        const bool yes = !yes_no.empty() && yes_no.front();
        if (!yes_no.empty()) yes_no.pop_front();
        return yes;
    }
    std::string ask_open_file(const std::string&, const std::string&) override { return next_file(); }
    std::string ask_save_file(const std::string&, const std::string&, const std::string&) override { return next_file(); }
    void open_window(document& doc) override { windows.push_back(&doc); }
    // The work runs here, on the calling thread; cancel_computations stands for
    // the user's Cancel before the work ended.
    bool run_computation(const std::function<void()>& work) override {
        if (cancel_computations) return false;
        work();
        return true;
    }

    std::deque<std::optional<int>> seconds;
    std::deque<bool> yes_no;         // nothing left: No
    std::deque<std::string> files;   // nothing left: cancelled
    std::vector<std::string> questions;
    std::vector<document*> windows;
    std::vector<CDlgSelectHarmPair> shown;
    std::vector<std::string> messages;
    std::vector<std::string> captions;  // one per message
    std::vector<notify_icon> icons;     // one per message
    std::vector<notify_icon> question_icons;
    std::vector<bool> question_default_no;
    bool cancel_computations = false;

private:
    std::string next_file() {
        if (files.empty()) return "";
        std::string f = files.front();
        files.pop_front();
        return f;
    }
};
