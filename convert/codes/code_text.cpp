#include "convert/codes/code_text.h"

#include "convert/codes/gars.h"
#include "convert/codes/geohash.h"
#include "convert/codes/georef.h"
#include "convert/codes/maidenhead.h"
#include "convert/codes/plus_code.h"
#include "convert/text/text_tokens.h"

namespace quillet::text {

namespace {

using codes::CellReading;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLetter(char c) { return IsUpper(c) || (c >= 'a' && c <= 'z'); }
bool IsAlphanumeric(char c) { return IsDigit(c) || IsLetter(c); }
// A blank as any other form has it (a no-break space from a web page too),
// or a line end.
std::size_t BlankAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    const auto c = static_cast<unsigned char>(text[at]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return 1;
    return c < 0x80 ? 0 : BlankWidth(text, at);
}

std::string_view Trimmed(std::string_view text) {
    std::size_t first = 0, end = 0;
    while (const std::size_t width = BlankAt(text, first)) first += width;
    for (std::size_t at = first; at < text.size();)
        if (const std::size_t width = BlankAt(text, at)) at += width;
        else end = ++at;
    return first < end ? text.substr(first, end - first) : std::string_view();
}

bool IsAlphanumericOrPlus(char c) { return IsAlphanumeric(c) || c == '+'; }
bool IsPlusCodeCharacter(char c) { return c == '+' || c == '0' || codes::IsPlusCodeDigit(c); }

bool AllOf(std::string_view text, bool (*test)(char)) {
    for (const char c : text)
        if (!test(c)) return false;
    return true;
}

bool StartsWithAnyCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c) != prefix[i]) return false;
    }
    return true;
}

PositionReading FromCell(const CellReading& cell, Code code) {
    PositionReading reading;
    if (!cell.cell) {
        reading.failure = ReadFailure::Refused;
        reading.why = cell.why;
        return reading;
    }
    PositionText position;
    position.notation = DecimalDegrees;
    position.latitude = cell.cell->Latitude();
    position.longitude = cell.cell->Longitude();
    position.code = code;
    reading.position = position;
    reading.failure = ReadFailure::None;
    return reading;
}

// The Geohash of "geohash:CODE" or of a geohash.org link, or nothing.
std::optional<std::string_view> GeohashPart(std::string_view text) {
    if (StartsWithAnyCase(text, "geohash:")) return Trimmed(text.substr(8));
    for (const std::string_view site : {"https://geohash.org/", "http://geohash.org/", "geohash.org/"})
        if (StartsWithAnyCase(text, site)) {
            const std::string_view path = text.substr(site.size());
            return path.substr(0, path.find_first_of("?#"));
        }
    return std::nullopt;
}

// A Plus Code and what follows it: "9G8F+6X Sydney NSW". Nothing when the
// first word has no "+" after two letters or digits (or, chosen, after none),
// or is a number's exponent ("15e+01").
std::optional<PositionReading> PlusCodeReading(std::string_view text, const ReadOptions& options, bool chosen) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != ',' && !BlankAt(text, end)) ++end;
    const std::string_view code = text.substr(0, end);
    const std::size_t plus = code.find('+');
    // Chosen, a code without its "+" is refused for the want of it.
    if (plus == std::string_view::npos && chosen && !code.empty() && AllOf(code, IsAlphanumeric))
        return FromCell(codes::PlusCodeCell(code), Code::PlusCode);
    if (plus == std::string_view::npos || (!chosen && plus < 2)) return std::nullopt;
    const std::string_view before = code.substr(0, plus), after = code.substr(plus + 1);
    // A second "+" in a word of the code's own characters ("8FWC2345+G6+")
    // is a code refused, not another form.
    if (!AllOf(before, IsAlphanumeric) ||
        !(AllOf(after, IsAlphanumeric) || (AllOf(after, IsAlphanumericOrPlus) && AllOf(code, IsPlusCodeCharacter))))
        return std::nullopt;
    if (!before.empty() && (before.back() == 'e' || before.back() == 'E') &&
        AllOf(before.substr(0, before.size() - 1), IsDigit) && AllOf(after, IsDigit))
        return std::nullopt;
    if (!Trimmed(text.substr(end)).empty()) {
        PositionReading refused;
        refused.failure = ReadFailure::Refused;
        refused.why = codes::IsShortPlusCode(code)
                          ? "short Plus Code with a place name: needs a place database"
                          : "a Plus Code has nothing after it";
        return refused;
    }
    return FromCell(codes::PlusCodeCell(code, options.near), Code::PlusCode);
}

