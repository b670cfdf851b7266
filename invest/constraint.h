// Constraints that filter the harmonic pairs of a period investigation.
#pragma once

#include <vector>

#include "core/matrix.h"
#include "core/pair.h"
#include "log/file_log.h"

class t_constraint {
public:
    virtual ~t_constraint() = default;
};

class t_prd_constraint : public t_constraint {};

// Keeps the pairs whose rhomax is above param.
class t_VYG_constraint : public t_prd_constraint {
public:
    // Throws ssa_exception unless 0 < param < 1.
    explicit t_VYG_constraint(double param);

    double get_param() const { return param; }

private:
    double param;
};

// The pairs of columns of vectors whose rhomax is above param, in their order;
// normalize for vectors that are not unit vectors. Each rho goes to the log.
std::vector<Pair::t_pair<int>> vyg_filter(const matrix& vectors, bool normalize,
                                          const std::vector<Pair::t_pair<int>>& pairs, double param, FileLog* log);
