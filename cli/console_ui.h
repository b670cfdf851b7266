// The command line's user interface. The model writes to no terminal itself;
// kelvane-cli installs this at start-up so that its notifications become
// warning lines and its diagnostic lines go to standard error, leaving
// standard output to the result.
#pragma once

#include <iosfwd>

#include "core/ui_services.h"

namespace cli {

// Messages as "kelvane-cli: warning: ..." lines; questions answered from an
// input stream (y, n or c; end of input or anything else means cancel).
class console_ui : public ui_services {
public:
    console_ui(std::istream& in, std::ostream& out);
    void message_box(const std::string& text, const std::string& caption, notify_icon icon) override;
    ui_answer ask_yes_no_cancel(const std::string& text, const std::string& caption) override;

private:
    std::istream& m_in;
    std::ostream& m_out;
};

// Routes this thread's notifications and diagnostic lines to standard error.
void install_console();

}  // namespace cli
