// .xls (BIFF in an OLE2 compound file) through FreeXL.
#include <freexl.h>

#include <fstream>
#include <iterator>

#include "core/number_text.h"
#include "workbook_reader.h"

namespace workbook {

namespace {

class freexl_handle {
public:
    ~freexl_handle() { freexl_close(m_handle); }
    const void* m_handle = nullptr;
};

std::string freexl_reason(int code) {
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY: return "out of memory";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE: return "damaged compound file header";
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR: return "truncated compound file";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return "no Workbook stream";
    case FREEXL_CRAFTED_FILE: return "damaged or crafted records";
    default: return "FreeXL error " + std::to_string(code);
    }
}

// An encrypted .xlsx is an OLE2 file too; FreeXL finds no workbook in it.
bool holds_encrypted_package(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    bytes.resize(static_cast<size_t>(64) << 20);
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return ole2_holds_encrypted_package(bytes);
}

std::string cell_text(const FreeXL_CellValue& v) {
    switch (v.type) {
    case FREEXL_CELL_INT: return std::to_string(v.value.int_value);
    case FREEXL_CELL_DOUBLE: return value_text(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME: return v.value.text_value ? v.value.text_value : "";
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME: {
        // FreeXL writes "1959-01-31 12:00:00"; the other readers give ISO 8601.
        std::string s = v.value.text_value ? v.value.text_value : "";
        if (s.size() > 10 && s[10] == ' ') s[10] = 'T';
        return s;
    }
    default: return {};
    }
}

}  // namespace

void read_xls(const std::string& path, CExcel& book) {
    freexl_handle h;
    const int opened = freexl_open(path.c_str(), &h.m_handle);
    if (opened != FREEXL_OK) {
        if (holds_encrypted_package(path)) encrypted(path);
        damaged(path, freexl_reason(opened));
    }
    unsigned int info = 0;
    if (freexl_get_info(h.m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        encrypted(path);
    unsigned int count = 0;
    if (freexl_get_info(h.m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) damaged(path, "no worksheet list");

    budget used;
    for (unsigned int i = 0; i < count && i <= 0xFFFF; ++i) {
        const auto index = static_cast<unsigned short>(i);
        CExcel::worksheet sheet;
        const char* name = nullptr;
        if (freexl_get_worksheet_name(h.m_handle, index, &name) == FREEXL_OK && name) sheet.name = name;
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_select_active_worksheet(h.m_handle, index) != FREEXL_OK ||
            freexl_worksheet_dimensions(h.m_handle, &rows, &cols) != FREEXL_OK)
            damaged(path, "worksheet \"" + sheet.name + "\" cannot be read");
        sheet_filler fill(path, sheet, used);
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(h.m_handle, r, c, &v) != FREEXL_OK)
                    damaged(path, "worksheet \"" + sheet.name + "\" has an unreadable cell");
                fill.set(r + 1u, c + 1u, cell_text(v));
            }
        book.sheets().push_back(std::move(sheet));
    }
    if (book.sheet_count() == 0) damaged(path, "it has no worksheet");
}

}  // namespace workbook
