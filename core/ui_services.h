// What the model and the documents may ask of the user interface. The
// desktop program implements it with real windows, the command line on the
// terminal (cli/console_ui.h), tests with a script.
#pragma once

#include <string>

#include "hooks.h"

enum class ui_answer { yes, no, cancel };

class ui_services {
public:
    virtual ~ui_services() = default;
    virtual void message_box(const std::string& text, const std::string& caption, notify_icon icon) = 0;
    virtual ui_answer ask_yes_no_cancel(const std::string& text, const std::string& caption) = 0;
};
