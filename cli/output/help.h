// The converter's --help as a person reads it: a usage line, the options in
// groups, each with its value's name and what it does, constraints in words.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* app, std::string name) const override;
    std::string make_description(const CLI::App*) const override { return {}; }
    std::string make_positionals(const CLI::App*) const override { return {}; }
    std::string make_group(std::string group, bool positional, std::vector<const CLI::Option*> options) const override;
    std::string make_option(const CLI::Option* option, bool positional) const override;
};

// The usage error for options the converter does not have, where one names
// an output (`isOutput`), as "--mgrs" does: the --to that was meant; empty
// when none does.
std::string MeantOutput(const std::vector<std::string>& unknown, const std::function<bool(std::string_view)>& isOutput);

// "a, b or c".
std::string InWords(const std::vector<std::string>& names, std::string_view last = "or");

// The text wrapped to `width` columns, lines after the first indented by `indent`.
std::string Wrapped(std::string_view text, std::size_t indent, std::size_t width = 79);

}  // namespace quillet
