// .xlsx and .xlsm: a zip of XML parts found through their relationships.
#include <charconv>
#include <map>
#include <vector>

#include "core/number_text.h"
#include "workbook_reader.h"
#include "xml_util.h"
#include "zip_archive.h"

namespace workbook {

namespace {

bool ends_with(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// A relationship target against the folder of the part that names it.
std::string resolve(const std::string& folder, const std::string& target) {
    std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t slash = joined.find('/', start);
        if (slash == std::string::npos) slash = joined.size();
        const std::string p = joined.substr(start, slash - start);
        if (p == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!p.empty() && p != ".") {
            parts.push_back(p);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string folder_of(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string rels_of(const std::string& part) {
    const size_t slash = part.rfind('/');
    return folder_of(part) + "_rels/" + (slash == std::string::npos ? part : part.substr(slash + 1)) + ".rels";
}

struct relationship {
    std::string type, target;
};

std::map<std::string, relationship> read_rels(const zip_archive& zip, const std::string& path, const std::string& part) {
    std::map<std::string, relationship> rels;
    const std::string name = rels_of(part);
    if (!zip.has(name)) return rels;
    std::string text = zip.read(name);
    pugi::xml_document doc;
    parse(doc, text, path, name);
    for (pugi::xml_node r : child(doc, "Relationships").children())
        if (is(r, "Relationship"))
            rels[attr(r, "Id").value()] = {attr(r, "Type").value(), resolve(folder_of(part), attr(r, "Target").value())};
    return rels;
}

// The text of a shared or inline string: its own <t> or the <t> of each
// rich-text run; phonetic runs (<rPh>) are not part of the text.
std::string string_item(const pugi::xml_node& item) {
    std::string s;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (is(c, "t"))
            s += c.child_value();
        else if (is(c, "r"))
            s += child(c, "t").child_value();
    }
    return s;
}

// Built-in ids 14-22 are dates (22 with a time), 18-21 and 45-47 times of day.
date_kind builtin_kind(int id) {
    if ((id >= 14 && id <= 17) || id == 22) return date_kind::date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return date_kind::time;
    return date_kind::none;
}

}  // namespace

date_kind custom_format_kind(const std::string& code) {
    bool date = false, month = false, time = false;
    char prev = 0;
    bool seconds_fraction = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break;
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            if (close == std::string::npos) break;
            i = close;
            continue;
        }
        if (c == '\\' || c == '_' || c == '*') {
            ++i;
            continue;
        }
        if (c == '[') {
            const size_t close = code.find(']', i + 1);
            if (close == std::string::npos) break;
            const std::string inner = code.substr(i + 1, close - i - 1);
            if (!inner.empty() && inner.find_first_not_of("hHmMsS") == std::string::npos) time = true;
            i = close;
            continue;
        }
        const char l = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (l == 'g' && code.compare(i, 7, "General") == 0) return date_kind::none;
        if (c == '@' || c == '#' || c == '?') return date_kind::none;
        if (c == '0' && !seconds_fraction) return date_kind::none;
        if (c == '.' && (prev == 's')) seconds_fraction = true;
        else if (c != '0') seconds_fraction = false;
        if (l == 'y' || l == 'd' || l == 'e') date = true;
        if (l == 'm') month = true;
        if (l == 'h' || l == 's') time = true;
        prev = l;
    }
    if (date) return date_kind::date;
    if (time) return date_kind::time;
    return month ? date_kind::date : date_kind::none;
}

namespace {

std::vector<date_kind> read_styles(const zip_archive& zip, const std::string& path, const std::string& part) {
    std::vector<date_kind> kinds;
    if (part.empty() || !zip.has(part)) return kinds;
    std::string text = zip.read(part);
    pugi::xml_document doc;
    parse(doc, text, path, part);
    const pugi::xml_node sheet = child(doc, "styleSheet");
    std::map<int, date_kind> custom;
    for (pugi::xml_node f : child(sheet, "numFmts").children())
        if (is(f, "numFmt")) custom[attr(f, "numFmtId").as_int()] = custom_format_kind(attr(f, "formatCode").value());
    for (pugi::xml_node xf : child(sheet, "cellXfs").children()) {
        if (!is(xf, "xf")) continue;
        const int id = attr(xf, "numFmtId").as_int();
        const auto c = custom.find(id);
        kinds.push_back(c != custom.end() ? c->second : builtin_kind(id));
    }
    return kinds;
}

// "BC12" -> column 55, row 12; false when it is no cell reference.
bool cell_reference(const char* ref, std::uint64_t& row, std::uint64_t& col) {
    std::uint64_t c = 0, r = 0;
    const char* p = ref;
    for (; (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'); ++p) {
        c = c * 26 + static_cast<std::uint64_t>((*p | 0x20) - 'a' + 1);
        if (c > max_cols + 1) return false;
    }
    const char* digits = p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        r = r * 10 + static_cast<std::uint64_t>(*p - '0');
        if (r > max_rows + 1) return false;
    }
    if (p == ref || p == digits || *p) return false;
    row = r, col = c;
    return true;
}

std::string number_cell(const std::string& v, date_kind kind, bool date1904) {
    double d = 0;
    const char* end = v.data() + v.size();
    const auto r = std::from_chars(v.data(), end, d);
    if (r.ec != std::errc() || r.ptr != end) return v;  // not ours to reinterpret
    if (kind != date_kind::none) {
        std::string iso = serial_date_text(d, date1904, kind == date_kind::time);
        if (!iso.empty()) return iso;
    }
    return value_text(d);
}

struct context {
    const std::string& path;
    const std::vector<std::string>& shared;
    const std::vector<date_kind>& styles;
    bool date1904;
};

void read_sheet(const context& cx, pugi::xml_node sheet_data, sheet_filler& fill, const std::string& sheet_name) {
    std::uint64_t row = 0;
    for (pugi::xml_node rn : sheet_data.children()) {
        if (!is(rn, "row")) continue;
        const pugi::xml_attribute rr = attr(rn, "r");
        row = rr ? rr.as_ullong() : row + 1;
        std::uint64_t col = 0;
        for (pugi::xml_node c : rn.children()) {
            if (!is(c, "c")) continue;
            const pugi::xml_attribute ref = attr(c, "r");
            std::uint64_t at_row = row;
            if (ref) {
                if (!cell_reference(ref.value(), at_row, col))
                    damaged(cx.path, "worksheet \"" + sheet_name + "\" has a bad cell reference");
            } else {
                ++col;
            }
            const std::string type = attr(c, "t").value();
            std::string v = child(c, "v").child_value();
            std::string text;
            if (type == "s") {
                if (v.empty()) continue;
                const unsigned long long i = std::strtoull(v.c_str(), nullptr, 10);
                if (i >= cx.shared.size())
                    damaged(cx.path, "worksheet \"" + sheet_name + "\" names shared string " + v + " that is missing");
                text = cx.shared[i];
            } else if (type == "inlineStr") {
                text = string_item(child(c, "is"));
            } else if (type == "b") {
                text = v.empty() ? "" : v == "1" || v == "true" ? "TRUE" : "FALSE";
            } else if (type == "str" || type == "e" || type == "d") {
                text = v;
            } else if (!v.empty()) {
                const unsigned s = attr(c, "s").as_uint();
                text = number_cell(v, s < cx.styles.size() ? cx.styles[s] : date_kind::none, cx.date1904);
            }
            fill.set(at_row, col, std::move(text));
        }
    }
}

}  // namespace

void read_xlsx(const std::string& path, CExcel& book) {
    const zip_archive zip(path);
    std::string workbook_part = "xl/workbook.xml";
    for (const auto& r : read_rels(zip, path, ""))
        if (ends_with(r.second.type, "/officeDocument")) workbook_part = r.second.target;

    std::string wb_text = zip.read(workbook_part);
    pugi::xml_document wb;
    parse(wb, wb_text, path, workbook_part);
    const pugi::xml_node root = child(wb, "workbook");
    const std::string d1904 = attr(child(root, "workbookPr"), "date1904").value();
    const bool date1904 = d1904 == "1" || d1904 == "true";

    const auto rels = read_rels(zip, path, workbook_part);
    std::string shared_part, styles_part;
    for (const auto& r : rels) {
        if (ends_with(r.second.type, "/sharedStrings")) shared_part = r.second.target;
        if (ends_with(r.second.type, "/styles")) styles_part = r.second.target;
    }
    std::vector<std::string> shared;
    if (!shared_part.empty() && zip.has(shared_part)) {
        std::string text = zip.read(shared_part);
        pugi::xml_document doc;
        parse(doc, text, path, shared_part);
        for (pugi::xml_node si : child(doc, "sst").children())
            if (is(si, "si")) shared.push_back(string_item(si));
    }
    const std::vector<date_kind> styles = read_styles(zip, path, styles_part);
    const context cx{path, shared, styles, date1904};

    budget used;
    for (pugi::xml_node s : child(root, "sheets").children()) {
        if (!is(s, "sheet")) continue;
        const auto rel = rels.find(attr(s, "id").value());
        // Chart and dialog sheets hold no cells.
        if (rel == rels.end() || !ends_with(rel->second.type, "/worksheet")) continue;
        CExcel::worksheet sheet;
        sheet.name = attr(s, "name").value();
        std::string text = zip.read(rel->second.target);
        pugi::xml_document doc;
        parse(doc, text, path, rel->second.target);
        sheet_filler fill(path, sheet, used);
        read_sheet(cx, child(child(doc, "worksheet"), "sheetData"), fill, sheet.name);
        book.sheets().push_back(std::move(sheet));
    }
    if (book.sheet_count() == 0) damaged(path, "it has no worksheet");
}

}  // namespace workbook
