#include "application.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

#include "app/comp_info_doc.h"
#include "app/decomp_result_doc.h"
#include "app/file_lock.h"
#include "app/forecast_doc.h"
#include "app/invest_doc.h"
#include "app/run_sequence.h"
#include "app/summ_interact_doc.h"
#include "app/ts_doc.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "excel/excel.h"
#include "log/file_operation.h"

namespace {

const char* const data_filter_open = "Data files (*.dat *.ts *.cts *.txt)|*.dat;*.ts;*.cts;*.txt|"
                                     "Workbooks (*.xls *.xlsx *.xlsm *.ods *.csv *.tsv)|*.xls;*.xlsx;*.xlsm;*.ods;*.csv;*.tsv|"
                                     "All files (*.*)|*.*||";

bool is_time_series(doc_kind k) {
    switch (k) {
    case doc_kind::time_series:
    case doc_kind::trend_invest:
    case doc_kind::period_invest:
    case doc_kind::summation_invest:
    case doc_kind::forecast:
    case doc_kind::svd_display:
        return true;
    default:
        return false;
    }
}

bool is_kind(const document* d, std::initializer_list<doc_kind> kinds) {
    return d && std::find(kinds.begin(), kinds.end(), d->kind()) != kinds.end();
}

std::string absolute_path(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

}  // namespace

CWinKelvaneApp::CWinKelvaneApp(app_ui& ui, recent_file_store& recent) : m_ui(ui), m_store(recent) {
    m_ui.is_data_file = [this](const std::string& path) { return is_data_file(path); };
    for (const std::string& f : m_store.load()) {
        if (f.empty() || std::find(m_recent.begin(), m_recent.end(), f) != m_recent.end()) continue;
        if (static_cast<int>(m_recent.size()) == recent_file_count) break;
        m_recent.push_back(f);
    }
}

CWinKelvaneApp::~CWinKelvaneApp() {
    // Closed one by one so that the temporary copies are deleted.
    while (!m_documents.empty()) close_document(*m_documents.back());
    m_ui.is_data_file = nullptr;
}

bool CWinKelvaneApp::is_data_file(const std::string& path) const {
    std::error_code ec;
    for (const auto& d : m_documents) {
        const auto* ts = dynamic_cast<const CWinKelvaneDoc*>(d.get());
        if (ts && d->kind() == doc_kind::time_series && !ts->data_file.empty() &&
            std::filesystem::equivalent(ts->data_file, path, ec))
            return true;
    }
    return false;
}

void CWinKelvaneApp::add_recent_file(const std::string& path) {
    m_recent.erase(std::remove(m_recent.begin(), m_recent.end(), path), m_recent.end());
    m_recent.insert(m_recent.begin(), path);
    if (static_cast<int>(m_recent.size()) > recent_file_count) m_recent.resize(recent_file_count);
    m_store.save(m_recent);
}

CWinKelvaneDoc* CWinKelvaneApp::open_series_file(const std::string& given) {
    std::string path = absolute_path(given);
    const std::string data_file = path;
    // Decided by the name the user gave: a locked file's copy may have lost its extension.
    const bool workbook = names_workbook(path);
    const char* const empty_text = "Error in data loading or file is empty";
    const file_access access = probe_file_access(path);
    if (access == file_access::directory) {
        m_ui.message_box(path + "\nis a directory, not a data file.", "", notify_icon::warning);
        return nullptr;
    }
    if (access == file_access::missing) {
        m_ui.message_box("There is no such file:\n" + path + ".", "", notify_icon::warning);
        // A recent entry that led here would fail again each time.
        if (std::find(m_recent.begin(), m_recent.end(), path) != m_recent.end()) {
            m_recent.erase(std::remove(m_recent.begin(), m_recent.end(), path), m_recent.end());
            m_store.save(m_recent);
        }
        return nullptr;
    }

    auto doc = std::make_unique<CWinKelvaneDoc>();
    if (access == file_access::held_for_writing) {
        std::string copy;
        try {
            copy = create_temp_copy(path);
        } catch (const SSA_math_exception::ssa_exception& e) {
            m_ui.message_box(e.message, "Error", notify_icon::error);
            return nullptr;
        }
        m_ui.message_box("The file:\n\n<" + path + ">\n\nis locked by another application, we created a temporary copy:\n\n<" +
                             copy + ">,\n\nwhich will be deleted at the end of work.",
                         "", notify_icon::information);
        FileOperation op(m_ui);
        op.set_overwrite(true);
        if (!op.copy(path, copy)) m_ui.message_box(op.get_error_text(), "Error", notify_icon::error);
        add_recent_file(path);
        // The copy is never listed: it is gone once its document closes.
        doc->hold_temp_copy(copy);
        path = copy;
    }

    // Every way out below without a document deletes the copy again.
    const auto fail = [&](const std::string& text) {
        doc->release_temp_copy(m_ui);
        if (!text.empty()) m_ui.message_box(text, "", notify_icon::warning);
        return nullptr;
    };
    // The work owns what it reads: a cancelled read may still run to its end
    // after the document is gone, since the reader cannot be interrupted.
    const auto loaded = std::make_shared<t_ts>();
    try {
        const bool done = workbook ? read_workbook(path, *loaded)
                                   : m_ui.run_computation([loaded, path] { loaded->load(path); });
        if (!done) return fail("");
    } catch (const SSA_math_exception::file_exception& e) {
        return fail(workbook ? empty_text : e.text());
    } catch (const std::exception&) {
        // A damaged workbook may fail anywhere in its reader (a zip bomb as
        // bad_alloc); to the user it is unreadable all the same.
        if (workbook) return fail(empty_text);
        fail("");
        throw;
    } catch (...) {
        fail("");
        throw;
    }
    if (loaded->size() == 0) return fail(empty_text);
    doc->name = path;
    doc->data_file = data_file;
    // Taken whole: an assignment would drop the file's tick marks.
    doc->ts.swap(*loaded);

    if (!doc->temp_copy_in_use) add_recent_file(path);
    doc->set_title("TS: " + path);
    CWinKelvaneDoc* result = doc.get();
    m_ui.open_window(adopt(std::move(doc)));
    return result;
}

bool CWinKelvaneApp::read_workbook(const std::string& path, t_ts& ts) {
    // Read on the worker, so that a large workbook shows progress and can be cancelled.
    const auto book = std::make_shared<CExcel>();
    if (!m_ui.run_computation([book, path] { book->load(path); })) return false;
    const auto has_cell = [](const CExcel::worksheet& w) {
        return std::any_of(w.rows.begin(), w.rows.end(), [](const std::vector<std::string>& row) {
            return std::any_of(row.begin(), row.end(), [](const std::string& c) { return !c.empty(); });
        });
    };
    // Nothing to choose from: the caller reports the empty series.
    if (std::none_of(book->sheets().begin(), book->sheets().end(), has_cell)) return true;
    CDlgOpenXLS dlg(*book);
    if (!m_ui.run_dialog(dlg)) return false;
    if (const std::optional<excel_choice> choice = dlg.choice()) {
        // The preview showed the import's warning already; once is enough.
        scoped_notify_hook shown_in_preview([](const std::string&, const std::string&, notify_icon) {});
        import_excel(*book, *choice, ts);
    }
    return true;
}

void CWinKelvaneApp::file_new() {
    m_ui.message_box("Please open data file for processing", "", notify_icon::information);
    file_open();
}

void CWinKelvaneApp::file_open() {
    const std::string path = m_ui.ask_open_file("New timeseries", data_filter_open);
    if (!path.empty()) open_series_file(path);
}

document& CWinKelvaneApp::adopt(std::unique_ptr<document> doc) {
    doc->add_observer(&m_links);
    m_documents.push_back(std::move(doc));
    return *m_documents.back();
}

void CWinKelvaneApp::axis_links::notify_changed(const document& doc, unsigned changes) {
    if (!on || !(changes & change_span)) return;
    const std::string axis = doc.time_axis();
    if (axis.empty()) return;
    // Each document told passes its span on again: the ones already there do not change, so it ends.
    for (const std::unique_ptr<document>& d : app.m_documents)
        if (d.get() != &doc && d->time_axis() == axis) d->set_span(doc.span());
}

void CWinKelvaneApp::close_document(document& doc) {
    const auto it = std::find_if(m_documents.begin(), m_documents.end(),
                                 [&](const std::unique_ptr<document>& d) { return d.get() == &doc; });
    if (it == m_documents.end()) return;
    // Out of the list first: an observer told of the closing may close windows of its own.
    std::unique_ptr<document> owned = std::move(*it);
    m_documents.erase(it);
    if (auto* ts = dynamic_cast<CWinKelvaneDoc*>(owned.get()))
        ts->release_temp_copy(m_ui);
    owned.reset();
}

void CWinKelvaneApp::execute(command c, document* active) {
    const auto refuse = [this](const char* text, notify_icon icon = notify_icon::none) {
        m_ui.message_box(text, "", icon);
    };
    const char* const no_investigation = "There is no active investigation, select one or start new, please.";
    run_context ctx{m_ui, [this](std::unique_ptr<document> d) -> document& { return adopt(std::move(d)); }};
    auto* invest = dynamic_cast<CInvestDoc*>(active);

    switch (c) {
    case command::file_new:
        file_new();
        break;
    case command::file_open:
        file_open();
        break;
    case command::file_close:
        if (active) close_document(*active);
        break;
    case command::file_save:
    case command::file_save_as:
        // An investigation saves its result series.
        if (invest)
            invest->save_series(m_ui, invest->result_series(), invest->result_name());
        else if (auto* decomp = dynamic_cast<CDecompResultDoc*>(active))
            decomp->save_series(m_ui);
        else if (auto* forecast = dynamic_cast<CForeInvestDoc*>(active))
            forecast->save_forecast(m_ui);
        else if (active && active->kind() == doc_kind::time_series)
            static_cast<CWinKelvaneDoc*>(active)->save_series(m_ui);
        break;
    case command::run_investigation:
        if (!active || !is_time_series(active->kind()))
            refuse("No active timeseries views, open one, please.");
        else if (auto* ts = dynamic_cast<CWinKelvaneDoc*>(active))
            start_investigation(*ts, ctx);
        break;
    case command::display_svd:
        if (!is_kind(active, {doc_kind::trend_invest, doc_kind::period_invest, doc_kind::summation_invest}))
            refuse(no_investigation);
        else if (invest)
            display_svd_command(*invest, ctx);
        else if (auto* summation = dynamic_cast<CSummationInvestDoc*>(active))
            display_svd_command(*summation, ctx);
        break;
    case command::investigation_log:
        if (!is_kind(active, {doc_kind::trend_invest, doc_kind::period_invest}))
            refuse(no_investigation);
        else if (invest && invest->get_investigation())
            m_ui.show_log(invest->get_investigation()->get_log().file_name());
        break;
    case command::break_harmonics:
        if (!is_kind(active, {doc_kind::period_invest}))
            refuse("There is no active period investigation, select one or start new, please.", notify_icon::information);
        else if (auto* period = dynamic_cast<CPeriodInvestDoc*>(active))
            break_to_harmonics_command(*period, ctx);
        break;
    case command::smooth:
    case command::unsmooth:
        if (!is_kind(active, {doc_kind::trend_invest, doc_kind::period_invest})) {
            refuse(c == command::smooth
                       ? "There is no active investigation to smooth recosntructed series,\n select one or start new, please."
                       : "There is no active investigation to unsmooth recosntructed series,\n select one or start new, please.",
                   notify_icon::information);
        } else if (invest && smooth_investigation(*invest, c == command::smooth)) {
            invest->changed(change_content);
        }
        break;
    case command::final_decomposition:
        if (!is_kind(active, {doc_kind::summ_interact}))
            refuse("There is no active view of interactive summation results,\nselect one or generate new, please.");
        else if (auto* interact = dynamic_cast<CSummInteractDoc*>(active))
            final_decomposition(*interact);
        break;
    case command::two_scales:
        if (!is_kind(active, {doc_kind::trend_invest, doc_kind::period_invest, doc_kind::comp_info}))
            refuse("There is no active window where two-scaling is allowed.");
        else if (invest)
            invest->set_two_scales(!invest->get_two_scales());
        else if (auto* info = dynamic_cast<CCompInfoDoc*>(active))
            info->set_two_scales(!info->get_two_scales());
        break;
    case command::close_all:
        close_all(active);
        break;
    case command::close_comp_info:
        if (is_kind(active, {doc_kind::comp_info})) close_document(*active);
        break;
    default:
        // View timeseries is inert; the rest (print, edit, bars, windows, about, exit) are the shell's.
        break;
    }
}

void CWinKelvaneApp::final_decomposition(CSummInteractDoc& interact) {
    std::unique_ptr<CDecompResultDoc> doc;
    try {
        doc = make_final_decomposition(interact);
    } catch (const std::exception& e) {
        m_ui.message_box(e.what(), "", notify_icon::error);
        return;
    }
    CDlgGroupDrawStyle style;
    style.style = 0;  // "Overlaid" preselected
    if (!m_ui.run_dialog(style)) return;
    doc->set_style(style.style == 0 ? CDecompResultDoc::style_overlaid : CDecompResultDoc::style_separate);
    doc->set_title("Final decomposition");
    m_ui.open_window(adopt(std::move(doc)));
}

bool CWinKelvaneApp::smooth_investigation(CInvestDoc& doc, bool smooth) {
    if (auto* trend = dynamic_cast<CTrendInvestDoc*>(&doc))
        return smooth ? trend->smoothing.smooth(trend->invest(), m_ui) : trend->smoothing.unsmooth(trend->invest(), m_ui);
    auto* period = dynamic_cast<CPeriodInvestDoc*>(&doc);
    if (!period) return false;
    return smooth ? period->smoothing.smooth(period->invest(), m_ui) : period->smoothing.unsmooth(period->invest(), m_ui);
}

void CWinKelvaneApp::close_all(document* active) {
    if (m_documents.empty()) return;
    if (!m_ui.ask_yes_no("Are you really want close all windows?", "", notify_icon::question, true)) return;
    if (active) close_document(*active);
    // Then the most recently opened first, as the windows stack.
    while (!m_documents.empty()) close_document(*m_documents.back());
}
