// Feeds arbitrary bytes to the workbook reader through a file, as CExcel::load
// takes a path: the signature decides between .xls, .xlsx, .ods and CSV.
//
// A zip's checksums stop nearly every mutation of its XML before a parser
// sees it, so an input that starts with "XLSX\n" or "ODS\n" is instead
// packed into a valid archive here: for XLSX the rest, split at NUL bytes,
// gives the first worksheet, the shared strings, the styles and (when
// present) the workbook part; for ODS it is content.xml.
#include <unistd.h>
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/ssa_exception.h"
#include "excel/excel.h"
#include "timeseries/ts.h"

namespace {

// One file for the whole run, removed when the fuzzer exits normally.
struct temp_file {
    temp_file() {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/workbook_fuzz_XXXXXX";
        const int fd = mkstemp(&path[0]);
        if (fd < 0) std::abort();
        close(fd);
    }
    ~temp_file() { unlink(path.c_str()); }
    std::string path;
};

void write_zip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parts) {
    unlink(path.c_str());
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) std::abort();
    for (const auto& [name, data] : parts) {
        zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
        if (!s || zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE) < 0) std::abort();
    }
    if (zip_close(z) != 0) std::abort();
}

const char* const content_types =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
const char* const workbook =
    "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" r:id=\"rId1\"/><sheet name=\"T\" r:id=\"rId1\"/></sheets>"
    "</workbook>";
const char* const workbook_rels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"x/styles\" Target=\"/xl/styles.xml\"/></Relationships>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const temp_file file;
    const std::string& path = file.path;
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (input.compare(0, 5, "XLSX\n") == 0) {
        std::vector<std::string> pieces(1);
        for (size_t i = 5; i < input.size(); ++i)
            if (input[i] == '\0' && pieces.size() < 4)
                pieces.emplace_back();
            else
                pieces.back() += input[i];
        pieces.resize(4);
        write_zip(path, {{"[Content_Types].xml", content_types},
                         {"xl/workbook.xml", pieces[3].empty() ? workbook : pieces[3]},
                         {"xl/_rels/workbook.xml.rels", workbook_rels},
                         {"xl/worksheets/sheet1.xml", pieces[0]},
                         {"xl/sharedStrings.xml", pieces[1]},
                         {"xl/styles.xml", pieces[2]}});
    } else if (input.compare(0, 4, "ODS\n") == 0) {
        write_zip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                         {"content.xml", input.substr(4)}});
    } else {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
    }

    CExcel book;
    try {
        book.load(path);
    } catch (const SSA_math_exception::file_exception&) {
        return 0;
    }
    for (int s = 1; s <= book.sheet_count(); ++s) {
        if (book.row_count(s) > 1048576 || book.column_count(s) > 16384) std::abort();
        excel_column_names(book, s);
        t_ts ts;
        try {
            import_excel(book, excel_choice{std::to_string(s), 0, 1}, ts);
        } catch (const SSA_math_exception::file_exception&) {
        }
        const auto* ticks = ts.ticks();
        if (ticks && static_cast<int>(ticks->size()) != ts.size()) std::abort();
    }
    return 0;
}
