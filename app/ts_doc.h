// The time-series document: one series read from a data file, the parameters
// the user last gave each kind of investigation, and the last decomposition
// for reuse. The investigation and SVD documents will derive from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/document.h"
#include "core/ssa_exception.h"
#include "decomp/svd.h"
#include "invest/constraint.h"
#include "invest/investigation.h"
#include "timeseries/ts.h"

class app_ui;
class ui_services;

class CWinKelvaneDoc : public document {
public:
    CWinKelvaneDoc() : CWinKelvaneDoc(doc_kind::time_series) {}
    ~CWinKelvaneDoc() override;

    // Sets name to path and reads ts from it; throws the reader's exceptions.
    void load_series(const std::string& path);
    // File Save: asks for a file and writes series (nullptr: ts) to it.
    // False when cancelled or when the file could not be written (the user is told).
    bool save_series(app_ui& ui, const t_ts* series = nullptr, const std::string& suffix = "copy");

    // Keeps path open for the life of the document and deletes it when
    // released. The copy is read through path, the handle only holds it.
    void hold_temp_copy(const std::string& path);
    // Closes the held copy and deletes it, reporting a failure in a box titled
    // "Error". Nothing when no copy is held.
    void release_temp_copy(ui_services& ui);
    const std::string& temp_copy_path() const { return m_temp_copy_path; }

    t_ts ts;
    std::string name;  // the path read; for a locked file the temporary copy
    // The file the user opened, a locked file's own path: File Save's names derive from it.
    std::string data_file;
    std::unique_ptr<SVD::t_svd> svd_cache;
    // How the investigations decompose: windows above 2000 take the truncated
    // path with this many components.
    SVD::svd_options decomposition{svd_solver::automatic, SVD::default_components};
    std::unique_ptr<t_VYG_constraint> vyg_constraint;
    int temp_copy_file = -1;
    bool temp_copy_in_use = false;

    // What the dialogs last confirmed; -1 for a window length or count not chosen yet.
    int choose_use_L = 0;
    int choose_L = -1;
    int choose_use_amount = 0;
    int choose_amount = -1;

    int trend_L = -1;
    int trend_method = 2;  // 0 Kendall, 1 Roots, 2 LowFreq
    vector_kind trend_vectors = vk_eigenvectors;
    double kendall_threshold = 0.05;
    int roots_in_percents = 1;
    int roots_count = 3;
    int roots_percent = 5;
    double lowfreq_omega = 0.07;
    double lowfreq_C = 0.9;

    int period_L = -1;
    int period_goal = 0;
    int period_pairing = 0;
    int period_estimation = 1;  // 0 Phi, 1 Charroots, 2 Periodogr
    vector_kind period_vectors = vk_eigenvectors;
    double period_min = 11.0;
    double period_max = 13.0;
    int fourier_crit = 1;
    int optimize_L = 0;
    int vyg_on = 1;
    double vyg_rhomax = 0.9;
    int approx_mode = 0;  // 0 percent, 1 count
    int approx_percent = 0;
    int approx_max_components = -1;

    int forecast_L = -1;
    int forecast_points = 1;
    int forecast_trend = 1;
    int forecast_harmonics = 1;

    vector_kind summation_vectors = vk_eigenvectors;
    // Identified by Kendall, Zeros, LowFreq and not by Fourier (bits 1, 2, 4, 128).
    std::uint8_t trend_conditions = 135;

protected:
    explicit CWinKelvaneDoc(doc_kind kind) : document(kind) {}

private:
    std::string m_temp_copy_path;
};

// "%s : %s." of a file exception: its message, then its file name.
std::string file_failure_text(const SSA_math_exception::file_exception& e);
