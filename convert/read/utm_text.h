// A UTM point read from tokens: zone, a band or hemisphere letter or none,
// easting and northing, with or without "E"/"N" or "mE"/"mN" after them.
#pragma once

#include "convert/reading.h"
#include "convert/text/text_tokens.h"

#include <optional>
#include <string>

namespace quillet::text {

// After the zone, a lower-case "n" or "s" (as GeoConvert writes "19s") or a
// written-out "north"/"south" is the hemisphere. Any other letter is a
// latitude band, as receivers write it ("11S" is band S, north of the
// equator), and "N" or "S" falls back to the hemisphere only where the band
// cannot hold the point. A northing written with the false northing in the
// south is read back to the window's negative one.
// Where the tokens are written as UTM (an easting or northing of a thousand
// or more) but the zone, easting or northing lies outside what the boxes
// take, `why` says which.
std::optional<PositionText> ReadUtm(Tokens tokens, std::string* why = nullptr);

}  // namespace quillet::text
