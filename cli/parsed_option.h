#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

namespace tervane::cli {

template <typename Value> using Parser = std::string (*)(std::string_view, Value&);

// An option whose text `parse` turns into a value (the parsers of solve_arguments.h). A text it
// refuses is a usage error with its reason.
template <typename Value>
CLI::Option* addParsedOption(CLI::App& command, const std::string& name, std::optional<Value>& target,
                             Parser<Value> parse, const std::string& help, const std::string& typeName)
{
    const CLI::Validator validator(
        [parse](std::string& text) {
            Value ignored{};
            return parse(text, ignored);
        },
        "", "");
    return command
        .add_option_function<std::string>(
            name,
            [&target, parse](const std::string& text) {
                Value value{};
                parse(text, value);
                target = value;
            },
            help)
        ->check(validator)
        ->type_name(typeName);
}

} // namespace tervane::cli
