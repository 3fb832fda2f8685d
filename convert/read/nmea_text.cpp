#include "convert/read/nmea_text.h"

#include "convert/text/angle_text.h"

#include <charconv>

namespace quillet::text {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A packed field "ddmm.mmmm" (or "dddmm.mmmm" with 5 whole digits) in
// degrees; nothing when it is malformed or has 60 minutes or more.
std::optional<double> Packed(std::string_view field, std::size_t wholeDigits) {
    const std::size_t point = field.find('.');
    if ((point == std::string_view::npos ? field.size() : point) != wholeDigits) return std::nullopt;
    for (std::size_t i = 0; i < field.size(); ++i)
        if (!IsDigit(field[i]) && i != point) return std::nullopt;
    int degrees = 0;
    for (std::size_t i = 0; i + 2 < wholeDigits; ++i) degrees = degrees * 10 + (field[i] - '0');
    double minutes = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data() + wholeDigits - 2, end, minutes);
    if (error != std::errc() || stop != end || minutes >= 60) return std::nullopt;
    return degrees + minutes / 60;
}

std::optional<PositionText> PackedPosition(std::string_view latitude, char north, std::string_view longitude,
                                           char east) {
    if ((north != 'N' && north != 'S') || (east != 'E' && east != 'W')) return std::nullopt;
    const std::optional<double> lat = Packed(latitude, 4);
    const std::optional<double> lon = Packed(longitude, 5);
    if (!lat || !lon) return std::nullopt;
    PositionText position;
    position.notation = DegreesMinutes;
    position.latitude = north == 'S' ? -*lat : *lat;
    position.longitude = east == 'W' ? -*lon : *lon;
    if (!WithinBound(position.latitude, true) || !WithinBound(position.longitude, false)) return std::nullopt;
    return position;
}

// A packed field in degrees: minutes are the two whole digits before the
// point, or with `seconds` seconds are and minutes the two before them;
// degrees are the rest, `degreeDigits` digits, or fewer after a point
// ("7407.38"; "500N 1000E" may be metres). Nothing when it is malformed or
// has 60 minutes or seconds or more.
std::optional<double> PackedAngle(std::string_view field, std::size_t degreeDigits, bool seconds) {
    const std::size_t point = field.find('.');
    const std::size_t whole = point == std::string_view::npos ? field.size() : point;
    const std::size_t tail = seconds ? 4 : 2;
    if (whole <= tail || whole - tail > degreeDigits ||
        (point == std::string_view::npos && whole - tail != degreeDigits))
        return std::nullopt;
    for (std::size_t i = 0; i < field.size(); ++i)
        if (!IsDigit(field[i]) && i != point) return std::nullopt;
    int degrees = 0;
    for (std::size_t i = 0; i < whole - tail; ++i) degrees = degrees * 10 + (field[i] - '0');
    const int minutes = seconds ? (field[whole - 4] - '0') * 10 + (field[whole - 3] - '0') : 0;
    double last = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data() + whole - 2, end, last);
    if (error != std::errc() || stop != end || last >= 60 || minutes >= 60) return std::nullopt;
    return seconds ? degrees + minutes / 60.0 + last / 3600 : degrees + last / 60;
}

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<PositionText> ReadPackedPair(Tokens tokens) {
    const Token* pieces[4];
    std::size_t found = 0;
    for (std::size_t at = 0; at < tokens.size(); ++at) {
        if (tokens[at].kind == Token::Separator && found > 0 && at + 1 < tokens.size() &&
            tokens[at + 1].kind != Token::Separator)
            continue;
        const Token::Kind wanted = found % 2 == 0 ? Token::Number : Token::Letter;
        if (found == 4 || tokens[at].kind != wanted || (wanted == Token::Number && tokens[at].signedNumber))
            return std::nullopt;
        pieces[found++] = &tokens[at];
    }
    if (found != 4) return std::nullopt;
    const char north = pieces[1]->letter, east = pieces[3]->letter;
    if ((north != 'N' && north != 'S') || (east != 'E' && east != 'W')) return std::nullopt;
    for (const bool seconds : {false, true}) {
        const std::optional<double> lat = PackedAngle(pieces[0]->digits, 2, seconds);
        const std::optional<double> lon = PackedAngle(pieces[2]->digits, 3, seconds);
        if (!lat || !lon) continue;
        PositionText position;
        position.notation = seconds ? DegreesMinutesSeconds : DegreesMinutes;
        position.latitude = north == 'S' ? -*lat : *lat;
        position.longitude = east == 'W' ? -*lon : *lon;
        if (WithinBound(position.latitude, true) && WithinBound(position.longitude, false)) return position;
    }
    return std::nullopt;
}

