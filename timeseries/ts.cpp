#include "ts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <locale>
#include <sstream>

#include "core/ssa_exception.h"
#include "excel/excel.h"

namespace {

std::unique_ptr<std::vector<std::string>> numbered_ticks(size_t n) {
    auto t = std::make_unique<std::vector<std::string>>(n);
    for (size_t i = 0; i < n; ++i) (*t)[i] = std::to_string(i + 1);
    return t;
}

// Copies o's entries into a list of exactly n; entries o lacks stay empty, so
// a tick list shorter than its values cannot be read past its end.
std::unique_ptr<std::vector<std::string>> ticks_of_length(const std::vector<std::string>& o, size_t n) {
    auto t = std::make_unique<std::vector<std::string>>(n);
    std::copy_n(o.begin(), std::min(n, o.size()), t->begin());
    return t;
}

}  // namespace

t_ts::t_ts() : m_ticks(std::make_unique<std::vector<std::string>>()), m_values(std::make_unique<series>()) {}

t_ts::t_ts(const series& s) : m_has_ticks(true), m_ticks(numbered_ticks(static_cast<size_t>(s.size()))),
                              m_values(std::make_unique<series>(s)) {}

t_ts::t_ts(const std::vector<double>& v)
    : m_ticks(std::make_unique<std::vector<std::string>>(v.size())), m_values(std::make_unique<series>(v)) {}

t_ts::t_ts(const t_ts& o)
    : t_object(o),
      m_has_ticks(o.m_has_ticks),
      m_title(o.m_title),
      m_ticks(ticks_of_length(*o.m_ticks, static_cast<size_t>(o.size()))),
      m_values(std::make_unique<series>(*o.m_values)) {}

t_ts& t_ts::operator=(const t_ts& o) {
    if (this == &o) return *this;
    // Build both lists before replacing anything, so a failed allocation leaves *this intact.
    auto values = std::make_unique<series>(*o.m_values);
    auto ticks = o.m_has_ticks ? ticks_of_length(*o.m_ticks, static_cast<size_t>(o.size()))
                               : std::make_unique<std::vector<std::string>>();
    m_values = std::move(values);
    m_ticks = std::move(ticks);
    m_has_ticks = o.m_has_ticks;
    m_title = o.m_title;
    return *this;
}

void t_ts::swap(t_ts& o) noexcept {
    std::swap(m_has_ticks, o.m_has_ticks);
    m_title.swap(o.m_title);
    m_ticks.swap(o.m_ticks);
    m_values.swap(o.m_values);
}

t_ts& t_ts::operator=(const series& s) {
    m_values = std::make_unique<series>(s);
    m_ticks = std::make_unique<std::vector<std::string>>();
    m_title.clear();
    return *this;
}

void t_ts::set_ticks(const std::vector<std::string>* list) {
    if (list)
        m_ticks = std::make_unique<std::vector<std::string>>(*list);
    else
        m_ticks = numbered_ticks(m_ticks->size());
}

void t_ts::set_ticks(const std::vector<double>* list) {
    if (!list) {
        m_ticks = numbered_ticks(m_ticks->size());
        return;
    }
    // The stream's default notation is "%g"; the classic locale keeps the
    // decimal point a '.' whatever locale the program runs in.
    std::ostringstream os;
    os.imbue(std::locale::classic());
    auto t = std::make_unique<std::vector<std::string>>();
    t->reserve(list->size());
    for (double d : *list) {
        os.str(std::string());
        os << d;
        t->push_back(os.str());
    }
    m_ticks = std::move(t);
}

void t_ts::load(const std::string& path, const excel_choice& choice) {
    if (names_workbook(path)) {
        try {
            excelstream(path, choice) >> *this;
        } catch (SSA_math_exception::file_exception& e) {
            if (e.file_name.empty()) e.file_name = path;
            throw;
        }
        m_has_ticks = ticks() != nullptr;
        return;
    }

    errno = 0;
    ctsstream in(path);
    if (!in.is_open())
        throw SSA_math_exception::file_exception(
            path, std::string("unable to open data file") + (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));
    try {
        in >> *this;
    } catch (SSA_math_exception::file_exception& e) {
        // The reader knows the line but not the file; the message needs both.
        if (e.file_name.empty()) e.file_name = path;
        throw;
    }
    in.close();
    // Tick marks the file gave belong to the series: copies and File Save keep them.
    m_has_ticks = ticks() != nullptr;
}
