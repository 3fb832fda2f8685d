#include "geodesy/exact_inverse.h"

#include <cmath>
#include <numbers>

namespace quillet {

namespace {

constexpr double kA = 6378137;
constexpr double kF = 1 / 298.257223563;
constexpr double kK0 = 0.9996;
constexpr double kN = kF / (2 - kF);  // the third flattening
constexpr double kE2 = kF * (2 - kF);
constexpr double kDegree = std::numbers::pi / 180;

constexpr double Pow(double x, int k) { return k == 0 ? 1 : x * Pow(x, k - 1); }

// Radius of the circle whose circumference is the meridian's length.
constexpr double kRectifyingRadius =
    kA / (1 + kN) * (1 + Pow(kN, 2) / 4 + Pow(kN, 4) / 64 + Pow(kN, 6) / 256);

// From the projected plane back to conformal coordinates (beta_j).
constexpr double kBeta[6] = {
    kN / 2 - 2 * Pow(kN, 2) / 3 + 37 * Pow(kN, 3) / 96 - Pow(kN, 4) / 360 - 81 * Pow(kN, 5) / 512 +
        96199 * Pow(kN, 6) / 604800,
    Pow(kN, 2) / 48 + Pow(kN, 3) / 15 - 437 * Pow(kN, 4) / 1440 + 46 * Pow(kN, 5) / 105 -
        1118711 * Pow(kN, 6) / 3870720,
    17 * Pow(kN, 3) / 480 - 37 * Pow(kN, 4) / 840 - 209 * Pow(kN, 5) / 4480 + 5569 * Pow(kN, 6) / 90720,
    4397 * Pow(kN, 4) / 161280 - 11 * Pow(kN, 5) / 504 - 830251 * Pow(kN, 6) / 7257600,
    4583 * Pow(kN, 5) / 161280 - 108847 * Pow(kN, 6) / 3991680,
    20648693 * Pow(kN, 6) / 638668800};

// From the conformal latitude to the geographic one (delta_j).
constexpr double kDelta[6] = {
    2 * kN - 2 * Pow(kN, 2) / 3 - 2 * Pow(kN, 3) + 116 * Pow(kN, 4) / 45 + 26 * Pow(kN, 5) / 45 -
        2854 * Pow(kN, 6) / 675,
    7 * Pow(kN, 2) / 3 - 8 * Pow(kN, 3) / 5 - 227 * Pow(kN, 4) / 45 + 2704 * Pow(kN, 5) / 315 +
        2323 * Pow(kN, 6) / 945,
    56 * Pow(kN, 3) / 15 - 136 * Pow(kN, 4) / 35 - 1262 * Pow(kN, 5) / 105 + 73814 * Pow(kN, 6) / 2835,
    4279 * Pow(kN, 4) / 630 - 332 * Pow(kN, 5) / 35 - 399572 * Pow(kN, 6) / 14175,
    4174 * Pow(kN, 5) / 315 - 144838 * Pow(kN, 6) / 6237,
    601676 * Pow(kN, 6) / 22275};

}  // namespace

EarthPoint ExactUtmInverse(double northing, double easting, double centralMeridian) {
    const double xi = northing / (kK0 * kRectifyingRadius);
    const double eta = (easting - 500000) / (kK0 * kRectifyingRadius);
    double xiPrime = xi, etaPrime = eta;
    for (int j = 1; j <= 6; ++j) {
        xiPrime -= kBeta[j - 1] * std::sin(2 * j * xi) * std::cosh(2 * j * eta);
        etaPrime -= kBeta[j - 1] * std::cos(2 * j * xi) * std::sinh(2 * j * eta);
    }
    // atan2 rather than asin keeps full precision next to the poles; past a
    // pole cos(xi') turns negative and the longitude swings round with it.
    const double chi = std::atan2(std::sin(xiPrime), std::hypot(std::sinh(etaPrime), std::cos(xiPrime)));
    double phi = chi;
    for (int j = 1; j <= 6; ++j) phi += kDelta[j - 1] * std::sin(2 * j * chi);
    const double lambda = std::atan2(std::sinh(etaPrime), std::cos(xiPrime));
    return {phi / kDegree, centralMeridian + lambda / kDegree};
}

double MetresApart(double latitude1, double longitude1, double latitude2, double longitude2) {
    // Earth-centred coordinates of each point: no trouble at the poles or
    // the antimeridian, where differences of degrees mislead.
    const auto centred = [](double latitude, double longitude, double out[3]) {
        const double phi = latitude * kDegree, lambda = longitude * kDegree;
        const double primeVertical = kA / std::sqrt(1 - kE2 * std::sin(phi) * std::sin(phi));
        out[0] = primeVertical * std::cos(phi) * std::cos(lambda);
        out[1] = primeVertical * std::cos(phi) * std::sin(lambda);
        out[2] = primeVertical * (1 - kE2) * std::sin(phi);
    };
    double p[3], q[3];
    centred(latitude1, longitude1, p);
    centred(latitude2, longitude2, q);
    return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

}  // namespace quillet
