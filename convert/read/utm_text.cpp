#include "convert/read/utm_text.h"

#include "geodesy/exact_inverse.h"
#include "geodesy/utm.h"
#include "values/values.h"

#include <cmath>

namespace quillet::text {

namespace {

// Whether the UTM point lies in the band, allowing a couple of metres for
// the whole metres it was written in.
bool InBand(const UtmPoint& point, char band) {
    // The exact inverse, not the window's series: which band a point lies in
    // does not depend on whether the series reaches it (near a pole it may
    // not; converting it is refused later, with its own message).
    const double latitude = ExactUtmInverse(point.northing, point.easting, point.zone * 6.0 - 183).latitude;
    for (double nudge : {0.0, -2e-5, 2e-5})
        if (ZoneLetter(latitude + nudge) == std::string(1, band)) return true;
    return false;
}

// A northing written with the false northing in the south, read back to the
// window's negative one; a negative northing is the window's already.
double WithoutFalseNorthing(double northing) { return northing > 0 ? northing - kFalseNorthing : northing; }

double Signed(const Token& number) { return number.negative ? -number.magnitude : number.magnitude; }

}  // namespace

std::optional<PositionText> ReadUtm(Tokens tokens, std::string* why) {
    std::size_t at = 0;
    const auto next = [&](Token::Kind kind) { return at < tokens.size() && tokens[at].kind == kind; };
    // "E", "mE" or "m E" after the easting, and the same with "N".
    const auto unit = [&](char letter) {
        const bool metres = next(Token::Letter) && tokens[at].letter == 'M';
        if (at + metres < tokens.size() && tokens[at + metres].kind == Token::Letter &&
            tokens[at + metres].letter == letter)
            at += metres + 1;
    };
    if (!next(Token::Number)) return std::nullopt;
    const Token& zone = tokens[at++];
    const Token* letter = next(Token::Letter) ? &tokens[at++] : nullptr;
    if (!next(Token::Number)) return std::nullopt;
    const Token& easting = tokens[at++];
    unit('E');
    if (!next(Token::Number)) return std::nullopt;
    const Token& northing = tokens[at++];
    unit('N');
    if (at != tokens.size()) return std::nullopt;
    // Numbers no angle is written with: the reason is worth saying.
    const bool utmLike = std::fabs(Signed(easting)) >= 1000 || std::fabs(Signed(northing)) >= 1000;
    const auto refuse = [&](std::string reason) {
        if (why && utmLike) *why = std::move(reason);
        return std::nullopt;
    };
    if (zone.exponent) return std::nullopt;
    if (zone.fraction) return refuse("UTM zone " + NumberToText(Signed(zone)) + " is not a whole number");
    if (zone.negative || zone.magnitude < 1 || zone.magnitude > 60)
        return refuse("UTM zone " + NumberToText(Signed(zone)) + " is outside 1\u201360");
    if (zone.signedNumber) return std::nullopt;
    if (Signed(easting) < kLeastEasting || Signed(easting) > kGreatestEasting)
        return refuse("easting " + NumberToText(Signed(easting)) + " is outside " + NumberToText(kLeastEasting) +
                      "\u2013" + NumberToText(kGreatestEasting));

    PositionText position;
    position.notation = Utm;
    UtmPoint& point = position.utm;
    point.zone = static_cast<int>(zone.magnitude);
    point.easting = Signed(easting);
    const double written = Signed(northing);
    point.northing = written;
    if (letter) {
        const char band = letter->letter;
        const bool hemisphere = letter->lower && (band == 'N' || band == 'S');
        const bool southBand = band == 'A' || (band >= 'C' && band <= 'M');
        const bool northBand = band == 'Z' || (band >= 'N' && band <= 'X');
        if (southBand) point.northing = WithoutFalseNorthing(written);
        if (hemisphere || !((southBand || northBand) && InBand(point, band))) {
            // Not that band: N or S is then the hemisphere.
            if (band == 'N' && written >= 0) point.northing = written;
            else if (band == 'S') point.northing = WithoutFalseNorthing(written);
            else return std::nullopt;
        }
    }
    if (point.northing < -kFalseNorthing || point.northing > kFalseNorthing)
        return refuse("northing " + NumberToText(written) + " is beyond " + (written < 0 ? "-" : "") +
                      NumberToText(kFalseNorthing));
    return position;
}

}  // namespace quillet::text
