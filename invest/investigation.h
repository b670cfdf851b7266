// What every investigation shares: the series, its decomposition, the
// reconstructed components, the log, and the result protocol.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/matrix.h"
#include "core/object.h"
#include "core/ssa_exception.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"
#include "log/file_log.h"
#include "timeseries/ts.h"

// The vectors a test is applied to, one column of a matrix each. The code is
// an integer on purpose: consumers report values outside 0..3.
enum vector_kind : int {
    vk_eigenvectors = 0,     // length L
    vk_factor_vectors = 1,   // length K
    vk_factor_vectors2 = 2,  // the same as 1
    vk_reconstructed = 3     // length N
};

// The length of the treated vectors of a series of N values at window L.
// Throws unknown_objects_for_identification with place for an unknown kind.
int treated_length(vector_kind kind, int N, int L, const char* place);
// The largest number of roots of a trend vector given as percent of the
// treated vectors' length.
int roots_from_percent(vector_kind kind, int L, int N, double percent, const char* place);

// A parameter refused by a params type's validate(): the parameter's name as
// the command line spells its option, and why ("2 is outside (0, 1]").
struct param_refusal {
    std::string name;
    std::string text;
};

class t_investigation : public virtual t_object {
public:
    // Throws ssa_exception when the log file cannot be created.
    t_investigation(const std::string& name, const t_ts& ts);
    ~t_investigation() override;
    t_investigation(const t_investigation&) = delete;
    t_investigation& operator=(const t_investigation&) = delete;

    virtual t_reconstructed_tss* get_reconstructed() { return m_reconstructed.get(); }
    // Rebuilds the reconstructed components 0..amount-1 from the decomposition.
    virtual t_reconstructed_tss* make_reconstructed();
    virtual int get_amount() const { return m_amount; }
    // Also sets the decomposition's count of eigentriples in use; refuses an
    // amount above the components a truncated decomposition holds.
    virtual void set_amount(int n);
    virtual t_ts* get_ts() { return m_ts.get(); }
    virtual FileLog& get_log() { return m_log; }
    virtual void set_svd(const SVD::t_svd& svd);
    virtual SVD::t_svd* get_svd() { return m_svd.get(); }
    virtual const SVD::t_svd* get_svd() const { return m_svd.get(); }
    // Reconstructed components first when they are the treated vectors, then
    // the identification; the log is flushed at the end. Throws ssa_exception without a decomposition,
    // file_exception("unable to write log file") naming the log when it could not be written whole.
    virtual void investigate();
    virtual void identificate() = 0;
    virtual void set_ts(const t_ts& ts);
    // Decomposes the series for L and clips amount to the count in use; returns amount.
    // A failing decomposition leaves no decomposition and throws its failure.
    virtual int set_L(int L);
    virtual const char* get_name() const { return m_name.c_str(); }
    // How set_L decomposes; by default the full decomposition.
    virtual void set_svd_options(const SVD::svd_options& o) { m_svd_options = o; }
    const SVD::svd_options& get_svd_options() const { return m_svd_options; }
    // Forgets the decomposition and what was built from it, so that an amount
    // set next is not held against a decomposition about to be replaced.
    virtual void clear_decomposition();

    void set_treatedvectors(vector_kind v) { m_treated = v; }
    vector_kind get_treatedvectors() const { return m_treated; }

protected:
    // Refuses an amount above the components a truncated decomposition holds;
    // else the "Attention!" box and amount = L when amount is above L.
    void clip_amount_to_L();
    // The matrix whose columns are tested for the treated vectors, or null for an unknown kind.
    const matrix* treated_matrix() const;

    int m_amount = -1;
    SVD::svd_options m_svd_options;
    FileLog m_log;
    std::unique_ptr<SVD::t_svd> m_svd;
    std::string m_name;
    std::unique_ptr<t_ts> m_ts;
    vector_kind m_treated = vk_eigenvectors;
    std::unique_ptr<t_reconstructed_tss> m_reconstructed;
};

// Throws ssa_exception when amount is above the components a truncated decomposition holds.
void check_amount(const SVD::t_svd& svd, int amount);
// The same refusal for a decomposition of held components still to be made.
SSA_math_exception::bad_input amount_above_held(int amount, int held);

class t_results : public virtual t_object {
public:
    ~t_results() override = default;

    virtual std::vector<int>& get_components() { return m_components; }
    virtual std::vector<int>& get_ranks() { return m_ranks; }
    // The component of the smallest rank (the first among equals); throws on empty lists.
    virtual int get_best_component() const;
    virtual t_ts& get_result() { return m_result; }
    // result = the listed components reconstructed together (values only);
    // the reconstruction refuses a component the decomposition does not hold.
    virtual void make_result(const SVD::t_svd& svd);
    virtual void update() = 0;

    // Smallest contribution, in percent, of both members of a harmonic pair.
    double min_percent = 0;
    // Largest number of components; -1 for no limit.
    int max_components = -1;

protected:
    std::vector<int> m_components;  // 0-based, in the order found
    std::vector<int> m_ranks;       // parallel to m_components
    t_ts m_result;
};

// An investigation that is its own result.
class t_invest_with_results : public t_investigation, public t_results {
public:
    explicit t_invest_with_results(const t_ts& ts) : t_investigation("Investigation with abstract results", ts) {}
};
