#include "cli/output/report.h"

#include <atomic>
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

void ReportPositionNotFile(std::string_view name) {
    // The name goes back into the example only where the shell would pass
    // it on as it stands.
    const std::string printable = Printable(name, 200);
    const bool asTyped = printable == name && name.find('\'') == std::string_view::npos;
    ReportFile({}, "no file named \"" + printable + "\"; to convert a position, give it on standard input: echo '" +
                       (asTyped ? printable : "…") + "' | " + kProgram);
}

std::string_view CsvHeaderHint(std::string_view line) {
    const std::size_t delimiter = line.find_first_of(",;\t");
    if (delimiter == std::string_view::npos) return {};
    // Every cell a name: a letter first, then letters, digits, blanks or
    // the marks names use; quotes around a cell allowed.
    for (std::size_t start = 0; start <= line.size();) {
        std::size_t end = line.find(line[delimiter], start);
        if (end == std::string_view::npos) end = line.size();
        std::string_view cell = line.substr(start, end - start);
        while (!cell.empty() && (cell.front() == ' ' || cell.front() == '"')) cell.remove_prefix(1);
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '"' || cell.back() == '\r')) cell.remove_suffix(1);
        const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
        if (cell.empty() || !letter(cell.front())) return {};
        for (const char c : cell)
            if (!letter(c) && !(c >= '0' && c <= '9') && std::string_view(" _-.()/").find(c) == std::string_view::npos)
                return {};
        start = end + 1;
    }
    return "this looks like CSV with a header: add --csv and --lat/--lon or --position";
}

namespace {
thread_local NoteKeeper* noteKeeper = nullptr;
std::atomic<const char*> notesSaid[8] = {};

bool Said(std::string_view note) {
    for (const std::atomic<const char*>& slot : notesSaid) {
        const char* seen = slot.load(std::memory_order_acquire);
        if (seen == note.data()) return true;
        if (seen == nullptr) return false;
    }
    return false;
}
}  // namespace

KeptNotes::KeptNotes(NoteKeeper& keeper) { noteKeeper = &keeper; }
KeptNotes::~KeptNotes() { noteKeeper = nullptr; }

void ReportOnce(std::string_view note) {
    // A note is a text of static storage, known by its address: a load per
    // line once it is said, whatever the number of threads.
    if (note.empty()) return;
    // Said already: by the writing thread, so for an earlier block.
    if (noteKeeper) {
        if (!Said(note)) noteKeeper->Keep(note);
        return;
    }
    for (std::atomic<const char*>& slot : notesSaid) {
        const char* seen = slot.load(std::memory_order_acquire);
        if (seen == nullptr && slot.compare_exchange_strong(seen, note.data())) {
            ReportFile({}, note);
            return;
        }
        if (seen == note.data()) return;
    }
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
