// A scripted app_ui: dialogs answered from a queue, messages recorded.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_ui.h"
#include "app/application.h"

// Recent files kept in memory.
class memory_store : public recent_file_store {
public:
    std::vector<std::string> load() override { return stored; }
    void save(const std::vector<std::string>& files) override { stored = files; }
    std::vector<std::string> stored;
};

class scripted_app_ui : public app_ui {
public:
    void message_box(const std::string& text, const std::string&, notify_icon icon) override {
        messages.push_back(text), icons.push_back(icon);
    }
    ui_answer ask_yes_no_cancel(const std::string&, const std::string&) override { return ui_answer::cancel; }
    bool run_dialog(CDlgSelectHarmPair& dlg) override {
        shown.push_back(dlg);
        const std::optional<int> answer = pop(seconds, std::optional<int>());
        if (answer) dlg.second = *answer;
        return answer.has_value();
    }

    // The next scripted answer edits the dialog and says OK or Cancel; none left is Cancel. Dialogs kept as opened.
    template <class D>
    struct script {
        std::deque<std::function<bool(D&)>> answers;
        std::vector<D> shown;
        bool run(D& dlg) {
            shown.push_back(dlg);
            return !answers.empty() && pop(answers, {})(dlg);
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
    bool run_dialog(CDlgOpenXLS& d) override { return open_xls.run(d); }
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
    script<CDlgOpenXLS> open_xls;  // the kept copies point at a workbook gone after the open
    std::vector<std::string> logs;

    bool ask_yes_no(const std::string& text, const std::string&, notify_icon, bool default_no) override {
        questions.push_back(text), question_default_no.push_back(default_no);
        return pop(yes_no, false);
    }
    std::string ask_open_file(const std::string&, const std::string&) override { return pop(files, std::string()); }
    std::string ask_save_file(const std::string&, const std::string&, const std::string& suggested) override {
        proposed.push_back(suggested);
        return pop(files, std::string());
    }
    void open_window(document& doc) override { windows.push_back(&doc); }
    // On the calling thread; cancel_computations is the user's Cancel, computation_failure what the worker threw.
    bool run_computation(const std::function<void()>& work) override {
        if (cancel_computations) return false;
        if (computation_failure) std::rethrow_exception(computation_failure);
        work();
        return true;
    }

    // An empty queue answers Cancel, No and no file.
    std::deque<std::optional<int>> seconds;  // the second component of a pair
    std::deque<bool> yes_no;
    std::deque<std::string> files;
    std::vector<std::string> proposed, questions, messages;  // proposed: the names the save dialogs offered
    std::vector<document*> windows;
    std::vector<CDlgSelectHarmPair> shown;
    std::vector<notify_icon> icons;  // one per message
    std::vector<bool> question_default_no;
    bool cancel_computations = false;
    std::exception_ptr computation_failure;

    template <class T>
    static T pop(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T front = queue.front();
        queue.pop_front();
        return front;
    }
};
