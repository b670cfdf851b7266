// The period investigation: harmonic pairs among the leading components,
// their periods, and the periodic part of the series.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "constraint.h"
#include "core/pair.h"
#include "investigation.h"

class t_period_results : public t_results {
public:
    // The harmonic pairs, 0-based; a period-2 component is (j, j).
    std::vector<Pair::t_pair<int>>& get_pairs() { return m_pairs; }
    const std::vector<Pair::t_pair<int>>& get_pairs() const { return m_pairs; }
    void update() override {}

protected:
    std::vector<Pair::t_pair<int>> m_pairs;
};

// The period rules of the aims 1 and 2 for a range (Min, Max), strict at both ends.
// Aim 1: P lies in (Min/k, Max/k) for some k = 1 .. trunc(Max/2), the range itself or a harmonic of it.
bool period_or_harmonic_in_range(double P, const Pair::t_pair<double>& range);
// Aim 2: P lies in (Min, Max).
bool period_in_range(double P, const Pair::t_pair<double>& range);

class t_period_invest : public t_investigation, public t_period_results {
public:
    // The setters take the codes as ints: identification refuses a code outside these.
    enum aim_kind : int { periodicities = 0, periodicity_in_range = 1, harmonics_in_range = 2 };
    enum pairing_kind : int { fourier_pairing = 0, charroots_pairing = 1 };
    enum estimation_kind : int { phi = 0, charroots = 1, periodogr = 2 };
    enum approx_kind : int { approx_by_percent = 0, approx_by_count = 1 };

    explicit t_period_invest(const t_ts& ts);
    ~t_period_invest() override;

    void set_aim(int a) { m_aim = a; }
    int get_aim() const { return m_aim; }
    void set_pairing(int p) { m_pairing = p; }
    int get_pairing() const { return m_pairing; }
    void set_estimation(int e) { m_estimation = e; }
    int get_estimation() const { return m_estimation; }
    void set_crit(double c) { m_crit = c; }
    double get_crit() const { return m_crit; }
    void set_approx_mode(int m) { m_approx_mode = m; }
    int get_approx_mode() const { return m_approx_mode; }
    void set_period_range(Pair::t_pair<double> r) { m_period_range = r; }
    Pair::t_pair<double> get_period_range() const { return m_period_range; }

    // Keeps a copy when c is a VYG constraint; otherwise none.
    void set_constraint(const t_prd_constraint* c);
    const t_VYG_constraint* get_constraint() const { return m_constraint ? &*m_constraint : nullptr; }
    // Rho of components i and j on the treated vectors, as the VYG constraint takes it.
    double rhomax(int i, int j);

    // Period of the pair (i, j) by the current estimation method.
    double estimate_period(int i, int j);

    // identificate(), then the periodic part into result.
    void investigate() override;
    void identificate() override;
    // Every component of the pairs once, in the order first met, reconstructed together.
    void make_result(const SVD::t_svd& svd) override;

    void find_periodicities();
    void find_periodicity_with_period();
    void find_harmonics_with_period_from_interval();

private:
    // The treated vectors, built first when they are reconstructed components; null for an unknown kind.
    const matrix* vectors();
    // Matrix choice, Fourier pairing and percent filter shared by the three aims.
    void pair_components();
    void keep_periods_if(bool (*keep)(double period, const Pair::t_pair<double>& range));
    void limit_count();

    std::optional<t_VYG_constraint> m_constraint;
    int m_approx_mode = 0;
    double m_crit = 1.0;
    int m_aim = 0;
    int m_pairing = 0;
    int m_estimation = 1;
    Pair::t_pair<double> m_period_range{0.0, 0.0};
};

// What the user chooses for a period investigation, with the values the
// dialog and the command line start from.
struct period_params {
    int period_L = -1;  // -1: not chosen yet
    t_period_invest::aim_kind period_goal = t_period_invest::periodicities;
    t_period_invest::pairing_kind period_pairing = t_period_invest::fourier_pairing;
    t_period_invest::estimation_kind period_estimation = t_period_invest::charroots;
    vector_kind period_vectors = vk_eigenvectors;
    double period_min = 11.0;
    double period_max = 13.0;
    double fourier_crit = 1;
    int optimize_L = 0;
    bool vyg_on = true;
    double vyg_rhomax = 0.9;
    t_period_invest::approx_kind approx_mode = t_period_invest::approx_by_percent;
    double approx_percent = 0;
    int approx_max_components = -1;  // -1: no limit

    // The first parameter out of its range (NaN is out of every range); the
    // VYG threshold only while the constraint is on.
    std::optional<param_refusal> validate() const;
    // The configuration of inv; a VYG threshold outside (0, 1) throws the constraint's refusal.
    void apply(t_period_invest& inv) const;
};
