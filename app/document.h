// The document layer of the desktop program: a document has a kind and a
// title, and the views showing it observe it. Plain C++: the Qt shell and
// the tests are both only observers.
#pragma once

#include <string>
#include <vector>

// The kinds the program registers, in this order.
enum class doc_kind {
    time_series,
    trend_invest,
    period_invest,
    summation_invest,
    summ_interact,
    svd_display,
    ts_group,
    comp_info,
    decomp_result,
    forecast
};
constexpr int doc_kind_count = 10;

// What changed, as a set of bits handed to the observers.
enum doc_change : unsigned {
    change_title = 1u,
    change_content = 2u,  // the data a view draws
    change_style = 4u,    // how it is drawn (draw style, two scales)
    change_span = 8u,     // the part of the time axis shown
};

// The part of the time axis a document's windows show, in points from 0
// (between points too); an empty span is the whole axis.
struct time_span {
    double first = 0, last = 0;
    bool whole() const { return !(last > first); }
    bool operator==(const time_span& o) const { return first == o.first && last == o.last; }
};

class document;

class document_observer {
public:
    virtual ~document_observer() = default;
    virtual void notify_changed(const document& doc, unsigned changes) = 0;
    // The document is being destroyed: drop every pointer to it.
    virtual void notify_closing(const document& /*doc*/) {}
};

class document {
public:
    explicit document(doc_kind kind) : m_kind(kind) {}
    // Tells the observers that are still registered notify_closing.
    virtual ~document();
    document(const document&) = delete;
    document& operator=(const document&) = delete;

    doc_kind kind() const { return m_kind; }
    const std::string& title() const { return m_title; }
    // Tells the observers change_title when the title differs.
    void set_title(const std::string& title);

    void add_observer(document_observer* o);
    void remove_observer(document_observer* o);
    // Every registered observer, in registration order, gets notify_changed.
    void changed(unsigned changes);

    // The data file whose time axis this document's plots share with the
    // other documents of that file; empty where they plot another axis (the
    // lags of eigenvectors, the components).
    virtual std::string time_axis() const { return {}; }
    const time_span& span() const { return m_span; }
    // Tells the observers change_span when the span differs.
    void set_span(const time_span& span);

private:
    doc_kind m_kind;
    std::string m_title;
    time_span m_span;
    std::vector<document_observer*> m_observers;
};
