#include "places/web_mercator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillet {

namespace {
constexpr double kEquatorMetres = 2 * std::numbers::pi * 6378137.0;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
}  // namespace

WorldPoint ToWorld(double latitude, double longitude) {
    const double clamped = std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude);
    const double y = std::asinh(std::tan(clamped * kRadiansPerDegree));
    return {(longitude + 180.0) / 360.0, std::clamp(0.5 - y / (2 * std::numbers::pi), 0.0, 1.0)};
}

void FromWorld(WorldPoint point, double& latitude, double& longitude) {
    longitude = std::fmod(point.x, 1.0);
    if (longitude < 0) longitude += 1.0;
    longitude = longitude * 360.0 - 180.0;
    latitude = std::atan(std::sinh((0.5 - point.y) * 2 * std::numbers::pi)) / kRadiansPerDegree;
}

double WorldPixels(int zoom) { return std::ldexp(static_cast<double>(kTileSize), zoom); }

TileAddress TileOf(double latitude, double longitude, int zoom) {
    const WorldPoint world = ToWorld(latitude, longitude);
    const int count = 1 << zoom;
    const auto index = [count](double at) {
        const double scaled = std::floor(at * count);
        return static_cast<int>(std::clamp(scaled, 0.0, count - 1.0));
    };
    double x = std::fmod(world.x, 1.0);
    if (x < 0) x += 1.0;
    return {zoom, index(x), index(world.y)};
}

int DecimalsFor(double degrees) {
    if (!(degrees > 0) || !std::isfinite(degrees)) return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(degrees) - 1e-9)), 0, 9);
}

double LongitudePerPixel(int zoom) { return 360.0 / WorldPixels(zoom); }

double LatitudePerPixel(int zoom, double latitude) {
    return LongitudePerPixel(zoom) * std::cos(std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude) *
                                              kRadiansPerDegree);
}

double MetresPerPixel(int zoom, double latitude) {
    return kEquatorMetres / WorldPixels(zoom) * std::cos(latitude * kRadiansPerDegree);
}

}  // namespace quillet
