// The harmonic break: each harmonic pair of a period investigation
// reconstructed as a series of its own, labelled with the contributions of
// its components and its period.
#pragma once

#include <string>
#include <vector>

#include "core/ui_services.h"
#include "invest/period_invest.h"

struct harmonic_group {
    enum { style_separate = 0, style_overlaid = 1 };

    std::string title;
    std::string description;
    int style = style_overlaid;
    std::vector<t_ts> series;  // one per pair kept, titled
};

// Whether the period estimation method suits the treated vectors: the
// periodogram of reconstructed series needs reconstructed components. A
// refusal is shown through ui.
bool harmonic_break_accepts(int method, vector_kind kind, ui_services& ui);

// The harmonics of inv's pairs with its current estimation method. Pairs
// with a component contributing less than inv's min_percent are left out.
// Throws for a treated-vector kind or method the group's header line cannot name.
harmonic_group break_to_harmonics(t_period_invest& inv, int style);
