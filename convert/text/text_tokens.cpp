#include "convert/text/text_tokens.h"

#include "values/values.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace quillet::text {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
char Upper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Spellings beyond ASCII, as typographic software, fonts and copies from
// web pages produce them, and the marks GeographicLib's decoder takes. A
// longer spelling stands before its prefix.
enum class Piece { Blank, Minus, Degrees, Minutes, Seconds };
struct Spelling {
    std::string_view text;
    Piece piece;
};
constexpr Spelling kSpellings[] = {
    {"\u00B0", Piece::Degrees},  {"\u00BA", Piece::Degrees}, {"\u02DA", Piece::Degrees},
    {"\u2019\u2019", Piece::Seconds}, {"\u2019", Piece::Minutes}, {"\u2032", Piece::Minutes},
    {"\u2018", Piece::Minutes},  {"\u00B4", Piece::Minutes}, {"\u2033", Piece::Seconds},
    {"\u201C", Piece::Seconds},  {"\u201D", Piece::Seconds}, {"\u2070", Piece::Degrees},
    {"\u2218", Piece::Degrees},  {"\u2035", Piece::Minutes}, {"\u201B", Piece::Minutes},
    {"\u02B9", Piece::Minutes},  {"\u02CA", Piece::Minutes}, {"\u02CB", Piece::Minutes},
    {"\u2036", Piece::Seconds},  {"\u02DD", Piece::Seconds}, {"\u201F", Piece::Seconds},
    {"\u02BA", Piece::Seconds},  {"\u00A0", Piece::Blank},
    {"\u2009", Piece::Blank},    {"\u202F", Piece::Blank},   {"\u2007", Piece::Blank},
    {"\u2212", Piece::Minus},    {"\u2010", Piece::Minus},   {"\u2013", Piece::Minus}};

// Words standing for a mark or a hemisphere, in any case.
struct Word {
    std::string_view text;
    Token::Kind kind;
    int mark;
    char letter;
};
constexpr Word kWords[] = {{"deg", Token::Mark, 0, 0},       {"min", Token::Mark, 1, 0},
                           {"sec", Token::Mark, 2, 0},       {"north", Token::Letter, 0, 'N'},
                           {"south", Token::Letter, 0, 'S'}, {"east", Token::Letter, 0, 'E'},
                           {"west", Token::Letter, 0, 'W'}};

bool SameWord(std::string_view written, std::string_view word) {
    if (written.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Upper(written[i]) != Upper(word[i])) return false;
    return true;
}

bool IsMarkLetter(char c) { return Upper(c) == 'D' || Upper(c) == 'M' || Upper(c) == 'S'; }

// Whether `piece` is written at `at`: a loop over two or three bytes, no call.
bool At(std::string_view text, std::size_t at, std::string_view piece) {
    if (text.size() - at < piece.size()) return false;
    for (std::size_t i = 0; i < piece.size(); ++i)
        if (text[at + i] != piece[i]) return false;
    return true;
}

// Up to 15 decimal digits make a whole number below 2^53, exact as a
// double, and every power of ten up to 1e15 is exact too.
constexpr int kExactDigits = 15;
constexpr double kPowersOfTen[kExactDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Plain digits read directly; anything from_chars leaves over goes through
// the number rules, which decide as before.
double Magnitude(std::string_view digits) {
    double magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    return error == std::errc() && end == digits.data() + digits.size() ? magnitude : ParseNumber(digits);
}

// Digits, a point and a digit: a number with a point, at `at`.
bool PointedNumberAt(std::string_view text, std::size_t at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at > start && at + 1 < text.size() && text[at] == '.' && IsDigit(text[at + 1]);
}

// The length of degrees, minutes and seconds written with dots at `at`
// ("27.15.45": up to three digits of degrees, then two each of minutes and
// seconds), or 0. Other runs of dots ("1.2.3") stay no number.
std::size_t DottedLength(std::string_view text, std::size_t at, bool decimalComma) {
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end == at || end - at > 3) return 0;
    for (int group = 0; group < 2; ++group, end += 3)
        if (end + 3 > text.size() || text[end] != '.' || !IsDigit(text[end + 1]) || !IsDigit(text[end + 2]))
            return 0;
    if (end < text.size() && (IsDigit(text[end]) || text[end] == '.' ||
                              (decimalComma && text[end] == ',' && end + 1 < text.size() && IsDigit(text[end + 1]))))
        return 0;
    return end - at;
}

