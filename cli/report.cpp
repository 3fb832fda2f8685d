#include "cli/report.h"

#include <cstdint>
#include <cstdio>

namespace quillet {

namespace {

// Characters a terminal shows as nothing, as a blank, or not at all:
// C1 controls, the unusual blanks and joiners, direction marks, the
// byte-order mark, variation selectors and tags.
bool Unusual(std::uint32_t c) {
    struct Range {
        std::uint32_t first, last;
    };
    static constexpr Range kRanges[] = {
        {0x80, 0xA0},     {0xAD, 0xAD},     {0x34F, 0x34F},   {0x61C, 0x61C},   {0x115F, 0x1160},
        {0x1680, 0x1680}, {0x180B, 0x180E}, {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x206F},
        {0x3000, 0x3000}, {0x3164, 0x3164}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0},
        {0xFFF9, 0xFFFB}, {0xE0000, 0xE0FFF}};
    for (const Range& range : kRanges)
        if (c >= range.first && c <= range.last) return true;
    return false;
}

// The length of the well-formed UTF-8 character at the start of `text`
// (no overlong forms, no surrogates), its code point in `c`; 0 if none.
std::size_t DecodeUtf8(std::string_view text, std::uint32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || text.size() < length) return 0;
    c = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

void AppendEscape(std::string& out, const char* format, std::uint32_t value) {
    char escape[16];
    std::snprintf(escape, sizeof escape, format, static_cast<unsigned>(value));
    out += escape;
}

std::string Prefix(std::string_view source) {
    std::string prefix = std::string(kProgram) + ": ";
    if (!source.empty()) prefix.append(Printable(source, 4096)).append(": ");
    return prefix;
}

bool statusShown = false;

void Print(const std::string& message) {
    EraseStatus();
    std::fwrite(message.data(), 1, message.size(), stderr);
}

}  // namespace

std::string Printable(std::string_view text, std::size_t limit) {
    std::string out;
    for (std::size_t count = 0; !text.empty(); ++count) {
        if (count == limit) return out + "…";
        const unsigned char lead = static_cast<unsigned char>(text.front());
        std::uint32_t c = lead;
        const std::size_t length = lead < 0x80 ? 1 : DecodeUtf8(text, c);
        if (length == 0 || lead < 0x20 || lead == 0x7F) {
            AppendEscape(out, "\\x%02x", lead);
            text.remove_prefix(1);
            continue;
        }
        if (Unusual(c)) AppendEscape(out, c > 0xFFFF ? "\\U%08x" : "\\u%04x", c);
        else out.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

void ReportLine(std::string_view source, std::size_t line, std::string_view message, std::string_view text,
                std::string_view hint) {
    ReportDetail(source, line, LineDetail(message, text, hint));
}

std::string LineDetail(std::string_view message, std::string_view text, std::string_view hint) {
    std::string detail(message);
    detail.append(": \"").append(Printable(text)).append("\"");
    if (!hint.empty()) detail.append("; ").append(hint);
    return detail;
}

void ReportDetail(std::string_view source, std::size_t line, std::string_view detail) {
    std::string full = Prefix(source);
    if (line > 0) full.append("line ").append(std::to_string(line)).append(": ");
    full.append(detail).append("\n");
    Print(full);
}

void ReportFile(std::string_view source, std::string_view message) {
    std::string full = Prefix(source);
    full.append(message).append("\n");
    Print(full);
}

// Back to the start of the line, then clear to its end.
void ShowStatus(std::string_view text) {
    std::string line = "\r";
    line.append(text).append("\x1b[K");
    std::fwrite(line.data(), 1, line.size(), stderr);
    statusShown = true;
}

void EraseStatus() {
    if (!statusShown) return;
    std::fputs("\r\x1b[K", stderr);
    statusShown = false;
}

}  // namespace quillet
