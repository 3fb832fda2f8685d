// Writing a position in every notation and mode, then reading the written
// texts back as a person would type them.
#include "values/values.h"
#include "convert/input_reading.h"
#include "convert/output_format.h"
#include "fuzz_support.h"
#include "geodesy/utm.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <vector>

using namespace quillet;
using quillet::fuzz::Require;

namespace {

// The words of a written angle: its marks and blanks are separators.
std::vector<std::string> Words(std::string text) {
    for (const char* mark : {"\u00B0", "'", "\""})
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, std::strlen(mark), " ");
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

bool IsWholeIn(const std::string& text, double lowest, double highest) {
    return IsNumericText(text) && ParseNumber(text) == FloorOf(ParseNumber(text)) && ParseNumber(text) >= lowest &&
           ParseNumber(text) <= highest;
}

// Half a unit of the last written place, in degrees, plus the rounding of
// arithmetic on a large angle.
double Precision(InputFormat notation, double value) {
    const double half = notation == DegreesMinutesSeconds ? 0.0005 / 3600 : notation == DegreesMinutes ? 0.000005 / 60 : 5e-8;
    return half * (1 + 1e-9) + 1e-12 * std::fabs(value);
}

void CheckAngle(const std::string& written, double value, InputFormat notation, bool letters, const char* hemispheres) {
    Require(!fuzz::HasNanOrInf(written), "no nan or inf written", written);
    std::vector<std::string> words = Words(written);
    AngleTexts typed;
    if (letters) {
        Require(!words.empty() && words[0].size() == 1 && words[0][0] == hemispheres[value < 0 ? 0 : 1],
                "the hemisphere letter", written);
        typed.direction = words[0];
        words.erase(words.begin());
    }
    const std::size_t parts = notation == DegreesMinutesSeconds ? 3 : notation == DegreesMinutes ? 2 : 1;
    Require(words.size() == parts, "one word per part", written);
    if (parts >= 2) {
        Require(IsWholeIn(words[0], -32768, 32767), "whole degrees", written);
        Require(IsNumericText(words[1]) && ParseNumber(words[1]) >= 0 && ParseNumber(words[1]) < 60, "minutes below 60",
                written);
    }
    if (parts == 3) {
        Require(IsWholeIn(words[1], 0, 59), "whole minutes", written);
        Require(IsNumericText(words[2]) && ParseNumber(words[2]) >= 0 && ParseNumber(words[2]) < 60, "seconds below 60",
                written);
    }
    typed.degrees = words[0];
    if (parts >= 2) typed.minutes = words[1];
    if (parts == 3) typed.seconds = words[2];

    InputTexts texts;
    texts.notation = notation;
    const bool latitude = hemispheres[0] == 'S';
    (latitude ? texts.latitude : texts.longitude) = typed;
    const Position read = ReadPosition(texts);
    const double back = *(latitude ? read.latitude : read.longitude);
    Require(std::fabs(back - value) <= Precision(notation, value), "read back within the written precision",
            written + " from " + NumberToText(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto notation = static_cast<InputFormat>(input.ConsumeIntegralInRange(0, 2));
    const bool letters = input.ConsumeBool();
    const UnitMarks marks = input.ConsumeBool() ? MarksWithUnits() : MarksWithoutUnits();
    // Mostly angles a box can hold, sometimes any double at all.
    const auto angle = [&](double bound) {
        return input.ConsumeBool() ? input.ConsumeFloatingPointInRange(-bound, bound) : input.ConsumeFloatingPoint<double>();
    };
    const double latitude = angle(91.02);
    const double longitude = angle(181.02);
    const Position position{latitude, longitude};

    try {
        const LatLonTexts texts = FormatLatLon(position, notation, letters, marks);
        CheckAngle(*texts.latitude, latitude, notation, letters, "SN");
        CheckAngle(*texts.longitude, longitude, notation, letters, "WE");
    } catch (const ValueError& error) {
        Require(error.kind() == ValueError::Kind::Overflow && !(std::fabs(latitude) < 32767 && std::fabs(longitude) < 32767),
                "only an angle beyond 16-bit degrees overflows");
    }

    std::optional<UtmTexts> utm;
    try {
        utm = FormatUtm(position);
    } catch (const ValueError& error) {
        Require(error.kind() == ValueError::Kind::Overflow, "UTM fails only by overflow");
        return 0;
    }
    Require(utm.has_value(), "a complete position has UTM");
    Require(!fuzz::HasNanOrInf(utm->easting + utm->northing + utm->zone), "no nan or inf in UTM");
    if (std::fabs(latitude) > 84 || std::fabs(longitude) > 180) return 0;
    // Back from the written whole metres: within a metre and a half.
    const std::int16_t zone = ToShortInt(utm->zone.substr(0, utm->zone.find(' ')));
    Require(zone == (longitude == 180 ? 60 : FloorOf((longitude + 180) / 6) + 1), "zone", utm->zone);
    if (latitude >= -80)
        Require(utm->zone.back() == "CDEFGHJKLMNPQRSTUVWX"[std::min(19, static_cast<int>(FloorOf((latitude + 80) / 8)))],
                "band letter", utm->zone);
    const LatLon back = UtmToLatLon(ParseNumber(utm->northing), ParseNumber(utm->easting), zone);
    const double metresNorth = (back.latitude - latitude) * 111320;
    const double metresEast = (back.longitude - longitude) * 111320 * std::cos(latitude * 3.14159265358979 / 180);
    Require(std::hypot(metresNorth, metresEast) <= 1.5, "UTM read back within 1.5 m",
            utm->easting + " " + utm->northing + " " + utm->zone);
    return 0;
}
