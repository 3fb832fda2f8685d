// The converter's lines against the window's writers, and every line it
// writes read back by the converter itself.
#include "convert/output_format.h"
#include "values/values.h"

#include <GeographicLib/OSGB.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

using namespace quillet;

namespace {

std::vector<std::string> Convert(const std::vector<std::string>& lines, const std::string& options) {
    // One file per test: ctest runs them side by side.
    const std::string input =
        testing::TempDir() + "converter_test_" + testing::UnitTest::GetInstance()->current_test_info()->name();
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

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

TEST(Converter, WritesTheWindowsTextsInEveryModeAndReadsThemBack) {
    // Each mode, with half a unit of the last place it writes, in degrees.
    const double dms = 0.0005 / 3600, dm = 0.000005 / 60, dd = 5e-8;
    const struct { std::string options; InputFormat notation; double half; } modes[] = {
        {"--to dms", DegreesMinutesSeconds, dms}, {"--to dms --direction --no-units", DegreesMinutesSeconds, dms},
        {"--to dm", DegreesMinutes, dm}, {"--to dm --direction", DegreesMinutes, dm},
        {"--to dd --no-units", DecimalDegrees, dd}, {"--to dd --direction", DecimalDegrees, dd},
        {"--to utm", Utm, 0}, {"--to utm --false-northing", Utm, 0}};
    // A few hundred decimal texts over the whole world the window converts.
    std::vector<std::string> lines = {"0, 0", "-0.00000004, 179.99999996", "83.9999999, -0.0000001"};
    std::mt19937 random(13);
    std::uniform_real_distribution<double> latitude(-80, 84), longitude(-180, 180);
    char text[64];
    for (int i = 0; i < 300; ++i) {
        std::snprintf(text, sizeof text, "%.9f, %.9f", latitude(random), longitude(random));
        lines.push_back(text);
    }
    for (const auto& [mode, notation, half] : modes) {
        const auto has = [&](const char* option) { return mode.find(option) != std::string::npos; };
        const std::vector<std::string> output = Convert(lines, mode);
        const std::vector<std::string> back = Convert(output, "--to dd --no-units");
        ASSERT_EQ(output.size(), lines.size()) << mode;
        ASSERT_EQ(back.size(), lines.size()) << mode;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::size_t comma = lines[i].find(',');
            const Position position{ParseNumber(lines[i].substr(0, comma)), ParseNumber(lines[i].substr(comma + 1))};
            const auto where = testing::Message() << mode << " " << lines[i];
            if (notation == Utm) {
                const UtmTexts utm = *(has("--false-northing") ? FormatReceiverUtm(position) : FormatUtm(position));
                EXPECT_EQ(output[i], utm.zone + " " + utm.easting + " " + utm.northing) << where;
            } else {
                const LatLonTexts texts = FormatLatLon(position, notation, has("--direction"),
                                                       has("--no-units") ? MarksWithoutUnits() : MarksWithUnits());
                EXPECT_EQ(output[i], Trimmed(*texts.latitude) + ", " + Trimmed(*texts.longitude)) << where;
            }
            double read[2] = {};
            ASSERT_EQ(std::sscanf(back[i].c_str(), "%lf, %lf", &read[0], &read[1]), 2) << back[i];
            // Half the written unit plus the decimal degrees written on the way back; for UTM half a metre
            // each way on the ground, and the series' 0.11 m.
            const double metresPerDegree[] = {110500, 111300 * std::cos(*position.latitude * M_PI / 180)};
            const double errors[] = {read[0] - *position.latitude, read[1] - *position.longitude};
            for (const int axis : {0, 1}) {
                const double error = std::fabs(errors[axis]) - 5e-8;
                if (notation == Utm) EXPECT_LE(error * metresPerDegree[axis] - 0.12, std::sqrt(0.5)) << where;
                else EXPECT_LE(error, half + 1e-12) << where;
            }
        }
    }
}

// Whole metres through --from and --from-crs, written back in the same grid
// at every figure count, never a figure less: the British ones as
// GeographicLib's OSGB truncates them, and every reference read back at
// its own figures or fewer as the same figures (the first of each group).
TEST(Converter, GridReferencesKeepEveryFigure) {
    struct Grid {
        const char* from;
        int eastings, northings;
    };
    for (const Grid& grid : {Grid{"bng", 700000, 1300000}, Grid{"irish", 500000, 500000}}) {
        const bool british = grid.from == std::string("bng");
        std::mt19937 random(grid.eastings);
        std::uniform_int_distribution<int> eastings(0, grid.eastings - 1), northings(0, grid.northings - 1);
        std::vector<std::pair<int, int>> points = {{0, 0}, {grid.eastings - 1, grid.northings - 1}, {438700, 114800},
                                                   {315904, 234671}, {310000, 450000}};
        for (int i = 0; i < 100; ++i) points.emplace_back(eastings(random), northings(random));
        std::vector<std::string> numbers;
        for (const auto& [easting, northing] : points)
            numbers.push_back(std::to_string(easting) + (numbers.size() % 2 ? ", " : " ") + std::to_string(northing));
        const std::string to = std::string(" --to ") + grid.from + " --quiet --grid-figures ";
        const std::vector<std::string> full = Convert(numbers, std::string("--from ") + grid.from + to + "10");
        ASSERT_EQ(full.size(), points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            char digits[16];
            std::snprintf(digits, sizeof digits, " %05d %05d", points[i].first % 100000, points[i].second % 100000);
            EXPECT_EQ(full[i].substr(british ? 2 : 1), digits) << numbers[i];
        }
        for (int figures = 0; figures <= 10; figures += 2) {
            // The same references truncated: the letters, then the first
            // figures of each group.
            const std::size_t letters = british ? 2 : 1, places = figures / 2;
            std::vector<std::string> truncated;
            for (const std::string& reference : full)
                truncated.push_back(reference.substr(0, letters) +
                                    (places ? " " + reference.substr(letters + 1, places) + " " +
                                                  reference.substr(letters + 7, places)
                                            : ""));
            const std::string options = to + std::to_string(figures);
            const std::vector<std::vector<std::string>> runs = {
                Convert(numbers, std::string("--from ") + grid.from + options),
                Convert(numbers, std::string("--from-crs ") + (british ? "EPSG:27700" : "EPSG:29903") + options),
                Convert(full, std::string("--from ") + grid.from + options),
                Convert(truncated, std::string("--from ") + grid.from + options)};
            for (std::size_t i = 0; i < points.size(); ++i) {
                std::string expected = truncated[i];
                if (british) {
                    GeographicLib::OSGB::GridReference(points[i].first, points[i].second, figures / 2, expected);
                    // GeographicLib writes no blanks.
                    for (const std::size_t at : {letters + places, letters}) if (places) expected.insert(at, " ");
                }
                for (const std::vector<std::string>& run : runs) {
                    ASSERT_EQ(run.size(), points.size()) << options;
                    EXPECT_EQ(run[i], expected) << numbers[i] << options;
                }
            }
        }
    }
}

}  // namespace
