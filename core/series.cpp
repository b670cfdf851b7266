#include "series.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "number_text.h"
#include "ssa_exception.h"

series::series(int n) {
    if (n < 0) throw SSA_math_exception::out_of_range("incorrect size in series::series");
    m_data.resize(static_cast<size_t>(n));
}

series::series(const std::vector<double>& v) : m_data(v) {}

series::series(const series& s) = default;

series& series::operator=(const series& s) {
    if (this == &s) return *this;
    precision = s.precision;
    width = s.width;
    m_data = s.m_data;
    return *this;
}

void series::assign(const std::vector<double>& v) { m_data = v; }

double& series::operator[](int i) {
    // A negative index is refused too: it would read before the values.
    if (i < 0 || i >= size()) throw SSA_math_exception::out_of_range("incorrect index in series::operator[]");
    return m_data[static_cast<size_t>(i)];
}

const double& series::operator[](int i) const {
    if (i < 0 || i >= size()) throw SSA_math_exception::out_of_range("incorrect index in series::operator[]");
    return m_data[static_cast<size_t>(i)];
}

void series::resize(int n) {
    if (n < 0) throw SSA_math_exception::out_of_range("incorrect new size in series::resize");
    std::vector<double> fresh(static_cast<size_t>(n));
    m_data.swap(fresh);
}

double series::max() const {
    if (m_data.empty()) throw SSA_math_exception::out_of_range("max of an empty series in series::max");
    double best = m_data[0];
    for (double v : m_data)
        if (v > best) best = v;
    return best;
}

double series::min() const {
    if (m_data.empty()) throw SSA_math_exception::out_of_range("min of an empty series in series::min");
    double best = m_data[0];
    for (double v : m_data)
        if (v < best) best = v;
    return best;
}

void series::copy_from(const double* p) { std::copy(p, p + m_data.size(), m_data.begin()); }

void series::copy_to(double* p) const { std::copy(m_data.begin(), m_data.end(), p); }

void series::add(const series& s) {
    if (s.size() != size())
        throw SSA_math_exception::internal_error("Error: Lengths of series isn't equal. Exiting...\n", 2);
    for (size_t i = 0; i < m_data.size(); ++i) m_data[i] += s.m_data[i];
}

void series::multiply(const series& s) {
    if (s.size() != size())
        throw SSA_math_exception::internal_error("Error: Lengths of multiplicated series isn't equal. Exiting...\n", 2);
    for (size_t i = 0; i < m_data.size(); ++i) m_data[i] *= s.m_data[i];
}

void series::assign_values(const series& s) {
    if (s.size() != size())
        throw SSA_math_exception::internal_error("Error: Lengths of series isn't equal. Exiting...\n", 2);
    m_data = s.m_data;
}

void series::format_to(std::ostream& os) const {
    for (double v : m_data) os << std::setprecision(precision) << std::setw(width) << v;
    os << '\n';
}

void series::print() const {
    format_to(std::cout);
    std::cout.flush();
}

void series::write(const std::string& file_name) const {
    std::ofstream out(file_name, std::ios::app);
    if (!out)
        throw SSA_math_exception::file_exception(file_name, "Error[series]: file " + file_name + " unavailable\n");
    format_to(out);
}

void series::read(const std::string& file_name) {
    std::ifstream in(file_name);
    if (!in) throw SSA_math_exception::file_exception(file_name, "Error[series]: file " + file_name + " unavailable\n");
    // A line of more than 19 characters fails the read and ends it; only the
    // first six characters of a number are parsed.
    char buf[20];
    for (size_t i = 0; i < m_data.size(); ++i) {
        if (!in.getline(buf, sizeof buf)) break;
        const char* p = buf;
        while (*p == ' ' || *p == '\t') ++p;
        const size_t n = std::strlen(p);
        double v = 0;
        if (read_decimal(p, p + std::min<size_t>(n, 6), v) != p) m_data[i] = v;
    }
}
