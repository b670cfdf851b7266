#include "console_ui.h"

#include <iostream>
#include <string>

#include "cli_common.h"
#include "core/diagnostics.h"

namespace cli {

console_ui::console_ui(std::istream& in, std::ostream& out) : m_in(in), m_out(out) {}

void console_ui::message_box(const std::string& text, const std::string&, notify_icon) {
    m_out << "kelvane-cli: warning: " << text << std::endl;
}

ui_answer console_ui::ask_yes_no_cancel(const std::string& text, const std::string& caption) {
    if (!caption.empty()) m_out << caption << ": ";
    m_out << text << " [y/n/c] " << std::flush;
    std::string line;
    if (!std::getline(m_in, line) || line.empty()) return ui_answer::cancel;
    switch (line[0]) {
    case 'y':
    case 'Y':
        return ui_answer::yes;
    case 'n':
    case 'N':
        return ui_answer::no;
    default:
        return ui_answer::cancel;
    }
}

void install_console() {
    static console_ui console(std::cin, diag());
    set_notify_hook([](const std::string& text, const std::string& caption, notify_icon icon) {
        console.message_box(text, caption, icon);
    });
    set_diagnostic_stream(&diag());
}

}  // namespace cli
