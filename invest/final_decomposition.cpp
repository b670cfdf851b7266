#include "final_decomposition.h"

#include "core/ssa_exception.h"

final_decomposition decompose_final(const t_reconstructed_tss* reconstructed, const std::vector<int>& trend_list,
                                    const std::vector<int>& periodic_list, const t_ts* original) {
    if (!reconstructed || reconstructed->amount() == 0)
        throw SSA_math_exception::internal_error("no reconstructed components inside CDecompResultDoc::compute()");
    final_decomposition d;
    d.trend_list = trend_list;
    d.periodic_list = periodic_list;
    const int m = reconstructed->amount();
    const int N = reconstructed->component(0).size();

    d.trend = reconstructed->component(0);
    for (int t = 0; t < N; ++t) d.trend[t] = 0;
    if (original && original->has_ticks() && original->ticks() && original->size() == N) {
        d.trend.set_ticks(original->ticks());
        d.trend.set_has_ticks(true);
    }
    d.periodic = d.trend;
    d.residual = d.trend;
    d.trend.set_title("Trend component of original series");
    d.periodic.set_title("Periodic component of original series");
    d.residual.set_title("Residual component of original series");

    d.classes.assign(static_cast<size_t>(m), final_decomposition::cls_residual);
    for (int k : trend_list)
        if (k >= 0 && k < m) d.classes[static_cast<size_t>(k)] = final_decomposition::cls_trend;
    for (int k : periodic_list)
        if (k >= 0 && k < m) {
            int& c = d.classes[static_cast<size_t>(k)];
            c = c == final_decomposition::cls_trend ? final_decomposition::cls_trend_and_periodic
                                                    : final_decomposition::cls_periodic;
        }

    for (int k = 0; k < m; ++k) {
        const t_ts& comp = reconstructed->component(k);
        const int c = d.classes[static_cast<size_t>(k)];
        for (int t = 0; t < N; ++t) {
            if (c == final_decomposition::cls_trend || c == final_decomposition::cls_trend_and_periodic)
                d.trend[t] += comp[t];
            if (c == final_decomposition::cls_trend_and_periodic || c == final_decomposition::cls_periodic)
                d.periodic[t] += comp[t];
            if (c == final_decomposition::cls_residual) d.residual[t] += comp[t];
        }
    }
    return d;
}

final_decomposition decompose_final(t_summation_invest& inv, const summation_table& table, std::uint8_t conditions) {
    std::vector<int> trend, periodic;
    for (int k = 0; k < static_cast<int>(table.results.size()); ++k) {
        if (table.is_trend(k, conditions)) trend.push_back(k);
        if (table.is_harmonic(k, conditions)) periodic.push_back(k);
    }
    return decompose_final(inv.get_reconstructed(), trend, periodic, inv.get_ts());
}