// The end of an exponent glued to a number's digits at `at` ("e-05", "E+1"),
// or `at` when there is none. Only a signed whole number is an exponent: "8E"
// and "1e5" keep their letter, which may be East.
std::size_t ExponentEnd(std::string_view text, std::size_t at, bool decimalComma) {
    if (at + 2 >= text.size() || (text[at] != 'e' && text[at] != 'E') || (text[at + 1] != '-' && text[at + 1] != '+') ||
        !IsDigit(text[at + 2]))
        return at;
    std::size_t end = at + 2;
    while (end < text.size() && IsDigit(text[end])) ++end;
    // "10.5E-20.5": a fraction after it makes it no exponent.
    if (end < text.size() && (text[end] == '.' || (decimalComma && text[end] == ',' && end + 1 < text.size() &&
                                                   IsDigit(text[end + 1]))))
        return at;
    return end;
}

// The blanks among those spellings, for the callers that skip blanks alone.
constexpr std::string_view kBlanks[] = {"\u00A0", "\u2009", "\u202F", "\u2007"};

// Tokens are built where they stay, in the vector: a token assembled aside
// and copied in is read back whole right after being written field by
// field, which stalls the processor on every piece of every line.
void PushMark(std::vector<Token>& tokens, int mark) {
    Token& token = tokens.emplace_back();
    token.kind = Token::Mark;
    token.mark = mark;
}

void PushLetter(std::vector<Token>& tokens, char c, bool glued) {
    Token& token = tokens.emplace_back();
    token.kind = Token::Letter;
    token.letter = Upper(c);
    token.lower = IsLower(c);
    token.glued = glued;
}

// Reads the word at `at`; false when it is none a position is written with.
bool ReadWord(std::string_view text, std::size_t& at, bool glued, std::vector<Token>& tokens) {
    const std::size_t start = at;
    while (at < text.size() && IsLetter(text[at])) ++at;
    const std::string_view word = text.substr(start, at - start);
    if (word.size() == 1) {
        PushLetter(tokens, word[0], glued);
        return true;
    }
    for (const Word& known : kWords)
        if (SameWord(word, known.text)) {
            if (known.kind == Token::Mark)
                PushMark(tokens, known.mark);
            else
                PushLetter(tokens, known.letter, false);
            tokens.back().lower = true;  // a written-out hemisphere is never a band
            return true;
        }
    // A mark glued to its hemisphere: "113dW", "12mE", "24sN".
    if (word.size() == 2 && IsMarkLetter(word[0]) && IsHemisphereLetter(word[1])) {
        PushLetter(tokens, word[0], glued);
        PushLetter(tokens, word[1], false);
        return true;
    }
    return false;
}

}  // namespace

bool IsHemisphereLetter(char c) {
    const char upper = Upper(c);
    return upper == 'N' || upper == 'S' || upper == 'E' || upper == 'W';
}

std::size_t BlankWidth(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    if (text[at] == ' ' || text[at] == '\t') return 1;
    // The other blanks are all beyond ASCII: every digit and letter of an
    // ordinary line is answered here, without the table.
    if (static_cast<unsigned char>(text[at]) < 0x80) return 0;
    for (const std::string_view blank : kBlanks)
        if (At(text, at, blank)) return blank.size();
    return 0;
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (const std::size_t width = BlankWidth(text, at)) at += width;
    return at;
}

std::size_t DigitsFrom(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    return end - at;
}

std::optional<double> PlainDecimal(std::string_view& text) {
    std::size_t at = text.starts_with('-');
    const std::size_t whole = DigitsFrom(text, at);
    if (whole == 0) return std::nullopt;
    at += whole;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = DigitsFrom(text, ++at);
        if (fraction == 0) return std::nullopt;
        at += fraction;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + at, value);
    if (error != std::errc() || end != text.data() + at) return std::nullopt;
    text.remove_prefix(at);
    return value;
}

