#include "ts_doc.h"

#include <unistd.h>

#include "app/app_ui.h"
#include "app/file_lock.h"
#include "app/save_names.h"
#include "core/ssa_exception.h"
#include "log/file_operation.h"

namespace {
const char* const data_filter = "Data Files (*.dat;*.ts;*.cts)|*.dat;*.ts;*.cts|All Files (*.*)|*.*||";
}

CWinKelvaneDoc::~CWinKelvaneDoc() {
    if (temp_copy_file >= 0) close(temp_copy_file);
}

void CWinKelvaneDoc::load_series(const std::string& path) {
    name = path;
    ts.load(path);
}

bool CWinKelvaneDoc::save_series(app_ui& ui, const t_ts* series, const std::string& suffix, const cts_columns& more) {
    // Never the data file itself: Enter would replace the user's data.
    const std::string proposed = derived_name(path_stem(data_file.empty() ? name : data_file), suffix);
    const std::string path = ui.ask_save_file("Save As", data_filter, proposed);
    if (path.empty()) return false;
    try {
        save_cts(path, series ? *series : ts, more);
    } catch (const SSA_math_exception::file_exception& e) {
        ui.message_box(e.text(), "Error", notify_icon::error);
        return false;
    }
    return true;
}

void CWinKelvaneDoc::hold_temp_copy(const std::string& path) {
    if (temp_copy_file >= 0) close(temp_copy_file);
    m_temp_copy_path = path;
    temp_copy_file = open_held_copy(path);
    temp_copy_in_use = true;
}

void CWinKelvaneDoc::release_temp_copy(ui_services& ui) {
    if (!temp_copy_in_use) return;
    if (temp_copy_file >= 0) close(temp_copy_file);
    temp_copy_file = -1;
    temp_copy_in_use = false;
    if (FileOperation::path_kind(m_temp_copy_path) == 0) return;
    FileOperation op(ui);
    if (!op.remove(m_temp_copy_path)) ui.message_box(op.get_error_text(), "Error", notify_icon::error);
}

std::string CWinKelvaneDoc::time_axis() const {
    if (kind() == doc_kind::svd_display) return {};
    return data_file.empty() ? name : data_file;
}
