// Stand-ins for the application and the enabled-state table while their real
// code lives on other branches; CMake drops this file once app/ has them.
// Only what the shell's tests reach, and the table as the frame must apply it.
#include <QFileInfo>
#include <algorithm>

#include "app/application.h"

namespace {
view_command_states row(bool run, bool svd, bool log, bool smooth, bool unsmooth, bool harm, bool two, bool fin) {
    view_command_states s;
    s.run = run, s.svd = svd, s.log = log, s.smooth = smooth, s.unsmooth = unsmooth, s.harmonics = harm,
    s.two_scales = two, s.final_decomposition = fin;
    return s;
}
}  // namespace

bool view_command_states::operator==(const view_command_states& o) const {
    return run == o.run && svd == o.svd && log == o.log && smooth == o.smooth && unsmooth == o.unsmooth &&
           harmonics == o.harmonics && two_scales == o.two_scales && final_decomposition == o.final_decomposition;
}

view_command_states states_after_activation(doc_kind view, const view_command_states& previous) {
    switch (view) {
    case doc_kind::time_series:
    case doc_kind::forecast: return row(1, 0, 0, 0, 0, 0, 0, 0);
    case doc_kind::trend_invest: return row(1, 1, 1, 1, 1, 0, 1, 0);
    case doc_kind::period_invest: return row(1, 1, 1, 1, 1, 1, 1, 0);
    case doc_kind::summation_invest: return row(1, 1, 0, 0, 0, 0, 0, 0);
    case doc_kind::svd_display: return row(0, 0, 0, 0, 0, 0, 0, 0);
    case doc_kind::ts_group: return row(1, 0, 0, 0, 0, 0, 0, 0);
    case doc_kind::summ_interact: return row(0, 0, 0, 0, 0, 0, 0, 1);
    case doc_kind::decomp_result: return row(0, 0, 0, 0, 0, 0, 0, 0);
    case doc_kind::comp_info: return row(0, 0, 0, 0, 0, 0, 1, 0);
    }
    return previous;
}

bool follows_active_view(command c) {
    switch (c) {
    case command::run_investigation:
    case command::display_svd:
    case command::investigation_log:
    case command::smooth:
    case command::unsmooth:
    case command::break_harmonics:
    case command::two_scales:
    case command::final_decomposition: return true;
    default: return false;
    }
}

bool enabled_in(command c, const view_command_states& s) {
    switch (c) {
    case command::run_investigation: return s.run;
    case command::display_svd: return s.svd;
    case command::investigation_log: return s.log;
    case command::smooth: return s.smooth;
    case command::unsmooth: return s.unsmooth;
    case command::break_harmonics: return s.harmonics;
    case command::two_scales: return s.two_scales;
    case command::final_decomposition: return s.final_decomposition;
    default: return true;
    }
}

CWinKelvaneApp::CWinKelvaneApp(app_ui& ui, recent_file_store& recent) : m_ui(ui), m_store(recent) {
    m_recent = m_store.load();
}

CWinKelvaneApp::~CWinKelvaneApp() = default;

// A plain series document on an existing file; no data are read.
CWinKelvaneDoc* CWinKelvaneApp::open_series_file(const std::string& path) {
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        m_ui.message_box("There is no such file:\n" + path + ".", "", notify_icon::warning);
        return nullptr;
    }
    auto doc = std::make_unique<document>(doc_kind::time_series);
    doc->set_title("TS: " + path);
    document& d = adopt(std::move(doc));
    m_recent.erase(std::remove(m_recent.begin(), m_recent.end(), path), m_recent.end());
    m_recent.insert(m_recent.begin(), path);
    if (m_recent.size() > static_cast<std::size_t>(recent_file_count)) m_recent.resize(recent_file_count);
    m_store.save(m_recent);
    m_ui.open_window(d);
    return nullptr;
}

void CWinKelvaneApp::file_new() { file_open(); }

void CWinKelvaneApp::file_open() {
    const std::string path = m_ui.ask_open_file("New timeseries", "All Files (*.*)|*.*||");
    if (!path.empty()) open_series_file(path);
}

document& CWinKelvaneApp::adopt(std::unique_ptr<document> doc) {
    m_documents.push_back(std::move(doc));
    return *m_documents.back();
}

void CWinKelvaneApp::close_document(document& doc) {
    const auto it = std::find_if(m_documents.begin(), m_documents.end(), [&](const auto& d) { return d.get() == &doc; });
    if (it == m_documents.end()) return;
    std::unique_ptr<document> gone = std::move(*it);
    m_documents.erase(it);
}

void CWinKelvaneApp::execute(command, document*) {}
