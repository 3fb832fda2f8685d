#include "convert/read/position_text.h"

#include "convert/text/angle_text.h"
#include "convert/codes/code_text.h"
#include "convert/links/geo_uri.h"
#include "convert/links/link_text.h"
#include "convert/grids/mgrs.h"
#include "convert/grids/national_grid.h"
#include "convert/read/nmea_text.h"
#include "convert/snippets/snippet_text.h"
#include "convert/text/text_tokens.h"
#include "convert/read/utm_text.h"
#include "values/values.h"

#include <algorithm>

namespace quillet {

using namespace text;

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A text inside quotes as a web page or a spreadsheet quotes it: "…", '…', “…”.
std::string_view Unquoted(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(" \t")));
    for (const auto& [open, close] : {std::pair<std::string_view, std::string_view>{"\"", "\""}, {"'", "'"},
                                      {"\u201C", "\u201D"}})
        if (text.size() >= open.size() + close.size() && text.starts_with(open) && text.ends_with(close))
            return text.substr(open.size(), text.size() - open.size() - close.size());
    return text;
}

// Map links and geodata snippets, told apart by their first character: a
// line that begins with a digit or a sign pays nothing here.
std::optional<PositionReading> ReadLinkOrSnippet(std::string_view text) {
    // A number, a sign or a point first is a plain position: most lines.
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    if (const char c = text[first]; (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == '$')
        return std::nullopt;
    const std::string_view inner = Unquoted(text);
    const char start = inner.empty() ? '\0' : inner.front();
    if (start == '{') return ReadGeoJson(inner);
    if (start == '<')
        if (std::optional<PositionReading> point = ReadXmlPoint(inner)) return point;
    if (IsAsciiLetter(start))
        if (std::optional<PositionReading> wkt = ReadWkt(inner)) return wkt;
    if (IsAsciiLetter(start) || start == '<' || start == '(' || start == '"' || start == '\'' ||
        static_cast<unsigned char>(start) >= 0x80)
        return ReadMapLink(text);
    return std::nullopt;
}

bool SamePlace(const PositionText& one, const PositionText& other) {
    return one.latitude == other.latitude && one.longitude == other.longitude;
}

// UTM, an angle pair, or packed fields.
PositionReading ReadTokens(Tokens tokens) {
    PositionReading reading;
    std::string utmWhy;
    if ((reading.position = ReadUtm(tokens, &utmWhy))) {
        reading.failure = ReadFailure::None;
        return reading;
    }
    reading = ReadPair(tokens);
    // Packed fields whose digits also read as decimal degrees ("0030.5000N
    // 00015.2500E") are two places.
    if (const std::optional<PositionText> packed = ReadPackedPair(tokens)) {
        if (reading.position) {
            reading.failure = ReadFailure::Ambiguous;
            reading.why = TwoReadings(*packed, *reading.position);
            reading.position.reset();
        } else if (reading.failure != ReadFailure::Ambiguous) {
            reading.position = packed;
            reading.failure = ReadFailure::None;
            reading.why.clear();
        }
    }
    // Numbers written as UTM: the UTM reason, not an angle's.
    if (!reading.position && reading.failure != ReadFailure::Ambiguous && !utmWhy.empty()) {
        reading.failure = ReadFailure::Refused;
        reading.why = utmWhy;
    }
    return reading;
}

PositionReading ReadOthers(std::string_view text, const ReadOptions& options, char start);

// "NN16" is a Maidenhead square and a 2-figure British grid reference, 700 km
// apart; only the locator's shortest form can be both. Decided from the
// letters alone, so that a locator never starts PROJ.
bool AlsoBritishSquare(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    text.remove_prefix(first);
    text = text.substr(0, text.find_last_not_of(" \t") + 1);
    return text.size() == 4 && IsBritishGridSquare(text.substr(0, 2)) && text[2] >= '0' && text[2] <= '9' &&
           text[3] >= '0' && text[3] <= '9';
}

bool IsGridCode(Code code) { return code == Code::BritishGrid || code == Code::IrishGrid || code == Code::IrishTm; }

// A sign, a point, or digits followed by neither a letter nor a "+", first:
// no code or MGRS reference starts so, and most lines do ("-33.8688, ...",
// "57°47'26.83\"N ...").
bool PlainNumberFirst(std::string_view text, std::size_t first) {
    if (first >= text.size()) return false;
    const char c = text[first];
    if (c == '-' || c == '+' || c == '.') return true;
    std::size_t at = first;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == first || at == text.size()) return false;
    const char after = text[at];
    return !((after >= 'A' && after <= 'Z') || (after >= 'a' && after <= 'z') || after == '+');
}

// A hemisphere letter and two bare numbers, nothing else ("S 6 6").
bool LetterAndTwoNumbers(std::string_view text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos || !IsHemisphereLetter(text[at])) return false;
    ++at;
    for (int number = 0; number < 2; ++number) {
        const std::size_t blank = at;
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        const std::size_t digits = DigitsFrom(text, at);
        if (at == blank || digits == 0) return false;
        at += digits;
        if (at < text.size() && text[at] == '.') at += 1 + DigitsFrom(text, at + 1);
    }
    return text.find_first_not_of(" \t\r\n", at) == std::string_view::npos;
}

