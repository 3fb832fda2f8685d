// Web Mercator, the projection of every street map, so that tiles and
// outlines line up. Plain C++: positions ⇄ the map's pixels at a zoom, tile
// addresses, and how many decimals a pixel is worth.
#pragma once

namespace quillet {

// The latitude where the square world of Web Mercator ends: atan(sinh(π)).
inline constexpr double kMercatorMaxLatitude = 85.05112877980659;
inline constexpr int kTileSize = 256;

// A point of the world square: x from 0 (180° W) to 1 (180° E), y from 0
// (the map's top edge) to 1 (its bottom edge).
struct WorldPoint {
    double x = 0;
    double y = 0;
};

// Latitudes beyond ±kMercatorMaxLatitude land on the edge; longitudes are
// taken as they are (181° is just right of 1).
WorldPoint ToWorld(double latitude, double longitude);
// The latitude and longitude of a world point, the longitude within ±180.
void FromWorld(WorldPoint point, double& latitude, double& longitude);

// The world's width in pixels at a zoom: 256 × 2^zoom.
double WorldPixels(int zoom);

struct TileAddress {
    int zoom = 0;
    int x = 0;
    int y = 0;
    bool operator==(const TileAddress&) const = default;
};

// The tile that holds the position at that zoom (the slippy map's numbering:
// x eastwards from 180° W, y southwards from the top).
TileAddress TileOf(double latitude, double longitude, int zoom);

// The fewest decimals of a degree whose step is no larger than `degrees`
// (one pixel's worth): a picked position carries no digit finer than that.
int DecimalsFor(double degrees);

// Degrees of longitude and of latitude one pixel spans at that zoom and latitude.
double LongitudePerPixel(int zoom);
double LatitudePerPixel(int zoom, double latitude);

// Metres on the ground one pixel spans at that zoom and latitude (WGS 84's
// equator, as street maps reckon it).
double MetresPerPixel(int zoom, double latitude);

}  // namespace quillet
