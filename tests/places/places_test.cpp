// The country lookup against places no one here chose (Natural Earth's
// populated places, each with its country typed in as a fact), the sea, the
// poles and the ±180° meridian; and Web Mercator against PROJ's EPSG:3857.
#include "places/country_lookup.h"
#include "places/web_mercator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace quillet {
namespace {

using Kind = Place::Kind;

// Whether the verdict names the country, or says it is too close to a border
// or coast to tell, with that country on one side.
bool Confirms(const Place& place, const std::string& country) {
    switch (place.kind) {
        case Kind::Country:
        case Kind::NearCoast:
        case Kind::AtSeaNear: return place.country == country;
        case Kind::NearBorder: return place.country == country || place.other == country;
        case Kind::AtSea: return false;
    }
    return false;
}

TEST(CountryLookup, PopulatedPlacesLieInTheirOwnCountryOrNearItsEdge) {
    std::ifstream table(QUILLET_PLACES_TABLE);
    ASSERT_TRUE(table) << QUILLET_PLACES_TABLE;
    // Countries too small for a 1:110m map, or islands it leaves out: their
    // places fall in a neighbour or far out at sea. Each is named here so
    // that a new exception fails the test.
    const std::set<std::string> expected = {
        "Vatican City", "San Marino", "Vaduz", "Monaco", "Andorra", "Singapore",         // microstates
        "Palikir", "Majuro", "Funafuti", "Melekeok", "Tarawa", "Moroni", "Roseau",       // island states
        "Bridgetown", "Kingstown", "Castries", "Basseterre", "Port Louis", "Saint George's",
        "Manama", "Saint John's", "Nuku'alofa", "Victoria", "São Tomé", "Apia", "Valletta",
        "Malé", "Praia",
        "Malabo", "Port Vila", "Nassau",  // on islands the outlines leave out
    };
    std::set<std::string> exceptions;
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line.front() == '#') continue;
        std::istringstream fields(line);
        std::string name, latitude, longitude, country;
        std::getline(fields, name, '\t');
        std::getline(fields, latitude, '\t');
        std::getline(fields, longitude, '\t');
        std::getline(fields, country);
        ++rows;
        const Place place = LookUpPlace(std::stod(latitude), std::stod(longitude));
        if (!Confirms(place, country)) {
            exceptions.insert(name);
            if (!expected.contains(name)) ADD_FAILURE() << name << " (" << country << "): " << PlaceLine(place);
        }
    }
    EXPECT_EQ(rows, 243);
    EXPECT_EQ(exceptions, expected);
    std::cout << exceptions.size() << " of " << rows << " places not in their own country's outline nor near it\n";
}

struct Case {
    double latitude;
    double longitude;
    const char* line;
};

