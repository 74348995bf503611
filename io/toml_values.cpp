#include "io/toml_values.h"

namespace tervane {

std::string tomlPlace(const toml::source_region& where)
{
    if (where.begin.line == 0)
        return {};
    return " (line " + std::to_string(where.begin.line) + ", column " + std::to_string(where.begin.column) +
           ")";
}

std::string tomlTypeName(toml::node_type type)
{
    switch (type) {
    case toml::node_type::string:
        return "a string";
    case toml::node_type::integer:
        return "an integer";
    case toml::node_type::floating_point:
        return "a floating-point number";
    case toml::node_type::boolean:
        return "a boolean";
    case toml::node_type::date:
        return "a date";
    case toml::node_type::time:
        return "a time";
    case toml::node_type::date_time:
        return "a date-time";
    case toml::node_type::array:
        return "an array";
    case toml::node_type::table:
        return "a table";
    case toml::node_type::none:
        break;
    }
    return "nothing";
}

} // namespace tervane
