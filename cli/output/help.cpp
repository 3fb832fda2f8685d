#include "cli/output/help.h"

#include <cctype>

namespace quillet {

namespace {

constexpr std::size_t kNameColumn = 24;

}  // namespace

std::string MeantOutput(const std::vector<std::string>& unknown, const std::function<bool(std::string_view)>& isOutput) {
    for (const std::string& argument : unknown) {
        if (!argument.starts_with("--")) continue;
        std::string name = argument.substr(2, argument.find('=') - 2);
        if (name.empty() || !isOutput(name)) continue;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return argument.substr(0, name.size() + 2) + " is not an option; did you mean --to " + name + "?";
    }
    return {};
}

std::string InWords(const std::vector<std::string>& names, std::string_view last) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " " + std::string(last) + " " : ", ";
        text += names[i];
    }
    return text;
}

std::string Wrapped(std::string_view text, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t column = indent;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
        if (column > indent && column + 1 + word.size() > width) {
            out.append("\n").append(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out.append(word);
        column += word.size();
    }
    return out;
}

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
    return "Usage: " + name + " [OPTION]... [FILE]...\n" + Wrapped(app->get_description(), 0) + "\n\n";
}

std::string HelpFormatter::make_group(std::string group, bool positional,
                                      std::vector<const CLI::Option*> options) const {
    std::string text = group + ":\n";
    for (const CLI::Option* option : options) text += make_option(option, positional);
    return text;
}

std::string HelpFormatter::make_option(const CLI::Option* option, bool positional) const {
    if (positional) return {};
    std::string usage = "  ";
    for (const char c : option->get_name(false, true)) usage.append(c == ',' ? ", " : std::string(1, c));
    if (!option->get_type_name().empty()) usage += " " + option->get_type_name();
    usage += usage.size() + 2 > kNameColumn ? "\n" + std::string(kNameColumn, ' ')
                                            : std::string(kNameColumn - usage.size(), ' ');
    return usage + Wrapped(option->get_description(), kNameColumn) + "\n";
}

}  // namespace quillet
