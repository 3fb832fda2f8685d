#include "convert/forms/code_forms.h"

#include "convert/codes/gars.h"
#include "convert/codes/geohash.h"
#include "convert/codes/georef.h"
#include "convert/codes/maidenhead.h"
#include "convert/codes/plus_code.h"
#include "convert/grids/mgrs.h"
#include "convert/grids/national_grid.h"
#include "convert/output_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace quillet {

namespace {

constexpr std::array<std::string_view, 1> kUtmReceiverNames{"utm-receiver"};
constexpr std::array<std::string_view, 1> kMgrsNames{"mgrs"};
constexpr std::array<std::string_view, 3> kPlusCodeNames{"pluscode", "olc", "plus-code"};
constexpr std::array<std::string_view, 2> kMaidenheadNames{"maidenhead", "locator"};
constexpr std::array<std::string_view, 1> kGeohashNames{"geohash"};
constexpr std::array<std::string_view, 1> kGeorefNames{"georef"};
constexpr std::array<std::string_view, 1> kGarsNames{"gars"};

constexpr std::array<std::string_view, 2> kBritishNames{"bng", "osgb"};
constexpr std::array<std::string_view, 1> kIrishNames{"irish"};
constexpr std::array<std::string_view, 1> kIrishTmNames{"itm"};
constexpr std::array<std::string_view, 1> kGeoNames{"geo"};
constexpr std::array<std::string_view, 1> kWktNames{"wkt"};
constexpr std::array<std::string_view, 1> kGeoJsonNames{"geojson"};
constexpr std::array<std::string_view, 1> kOsmNames{"osm"};
constexpr std::array<std::string_view, 1> kGoogleNames{"google"};

// Add a row here, a case in FormatCode and ValidCodeLength, and the code is
// in the converter's --to and --from, its CSV column and the window's menu.
// Lengths: Plus Code digits (10 is about 14 m, 11 about 3 m), characters of
// Maidenhead, Geohash and GEOREF, the minutes of a GARS cell, figures of a
// grid reference. The grids' window length is 8 figures: the window shows
// about a metre, and without the OSTN15 grid file the datum shift is good to
// about 2 m. Links and snippets have no length: they write decimal degrees
// to 7 places (about a centimetre), as every map reads them.
const std::array<CodeForm, 15> kForms{{
    {Code::UtmReceiver, kUtmReceiverNames, "UTM (receivers)", -1, -1},
    {Code::Mgrs, kMgrsNames, "MGRS", 5, 5},
    {Code::PlusCode, kPlusCodeNames, "Plus Code", 10, 10},
    {Code::Maidenhead, kMaidenheadNames, "Maidenhead", 6, 6},
    {Code::Geohash, kGeohashNames, "Geohash", 9, 9},
    {Code::Georef, kGeorefNames, "GEOREF", 8, 8},
    {Code::Gars, kGarsNames, "GARS", 5, 5},
    {Code::BritishGrid, kBritishNames, "British National Grid", 10, 8},
    {Code::IrishGrid, kIrishNames, "Irish Grid", 10, 8},
    {Code::IrishTm, kIrishTmNames, "", -1, -1},
    {Code::GeoUri, kGeoNames, "geo: URI", -1, -1},
    {Code::OsmLink, kOsmNames, "OpenStreetMap link", -1, -1},
    {Code::GoogleLink, kGoogleNames, "Google Maps link", -1, -1},
    {Code::Wkt, kWktNames, "", -1, -1},
    {Code::GeoJson, kGeoJsonNames, "", -1, -1},
}};

// Decimal degrees to 7 places, without trailing zeros, never "-0".
std::string Degrees(double value) {
    char digits[64];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 7);
    std::string text(digits, error == std::errc() ? end : digits);
    while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) text.pop_back();
    return text == "-0" ? "0" : text;
}

