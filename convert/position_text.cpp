#include "convert/position_text.h"

#include "convert/angle_text.h"
#include "convert/codes/code_text.h"
#include "convert/geo_uri.h"
#include "convert/mgrs.h"
#include "convert/nmea_text.h"
#include "convert/text_tokens.h"
#include "convert/utm_text.h"

namespace quillet {

using namespace text;

namespace {

PositionReading Read(std::string_view text, const ReadOptions& options) {
    // A chosen code is read alone, and a code's shape is unlike any other form's.
    if (std::optional<PositionReading> code = ReadCodeText(text, options)) return *code;
    PositionReading reading;
    if ((reading.position = ReadMgrsText(text))) {
        reading.failure = ReadFailure::None;
        return reading;
    }
    // A sentence begins with "$", a URI with "geo:": most texts need neither tried.
    const std::size_t first = text.find_first_not_of(" \t");
    const char start = first == std::string_view::npos ? '\0' : text[first];
    if (start == '$')
        if (std::optional<PositionReading> sentence = ReadNmeaSentence(text)) return *sentence;
    if (start == 'g' || start == 'G')
        if (std::optional<PositionReading> uri = ReadGeoUri(text)) return *uri;
    thread_local std::vector<Token> tokens;
    if (!Tokenize(text, options.decimalComma, tokens) || tokens.empty()) return reading;
    if ((reading.position = ReadUtm(tokens))) {
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
