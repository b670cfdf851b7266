// What the workbook readers share.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/civil_date.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "workbook_reader.h"

namespace workbook {

void damaged(const std::string& path, const std::string& reason) {
    throw SSA_math_exception::file_exception(path, "the file is not a readable workbook (" + reason + ")");
}

void encrypted(const std::string& path) { throw SSA_math_exception::file_exception(path, "the workbook is encrypted"); }

void sheet_filler::too_large() const {
    throw SSA_math_exception::file_exception(
        m_path, "the workbook is too large (more than " + std::to_string(max_cells) + " cells or " +
                    std::to_string(max_text_bytes >> 20) + " MB of text)");
}

void sheet_filler::expect(std::uint64_t cells) const {
    if (cells > max_cells - m_used.cells) too_large();
}

void sheet_filler::set(std::uint64_t row, std::uint64_t col, std::string text) {
    if (text.empty()) return;
    if (row < 1 || col < 1 || row > max_rows || col > max_cols)
        damaged(m_path, "worksheet \"" + m_sheet.name + "\" has a cell beyond row " + std::to_string(max_rows) +
                            " or column " + std::to_string(max_cols));
    auto& rows = m_sheet.rows;
    // Rows and the empty cells before this one count, so a single far-away
    // cell cannot make the sheet enormous.
    const std::uint64_t new_rows = row > rows.size() ? row - rows.size() : 0;
    const std::uint64_t width = row <= rows.size() ? rows[row - 1].size() : 0;
    const std::uint64_t new_cells = col > width ? col - width : 0;
    if (new_rows + new_cells > max_cells - m_used.cells || text.size() > max_text_bytes - m_used.bytes) too_large();
    m_used.cells += new_rows + new_cells;
    m_used.bytes += text.size();
    if (new_rows) rows.resize(row);
    auto& r = rows[row - 1];
    if (new_cells) r.resize(col);
    r[col - 1] = std::move(text);
    // A large workbook takes seconds: show it, and let a cancel through.
    report_progress("reading the workbook", static_cast<long long>(m_used.cells), 0);
}

std::string serial_date_text(double serial, bool date1904, bool time_only) {
    if (!(serial >= 0 && serial < 3e6)) return {};
    long long days = static_cast<long long>(std::floor(serial));
    long long secs = std::llround((serial - static_cast<double>(days)) * 86400);
    if (secs == 86400) ++days, secs = 0;
    char buf[80];
    if (time_only) {
        std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", secs / 3600, secs / 60 % 60, secs % 60);
        return buf;
    }
    // Serial 1 is 1900-01-01 and the 1900 system counts a 29 February 1900
    // that never was (serial 60), so from 61 on the epoch is 1899-12-30,
    // 25569 days before 1970-01-01; the 1904 system counts from 1904-01-01.
    const long long unix_days = date1904 ? days - 24107 : days - (days < 61 ? 25568 : 25569);
    const civil_date c = civil_from_days(unix_days);
    if (c.year > 9999) return {};
    if (secs == 0)
        std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d", c.year, c.month, c.day);
    else
        std::snprintf(buf, sizeof buf, "%04lld-%02d-%02dT%02lld:%02lld:%02lld", c.year, c.month, c.day, secs / 3600,
                      secs / 60 % 60, secs % 60);
    return buf;
}

}  // namespace workbook
