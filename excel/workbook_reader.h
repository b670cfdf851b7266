// What the workbook readers share: their limits, the damaged-file message,
// a worksheet filled cell by cell within those limits, and date texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "excel.h"

namespace workbook {

// As far as the formats themselves go.
constexpr std::uint64_t max_rows = 1048576;
constexpr std::uint64_t max_cols = 16384;
// Materialised cells (empty ones inside a row included) over the whole
// workbook: 2^24 keeps a loaded book well under a gigabyte.
constexpr std::uint64_t max_cells = std::uint64_t(1) << 24;
// Cell text over the whole workbook: one long string named by many cells
// would otherwise be copied into each of them.
constexpr std::uint64_t max_text_bytes = std::uint64_t(256) << 20;

// What a workbook has taken so far of the limits above.
struct budget {
    std::uint64_t cells = 0;
    std::uint64_t bytes = 0;
};

// Throws the one message a file gets when it cannot be read as a workbook.
[[noreturn]] void damaged(const std::string& path, const std::string& reason);
[[noreturn]] void encrypted(const std::string& path);

// Fills one worksheet from 1-based cell positions in any order; empty texts
// are not stored, so trailing empty cells and rows never widen the sheet.
class sheet_filler {
public:
    sheet_filler(const std::string& path, CExcel::worksheet& sheet, budget& used)
        : m_path(path), m_sheet(sheet), m_used(used) {}
    void set(std::uint64_t row, std::uint64_t col, std::string text);
    // Refuses in advance what a repeated block would take.
    void expect(std::uint64_t cells) const;

private:
    [[noreturn]] void too_large() const;

    const std::string& m_path;
    CExcel::worksheet& m_sheet;
    budget& m_used;
};

// A spreadsheet serial day number as ISO text: "1959-01-31", with
// "T12:00:00" when it has a time of day; time_only gives "12:00:00" alone.
// Empty when the serial lies outside the years 1900..9999.
std::string serial_date_text(double serial, bool date1904, bool time_only);

enum class date_kind : char { none, date, time };
// An .xlsx custom number format is a date when its first section writes day,
// month or year letters and no digit placeholder (0 # ?) outside quoted
// text, escapes and [brackets]; a time when it writes only hours, minutes and
// seconds ("ss.00" fractions allowed). "General" and text formats are neither.
date_kind custom_format_kind(const std::string& code);

void read_xls(const std::string& path, CExcel& book);
void read_xlsx(const std::string& path, CExcel& book);
void read_ods(const std::string& path, CExcel& book);

// FreeXL trusts what it reads: a directory entry's name length above 64
// makes it read past its buffer, a second DIMENSIONS record free what it
// never allocated, a string's character count copy past its record. These
// look first.
//
// Walks the FAT and the directory of an OLE2 compound file. Empty when they
// are sound, else the reason; encrypted is set when the file holds an
// "EncryptedPackage" stream, as an encrypted .xlsx does. With workbook_stream
// the Workbook (or BIFF5 Book) stream's bytes are given there, when it has one.
std::string compound_file_problem(const std::string& bytes, bool& encrypted,
                                  std::string* workbook_stream = nullptr);
// The BIFF record stream's problem that FreeXL would not survive, or empty.
std::string biff_problem(const std::string& stream);

}  // namespace workbook
