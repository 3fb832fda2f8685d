#include "cli/report.h"

#include <cstdio>

namespace quillet {

namespace {

std::string Prefix(std::string_view source) {
    std::string prefix = std::string(kProgram) + ": ";
    if (!source.empty()) prefix.append(source).append(": ");
    return prefix;
}

void Print(const std::string& message) { std::fwrite(message.data(), 1, message.size(), stderr); }

}  // namespace

void ReportLine(std::string_view source, std::size_t line, std::string_view message, std::string_view text) {
    std::string full = Prefix(source) + "line " + std::to_string(line) + ": ";
    full.append(message).append(": \"").append(text).append("\"\n");
    Print(full);
}

void ReportFile(std::string_view source, std::string_view message) {
    std::string full = Prefix(source);
    full.append(message).append("\n");
    Print(full);
}

}  // namespace quillet
