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
#include "invest/forecast.h"
#include "invest/investigation.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"
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
    bool save_series(app_ui& ui, const t_ts* series = nullptr, const std::string& suffix = "copy",
                     const cts_columns& more = {});

    // The file the series came from; none for the SVD window, whose plots run over lags and components.
    std::string time_axis() const override;

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
    int temp_copy_file = -1;
    bool temp_copy_in_use = false;

    // What the dialogs last confirmed; -1 for a window length or count not chosen yet.
    int choose_use_L = 0;
    int choose_L = -1;
    int choose_use_amount = 0;
    int choose_amount = -1;

    trend_params trend;
    period_params period;
    forecast_params forecast;

    vector_kind summation_vectors = vk_eigenvectors;
    // Identified by Kendall, Zeros, LowFreq and not by Fourier (bits 1, 2, 4, 128).
    std::uint8_t trend_conditions = 135;

protected:
    explicit CWinKelvaneDoc(doc_kind kind) : document(kind) {}

private:
    std::string m_temp_copy_path;
};

