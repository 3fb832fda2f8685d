// The converter's lines against the window's writers, and every line it
// writes read back by the converter itself.
#include "convert/output_format.h"
#include "values/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

using namespace quillet;

namespace {

std::vector<std::string> Convert(const std::vector<std::string>& lines, const std::string& options) {
    // One file per test: CTest runs them side by side.
    const std::string input = testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name();
    {
        std::ofstream file(input);
        for (const std::string& line : lines) file << line << '\n';
    }
    FILE* pipe = popen((std::string(QUILLET_CONVERTER) + " " + options + " " + input).c_str(), "r");
    std::vector<std::string> output(1);
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        if (c == '\n') output.emplace_back();
        else output.back().push_back(static_cast<char>(c));
    }
    output.pop_back();
    EXPECT_EQ(pclose(pipe), 0) << options;
    return output;
}

struct Mode {
    const char* options;
    InputFormat notation;
    bool letters, units, falseNorthing;
    double precision;  // of what is written: degrees, or metres for UTM
};
const Mode kModes[] = {
    {"--to dms", DegreesMinutesSeconds, false, true, false, 0.001 / 3600},
    {"--to dms --direction --no-units", DegreesMinutesSeconds, true, false, false, 0.001 / 3600},
    {"--to dm", DegreesMinutes, false, true, false, 0.00001 / 60},
    {"--to dm --direction", DegreesMinutes, true, true, false, 0.00001 / 60},
    {"--to dd --no-units", DecimalDegrees, false, false, false, 1e-7},
    {"--to dd --direction", DecimalDegrees, true, true, false, 1e-7},
    {"--to utm", Utm, false, true, false, 1},
    {"--to utm --false-northing", Utm, false, true, true, 1}};

// A few hundred positions over the whole world the window converts, as the
// decimal texts fed in and the positions those texts hold.
struct Inputs {
    std::vector<std::string> lines;
    std::vector<Position> positions;
};
Inputs MakeInputs() {
    Inputs inputs;
    std::mt19937 random(13);
    std::uniform_real_distribution<double> latitude(-80, 84), longitude(-180, 180);
    char text[64];
    for (int i = 0; i < 300; ++i) {
        std::snprintf(text, sizeof text, "%.9f, %.9f", latitude(random), longitude(random));
        inputs.lines.push_back(text);
    }
    inputs.lines.insert(inputs.lines.end(), {"0, 0", "-0.00000004, 179.99999996", "83.9999999, -0.0000001"});
    for (const std::string& line : inputs.lines) {
        const std::size_t comma = line.find(',');
        inputs.positions.push_back({ParseNumber(line.substr(0, comma)), ParseNumber(line.substr(comma + 1))});
    }
    return inputs;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

TEST(Converter, WritesTheWindowsTextsInEveryNotationAndMode) {
    const Inputs inputs = MakeInputs();
    for (const Mode& mode : kModes) {
        const std::vector<std::string> output = Convert(inputs.lines, mode.options);
        ASSERT_EQ(output.size(), inputs.lines.size()) << mode.options;
        for (std::size_t i = 0; i < output.size(); ++i) {
            const Position& position = inputs.positions[i];
            std::string expected;
            if (mode.notation == Utm) {
                const UtmTexts utm = *(mode.falseNorthing ? FormatReceiverUtm(position) : FormatUtm(position));
                expected = utm.zone + " " + utm.easting + " " + utm.northing;
            } else {
                const LatLonTexts texts = FormatLatLon(position, mode.notation, mode.letters,
                                                       mode.units ? MarksWithUnits() : MarksWithoutUnits());
                expected = Trimmed(*texts.latitude) + ", " + Trimmed(*texts.longitude);
            }
            EXPECT_EQ(output[i], expected) << mode.options << " " << inputs.lines[i];
        }
    }
}

TEST(Converter, EveryLineItWritesReadsBackWithinItsPrecision) {
    const Inputs inputs = MakeInputs();
    for (const Mode& mode : kModes) {
        const std::vector<std::string> back = Convert(Convert(inputs.lines, mode.options), "--to dd --no-units");
        ASSERT_EQ(back.size(), inputs.lines.size()) << mode.options;
        for (std::size_t i = 0; i < back.size(); ++i) {
            double latitude = 0, longitude = 0;
            ASSERT_EQ(std::sscanf(back[i].c_str(), "%lf, %lf", &latitude, &longitude), 2) << back[i];
            const Position& position = inputs.positions[i];
            // Half the written unit, plus the decimal degrees written on the way back.
            double latitudeError = std::fabs(latitude - *position.latitude) - 5e-8;
            double longitudeError = std::fabs(longitude - *position.longitude) - 5e-8;
            if (mode.notation == Utm) {  // metres on the ground, and the series' 0.11 m
                latitudeError *= 110500;
                longitudeError *= 111300 * std::cos(*position.latitude * M_PI / 180);
                latitudeError -= 0.12, longitudeError -= 0.12;
            }
            const double limit = mode.notation == Utm ? std::sqrt(0.5) : mode.precision / 2 + 1e-12;
            EXPECT_LE(latitudeError, limit) << mode.options << " " << inputs.lines[i];
            EXPECT_LE(longitudeError, limit) << mode.options << " " << inputs.lines[i];
        }
    }
}

}  // namespace