TEST(CountryLookup, SeaPolesAndTheAntimeridian) {
    const Case cases[] = {
        {48.8566, 2.3522, "France"},
        {-33.8688, 151.2093, "near the coast of Australia"},  // Sydney, on the coast
        {-33.85, 151.45, "at sea, near Australia"},           // 12 km off it
        {-33.85, 151.9, "at sea"},                            // 50 km off it
        {50.63, 3.06, "near the border of France and Belgium"},  // Lille
        {-29.31, 27.48, "near the border of Lesotho and South Africa"},  // Maseru, in an enclave
        {0, -30, "at sea"},
        {90, 0, "at sea"},
        {-90, 0, "Antarctica"},
        {-90, 180, "Antarctica"},
        {-90, -180, "Antarctica"},
        {-85.5, 180, "Antarctica"},  // the ±180° seam of its outline is no coast
        {-85.5, -180, "Antarctica"},
        {-80, 180, "at sea"},  // the Ross Sea: the outline leaves out the ice shelf
        {-16.3, 180, "near the coast of Fiji"},
        {-16.3, -180, "near the coast of Fiji"},
        {-16.3, 540, "near the coast of Fiji"},
        {67.5, 180, "Russia"},       // Chukotka, cut in two at the meridian
        {67.5, -180, "Russia"},
        {67.5, -540, "Russia"},
        {0, 180, "at sea"},
        {0, -180, "at sea"},
        {91, 0, "at sea"},
        {NAN, 0, "at sea"},
        {0, INFINITY, "at sea"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceLine(LookUpPlace(c.latitude, c.longitude)), c.line) << c.latitude << ", " << c.longitude;
}

TEST(CountryLookup, OutlinesReadWholeOrNotAtAll) {
    const std::vector<CountryOutline>& outlines = CountryOutlines();
    ASSERT_EQ(outlines.size(), 177u);
    std::size_t points = 0;
    for (const CountryOutline& country : outlines)
        for (const auto& ring : country.rings) points += ring.size();
    EXPECT_GT(points, 10000u);
    // A damaged file (cut short, or longer than its counts say) gives nothing,
    // never part of an outline.
    const unsigned char good[] = {'Q', 'C', 'T', 'R', 'Y', '0', '1', '\n', 1, 0, 1, 'A', 1, 0, 3, 0,
                                  0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(ReadOutlines(good, sizeof good).size(), 1u);
    for (std::size_t size = 0; size < sizeof good; ++size) EXPECT_TRUE(ReadOutlines(good, size).empty()) << size;
    unsigned char longer[sizeof good + 1] = {};
    std::copy(std::begin(good), std::end(good), longer);
    EXPECT_TRUE(ReadOutlines(longer, sizeof longer).empty());
}

TEST(WebMercator, TilesOfKnownPositions) {
    // Expected from PROJ: cs2cs EPSG:4326 EPSG:3857, then the slippy map's
    // numbering of the metres (x from -20037508.34 m eastwards, y from
    // +20037508.34 m southwards).
    const struct {
        double latitude, longitude;
        TileAddress tile;
    } cases[] = {
        {48.8566, 2.3522, {10, 518, 352}},
        {-33.8688, 151.2093, {12, 3768, 2457}},
        {-22.9068, -43.1729, {8, 97, 144}},
        {40.7128, -74.0060, {16, 19295, 24640}},
        {60.1699, 24.9384, {5, 18, 9}},
        {0, 0, {0, 0, 0}},
        {89, 180, {2, 0, 0}},     // beyond the square: its top edge; 180° is -180°
        {-89, -180, {2, 0, 3}},
    };
    for (const auto& c : cases) {
        const TileAddress tile = TileOf(c.latitude, c.longitude, c.tile.zoom);
        EXPECT_EQ(tile, c.tile) << c.latitude << ", " << c.longitude << " gave " << tile.x << "/" << tile.y;
    }
}

TEST(WebMercator, WorldPointsGoBackToTheirPosition) {
    for (const double latitude : {-85.0, -45.5, -0.001, 0.0, 12.25, 60.17, 85.0})
        for (const double longitude : {-179.999, -74.006, 0.0, 2.35, 151.2, 179.999}) {
            double lat = 0, lon = 0;
            FromWorld(ToWorld(latitude, longitude), lat, lon);
            EXPECT_NEAR(lat, latitude, 1e-9);
            EXPECT_NEAR(lon, longitude, 1e-9);
        }
    double lat = 0, lon = 0;
    FromWorld(ToWorld(89.9, 0), lat, lon);
    EXPECT_NEAR(lat, kMercatorMaxLatitude, 1e-9);
}

TEST(WebMercator, DecimalsAPixelIsWorth) {
    EXPECT_EQ(DecimalsFor(1.4), 0);
    EXPECT_EQ(DecimalsFor(1.0), 0);
    EXPECT_EQ(DecimalsFor(0.7), 1);
    EXPECT_EQ(DecimalsFor(0.1), 1);
    EXPECT_EQ(DecimalsFor(0.03), 2);
    EXPECT_EQ(DecimalsFor(LongitudePerPixel(18)), 6);  // 5.4e-6 degree
    // A zoom 3 pixel spans 0.176° of longitude; at 60° a pixel of latitude is half that.
    EXPECT_EQ(DecimalsFor(LongitudePerPixel(3)), 1);
    EXPECT_EQ(DecimalsFor(LatitudePerPixel(3, 60)), 2);
    EXPECT_NEAR(MetresPerPixel(0, 0), 156543.034, 1e-3);
}

}  // namespace
}  // namespace quillet
