#include "matrix.h"

#include <cmath>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "hooks.h"
#include "ssa_exception.h"

matrix::matrix(int r, int c) { resize(r, c); }

void matrix::resize(int r, int c) {
    if (r < 0 || c < 0) throw SSA_math_exception::out_of_range("incorrect new size in matrix::resize");
    m_rows = r;
    m_cols = c;
    decltype(m_data) fresh(static_cast<size_t>(r) * static_cast<size_t>(c));
    m_data.swap(fresh);
}

matrix& matrix::operator=(const matrix& m) {
    if (this == &m) return *this;
    m_rows = m.m_rows;
    m_cols = m.m_cols;
    m_data = m.m_data;
    return *this;
}

double& matrix::operator[](const Pair::t_pair<int>& ij) {
    if (!in_range(ij.first, ij.second)) throw SSA_math_exception::out_of_range("in matrix::operator[]");
    return m_data[index(ij.first, ij.second)];
}

const double& matrix::operator[](const Pair::t_pair<int>& ij) const {
    if (!in_range(ij.first, ij.second)) throw SSA_math_exception::out_of_range("in matrix::operator[]");
    return m_data[index(ij.first, ij.second)];
}

void matrix::assign_values(const matrix& m) {
    // A caller's shape fault: copying on with the old shape would hide it.
    if (m.m_rows != m_rows || m.m_cols != m_cols)
        throw SSA_math_exception::internal_error("Error: Размеры матриц не совпадают\n");
    m_data = m.m_data;
}

void matrix::copy_from(const double* const* p) {
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j) m_data[index(i, j)] = p[i][j];
}

void matrix::copy_to(double* const* p) const {
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j) p[i][j] = m_data[index(i, j)];
}

void matrix::format_to(std::ostream& os) const {
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < m_cols; ++j) os << std::setprecision(precision) << std::setw(width) << (*this)(i, j);
        os << '\n';
    }
}

void matrix::print() const {
    format_to(std::cout);
    std::cout.flush();
}

void matrix::write(const std::string& file_name) const {
    std::ofstream out(file_name, std::ios::app);
    if (!out)
        throw SSA_math_exception::file_exception(file_name, "Error[matrix]: file " + file_name + " unavailable\n");
    format_to(out);
}

void matrix::embed(const series& s) {
    if (s.size() != m_rows + m_cols - 1)
        throw SSA_math_exception::internal_error("Error 11: series size failure in embed(..)\n", 11);
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < m_cols; ++j) m_data[index(i, j)] = s(i + j);
        report_progress("embedding", i + 1, m_rows);
    }
}

void matrix::scale_columns(const series& s) {
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j) m_data[index(i, j)] *= std::sqrt(s[j]);
}
