#pragma once

#include <string>

#include <toml++/toml.h>

// What the TOML readers (the materials library, the sweep file) say about the values they refuse.
namespace tervane {

// " (line 3, column 7)" for a place in the text; empty for a value that has no place (built in code).
std::string tomlPlace(const toml::source_region& where);

// "a string", "an integer", "a table", ...: the kind of a value, as a message names it.
std::string tomlTypeName(toml::node_type type);

} // namespace tervane