std::optional<PositionReading> ReadNmeaSentence(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    if (text.empty() || text.front() != '$') return std::nullopt;
    PositionReading reading;
    std::string_view body = text.substr(1);
    const std::size_t star = body.find('*');
    int checksum = -1;
    if (star != std::string_view::npos) {
        const std::string_view written = body.substr(star + 1);
        if (written.size() != 2 || HexDigit(written[0]) < 0 || HexDigit(written[1]) < 0) return reading;
        checksum = HexDigit(written[0]) * 16 + HexDigit(written[1]);
        body = body.substr(0, star);
    }
    int sum = 0;
    for (const char c : body) {
        if (c < 0x20 || c > 0x7E || c == '$' || c == '!') return reading;
        sum ^= static_cast<unsigned char>(c);
    }
    if (checksum >= 0 && checksum != sum) {
        reading.failure = ReadFailure::Checksum;
        return reading;
    }
    // The address: a talker and a sentence type ("GPGGA"), or a maker's own
    // ("PGRME").
    const std::string_view address = body.substr(0, body.find(','));
    if (address.size() < 3) return reading;
    for (const char c : address)
        if (!IsDigit(c) && !(c >= 'A' && c <= 'Z')) return reading;
    std::string_view fields[13];
    std::string_view rest = body;
    for (std::string_view& field : fields) {
        const std::size_t comma = rest.find(',');
        field = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    const auto letter = [&](int at) { return fields[at].size() == 1 ? fields[at][0] : '\0'; };
    // A position only from a fix the receiver measured: GGA quality 1 to 5
    // (autonomous, differential, PPS, RTK, float RTK), RMC and GLL status A
    // with, from NMEA 2.3 on, a mode of A, D, P, R or F. An estimated (dead
    // reckoning), manual or simulated position (mode E, M or S; quality 6, 7
    // or 8) is no measured place, and NMEA itself marks them V: no fix, as
    // for mode N and anything unknown.
    const auto measuredMode = [&](int at) {
        const char mode = letter(at);
        return fields[at].empty() || (mode != '\0' && std::string_view("ADPRF").find(mode) != std::string_view::npos);
    };
    const std::string_view type = address.size() == 5 && address[0] != 'P' ? address.substr(2) : "";
    int first = 0;  // the field of the latitude
    bool fix = false;
    if (type == "GGA") {
        fix = letter(6) >= '1' && letter(6) <= '5';
        first = 2;
    } else if (type == "RMC") {
        fix = letter(2) == 'A' && measuredMode(12);
        first = 3;
    } else if (type == "GLL") {
        fix = letter(6) == 'A' && measuredMode(7);
        first = 1;
    } else {
        reading.failure = ReadFailure::NoPosition;
        return reading;
    }
    if (!fix) {
        reading.failure = ReadFailure::NoFix;
        return reading;
    }
    reading.position = PackedPosition(fields[first], letter(first + 1), fields[first + 2], letter(first + 3));
    if (reading.position) reading.failure = ReadFailure::None;
    return reading;
}

}  // namespace quillet::text
