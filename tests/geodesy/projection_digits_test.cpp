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
#include <array>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
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
        // across the whole range of the fast path and past its edges
        inputs.push_back(std::ldexp(numbers.Between(-2, 2), int(numbers.Bits() % 44) - 22));
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

// A projection's doubles, exact to the bit in hexadecimal, or its error.
template <class Projection>
std::string Outcome(Projection projection) {
    std::ostringstream out;
    out << std::hexfloat;
    try {
        for (double value : projection()) out << value << ' ';
    } catch (const ValueError& error) {
        out << "error " << int(error.kind());
    }
    return out.str();
}

// Every zone, poles to poles, the zone edges, and values far outside.
TEST(Projection, TunedGivesTheUntunedDoublesBitForBit) {
    const auto forward = [](auto project, double lat, double lon) {
        return Outcome([&] {
            const UtmCoordinates utm = project(lat, lon);
            return std::array{utm.zoneNumber, utm.easting, utm.northing};
        });
    };
    const auto inverse = [](auto project, double northing, double easting, std::int16_t zone) {
        return Outcome([&] {
            const LatLon position = project(northing, easting, zone);
            return std::array{position.latitude, position.longitude};
        });
    };
    std::vector<std::pair<double, double>> positions;
    for (double lat = -90; lat <= 90; lat += 0.5)
        for (double lon = -180; lon <= 180; lon += 1.5) positions.emplace_back(lat, lon);
    Numbers numbers;
    for (int i = 0; i < 100000; ++i) positions.emplace_back(numbers.Between(-90, 90), numbers.Between(-180, 180));
    for (double lat : {-1000.0, 0.0, 1e-300, 89.999999, 400.0, kInf, kNaN})
        for (double lon : {-32766.0, -181.0, -0.0, 179.999999, 32767.0, 1e10, kNaN}) positions.emplace_back(lat, lon);
    for (const auto& [lat, lon] : positions)
        ASSERT_EQ(forward(LatLonToUtm, lat, lon), forward(reference::LatLonToUtm, lat, lon)) << lat << ", " << lon;

    std::vector<std::tuple<double, double, std::int16_t>> points;
    for (int i = 0; i < 100000; ++i)
        points.emplace_back(numbers.Between(-10.1e6, 10.1e6), numbers.Between(-1e5, 1.1e6), numbers.Bits() % 62);
    for (double northing : {-1e300, -20e6, 0.0, 20e6, 1e300, kNaN})
        for (double easting : {-1e300, -5e6, 500000.0, 5e6, 1e300})
            for (int zone : {0, 1, 61, 5000}) points.emplace_back(northing, easting, std::int16_t(zone));
    for (const auto& [northing, easting, zone] : points)
        ASSERT_EQ(inverse(UtmToLatLon, northing, easting, zone),
                  inverse(reference::UtmToLatLon, northing, easting, zone))
            << zone << ' ' << easting << ' ' << northing;
}

}  // namespace
