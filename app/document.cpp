#include "document.h"

#include <algorithm>

document::~document() {
    // A copy: an observer may unregister itself while told.
    const std::vector<document_observer*> observers = m_observers;
    for (document_observer* o : observers) o->notify_closing(*this);
}

void document::set_title(const std::string& title) {
    if (title == m_title) return;
    m_title = title;
    changed(change_title);
}

void document::set_span(const time_span& span) {
    // Every empty span is the same whole axis.
    const time_span s = span.whole() ? time_span{} : span;
    if (s == m_span) return;
    m_span = s;
    changed(change_span);
}

void document::add_observer(document_observer* o) {
    if (std::find(m_observers.begin(), m_observers.end(), o) == m_observers.end()) m_observers.push_back(o);
}

void document::remove_observer(document_observer* o) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), o), m_observers.end());
}

void document::changed(unsigned changes) {
    const std::vector<document_observer*> observers = m_observers;
    for (document_observer* o : observers)
        if (std::find(m_observers.begin(), m_observers.end(), o) != m_observers.end()) o->notify_changed(*this, changes);
}