// "S 6 6" is the pair -6, 6, the angle 6° 6' S, and (with one digit each) a
// 2-figure Irish grid reference: none is guessed. The reason names them.
std::optional<PositionReading> LetterPairAmbiguous(std::string_view text, const PositionReading& pair,
                                                   const ReadOptions& options) {
    if (!pair.position || pair.position->notation == Utm || !LetterAndTwoNumbers(text)) return std::nullopt;
    const char letter = text[text.find_first_not_of(" \t")];
    const bool latitude = letter == 'N' || letter == 'S' || letter == 'n' || letter == 's';
    const std::optional<AngleValue> angle = ReadAngleText(text, latitude, options);
    if (!angle) return std::nullopt;
    PositionReading reading;
    reading.failure = ReadFailure::Ambiguous;
    reading.why = PlaceText(*pair.position) + (latitude ? ", the latitude " : ", the longitude ") +
                  NumberToText(RoundHalfEven(angle->value, 6)) + "\u00B0";
    ReadOptions irish = options;
    irish.only = Code::IrishGrid;
    const std::optional<PositionReading> grid = ReadGridReference(text, irish);
    reading.why += grid && grid->position ? " or an Irish grid reference" : "";
    return reading;
}

PositionReading Read(std::string_view text, const ReadOptions& options) {
    const std::size_t first = text.find_first_not_of(" \t");
    const char start = first == std::string_view::npos ? '\0' : text[first];
    if (options.only == Code::None && PlainNumberFirst(text, first)) return ReadOthers(text, options, start);
    // A chosen code is read alone, and a code's shape is unlike any other form's.
    if (std::optional<PositionReading> code = ReadCodeText(text, options)) {
        if (options.only == Code::None && AlsoBritishSquare(text)) {
            // A locator that is also a grid square is two places; a square
            // that is no locator ("TQ38") is a grid reference not asked for.
            const bool locator = code->position.has_value();
            *code = {};
            if (locator) {
                code->failure = ReadFailure::Ambiguous;
                code->why = "a Maidenhead square or a British grid reference";
            }
        }
        return *code;
    }
    PositionReading reading;
    if ((reading.position = ReadMgrsText(text))) {
        reading.failure = ReadFailure::None;
        return reading;
    }
    // A sentence begins with "$", a URI with "geo:", a grid reference with a
    // letter: most texts need none of them tried.
    const bool letter = (start >= 'A' && start <= 'Z') || (start >= 'a' && start <= 'z');
    if ((letter && options.only == Code::None) || IsGridCode(options.only))
        if (std::optional<PositionReading> grid = ReadGridReference(text, options)) {
            if (options.only != Code::None || !grid->position) return *grid;
            // "N 12 34" is an Irish square and the angle 12° 34' N: neither is guessed.
            if (ReadOthers(text, options, start).position || ReadAngleText(text, true, options) ||
                ReadAngleText(text, false, options)) {
                reading.failure = ReadFailure::Ambiguous;
                reading.why = "a grid reference or an angle";
                return reading;
            }
            return *grid;
        }
    reading = ReadOthers(text, options, start);
    if (letter && options.only == Code::None)
        if (std::optional<PositionReading> ambiguous = LetterPairAmbiguous(text, reading, options)) return *ambiguous;
    return reading;
}

PositionReading ReadOthers(std::string_view text, const ReadOptions& options, char start) {
    PositionReading reading;
    if (start == '$')
        if (std::optional<PositionReading> sentence = ReadNmeaSentence(text)) return *sentence;
    if (start == 'g' || start == 'G')
        if (std::optional<PositionReading> uri = ReadGeoUri(text)) return *uri;
    if (std::optional<PositionReading> snippet = ReadLinkOrSnippet(text)) return *snippet;
    thread_local std::vector<Token> tokens;
    if (!Tokenize(text, options.decimalComma, tokens) || tokens.empty()) return reading;
    reading = ReadTokens(tokens);
    // An exponent after a number without a minus ("8e-05") could also be read
    // as East: where that reading gives another place ("8E-05 14.3": 0.00008,
    // 14.3 or 5° 14.3' S, 8° E), the text is two places.
    const auto eastward = [](const Token& token) { return token.exponent && !token.negative; };
    if (reading.position && std::any_of(tokens.begin(), tokens.end(), eastward)) {
        thread_local std::vector<Token> letters;
        const PositionReading east = Tokenize(text, options.decimalComma, letters, false) ? ReadTokens(letters)
                                                                                          : PositionReading{};
        if ((east.position && !SamePlace(*east.position, *reading.position)) ||
            east.failure == ReadFailure::Ambiguous) {
            reading.failure = ReadFailure::Ambiguous;
            reading.why = PlaceText(*reading.position) + " or " + (east.position ? PlaceText(*east.position) : east.why);
            reading.position.reset();
        }
    }
    return reading;
}

}  // namespace

PositionReading ReadPosition(std::string_view text, const ReadOptions& options) {
    try {
        return Read(text, options);
    } catch (...) {  // a number beyond every double, or no memory left
        return {};
    }
}

std::optional<PositionText> ReadPositionText(std::string_view text, const ReadOptions& options) {
    return ReadPosition(text, options).position;
}

std::optional<AngleValue> ReadAngleText(std::string_view text, bool latitude, const ReadOptions& options) {
    try {
        thread_local std::vector<Token> tokens;
        if (!Tokenize(text, options.decimalComma, tokens)) return std::nullopt;
        const std::optional<Angle> angle = ReadAngle(tokens);
        if (!angle || (angle->letter && IsLatitudeLetter(angle->letter) != latitude) ||
            !WithinBound(angle->value, latitude))
            return std::nullopt;
        return AngleValue{NotationOf(angle->parts), angle->value};
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace quillet
