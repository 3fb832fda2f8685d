#include "places/country_lookup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <optional>

namespace quillet {

// The embedded places/data/countries.dat, written by the build.
extern const unsigned char kCountriesData[];
extern const std::size_t kCountriesDataSize;

namespace {

constexpr std::int32_t kHalfTurn = 18000000;   // 180° in outline units
constexpr std::int32_t kSouthPole = -9000000;  // -90°
constexpr double kKmPerDegree = 6371.0088 * std::numbers::pi / 180.0;

// Reads little-endian numbers off the file and never past its end.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool Bytes(void* out, std::size_t count) {
        if (size_ - at_ < count) return false;
        std::memcpy(out, data_ + at_, count);
        at_ += count;
        return true;
    }
    std::optional<std::uint32_t> Unsigned(std::size_t width) {
        unsigned char bytes[4] = {};
        if (!Bytes(bytes, width)) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[i];
        return value;
    }
    std::optional<std::int32_t> Signed() {
        const std::optional<std::uint32_t> value = Unsigned(4);
        if (!value) return std::nullopt;
        return static_cast<std::int32_t>(*value);  // two's complement, defined since C++20
    }
    bool AtEnd() const { return at_ == size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

bool ReadCountry(Reader& reader, CountryOutline& country) {
    const auto nameLength = reader.Unsigned(1);
    if (!nameLength || *nameLength == 0) return false;
    country.name.resize(*nameLength);
    if (!reader.Bytes(country.name.data(), *nameLength)) return false;
    const auto ringCount = reader.Unsigned(2);
    if (!ringCount || *ringCount == 0) return false;
    country.south_west = {kHalfTurn, -kSouthPole};
    country.north_east = {-kHalfTurn, kSouthPole};
    for (std::uint32_t r = 0; r < *ringCount; ++r) {
        const auto pointCount = reader.Unsigned(2);
        if (!pointCount || *pointCount < 3) return false;
        std::vector<OutlinePoint>& ring = country.rings.emplace_back();
        ring.reserve(*pointCount);
        for (std::uint32_t p = 0; p < *pointCount; ++p) {
            const auto longitude = reader.Signed();
            const auto latitude = reader.Signed();
            if (!longitude || !latitude || std::abs(*longitude) > kHalfTurn || std::abs(*latitude) > -kSouthPole)
                return false;
            ring.push_back({*longitude, *latitude});
            country.south_west = {std::min(country.south_west.longitude, *longitude),
                                  std::min(country.south_west.latitude, *latitude)};
            country.north_east = {std::max(country.north_east.longitude, *longitude),
                                  std::max(country.north_east.latitude, *latitude)};
        }
    }
    return true;
}

// The ±180° meridian and the south pole's edge close the rings of countries
// cut there (Russia, Fiji, Antarctica): lines of the drawing, not of the land.
bool IsSeam(OutlinePoint a, OutlinePoint b) {
    const bool onAntimeridian = std::abs(a.longitude) == kHalfTurn && std::abs(b.longitude) == kHalfTurn;
    return onAntimeridian || (a.latitude == kSouthPole && b.latitude == kSouthPole);
}

// Even-odd crossings of a ray towards the east. Longitudes are taken in
// [-180, 180): a point on the meridian is then inside the piece to its east,
// where the rings cut there continue.
bool Contains(const CountryOutline& country, double x, double y) {
    bool inside = false;
    for (const auto& ring : country.rings) {
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const double xi = ring[i].longitude, yi = ring[i].latitude;
            const double xj = ring[j].longitude, yj = ring[j].latitude;
            if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi)) inside = !inside;
        }
    }
    return inside;
}

double WrappedDegrees(double degrees) {
    degrees = std::fmod(degrees + 180.0, 360.0);
    if (degrees < 0) degrees += 360.0;
    return degrees - 180.0;
}

