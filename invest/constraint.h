// Constraints that filter the harmonic pairs of a period investigation.
#pragma once

#include "core/matrix.h"
#include "log/file_log.h"

class t_period_invest;

class t_constraint {
public:
    t_constraint() = default;
    t_constraint(const t_constraint&) = default;
    t_constraint& operator=(const t_constraint&) = default;
    // Filters the pairs of the investigation the constraint belongs to.
    virtual void apply() {}
    virtual ~t_constraint() = default;

    void set_log(FileLog* l) { log = l; }

protected:
    FileLog* log = nullptr;
};

class t_prd_constraint : public t_constraint {
public:
    explicit t_prd_constraint(t_period_invest* i) : invest(i) {}

protected:
    t_period_invest* invest;  // not owned
};

// Keeps the pairs whose rhomax is above param.
class t_VYG_constraint : public t_prd_constraint {
public:
    // Throws ssa_exception unless 0 < param < 1.
    t_VYG_constraint(t_period_invest* invest, double param);
    // other's param for another investigation, unchecked.
    t_VYG_constraint(t_period_invest* invest, const t_VYG_constraint& other);
    ~t_VYG_constraint() override = default;

    double get_param() const { return param; }
    // Rho of components i and j on the investigation's treated vectors.
    double rhomax(int i, int j);
    void apply() override;

private:
    // The treated vectors and whether they are normalised; throws for an unknown kind.
    const matrix& treated_vectors(bool& normalize);

    double param;
};
