// The Run investigation command (Ctrl+R) and the commands of the main window
// on an investigation: chooser, parameter dialogs filled from and stored back
// to the time-series document's remembered parameters, the computation on the
// worker, and the result windows. Free functions over the document rather than
// members of it, so that the time-series document does not depend on the
// investigation documents it creates.
#pragma once

#include <functional>
#include <memory>

#include "app/app_ui.h"
#include "app/document.h"

class CWinKelvaneDoc;
class CSummationInvestDoc;
class CPeriodInvestDoc;
class CInvestDoc;

// Takes a new document and returns it where it now lives (the application's list).
using adopt_document = std::function<document&(std::unique_ptr<document>)>;

struct run_context {
    app_ui& ui;
    adopt_document adopt;
};

void start_investigation(CWinKelvaneDoc& doc, run_context& ctx);
// L and amount are the chooser's when their check buttons are on, else -1.
void start_summation_investigation(CWinKelvaneDoc& doc, run_context& ctx, int L, int amount);
// Reads the chooser's fields from the document itself.
void start_forecast(CWinKelvaneDoc& doc, run_context& ctx, int L, int amount);

// The number of components an investigation gets for m eigentriples.
int components_to_investigate(const CWinKelvaneDoc& doc, int L, int m);

// "Break reconstructed series to harmonics": the group window of the pairs.
void break_to_harmonics_command(CPeriodInvestDoc& doc, run_context& ctx);
// "Display SVD": the part chosen in dialog 8, as a window of its own.
void display_svd_command(CWinKelvaneDoc& doc, run_context& ctx);
// The same for the summation, on its investigation's decomposition.
void display_svd_command(CSummationInvestDoc& doc, run_context& ctx);
