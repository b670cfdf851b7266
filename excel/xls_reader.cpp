// .xls (BIFF in an OLE2 compound file) through FreeXL.
#include <freexl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/number_text.h"
#include "workbook_reader.h"

namespace workbook {

namespace {

// A BIFF8 sheet holds at most 65,536 rows of 256 cells; no real .xls comes near.
constexpr size_t max_xls_bytes = size_t(256) << 20;

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

std::uint32_t u32(const std::string& b, size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

unsigned u16(const std::string& b, size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
    return p[0] | p[1] << 8;
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

std::string compound_file_problem(const std::string& b, bool& encrypted, std::string* workbook_stream) {
    encrypted = false;
    constexpr std::uint32_t end_of_chain = 0xFFFFFFFE, last_sector = 0xFFFFFFF9;
    if (b.size() < 512) return "truncated compound file";
    const unsigned shift = u16(b, 0x1E);
    if (shift != 9 && shift != 12) return "damaged compound file header";
    const size_t size = size_t(1) << shift;
    if (b.size() < 2 * size) return "truncated compound file";
    // Sector n starts after the header, which takes one sector.
    const size_t sectors = b.size() / size - 1;
    std::string problem;
    auto offset = [&](std::uint32_t id, const char* what) -> size_t {
        if (id > last_sector) {
            problem = std::string("damaged compound file ") + what;
            return 0;
        }
        if (id >= sectors) {
            problem = "truncated compound file";
            return 0;
        }
        return (size_t(id) + 1) * size;
    };

    const std::uint32_t fat_count = u32(b, 0x2C);
    if (fat_count > sectors) return "truncated compound file";
    std::vector<std::uint32_t> fat;
    for (std::uint32_t i = 0; i < fat_count && i < 109; ++i) fat.push_back(u32(b, 0x4C + 4 * i));
    std::uint32_t difat = u32(b, 0x44);
    for (size_t guard = 0; fat.size() < fat_count; ++guard) {
        const size_t at = offset(difat, "sector list");
        if (!at || guard > sectors) return problem.empty() ? "damaged compound file sector list" : problem;
        for (size_t k = 0; k + 1 < size / 4 && fat.size() < fat_count; ++k) fat.push_back(u32(b, at + 4 * k));
        difat = u32(b, at + size - 4);
    }
    auto next = [&](std::uint32_t id) -> std::uint32_t {
        const size_t per = size / 4;
        if (id / per >= fat.size()) return end_of_chain + 1;  // a free-sector mark: no chain goes on from it
        const size_t at = offset(fat[id / per], "sector table");
        return at ? u32(b, at + 4 * (id % per)) : end_of_chain + 1;
    };

    auto named = [&](size_t e, const char* name) {
        const size_t n = std::strlen(name) + 1;
        bool same = u16(b, e + 64) == 2 * n;
        for (size_t i = 0; i < n && same; ++i) same = b[e + 2 * i] == name[i] && b[e + 2 * i + 1] == 0;
        return same;
    };
    std::uint32_t book_start = end_of_chain, root_start = end_of_chain;
    std::uint64_t book_size = 0, root_size = 0;
    std::uint32_t dir = u32(b, 0x30);
    for (size_t guard = 0; dir != end_of_chain; ++guard) {
        const size_t at = offset(dir, "directory");
        if (!at || guard > sectors) return problem.empty() ? "damaged compound file directory" : problem;
        for (size_t e = at; e < at + size; e += 128) {
            // FreeXL converts the name of unused entries too.
            const unsigned type = static_cast<unsigned char>(b[e + 66]);
            const unsigned name_bytes = u16(b, e + 64);
            if (type == 3 || type == 4 || type > 5 || name_bytes > 64 || name_bytes % 2)
                return "damaged compound file directory";
            encrypted = encrypted || (type == 2 && named(e, "EncryptedPackage"));
            if ((type == 2 && (named(e, "Workbook") || named(e, "Book"))) || type == 5) {
                (type == 5 ? root_start : book_start) = u32(b, e + 116);
                (type == 5 ? root_size : book_size) = u32(b, e + 120);
            }
        }
        dir = next(dir);
        if (!problem.empty()) return problem;
    }
    if (!workbook_stream || book_start == end_of_chain) return {};

    // A chain of sectors through the FAT, at most `want` bytes of it.
    auto read_chain = [&](std::uint32_t id, std::uint64_t want, std::string& out) {
        out.clear();
        for (size_t guard = 0; out.size() < want; ++guard) {
            const size_t at = offset(id, "stream");
            if (!at || guard > sectors) return false;
            out.append(b, at, static_cast<size_t>(std::min<std::uint64_t>(size, want - out.size())));
            id = next(id);
        }
        return true;
    };
    std::string& stream = *workbook_stream;
    if (book_size >= u32(b, 0x38)) {
        if (!read_chain(book_start, book_size, stream)) return problem.empty() ? "damaged Workbook stream" : problem;
        return {};
    }
    // Below the cutoff the stream lives in 64-byte sectors of the mini stream.
    std::string mini, mini_fat;
    if (u16(b, 0x20) != 6 || !read_chain(root_start, root_size, mini) ||
        !read_chain(u32(b, 0x3C), std::uint64_t(u32(b, 0x40)) * size, mini_fat))
        return "damaged compound file mini stream";
    stream.clear();
    std::uint32_t id = book_start;
    for (size_t guard = 0; stream.size() < book_size; ++guard) {
        const size_t at = size_t(id) * 64;
        if (guard > mini.size() / 64 || id > last_sector || at + 64 > mini.size()) return "damaged Workbook stream";
        stream.append(mini, at, static_cast<size_t>(std::min<std::uint64_t>(64, book_size - stream.size())));
        id = size_t(id) * 4 + 4 <= mini_fat.size() ? u32(mini_fat, size_t(id) * 4) : end_of_chain;
    }
    return {};
}

std::string biff_problem(const std::string& s) {
    int dimensions = 0;
    bool biff8 = false;
    for (size_t pos = 0; pos + 4 <= s.size();) {
        const unsigned type = u16(s, pos), length = u16(s, pos + 2);
        const size_t data = pos + 4, end = std::min(s.size(), data + length);
        if (type == 0x0809 || type == 0x0409 || type == 0x0209 || type == 0x0009) {
            dimensions = 0;
            biff8 = type == 0x0809 && data + 2 <= end && u16(s, data) == 0x0600;
        }
        // FreeXL sizes a sheet's cells by its DIMENSIONS record and trusts a
        // second one; a valid substream (BOF .. EOF) has exactly one, of 10 or 14 bytes.
        if (type == 0x0200 && (++dimensions > 1 || (length != 10 && length != 14)))
            return "a worksheet with a damaged DIMENSIONS record";
        // It copies a FORMAT, BOUNDSHEET or LABEL string by its own character
        // count: in BIFF8 the string must fit in its record (a LABEL may go on
        // in a CONTINUE record).
        size_t header = 0;
        if (type == 0x041E) header = 2;       // format index
        else if (type == 0x0085) header = 6;  // stream position, options
        else if (type == 0x0204) header = 6;  // row, column, format
        if (biff8 && header) {
            const bool short_count = type == 0x0085;
            const size_t flags_at = data + header + (short_count ? 1 : 2);
            if (flags_at >= end) return "a damaged string record";
            const size_t count = short_count ? static_cast<unsigned char>(s[data + header]) : u16(s, data + header);
            const unsigned flags = static_cast<unsigned char>(s[flags_at]);
            const size_t needed = flags_at + 1 + (flags & 8 ? 2 : 0) + (flags & 4 ? 4 : 0) + count * (flags & 1 ? 2 : 1);
            const bool continued = type == 0x0204 && end + 2 <= s.size() && u16(s, end) == 0x003C;
            if (needed > data + length && !continued) return "a damaged string record";
        }
        pos += 4 + length;
    }
    return {};
}

void read_xls(const std::string& path, CExcel& book) {
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        const std::streamoff length = in.tellg();
        if (length < 0 || static_cast<std::uint64_t>(length) > max_xls_bytes)
            damaged(path, "an .xls file larger than 256 MB or unreadable");
        std::string bytes(static_cast<size_t>(length), '\0');
        in.seekg(0);
        in.read(&bytes[0], length);
        bytes.resize(static_cast<size_t>(in.gcount()));
        bool is_encrypted = false;
        std::string stream;
        std::string problem = compound_file_problem(bytes, is_encrypted, &stream);
        if (is_encrypted) encrypted(path);
        if (problem.empty()) problem = biff_problem(stream);
        if (!problem.empty()) damaged(path, problem);
    }
    freexl_handle h;
    const int opened = freexl_open(path.c_str(), &h.m_handle);
    if (opened != FREEXL_OK) damaged(path, freexl_reason(opened));
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
