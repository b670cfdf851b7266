// What the model and the documents may ask of the user interface. The
// desktop program implements it with real windows, tests with a script, and
// console_ui talks on the terminal.
#pragma once

#include <iosfwd>
#include <string>

#include "hooks.h"

enum class ui_answer { yes, no, cancel };

class ui_services {
public:
    virtual ~ui_services() = default;
    virtual void message_box(const std::string& text, const std::string& caption, notify_icon icon) = 0;
    virtual ui_answer ask_yes_no_cancel(const std::string& text, const std::string& caption) = 0;
};

// Messages on standard error; questions answered from an input stream
// (y, n or c; end of input or anything else means cancel).
class console_ui : public ui_services {
public:
    console_ui();
    console_ui(std::istream& in, std::ostream& out);
    void message_box(const std::string& text, const std::string& caption, notify_icon icon) override;
    ui_answer ask_yes_no_cancel(const std::string& text, const std::string& caption) override;

private:
    std::istream& m_in;
    std::ostream& m_out;
};
