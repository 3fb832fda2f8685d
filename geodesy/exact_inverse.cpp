#include "geodesy/exact_inverse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillet {

namespace {

constexpr double kA = 6378137;
constexpr double kF = 1 / 298.257223563;
constexpr double kK0 = 0.9996;
constexpr double kN = kF / (2 - kF);  // the third flattening
constexpr double kE2 = kF * (2 - kF);
const double kE = std::sqrt(kE2);
constexpr double kDegree = std::numbers::pi / 180;

constexpr double Pow(double x, int k) { return k == 0 ? 1 : x * Pow(x, k - 1); }

// Radius of the circle whose circumference is the meridian's length.
constexpr double kRectifyingRadius =
    kA / (1 + kN) * (1 + Pow(kN, 2) / 4 + Pow(kN, 4) / 64 + Pow(kN, 6) / 256);

// From conformal coordinates to the projected plane (alpha_j).
constexpr double kAlpha[6] = {
    kN / 2 - 2 * Pow(kN, 2) / 3 + 5 * Pow(kN, 3) / 16 + 41 * Pow(kN, 4) / 180 - 127 * Pow(kN, 5) / 288 +
        7891 * Pow(kN, 6) / 37800,
    13 * Pow(kN, 2) / 48 - 3 * Pow(kN, 3) / 5 + 557 * Pow(kN, 4) / 1440 + 281 * Pow(kN, 5) / 630 -
        1983433 * Pow(kN, 6) / 1935360,
    61 * Pow(kN, 3) / 240 - 103 * Pow(kN, 4) / 140 + 15061 * Pow(kN, 5) / 26880 + 167603 * Pow(kN, 6) / 181440,
    49561 * Pow(kN, 4) / 161280 - 179 * Pow(kN, 5) / 168 + 6601661 * Pow(kN, 6) / 7257600,
    34729 * Pow(kN, 5) / 80640 - 3418889 * Pow(kN, 6) / 1995840,
    212378941 * Pow(kN, 6) / 319334400};

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

// Sine and cosine of an angle in degrees, exact at every multiple of 90: a
// point on a meridian or the equator lands on its grid line, not a hair off.
void SinCosDegrees(double degrees, double& sine, double& cosine) {
    int quadrant = 0;
    double reduced = std::remquo(degrees, 90.0, &quadrant) * kDegree;
    const double s = std::sin(reduced), c = std::cos(reduced);
    switch (quadrant & 3) {
        case 0: sine = s, cosine = c; break;
        case 1: sine = c, cosine = -s; break;
        case 2: sine = -s, cosine = -c; break;
        default: sine = -c, cosine = s; break;
    }
    sine += 0.0;  // no -0
    cosine += 0.0;
}

// tan of the conformal latitude from tan of the geographic one, and back by
// Newton's method (two steps at most in practice).
double ConformalTan(double tau) {
    const double tau1 = std::hypot(1.0, tau);
    const double sigma = std::sinh(kE * std::atanh(kE * tau / tau1));
    return std::hypot(1.0, sigma) * tau - sigma * tau1;
}

double GeographicTan(double conformalTan) {
    double tau = conformalTan / (1 - kE2);
    for (int step = 0; step < 5 && std::isfinite(tau); ++step) {
        const double taup = ConformalTan(tau);
        const double change = (conformalTan - taup) * (1 + (1 - kE2) * tau * tau) /
                              ((1 - kE2) * std::hypot(1.0, tau) * std::hypot(1.0, taup));
        tau += change;
        if (!(std::fabs(change) >= 1.5e-9 * std::max(1.0, std::fabs(conformalTan)))) break;
    }
    return tau;
}

constexpr double kUpsScale = 0.994;
constexpr double kUpsFalseOrigin = 2000000;

// The polar stereographic radius per unit of the conformal colatitude's
// half-angle tangent: 2 k0 a / c.
double UpsRadiusFactor() {
    static const double factor = 2 * kUpsScale * kA / (std::sqrt(1 - kE2) * std::exp(kE * std::atanh(kE)));
    return factor;
}

}  // namespace

