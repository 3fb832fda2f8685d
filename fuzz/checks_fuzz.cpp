// The input boxes' checks: whatever the texts, a verdict and never an
// exception; what they accept lies within its bounds and converts.
#include "values/values.h"
#include "convert/input_reading.h"
#include "fuzz_support.h"
#include "validate/field_checks.h"

#include <array>

using namespace quillet;
using quillet::fuzz::Require;

namespace {

using AngleCheck = FieldVerdict (*)(Coordinate, int, std::span<const std::string>);

// The text the box holds once the verdict is applied; nothing for a refusal.
std::optional<std::string> Accepted(const FieldVerdict& verdict, const std::string& text) {
    if (verdict.refusal) {
        Require(verdict.refusal->rfind("Error: ", 0) == 0, "a refusal starts with Error: ", *verdict.refusal);
        return std::nullopt;
    }
    return verdict.rewrite.value_or(text);
}

bool Within(const std::string& text, double lowest, double highest) {
    return IsNumericText(text) && ParseNumber(text) >= lowest && ParseNumber(text) <= highest;
}

void CheckAngleBoxes(FuzzedDataProvider& input) {
    const Coordinate coordinate = input.ConsumeBool() ? Coordinate::Latitude : Coordinate::Longitude;
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(2, 4);
    const AngleCheck check =
        count == 2 ? CheckDecimalDegreeBox : count == 3 ? CheckDegreeMinuteBox : CheckDegreeMinuteSecondBox;
    std::array<std::string, 4> texts;
    for (std::size_t i = 0; i < count; ++i) texts[i] = fuzz::Text(input);
    const int left = input.ConsumeIntegralInRange<int>(0, static_cast<int>(count) - 1);
    const FieldVerdict verdict = check(coordinate, left, std::span(texts.data(), count));
    Require(!verdict.rewrite || left != 1, "the degree box is never rewritten");
    const std::optional<std::string> kept = Accepted(verdict, texts[left]);
    if (!kept || kept->empty()) return;
    const bool latitude = coordinate == Coordinate::Latitude;
    if (left == 0)
        Require(*kept == (latitude ? "N" : "E") || *kept == (latitude ? "S" : "W"), "an accepted letter", *kept);
    else if (left == 1)
        Require(Within(*kept, latitude ? -90 : -180, latitude ? 90 : 180), "accepted degrees within bounds", *kept);
    else
        Require(Within(*kept, 0, 60), "accepted minutes and seconds within 0..60", *kept);
}

void CheckUtmBoxes(FuzzedDataProvider& input) {
    InputTexts texts;
    texts.notation = Utm;
    texts.easting = fuzz::Text(input);
    texts.northing = fuzz::Text(input);
    texts.zone = fuzz::Text(input);
    const std::optional<std::string> easting = Accepted(CheckEasting(texts.easting), texts.easting);
    const std::optional<std::string> northing = Accepted(CheckNorthing(texts.northing), texts.northing);
    const std::optional<std::string> zone =
        Accepted(CheckZone(texts.zone, texts.easting, texts.northing), texts.zone);
    if (easting && !easting->empty()) Require(Within(*easting, 160000, 834000), "accepted easting", *easting);
    if (northing && !northing->empty()) Require(Within(*northing, -1e7, 1e7), "accepted northing", *northing);
    if (zone && !zone->empty())
        Require(zone->find_first_not_of("0123456789") == std::string::npos && Within(*zone, 1, 60), "accepted zone",
                *zone);
    // Boxes that all passed their checks convert without an error message.
    if (easting && northing && zone) {
        const Position position = ReadPosition(texts);
        for (const std::optional<double>& value : {position.latitude, position.longitude})
            Require(!value || std::isfinite(*value), "accepted UTM gives a finite position");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Any exception out of a check escapes here and is a finding.
    if (input.ConsumeBool())
        CheckAngleBoxes(input);
    else
        CheckUtmBoxes(input);
    return 0;
}
