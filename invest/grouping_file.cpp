#include "grouping_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/file_replace.h"

std::string grouping_json(const t_grouping& g) {
    nlohmann::json groups = nlohmann::json::array();
    for (const component_group& group : g.groups) {
        std::vector<int> numbers;
        for (int c : group.components) numbers.push_back(c + 1);
        groups.push_back({{"name", group.name}, {"components", numbers}});
    }
    const nlohmann::json j = {{"series", g.series}, {"L", g.L}, {"groups", groups}};
    return j.dump(2) + "\n";
}

t_grouping grouping_from_json(const std::string& text) {
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw grouping_error(std::string("the grouping file is not valid JSON (") + e.what() + ")");
    }
    if (!j.is_object()) throw grouping_error("the grouping file holds no JSON object");
    auto field = [&j](const char* key) -> const nlohmann::json& {
        if (!j.contains(key)) throw grouping_error(std::string("the grouping has no \"") + key + "\"");
        return j.at(key);
    };
    t_grouping g;
    const nlohmann::json& series = field("series");
    if (!series.is_string()) throw grouping_error("the grouping's \"series\" is not a text");
    g.series = series.get<std::string>();
    const nlohmann::json& L = field("L");
    if (!L.is_number_integer()) throw grouping_error("the grouping's \"L\" is not a whole number");
    g.L = L.get<int>();
    const nlohmann::json& groups = field("groups");
    if (!groups.is_array()) throw grouping_error("the grouping's \"groups\" is not a list");
    for (const nlohmann::json& item : groups) {
        const std::string at = "group " + std::to_string(g.groups.size() + 1);
        if (!item.is_object() || !item.contains("name") || !item["name"].is_string())
            throw grouping_error("the grouping's " + at + " has no \"name\" text");
        if (!item.contains("components") || !item["components"].is_array())
            throw grouping_error("the grouping's " + at + " has no \"components\" list");
        component_group group{item["name"].get<std::string>(), {}};
        for (const nlohmann::json& c : item["components"]) {
            if (!c.is_number_integer() || c.get<long long>() < 1 || c.get<long long>() > (1LL << 30))
                throw grouping_error("the group \"" + group.name + "\" has a component that is no number from 1: " +
                                     c.dump());
            group.components.push_back(c.get<int>() - 1);
        }
        std::sort(group.components.begin(), group.components.end());
        g.groups.push_back(std::move(group));
    }
    return g;
}

void save_grouping(const std::string& path, const t_grouping& g) {
    replace_file(path, grouping_json(g), "unable to write the grouping");
}

t_grouping load_grouping(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw grouping_error("unable to read the grouping file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return grouping_from_json(text.str());
}

void check_grouping_fits(const t_grouping& g, int N, int L_shown, int in_use) {
    if (g.L < 2 || g.L > N - 1)
        throw grouping_error("the grouping's window length " + std::to_string(g.L) + " does not fit a series of " +
                             std::to_string(N) + " values (2.." + std::to_string(N - 1) + ")");
    if (L_shown != 0 && L_shown != g.L)
        throw grouping_error("the grouping was made with L = " + std::to_string(g.L) + ", not L = " +
                             std::to_string(L_shown));
    check_groups(g.groups, in_use);
}
