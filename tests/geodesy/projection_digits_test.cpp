// The projection was tuned for speed; its doubles may not move by one bit.
// The oracles: glibc's pow itself for the powers, and the untuned formulas
// (bench/reference) for the whole projection.
#include "bench/reference/utm_reference.h"
#include "geodesy/powers.h"
#include "geodesy/utm.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "app/values.h"

namespace {

using namespace quillet;

// A fixed sequence (xorshift64*), the same on every machine.
class Numbers {
public:
    std::uint64_t Bits() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 2685821657736338717u;
    }
    double Between(double low, double high) { return low + (high - low) * double(Bits() >> 11) * 0x1p-53; }

private:
    std::uint64_t state_ = 88172645463325252u;
};

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Powers, GiveTheDoubleStdPowGives) {
    const struct {
        const char* name;
        double exponent;
        std::function<double(double)> power;
    } powers[] = {{"^0.5", 0.5, powers::SquareRoot}, {"^1.5", 1.5, powers::PowerOneAndHalf},
                  {"^3", 3, powers::Power<3>},         {"^4", 4, powers::Power<4>},
                  {"^5", 5, powers::Power<5>},         {"^6", 6, powers::Power<6>}};
    std::vector<double> inputs = {0, -0.0, 1, -1, 2, 0.5, 0x1p-151, 0x1p149, 1e-300, 4.9e-324, 1e300, kInf, -kInf,
                                  kNaN, std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0)};
    Numbers numbers;
    for (int i = 0; i < 120000; ++i) {
        inputs.push_back(numbers.Between(0.99, 1));  // 1 - e^2 sin^2 of the radii
        inputs.push_back(numbers.Between(-1, 1));    // cosines, and d of the inverse
        inputs.push_back(numbers.Between(-2, 2));    // p, the longitude offset
        inputs.push_back(std::ldexp(numbers.Between(-2, 2), int(numbers.Bits() % 44) - 22));  // the edges of the fast range
        inputs.push_back(std::bit_cast<double>(numbers.Bits()));  // anything at all
    }
    for (const auto& p : powers) {
        int wrong = 0;
        for (double x : inputs) {
            const double expected = std::pow(x, p.exponent), got = p.power(x);
            if (!SameBits(got, expected) && !(std::isnan(got) && std::isnan(expected)) && ++wrong <= 5)
                ADD_FAILURE() << std::hexfloat << x << p.name << ": " << got << " but pow gives " << expected;
        }
        EXPECT_EQ(wrong, 0) << p.name;
    }
}

// The result of a projection, or the kind of error it threw.
struct Outcome {
    double first = 0, second = 0, third = 0;
    std::optional<ValueError::Kind> error;
};

bool operator==(const Outcome& a, const Outcome& b) {
    return SameBits(a.first, b.first) && SameBits(a.second, b.second) && SameBits(a.third, b.third) &&
           a.error == b.error;
}

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    if (o.error) return out << "error " << int(*o.error);
    return out << std::hexfloat << o.first << ' ' << o.second << ' ' << o.third;
}

template <class Projection>
Outcome Run(Projection projection) {
    Outcome outcome;
    try {
        projection(outcome);
    } catch (const ValueError& error) {
        outcome.error = error.kind();
    }
    return outcome;
}

Outcome Forward(UtmCoordinates (*project)(double, double), double latitude, double longitude) {
    return Run([&](Outcome& o) {
        const UtmCoordinates utm = project(latitude, longitude);
        o = {utm.zoneNumber, utm.easting, utm.northing, {}};
    });
}

Outcome Inverse(LatLon (*project)(double, double, std::int16_t), double northing, double easting,
                std::int16_t zone) {
    return Run([&](Outcome& o) {
        const LatLon position = project(northing, easting, zone);
        o = {position.latitude, position.longitude, 0, {}};
    });
}

// Every zone, poles to poles, the zone edges, and values far outside.
TEST(Projection, TunedGivesTheUntunedDoublesBitForBit) {
    std::vector<std::pair<double, double>> positions;
    for (double lat = -90; lat <= 90; lat += 0.5)
        for (double lon = -180; lon <= 180; lon += 1.5) positions.emplace_back(lat, lon);
    Numbers numbers;
    for (int i = 0; i < 100000; ++i) positions.emplace_back(numbers.Between(-90, 90), numbers.Between(-180, 180));
    for (double lat : {-1000.0, 0.0, 1e-300, 89.999999, 400.0, kInf, kNaN})
        for (double lon : {-32766.0, -181.0, -0.0, 179.999999, 32767.0, 1e10, kNaN})
            positions.emplace_back(lat, lon);
    for (const auto& [lat, lon] : positions)
        ASSERT_EQ(Forward(LatLonToUtm, lat, lon), Forward(reference::LatLonToUtm, lat, lon)) << lat << ", " << lon;

    for (int i = 0; i < 100000; ++i) {
        const double northing = numbers.Between(-10.1e6, 10.1e6), easting = numbers.Between(-1e5, 1.1e6);
        const auto zone = std::int16_t(numbers.Bits() % 62);
        ASSERT_EQ(Inverse(UtmToLatLon, northing, easting, zone), Inverse(reference::UtmToLatLon, northing, easting, zone))
            << zone << ' ' << easting << ' ' << northing;
    }
    for (double northing : {-1e300, -20e6, 0.0, 20e6, 1e300, kNaN})
        for (double easting : {-1e300, -5e6, 500000.0, 5e6, 1e300})
            for (const std::int16_t zone : {std::int16_t(0), std::int16_t(1), std::int16_t(61), std::int16_t(5000)})
                ASSERT_EQ(Inverse(UtmToLatLon, northing, easting, zone),
                          Inverse(reference::UtmToLatLon, northing, easting, zone))
                    << zone << ' ' << easting << ' ' << northing;
}

}  // namespace
