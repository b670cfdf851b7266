// The trend investigation: one trend test over the leading components, and
// the trend reconstructed from the components it identifies.
#pragma once

#include <functional>
#include <optional>

#include "invest/investigation.h"

class t_trend_results : public t_results {
public:
    void update() override {}
};

class t_trend_invest : public t_investigation, public t_trend_results {
public:
    enum method_kind : int { kendall = 0, roots = 1, lowfreq = 2 };

    explicit t_trend_invest(const t_ts& ts);
    ~t_trend_invest() override = default;

    void set_alpha(double a) { m_alpha = a; }
    double get_alpha() const { return m_alpha; }
    void set_method(int m) { m_method = m; }
    int get_method() const { return m_method; }
    void set_maxroots(int n) { m_maxroots = n; }
    int get_maxroots() const { return m_maxroots; }
    void set_omega(double w) { m_omega = w; }
    double get_omega() const { return m_omega; }
    void set_C(double c) { m_C = c; }
    double get_C() const { return m_C; }

    // Throws invest_exception (code 0) "invalid method" for a method outside 0..2.
    void identificate() override;
    // The identification, then the trend into the result.
    void investigate() override;
    // The reconstruction of the components found, with the series' tick marks.
    void make_result(const SVD::t_svd& svd) override;

    // Each appends the components it identifies; an unknown kind of treated
    // vectors shows a box and throws.
    void process_kendall_investigation();
    void process_roots_investigation();
    void process_lowfreq_investigation();

    // Steps smaller than this do not make a root.
    static constexpr double roots_epsilon = 0.0001;

private:
    // The tested matrix, or null; builds the reconstructed components when
    // they are treated but were not built by investigate().
    const matrix* tested_vectors();
    // Runs one test on the tested vectors and appends what it identifies; for an
    // unknown kind refuse() throws the operation's exception.
    void collect(const std::function<void(const matrix&, int* found, int& count)>& test,
                 const std::function<void()>& refuse);

    double m_alpha = 0.95;
    int m_method = lowfreq;
    int m_maxroots = 0;
    double m_omega = 0.08;
    double m_C = 0.1;
};

// What the user chooses for a trend investigation, with the values the
// dialog and the command line start from.
struct trend_params {
    int trend_L = -1;  // -1: not chosen yet
    t_trend_invest::method_kind trend_method = t_trend_invest::lowfreq;
    vector_kind trend_vectors = vk_eigenvectors;
    double kendall_threshold = 0.05;
    int roots_in_percents = 1;  // the Roots threshold as percent of the vectors' length, else roots_count
    int roots_count = 3;
    double roots_percent = 5;
    double lowfreq_omega = 0.07;
    double lowfreq_C = 0.9;

    // The first threshold out of its range (NaN is out of every range).
    std::optional<param_refusal> validate() const;
    // The configuration of inv for these parameters; the Roots threshold for
    // a series of N values at window L.
    void apply(t_trend_invest& inv, int N, int L) const;
};