// The zone and its band as one word, then the easting and the northing with
// the false northing in the south: "56H 334369 6250948", as a receiver's
// screen and the margin of a paper map write it.
std::optional<std::string> ReceiverUtmLine(double latitude, double longitude) {
    try {
        const std::optional<UtmTexts> texts = FormatReceiverUtm(Position{latitude, longitude});
        if (!texts || texts->zone.empty()) return std::nullopt;
        std::string zone = texts->zone;
        zone.erase(std::remove(zone.begin(), zone.end(), ' '), zone.end());
        return zone + ' ' + texts->easting + ' ' + texts->northing;
    } catch (...) {  // a zone beyond 16 bits: no code, as promised
        return std::nullopt;
    }
}

// The view's zoom an OpenStreetMap link opens at: streets and houses.
constexpr std::string_view kOsmZoom = "17";

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const CodeForm> CodeForms() { return kForms; }

const CodeForm& FormOf(Code code) {
    for (const CodeForm& form : kForms)
        if (form.code == code) return form;
    return kForms.front();
}

const CodeForm* FormNamed(std::string_view name) {
    for (const CodeForm& form : kForms)
        for (std::string_view alias : form.names)
            if (SameName(alias, name)) return &form;
    return nullptr;
}

bool ValidCodeLength(Code code, int length) {
    switch (code) {
    case Code::Mgrs: return length >= 0 && length <= 5;
    case Code::PlusCode: return (length >= 2 && length <= 8 && length % 2 == 0) || (length >= 10 && length <= 15);
    case Code::Maidenhead: return length >= 2 && length <= 10 && length % 2 == 0;
    case Code::Geohash: return length >= 1 && length <= 12;
    case Code::Georef: return length == 2 || length == 4 || (length >= 8 && length <= 14 && length % 2 == 0);
    case Code::Gars: return length == 30 || length == 15 || length == 5;
    case Code::BritishGrid:
    case Code::IrishGrid:
    case Code::IrishTm: return ValidGridFigures(code, length);
    default: return length < 0;
    }
}

std::optional<std::string> FormatCode(Code code, double latitude, double longitude, int length,
                                      const std::optional<UtmPoint>& utm) {
    if (length < 0) length = FormOf(code).defaultLength;
    if (!ValidCodeLength(code, length)) return std::nullopt;
    // A position the window would refuse has no code, though a code's own
    // writer clips and wraps as its reference does.
    if (!(std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180)) return std::nullopt;
    switch (code) {
    case Code::Mgrs: return utm ? FormatMgrsFromUtm(*utm, length) : FormatMgrs(latitude, longitude, length);
    case Code::BritishGrid:
    case Code::IrishGrid:
    case Code::IrishTm: return FormatGridCode(code, latitude, longitude, length);
    case Code::PlusCode: return codes::PlusCodeOf(latitude, longitude, length);
    case Code::Maidenhead: return codes::MaidenheadOf(latitude, longitude, length);
    case Code::Geohash: return codes::GeohashOf(latitude, longitude, length);
    case Code::Georef: return codes::GeorefOf(latitude, longitude, length);
    case Code::Gars: return codes::GarsOf(latitude, longitude, length);
    case Code::UtmReceiver: return ReceiverUtmLine(latitude, longitude);
    default: break;
    }
    const std::string lat = Degrees(latitude), lon = Degrees(longitude);
    switch (code) {
    case Code::GeoUri: return "geo:" + lat + "," + lon;
    case Code::Wkt: return "POINT (" + lon + " " + lat + ")";
    case Code::GeoJson: return R"({"type":"Point","coordinates":[)" + lon + "," + lat + "]}";
    case Code::OsmLink:
        return "https://www.openstreetmap.org/?mlat=" + lat + "&mlon=" + lon + "#map=" + std::string(kOsmZoom) + "/" +
               lat + "/" + lon;
    case Code::GoogleLink: return "https://www.google.com/maps/search/?api=1&query=" + lat + "%2C" + lon;
    default: return std::nullopt;
    }
}

std::string GeoJsonWithLabel(std::string_view point, std::string_view label) {
    // The label may be any bytes: invalid UTF-8 becomes U+FFFD, not an exception.
    const std::string name = nlohmann::json(std::string(label)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return R"({"type":"Feature","geometry":)" + std::string(point) + R"(,"properties":{"label":)" + name + "}}";
}

}  // namespace quillet