// Flattened: every helper and the vector's growth are compiled into this one
// loop, which reads every line a file converts; called out of line, pushing
// a token costs more than reading it.
[[gnu::flatten]] bool Tokenize(std::string_view text, bool decimalComma, std::vector<Token>& tokens, bool exponents) {
    // Brackets around the whole pair: "(51.5007, -0.1246)".
    std::size_t first = 0, last = text.size();
    while (first < last && IsAsciiBlank(text[first])) ++first;
    while (last > first && IsAsciiBlank(text[last - 1])) --last;
    if (last - first >= 2 && ((text[first] == '(' && text[last - 1] == ')') ||
                              (text[first] == '[' && text[last - 1] == ']')))
        text = text.substr(first + 1, last - first - 2);

    tokens.clear();
    std::size_t at = 0;
    bool afterNumber = false;  // the previous piece is a number, with no blank since
    std::size_t minutesEnd = std::string_view::npos;  // where the last minutes mark ends
    const auto pushMark = [&](int mark, std::size_t start, std::size_t end) {
        // Two minutes marks in a row are seconds: "''", "´´", "``".
        if (mark == 1 && start == minutesEnd) {
            tokens.back().mark = 2;
            minutesEnd = std::string_view::npos;
            return;
        }
        PushMark(tokens, mark);
        minutesEnd = mark == 1 ? end : std::string_view::npos;
    };
    while (at < text.size()) {
        const char c = text[at];
        bool signedNumber = false, negative = false;
        if (IsLetter(c)) {
            if (!ReadWord(text, at, afterNumber, tokens)) return false;
            afterNumber = false;
            continue;
        }
        if (c == '-' || c == '+') {
            signedNumber = true;
            negative = c == '-';
            ++at;
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            const Spelling* found = nullptr;
            for (const Spelling& spelling : kSpellings)
                if (At(text, at, spelling.text)) {
                    found = &spelling;
                    break;
                }
            if (!found) return false;
            const std::size_t start = at;
            at += found->text.size();
            if (found->piece == Piece::Minus) {
                signedNumber = negative = true;
            } else {
                if (found->piece != Piece::Blank) pushMark(static_cast<int>(found->piece) - 2, start, at);
                afterNumber = false;
                continue;
            }
        } else if (!IsDigit(c) && c != '.') {
            const std::size_t start = at++;
            if (IsAsciiBlank(c)) {
            } else if (c == ',' || c == ';') {
                tokens.emplace_back().kind = Token::Separator;
            } else if (c == ':') {
                tokens.emplace_back().kind = Token::Colon;
            } else if (c == '"') {
                pushMark(2, start, at);
            } else if (c == '\'' || c == '`') {
                pushMark(1, start, at);
            } else if (c == '*') {  // the GRiD symbol for degrees
                pushMark(0, start, at);
            } else {
                return false;
            }
            afterNumber = false;
            continue;
        }
        // A number: an optional sign right before the digits, digits with at
        // most one decimal point, and at least one digit. Two numbers need
        // something between them: "1.2.3" and "33-5" are no pair.
        if (afterNumber) return false;
        const std::size_t start = at;
        int digits = 0, wholeDigits = 0;
        std::uint64_t value = 0;  // the digits as one whole number, while they fit
        bool fraction = false, comma = false;
        std::size_t dotted = 0;
        while (at < text.size()) {
            const char d = text[at];
            if (IsDigit(d)) {
                value = value * 10 + static_cast<unsigned>(d - '0');
                ++digits;
            } else if (d == '.' || (decimalComma && d == ',' && at > start && IsDigit(text[at - 1]) &&
                                    at + 1 < text.size() && IsDigit(text[at + 1]))) {
                if (fraction) {
                    // "48.1372,11.5755": two numbers with points; the comma between them separates.
                    if (d == ',' && !comma && PointedNumberAt(text, at + 1)) break;
                    // A second point: degrees, minutes and seconds with dots, or no number.
                    if (d == '.' && !comma && (dotted = DottedLength(text, start, decimalComma)) != 0) break;
                    return false;
                }
                fraction = true;
                wholeDigits = digits;
                comma = d == ',';
            } else {
                break;
            }
            ++at;
        }
        const auto pushNumber = [&](std::string_view written) -> Token& {
            Token& number = tokens.emplace_back();
            number.kind = Token::Number;
            number.signedNumber = signedNumber;
            number.negative = negative;
            number.digits = written;
            signedNumber = negative = false;  // a sign belongs to the first number only
            return number;
        };
        if (dotted != 0) {
            at = start;
            for (int part = 0; part < 3; ++part) {
                const std::size_t length = part == 0 ? dotted - 6 : 2;
                Token& number = pushNumber(text.substr(at, length));
                number.magnitude = Magnitude(number.digits);
                PushMark(tokens, part);
                at += length + 1;
            }
            at -= 1;
            continue;
        }
        if (digits == 0) return false;
        bool exponent = false;
        if (exponents) {
            const std::size_t end = ExponentEnd(text, at, decimalComma);
            exponent = end != at;
            at = end;
        }
        Token& number = pushNumber(text.substr(start, at - start));
        number.exponent = exponent;
        number.fraction = fraction || exponent;
        if (!exponent && digits <= kExactDigits) {
            // The digits as a whole number over a power of ten, both exact:
            // one division, one rounding, the very double from_chars gives,
            // without reading the digits again.
            number.magnitude = static_cast<double>(value) / kPowersOfTen[fraction ? digits - wholeDigits : 0];
        } else if (comma) {
            std::string point(number.digits);
            point[point.find(',')] = '.';
            number.magnitude = Magnitude(point);
        } else {
            number.magnitude = Magnitude(number.digits);
        }
        afterNumber = true;
    }
    return true;
}

}  // namespace quillet::text
