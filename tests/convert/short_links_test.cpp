// The codes of links that hold their place: the published examples, and
// round trips through an encoder written from the same descriptions.
#include "convert/links/short_links.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

using namespace quillet::text;

namespace {

constexpr char kGe0Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr char kOsmAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_~";

// Six bits a character, from the top: first's bit, second's bit, three times.
std::string Interleaved(std::uint64_t first, std::uint64_t second, int bits, int characters, const char* alphabet) {
    std::string code;
    for (int i = 0; i < characters; ++i) {
        int value = 0;
        for (int k = 0; k < 3; ++k) {
            const int bit = bits - 1 - 3 * i - k;
            value = value << 2 | static_cast<int>((first >> bit & 1) << 1 | (second >> bit & 1));
        }
        code += alphabet[value];
    }
    return code;
}

// ge0: a zoom character, then latitude over 2^30 - 1 steps rounded,
// longitude over 2^30, as the apps write it.
std::string Ge0Code(double latitude, double longitude, int characters) {
    const double top = std::ldexp(1.0, 30);
    const auto lat = static_cast<std::uint64_t>((latitude + 90) / 180 * (top - 1) + 0.5);
    const auto lon = static_cast<std::uint64_t>((longitude + 180) / 360 * top + 0.5) % static_cast<std::uint64_t>(top);
    return "A" + Interleaved(lat, lon, 30, characters, kGe0Alphabet);
}

// OpenStreetMap: 32 bits each, longitude first, truncated.
std::string OsmCode(double latitude, double longitude, int characters) {
    const double top = std::ldexp(1.0, 32);
    const auto x = static_cast<std::uint64_t>((longitude + 180) / 360 * top);
    const auto y = static_cast<std::uint64_t>((latitude + 90) / 180 * top);
    return Interleaved(x, y, 32, characters, kOsmAlphabet);
}

TEST(ShortLinks, PublishedExamples) {
    // The ge0 decoder's own README; OpenStreetMap's wiki: 0EEQjE-- is the view 51.511, 0.055 at zoom 9.
    const auto ge0 = Ge0Place("B4srhdHVVt");
    ASSERT_TRUE(ge0);
    EXPECT_NEAR(ge0->first, 64.5234, 1e-5);
    EXPECT_NEAR(ge0->second, 12.1234, 1e-5);
    for (const char* code : {"0EEQjE--", "0EEQjE==", "0EEQjE"}) {
        const auto osm = OsmShortPlace(code);
        ASSERT_TRUE(osm) << code;
        EXPECT_NEAR(osm->first, 51.511, 180 / std::ldexp(1.0, 18)) << code;
        EXPECT_NEAR(osm->second, 0.055, 360 / std::ldexp(1.0, 18)) << code;
    }
    // Older links wrote "@" for "~".
    EXPECT_EQ(OsmShortPlace("~~~"), OsmShortPlace("@@@"));
    for (const char* broken : {"", "A", "B4srhdHVVtAB", "B4sr*dHVVt", "B4sr dHVVt"}) EXPECT_FALSE(Ge0Place(broken)) << broken;
    for (const char* broken : {"", "---", "0EEQjE---", "0E-EQ", "0EEQjE!", "0EEQjEEbAAA"})
        EXPECT_FALSE(OsmShortPlace(broken)) << broken;
}

// A point written as a code reads back within the code's cell; a code read
// and written again is itself.
TEST(ShortLinks, BothWaysOverRandomPoints) {
    std::mt19937_64 random(32);
    std::uniform_real_distribution<double> latitudes(-90, 90), longitudes(-180, 180);
    std::uniform_int_distribution<int> characters(1, 10), letters(0, 63);
    for (int i = 0; i < 2000; ++i) {
        const double latitude = latitudes(random), longitude = longitudes(random);
        const int n = characters(random);
        const auto ge0 = Ge0Place(Ge0Code(latitude, longitude, n));
        ASSERT_TRUE(ge0);
        EXPECT_NEAR(ge0->first, latitude, 180 / std::ldexp(1.0, 3 * n)) << latitude << " " << n;
        EXPECT_NEAR(ge0->second, longitude, 360 / std::ldexp(1.0, 3 * n)) << longitude << " " << n;
        const auto osm = OsmShortPlace(OsmCode(latitude, longitude, n));
        ASSERT_TRUE(osm);
        EXPECT_NEAR(osm->first, latitude, 90 / std::ldexp(1.0, 3 * n)) << latitude << " " << n;
        EXPECT_NEAR(osm->second, longitude, 180 / std::ldexp(1.0, 3 * n)) << longitude << " " << n;

        std::string ge0Code = "A", osmCode;
        for (int k = 0; k < n; ++k) {
            ge0Code += kGe0Alphabet[letters(random)];
            osmCode += kOsmAlphabet[letters(random)];
        }
        const auto ge0Back = Ge0Place(ge0Code);
        const auto osmBack = OsmShortPlace(osmCode + "-");
        ASSERT_TRUE(ge0Back && osmBack) << ge0Code << " " << osmCode;
        if (std::fabs(ge0Back->second) < 180 - 1e-6) {
            EXPECT_EQ(Ge0Code(ge0Back->first, ge0Back->second, n), ge0Code);
        }
        EXPECT_EQ(OsmCode(osmBack->first, osmBack->second, n), osmCode);
    }
}

}  // namespace
