// Fixed-length vector of doubles: a time series, a row or column of a matrix,
// an eigenvector or a reconstructed component.
#pragma once

#include <string>
#include <vector>

class series {
public:
    explicit series(int n = 0);
    explicit series(const std::vector<double>& v);
    series(const series& s);
    series& operator=(const series& s);
    ~series() = default;

    void assign(const std::vector<double>& v);

    // Checked: throws SSA_math_exception::out_of_range outside 0..size-1.
    double& operator[](int i);
    const double& operator[](int i) const;
    // Unchecked, for inner loops.
    double operator()(int i) const { return m_data[static_cast<size_t>(i)]; }

    int size() const { return static_cast<int>(m_data.size()); }
    // Discards the contents; throws on a negative size.
    void resize(int n);

    // The largest and smallest value; throws on an empty series.
    double max() const;
    double min() const;

    void copy_from(const double* p);
    void copy_to(double* p) const;
    double* data() { return m_data.data(); }
    const double* data() const { return m_data.data(); }

    // Element-wise; a series of another length throws internal_error (status 2).
    void add(const series& s);
    void multiply(const series& s);
    void assign_values(const series& s);

    void print() const;
    // Appends one line with the values; throws file_exception when the file cannot be opened.
    void write(const std::string& file_name) const;
    // Reads one value per line (a short fixed-width parse, see the implementation).
    void read(const std::string& file_name);
    // Period of the highest periodogram peak; writes two lines to diagnostic_stream() (methods/period.cpp).
    double getperiod_periodogr() const;

    int precision = 3;
    int width = 10;

private:
    void format_to(std::ostream& os) const;

    std::vector<double> m_data;
};
