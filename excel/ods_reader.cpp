// .ods: content.xml of a zip, tables of rows of cells with repeat counts.
#include <charconv>
#include <vector>

#include "core/number_text.h"
#include "workbook_reader.h"
#include "xml_util.h"
#include "zip_archive.h"

namespace workbook {

namespace {

// Excel's limit on a cell's text; longer runs of spaces are cut there.
constexpr size_t max_cell_text = 32767;

// The text of one paragraph: its characters, <text:s text:c="n"/> spaces,
// tabs and line breaks, through spans and links, in document order.
struct paragraph_text : pugi::xml_tree_walker {
    std::string text;
    bool for_each(pugi::xml_node& n) override {
        if (text.size() >= max_cell_text) return false;
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            text += n.value();
        } else if (n.type() == pugi::node_element) {
            if (is(n, "s")) {
                const unsigned c = attr(n, "c") ? attr(n, "c").as_uint() : 1;
                text.append(std::min<size_t>(c, max_cell_text - text.size()), ' ');
            } else if (is(n, "tab")) {
                text += '\t';
            } else if (is(n, "line-break")) {
                text += '\n';
            }
        }
        return true;
    }
};

std::string paragraphs(const pugi::xml_node& cell) {
    std::string s;
    bool first = true;
    for (pugi::xml_node p = cell.first_child(); p; p = p.next_sibling()) {
        if (!is(p, "p")) continue;
        paragraph_text w;
        p.traverse(w);
        if (!first) s += '\n';
        s += w.text;
        first = false;
        if (s.size() > max_cell_text) s.resize(max_cell_text);
    }
    return s;
}

// "PT12H30M05S" -> "12:30:05"; empty when it is not such a duration.
std::string duration_text(const std::string& d) {
    unsigned h = 0, m = 0, s = 0;
    if (std::sscanf(d.c_str(), "PT%uH%uM%uS", &h, &m, &s) != 3 || h > 9999) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", h, m % 60, s % 60);
    return buf;
}

std::string cell_text(const pugi::xml_node& cell) {
    const std::string type = cell.attribute("office:value-type").value();
    if (type == "float" || type == "percentage" || type == "currency") {
        const std::string v = cell.attribute("office:value").value();
        double d = 0;
        const auto r = std::from_chars(v.data(), v.data() + v.size(), d);
        if (!v.empty() && r.ec == std::errc() && r.ptr == v.data() + v.size()) return value_text(d);
    } else if (type == "date") {
        const std::string v = cell.attribute("office:date-value").value();
        if (!v.empty()) return v.substr(0, 64);
    } else if (type == "time") {
        const std::string t = duration_text(cell.attribute("office:time-value").value());
        if (!t.empty()) return t;
    } else if (type == "boolean") {
        const std::string v = cell.attribute("office:boolean-value").value();
        return v == "true" || v == "1" ? "TRUE" : "FALSE";
    }
    return paragraphs(cell);
}

// A repeat count, saturated so that adding it to a position cannot overflow.
std::uint64_t repeat(const pugi::xml_node& n, const char* name) {
    const pugi::xml_attribute a = n.attribute(name);
    if (!a) return 1;
    const unsigned long long r = a.as_ullong();
    return r == 0 ? 1 : std::min<std::uint64_t>(r, max_rows + max_cols);
}

struct run {
    std::uint64_t col, count;
    std::string text;
};

class table_reader {
public:
    table_reader(const std::string& path, sheet_filler& fill) : m_path(path), m_fill(fill) {}

    // Rows may sit in header-row, row-group and rows elements, nested.
    void rows(const pugi::xml_node& parent, int depth) {
        for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
            if (is(n, "table-row"))
                row(n);
            else if (depth < 32 && (is(n, "table-header-rows") || is(n, "table-row-group") || is(n, "table-rows")))
                rows(n, depth + 1);
        }
    }

private:
    void row(const pugi::xml_node& r) {
        const std::uint64_t times = repeat(r, "table:number-rows-repeated");
        std::vector<run> runs;
        std::uint64_t col = 0, width = 0;
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            if (!is(c, "table-cell") && !is(c, "covered-table-cell")) continue;
            const std::uint64_t n = repeat(c, "table:number-columns-repeated");
            std::string text = cell_text(c);
            // Empty cells only move the position: a sheet's trailing
            // thousands of blank columns cost nothing.
            if (!text.empty()) {
                runs.push_back({col + 1, n, std::move(text)});
                width = col + n;
            }
            col = std::min<std::uint64_t>(col + n, max_cols + 1);
        }
        if (!runs.empty()) {
            if (m_row + times > max_rows || width > max_cols)
                damaged(m_path, "a table has a cell beyond row " + std::to_string(max_rows) + " or column " +
                                    std::to_string(max_cols));
            m_fill.expect(times * width);
            for (std::uint64_t k = 1; k <= times; ++k)
                for (const run& u : runs)
                    for (std::uint64_t j = 0; j < u.count; ++j) m_fill.set(m_row + k, u.col + j, u.text);
        }
        m_row = std::min<std::uint64_t>(m_row + times, max_rows + max_cols);
    }

    const std::string& m_path;
    sheet_filler& m_fill;
    std::uint64_t m_row = 0;
};

}  // namespace

void read_ods(const std::string& path, CExcel& book) {
    const zip_archive zip(path);
    if (zip.has("META-INF/manifest.xml")) {
        std::string text = zip.read("META-INF/manifest.xml");
        pugi::xml_document doc;
        parse(doc, text, path, "META-INF/manifest.xml");
        for (pugi::xml_node entry : child(doc, "manifest").children())
            if (child(entry, "encryption-data")) encrypted(path);
    }
    std::string text = zip.read("content.xml");
    pugi::xml_document doc;
    parse(doc, text, path, "content.xml");
    const pugi::xml_node spreadsheet = child(child(child(doc, "document-content"), "body"), "spreadsheet");
    budget used;
    for (pugi::xml_node t : spreadsheet.children()) {
        if (!is(t, "table")) continue;
        CExcel::worksheet sheet;
        sheet.name = t.attribute("table:name").value();
        sheet_filler fill(path, sheet, used);
        table_reader(path, fill).rows(t, 0);
        book.sheets().push_back(std::move(sheet));
    }
    if (book.sheet_count() == 0) damaged(path, "it has no table");
}

}  // namespace workbook
