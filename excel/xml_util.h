// pugixml helpers that ignore namespace prefixes: producers differ in them.
#pragma once

#include <pugixml.hpp>

#include <cstring>
#include <string>

#include "workbook_reader.h"

namespace workbook {

inline const char* local_name(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

inline bool is(const pugi::xml_node& n, const char* local) { return std::strcmp(local_name(n.name()), local) == 0; }

inline pugi::xml_node child(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, local)) return c;
    return {};
}

inline pugi::xml_attribute attr(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(local_name(a.name()), local) == 0) return a;
    return {};
}

// Parses a part read from the archive; throws the damaged-file message.
inline void parse(pugi::xml_document& doc, std::string& text, const std::string& path, const std::string& part) {
    const pugi::xml_parse_result r =
        doc.load_buffer_inplace(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r) damaged(path, "damaged XML in " + part + ": " + r.description());
}

}  // namespace workbook
