#include "ui_services.h"

#include <iostream>
#include <string>

console_ui::console_ui() : m_in(std::cin), m_out(std::cerr) {}

console_ui::console_ui(std::istream& in, std::ostream& out) : m_in(in), m_out(out) {}

void console_ui::message_box(const std::string& text, const std::string& caption, notify_icon) {
    if (!caption.empty()) m_out << caption << ": ";
    m_out << text << std::endl;
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
