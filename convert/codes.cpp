#include "convert/codes.h"

#include "convert/mgrs.h"
#include "convert/national_grid.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace quillet {

namespace {

constexpr std::array<std::string_view, 1> kMgrsNames{"mgrs"};
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
// The grids' window length is 8 figures: the window shows about a metre, and
// without the OSTN15 grid file the datum shift is good to about 2 m. Links
// and snippets have no length: they write decimal degrees to 7 places (about
// a centimetre), as every map reads them.
const std::array<CodeForm, 9> kForms{{
    {Code::Mgrs, kMgrsNames, "MGRS", 5, 5},
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
    switch (code) {
    case Code::Mgrs: return utm ? FormatMgrsFromUtm(*utm, length) : FormatMgrs(latitude, longitude, length);
    case Code::BritishGrid:
    case Code::IrishGrid:
    case Code::IrishTm: return FormatGridCode(code, latitude, longitude, length);
    default: break;
    }
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90 || std::fabs(longitude) > 180)
        return std::nullopt;
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