GridPoint ExactUtmForward(double latitude, double longitude, double centralMeridian) {
    // Plain sine and cosine are exact where it matters here: on the equator
    // and on the central meridian.
    const double phi = latitude * kDegree, lambda = std::remainder(longitude - centralMeridian, 360.0) * kDegree;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
    // Gauss-Schreiber coordinates (xi', eta') on the sphere of the conformal
    // latitude, and the sines, cosines and exponentials of their doubles
    // straight from them rather than through more transcendental calls.
    double xiPrime = std::copysign(std::numbers::pi / 2, latitude), etaPrime = 0;
    double s0 = 0, c0 = -1, growth = 1;  // at a pole
    if (std::fabs(latitude) < 90) {
        const double sigma = std::sinh(kE * std::atanh(kE * sinPhi));
        const double taup = std::sqrt(1 + sigma * sigma) * (sinPhi / cosPhi) - sigma / cosPhi;
        const double r2 = taup * taup + cosLambda * cosLambda;
        const double u = sinLambda / std::sqrt(r2);
        xiPrime = std::atan2(taup, cosLambda);
        etaPrime = std::asinh(u);
        s0 = 2 * taup * cosLambda / r2;
        c0 = (cosLambda * cosLambda - taup * taup) / r2;
        const double rise = std::fabs(u) + std::sqrt(1 + u * u);  // exp(|eta'|)
        growth = u < 0 ? 1 / (rise * rise) : rise * rise;
    }
    // zeta = zeta' + sum alpha_j sin(2 j zeta'), zeta = xi + i eta, summed by
    // Clenshaw's recurrence in complex numbers.
    const double ch0 = (growth + 1 / growth) / 2, sh0 = (growth - 1 / growth) / 2;
    const double ar = 2 * c0 * ch0, ai = -2 * s0 * sh0;  // 2 cos(2 zeta')
    double b1r = 0, b1i = 0, b2r = 0, b2i = 0;
    for (int j = 6; j >= 1; --j) {
        const double br = ar * b1r - ai * b1i - b2r + kAlpha[j - 1];
        const double bi = ar * b1i + ai * b1r - b2i;
        b2r = b1r, b2i = b1i;
        b1r = br, b1i = bi;
    }
    const double sr = s0 * ch0, si = c0 * sh0;  // sin(2 zeta')
    const double xi = xiPrime + (b1r * sr - b1i * si);
    const double eta = etaPrime + (b1r * si + b1i * sr);
    return {500000 + kK0 * kRectifyingRadius * eta, kK0 * kRectifyingRadius * xi};
}

GridPoint UpsForward(bool north, double latitude, double longitude) {
    const double phi = north ? latitude : -latitude;
    double sinPhi = 0, cosPhi = 0, sinLambda = 0, cosLambda = 0;
    SinCosDegrees(phi, sinPhi, cosPhi);
    SinCosDegrees(longitude, sinLambda, cosLambda);
    double rho = 0;  // at the pole itself
    if (cosPhi != 0) {
        const double taup = ConformalTan(sinPhi / cosPhi);
        const double secant = std::hypot(1.0, taup) + std::fabs(taup);
        rho = (taup >= 0 ? 1 / secant : secant) * UpsRadiusFactor();
    }
    return {kUpsFalseOrigin + rho * sinLambda, kUpsFalseOrigin + (north ? -rho : rho) * cosLambda};
}

EarthPoint UpsInverse(bool north, double easting, double northing) {
    const double x = easting - kUpsFalseOrigin, y = northing - kUpsFalseOrigin;
    const double rho = std::hypot(x, y);
    const double t = rho != 0 ? rho / UpsRadiusFactor() : 1e-32;
    const double latitude = std::atan(GeographicTan((1 / t - t) / 2)) / kDegree;
    return {north ? latitude : -latitude, std::atan2(x, north ? -y : y) / kDegree};
}

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