// Letters and digits as a locator has them: two letters, two digits, ...
bool LocatorShaped(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((i / 2 % 2 == 0) ? !IsLetter(text[i]) : !IsDigit(text[i])) return false;
    return true;
}

std::optional<PositionReading> Chosen(std::string_view text, const ReadOptions& options) {
    if (options.only == Code::PlusCode) return PlusCodeReading(text, options, true);
    if (options.only == Code::Geohash)
        if (const std::optional<std::string_view> part = GeohashPart(text))
            return FromCell(codes::GeohashCell(*part), Code::Geohash);
    if (text.empty() || !AllOf(text, IsAlphanumeric)) return std::nullopt;
    switch (options.only) {
    case Code::Maidenhead: return FromCell(codes::MaidenheadCell(text), Code::Maidenhead);
    case Code::Geohash: return FromCell(codes::GeohashCell(text), Code::Geohash);
    case Code::Georef: return FromCell(codes::GeorefCell(text), Code::Georef);
    case Code::Gars: return FromCell(codes::GarsCell(text), Code::Gars);
    default: return std::nullopt;
    }
}

}  // namespace

bool IsCellCode(Code code) {
    return code == Code::PlusCode || code == Code::Maidenhead || code == Code::Geohash || code == Code::Georef ||
           code == Code::Gars;
}

bool IsPlusFirstCode(std::string_view text) {
    std::size_t first = 0;
    while (const std::size_t width = BlankAt(text, first)) first += width;
    if (first >= text.size() || text[first] != '+') return false;
    text = Trimmed(text);
    if (text.size() < 3) return false;
    bool letter = false;
    for (const char c : text.substr(1)) {
        if (!codes::IsPlusCodeDigit(c)) return false;
        letter |= IsLetter(c) && c != 'W' && c != 'w';
    }
    return letter;
}

std::optional<PositionReading> ReadCodeText(std::string_view text, const ReadOptions& options) {
    if (options.only != Code::None) return IsCellCode(options.only) ? Chosen(Trimmed(text), options) : std::nullopt;
    if (IsPlusFirstCode(text)) return FromCell(codes::PlusCodeCell(Trimmed(text), options.near), Code::PlusCode);
    // The first word decides, so that an ordinary line ("33.8688 151.2093")
    // costs a glance: letters and digits, then a "+", a ":" or a blank; or
    // the geohash.org site.
    std::size_t first = 0;
    while (const std::size_t width = BlankAt(text, first)) first += width;
    std::size_t word = first;
    while (word < text.size() && IsAlphanumeric(text[word])) ++word;
    if (word == first) return std::nullopt;
    if (word < text.size() && text[word] != '+' && text[word] != ':' && !BlankAt(text, word) &&
        !(text[word] == '.' && StartsWithAnyCase(text.substr(first), "geohash.")))
        return std::nullopt;
    text = Trimmed(text);
    if (const std::optional<std::string_view> part = GeohashPart(text))
        return FromCell(codes::GeohashCell(*part), Code::Geohash);
    if (std::optional<PositionReading> plusCode = PlusCodeReading(text, options, false)) return plusCode;
    if (text.size() < 4 || !AllOf(text, IsAlphanumeric)) return std::nullopt;
    if (IsUpper(text[0]) && IsUpper(text[1]) && LocatorShaped(text))
        return FromCell(codes::MaidenheadCell(text), Code::Maidenhead);
    if (text.size() > 4 && AllOf(text.substr(0, 4), IsUpper) && AllOf(text.substr(4), IsDigit))
        return FromCell(codes::GeorefCell(text), Code::Georef);
    if (text.size() >= 5 && AllOf(text.substr(0, 3), IsDigit) && IsUpper(text[3]) && IsUpper(text[4]) &&
        AllOf(text.substr(5), IsDigit))
        return FromCell(codes::GarsCell(text), Code::Gars);
    return std::nullopt;
}

std::optional<PositionReading> ReadCodeWithoutMark(std::string_view text) {
    const std::string why = codes::MissingPlus(Trimmed(text));
    if (why.empty()) return std::nullopt;
    PositionReading refused;
    refused.failure = ReadFailure::Refused;
    refused.why = why;
    return refused;
}

}  // namespace quillet::text
