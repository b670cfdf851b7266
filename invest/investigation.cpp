#include "investigation.h"

#include <string>

#include "core/hooks.h"
#include "core/ssa_exception.h"

t_investigation::t_investigation(const std::string& name, const t_ts& ts)
    : m_name(name), m_ts(std::make_unique<t_ts>(ts)) {}

t_investigation::~t_investigation() {
    m_svd.reset();
    m_ts.reset();
    m_reconstructed.reset();
}

t_reconstructed_tss* t_investigation::make_reconstructed() {
    m_reconstructed = std::make_unique<t_reconstructed_tss>(m_svd.get(), m_amount);
    return m_reconstructed.get();
}

SSA_math_exception::bad_input amount_above_held(int amount, int held) {
    return SSA_math_exception::bad_input("amount " + std::to_string(amount) + " is above the " +
                                         std::to_string(held) +
                                         " components this truncated decomposition holds: ask for more components");
}

void check_amount(const SVD::t_svd& svd, int amount) {
    // The full decomposition keeps its old clipping to L with a warning.
    if (svd.truncated() && amount > svd.components()) throw amount_above_held(amount, svd.components());
}

void t_investigation::set_amount(int n) {
    if (m_svd) check_amount(*m_svd, n);
    // Components built for another amount would be read as this one's.
    if (n != m_amount) m_reconstructed.reset();
    m_amount = n;
    if (m_svd) m_svd->set_count(n);
}

void t_investigation::set_svd(const SVD::t_svd& svd) {
    m_reconstructed.reset();
    m_svd = std::make_unique<SVD::t_svd>(svd);
}

void t_investigation::clear_decomposition() {
    m_reconstructed.reset();
    m_svd.reset();
}

void t_investigation::set_ts(const t_ts& ts) { m_ts = std::make_unique<t_ts>(ts); }

void t_investigation::investigate() {
    if (!m_svd) throw SSA_math_exception::internal_error("no decomposition inside t_investigation::investigate(): set L first");
    check_amount(*m_svd, m_amount);
    if (m_treated == vk_reconstructed) {
        // The components are built for amount, so it must be within L first.
        clip_amount_to_L();
        make_reconstructed();
    }
    identificate();
    // A full disk must not pass for an investigation with nothing to say.
    if (!m_log.flush())
        throw SSA_math_exception::file_exception(m_log.file_name(), "unable to write log file");
}

int t_investigation::set_L(int L) {
    // The components of the old decomposition must not pass for the new one's.
    m_reconstructed.reset();
    m_svd.reset();
    m_svd = std::make_unique<SVD::t_svd>(*m_ts, L, m_svd_options);
    if (m_amount == -1 || m_amount > m_svd->count()) m_amount = m_svd->count();
    return m_amount;
}

void t_investigation::clip_amount_to_L() {
    check_amount(*m_svd, m_amount);
    if (m_amount > m_svd->L()) {
        notify("Attention! You have set amount of components to investigate greater than L. \nI use L instead of it.");
        m_amount = m_svd->L();
    }
}

const matrix* t_investigation::treated_matrix() const {
    switch (m_treated) {
    case vk_eigenvectors:
        return &m_svd->eigenvectors();
    case vk_factor_vectors:
    case vk_factor_vectors2:
        return &m_svd->factor_vectors();
    case vk_reconstructed:
        return m_reconstructed ? &m_reconstructed->table() : nullptr;
    }
    return nullptr;
}

int t_results::get_best_component() const {
    if (m_components.empty() || m_ranks.size() < m_components.size())
        throw SSA_math_exception::out_of_range("no ranked components inside t_results::get_best_component()");
    int best = m_components[0], best_rank = m_ranks[0];
    for (size_t i = 1; i < m_components.size(); ++i)
        if (m_ranks[i] < best_rank) {
            best_rank = m_ranks[i];
            best = m_components[i];
        }
    return best;
}

void t_results::make_result(const SVD::t_svd& svd) { m_result = svd.reconstruct_values(m_components); }

int treated_length(vector_kind kind, int N, int L, const char* place) {
    switch (kind) {
        case vk_eigenvectors: return L;
        case vk_factor_vectors:
        case vk_factor_vectors2: return N - L + 1;
        case vk_reconstructed: return N;
    }
    throw SSA_math_exception::unknown_objects_for_identification(place);
}

int roots_from_percent(vector_kind kind, int L, int N, double percent, const char* place) {
    return static_cast<int>(treated_length(kind, N, L, place) * percent / 100.0);
}