// Kilometres from the point to the country's outline, its seams left out;
// infinity when no edge comes within `limit`. Distances in a plane that
// touches the sphere at the point: exact enough at a few tens of kilometres.
double DistanceKm(const CountryOutline& country, double latitude, double longitude, double limit) {
    const double xScale = std::cos(latitude * std::numbers::pi / 180.0) * kKmPerDegree;
    const auto local = [&](OutlinePoint p) {
        return std::pair{WrappedDegrees(p.longitude / kOutlineUnitsPerDegree - longitude) * xScale,
                         (p.latitude / kOutlineUnitsPerDegree - latitude) * kKmPerDegree};
    };
    double nearest = std::numeric_limits<double>::infinity();
    for (const auto& ring : country.rings) {
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            if (IsSeam(ring[i], ring[j])) continue;
            const auto [ax, ay] = local(ring[j]);
            const auto [bx, by] = local(ring[i]);
            if (std::min(std::abs(ay), std::abs(by)) > limit && ay * by > 0) continue;
            const double dx = bx - ax, dy = by - ay;
            const double length2 = dx * dx + dy * dy;
            const double t = length2 > 0 ? std::clamp(-(ax * dx + ay * dy) / length2, 0.0, 1.0) : 0.0;
            nearest = std::min(nearest, std::hypot(ax + t * dx, ay + t * dy));
        }
    }
    return nearest <= limit ? nearest : std::numeric_limits<double>::infinity();
}

// Whether the country's box, widened by the margin, can hold the point.
bool MayReach(const CountryOutline& country, double latitude, double longitude, double marginKm) {
    const double marginLat = marginKm / kKmPerDegree;
    if (latitude < country.south_west.latitude / kOutlineUnitsPerDegree - marginLat ||
        latitude > country.north_east.latitude / kOutlineUnitsPerDegree + marginLat)
        return false;
    const double cosine = std::cos(std::min(89.0, std::abs(latitude)) * std::numbers::pi / 180.0);
    const double marginLon = marginKm / (kKmPerDegree * cosine);
    const double west = country.south_west.longitude / kOutlineUnitsPerDegree - marginLon;
    const double east = country.north_east.longitude / kOutlineUnitsPerDegree + marginLon;
    for (const double shift : {-360.0, 0.0, 360.0})
        if (longitude + shift >= west && longitude + shift <= east) return true;
    return false;
}

}  // namespace

std::vector<CountryOutline> ReadOutlines(const unsigned char* data, std::size_t size) {
    Reader reader(data, size);
    char magic[8] = {};
    const auto count = reader.Bytes(magic, sizeof magic) ? reader.Unsigned(2) : std::nullopt;
    if (std::memcmp(magic, "QCTRY01\n", sizeof magic) != 0 || !count) return {};
    std::vector<CountryOutline> countries(*count);
    for (CountryOutline& country : countries)
        if (!ReadCountry(reader, country)) return {};
    if (!reader.AtEnd()) return {};
    return countries;
}

const std::vector<CountryOutline>& CountryOutlines() {
    static const std::vector<CountryOutline> outlines = ReadOutlines(kCountriesData, kCountriesDataSize);
    return outlines;
}

Place LookUpPlace(double latitude, double longitude) {
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::abs(latitude) > 90) return {};
    longitude = WrappedDegrees(longitude);
    const std::vector<CountryOutline>& countries = CountryOutlines();
    const double x = std::round(longitude * kOutlineUnitsPerDegree);
    const double y = std::round(latitude * kOutlineUnitsPerDegree);
    const CountryOutline* holder = nullptr;
    for (const CountryOutline& country : countries)
        if (MayReach(country, latitude, longitude, 0) && Contains(country, x, y)) {
            holder = &country;
            break;
        }
    const CountryOutline* nearestOther = nullptr;
    double otherKm = std::numeric_limits<double>::infinity();
    double ownKm = std::numeric_limits<double>::infinity();
    for (const CountryOutline& country : countries) {
        if (!MayReach(country, latitude, longitude, kOutlineAccuracyKm)) continue;
        const double km = DistanceKm(country, latitude, longitude, kOutlineAccuracyKm);
        if (&country == holder)
            ownKm = km;
        else if (km < otherKm) {
            otherKm = km;
            nearestOther = &country;
        }
    }
    if (holder && nearestOther) return {Place::Kind::NearBorder, holder->name, nearestOther->name};
    if (holder && std::isfinite(ownKm)) return {Place::Kind::NearCoast, holder->name, {}};
    if (holder) return {Place::Kind::Country, holder->name, {}};
    if (nearestOther) return {Place::Kind::AtSeaNear, nearestOther->name, {}};
    return {};
}

std::string PlaceLine(const Place& place) {
    switch (place.kind) {
        case Place::Kind::Country: return place.country;
        case Place::Kind::NearBorder: return "near the border of " + place.country + " and " + place.other;
        case Place::Kind::NearCoast: return "near the coast of " + place.country;
        case Place::Kind::AtSeaNear: return "at sea, near " + place.country;
        case Place::Kind::AtSea: break;
    }
    return "at sea";
}

}  // namespace quillet
