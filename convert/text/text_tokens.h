// Cutting a pasted or read text into the pieces positions are written with:
// numbers, marks, letters, separators. Every spelling people and their tools
// use for a mark, a blank or a minus becomes the same piece, so the readers
// above see one alphabet. Plain C++, no Qt; never reads past the text.
#pragma once

#include <span>
#include <optional>
#include <string_view>
#include <vector>

namespace quillet::text {

struct Token {
    enum Kind { Number, Mark, Letter, Separator, Colon } kind;
    // Number: its magnitude, its sign, whether it has a fraction, and its
    // digits as written (without the sign; a decimal comma kept as written).
    double magnitude = 0;
    bool negative = false;
    bool signedNumber = false;
    bool fraction = false;  // also set for an exponent: such a number ends its angle
    bool exponent = false;
    std::string_view digits{};
    // Mark: 0 degrees, 1 minutes, 2 seconds.
    int mark = 0;
    // Letter: upper case; glued when it follows a number or a letter without
    // a blank; lower when written in lower case, or as a whole word
    // ("south"), which can only be a hemisphere.
    char letter = 0;
    bool glued = false;
    bool lower = false;
};

using Tokens = std::span<const Token>;

// Puts the tokens of the text in `tokens` (a vector kept from text to text
// needs no allocation); false when the text holds a character no position
// is written with, a word that is none of the marks' or hemispheres', or
// unmatched brackets. Brackets around the whole text are dropped. With
// `decimalComma`, a comma between two digits is a decimal point, except
// between two numbers that each have a point ("48.1372,11.5755"). With
// `exponents`, an "e" or "E" glued between a number and a signed whole
// number ("-8e-05", "2E+01") is an exponent; otherwise it is a letter.
// Degrees, minutes and seconds written with dots ("27.15.45", two digits
// each of minutes and seconds) become the numbers and their marks.
bool Tokenize(std::string_view text, bool decimalComma, std::vector<Token>& tokens, bool exponents = true);

// N, S, E or W, in either case.
bool IsHemisphereLetter(char c);

// The width in bytes of the blank at `at` (a space, a tab, or one of the
// Unicode blanks the tokenizer takes), or 0 when there is none.
std::size_t BlankWidth(std::string_view text, std::size_t at);

// The first place from `at` on that is not such a blank.
std::size_t SkipBlanks(std::string_view text, std::size_t at);

// How many ASCII digits follow from `at`.
std::size_t DigitsFrom(std::string_view text, std::size_t at);

// A plain decimal as URIs and links write it: "-"? digits ("." digits)?, no
// exponent and no blank. Removes it from the front of `text`.
std::optional<double> PlainDecimal(std::string_view& text);

}  // namespace quillet::text
