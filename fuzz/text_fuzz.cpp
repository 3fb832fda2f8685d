// Whatever a person types or pastes: the boxes' checks give a verdict (never
// an exception), what they or the position reader accept lies within its
// bounds, the texts read into a finite position, and every text the writers
// produce reads back within the written precision, MGRS and every other code
// within its cell, links and snippets as themselves.
#include "values/values.h"
#include "convert/forms/code_forms.h"
#include "convert/codes/gars.h"
#include "convert/codes/geohash.h"
#include "convert/codes/georef.h"
#include "convert/codes/maidenhead.h"
#include "convert/codes/plus_code.h"
#include "convert/input_reading.h"
#include "convert/grids/mgrs.h"
#include "convert/output_format.h"
#include "convert/read/position_text.h"
#include "fuzz_support.h"
#include "geodesy/exact_inverse.h"
#include "validate/field_checks.h"

#include <cstring>

using namespace quillet;
using quillet::fuzz::Require;

namespace {

// What a box keeps after the verdict (nothing for a refusal) lies within
// the bounds: a number between them, or for a letter box one of its letters.
void Accepted(const FieldVerdict& verdict, const std::string& text, double lowest, double highest,
              const char* letters = nullptr) {
    const std::string kept = verdict.refusal ? "" : verdict.rewrite.value_or(text);
    const bool within = letters ? kept.size() == 1 && std::strchr(letters, kept[0])
                                : IsNumericText(kept) && ParseNumber(kept) >= lowest && ParseNumber(kept) <= highest;
    Require(kept.empty() || within, "accepted within bounds", kept);
}

void CheckBoxes(const InputTexts& texts) {
    if (texts.notation == Utm) {
        Accepted(CheckEasting(texts.easting), texts.easting, 160000, 834000);
        Accepted(CheckNorthing(texts.northing), texts.northing, -1e7, 1e7);
        // A receiver's band letter may follow the zone number.
        Accepted(CheckZone(texts.zone, texts.easting, texts.northing), SplitZoneBand(texts.zone).zone, 1, 60);
        return;
    }
    const auto check = texts.notation == DegreesMinutesSeconds ? CheckDegreeMinuteSecondBox
                       : texts.notation == DegreesMinutes      ? CheckDegreeMinuteBox
                                                               : CheckDecimalDegreeBox;
    const auto count = static_cast<std::size_t>(4 - texts.notation);
    for (const bool latitude : {true, false}) {
        const AngleTexts& angle = latitude ? texts.latitude : texts.longitude;
        const std::string boxes[] = {angle.direction, angle.degrees, angle.minutes, angle.seconds};
        const double bound = latitude ? 90 : 180;
        const Coordinate coordinate = latitude ? Coordinate::Latitude : Coordinate::Longitude;
        Accepted(check(coordinate, 0, std::span(boxes, count)), boxes[0], 0, 0, latitude ? "NS" : "EW");
        Accepted(check(coordinate, 1, std::span(boxes, count)), boxes[1], -bound, bound);
        for (std::size_t left = 2; left < count; ++left)
            Accepted(check(coordinate, static_cast<int>(left), std::span(boxes, count)), boxes[left], 0, 60);
    }
}

// A whole position pasted or read from a line, with decimal commas or
// without, as any code alone, near a reference or not.
void CheckPositionText(const std::string& text, bool decimalComma, FuzzedDataProvider& input) {
    ReadOptions options{decimalComma};
    const std::span<const CodeForm> forms = CodeForms();
    if (input.ConsumeBool()) options.only = forms[input.ConsumeIntegralInRange<std::size_t>(0, forms.size() - 1)].code;
    if (input.ConsumeBool())
        options.near = std::pair(input.ConsumeFloatingPoint<double>(), input.ConsumeFloatingPoint<double>());
    const PositionReading reading = ReadPosition(text, options);
    Require(reading.position.has_value() == (reading.failure == ReadFailure::None), "a failure exactly without", text);
    const bool explained = reading.failure == ReadFailure::Ambiguous || reading.failure == ReadFailure::Refused;
    Require(reading.why.empty() != explained, "why exactly when ambiguous or refused", text);
    if (const std::optional<PositionText>& read = reading.position) {
        if (read->notation == Utm)
            Require(read->utm.zone >= 1 && read->utm.zone <= 60 && read->utm.easting >= 160000 &&
                        read->utm.easting <= 834000 && std::fabs(read->utm.northing) <= 1e7,
                    "UTM within bounds", text);
        else
            Require(std::fabs(read->latitude) <= 90 && std::fabs(read->longitude) <= 180, "angles within bounds", text);
    }
    if (const std::optional<AngleValue> angle = ReadAngleText(text, true, {decimalComma}))
        Require(std::fabs(angle->value) <= 90, "a latitude within bounds", text);
}

// Any position written in any notation reads back in it, within half a unit
// of the last written place (plus the arithmetic's rounding).
void CheckWrittenPosition(FuzzedDataProvider& input) {
    const auto notation = static_cast<InputFormat>(input.ConsumeIntegralInRange(0, 2));
    const UnitMarks marks = input.ConsumeBool() ? MarksWithUnits() : MarksWithoutUnits();
    const double latitude = input.ConsumeFloatingPointInRange(-90.0, 90.0);
    const double longitude = input.ConsumeFloatingPointInRange(-180.0, 180.0);
    const std::string line = *PositionLine(FormatLatLon({latitude, longitude}, notation, input.ConsumeBool(), marks));
    const double half = notation == DegreesMinutesSeconds ? 0.0005 / 3600
                        : notation == DegreesMinutes      ? 0.000005 / 60
                                                          : 5e-8;
    const auto near = [&](double read, double value) { return std::fabs(read - value) <= half * (1 + 1e-9) + 1e-12; };
    // A decimal comma changes nothing in what the program writes.
    const std::optional<PositionText> pair = ReadPositionText(line, {input.ConsumeBool()});
    Require(pair && pair->notation == notation && near(pair->latitude, latitude) && near(pair->longitude, longitude),
            "a written position reads back in its notation", line);
    const UtmTexts utm = *FormatUtm({latitude, longitude});
    const std::optional<PositionText> point = ReadPositionText(*UtmLine(utm), {input.ConsumeBool()});
    Require(point && point->notation == Utm && utm.zone.starts_with(NumberToText(point->utm.zone) + ' ') &&
                NumberToText(point->utm.easting) == utm.easting && NumberToText(point->utm.northing) == utm.northing,
            "a written UTM point reads back", *UtmLine(utm));
}

// Every written MGRS reference reads back as the centre of a square that
// holds the point (what any text reads as lies within the bounds: above).
void CheckWrittenMgrs(FuzzedDataProvider& input) {
    const double latitude = input.ConsumeFloatingPointInRange(-90.0, 90.0);
    const double longitude = input.ConsumeFloatingPointInRange(-180.0, 180.0);
    const int digits = input.ConsumeIntegralInRange(0, 5);
    const std::optional<std::string> text = FormatMgrs(latitude, longitude, digits);
    Require(text.has_value(), "every position has a reference");
    const std::optional<PositionText> read = ReadMgrsText(*text);
    Require(read.has_value(), "a written reference reads back", *text);
    const EarthPoint centre{read->latitude, read->longitude};  // in UTM squares too
    // Half the square's diagonal on the grid, on the ground at the smallest scale (UPS's 0.994).
    const double reach = std::pow(10.0, 5 - digits) * std::sqrt(0.5) / 0.994 + 1e-6;
    Require(MetresApart(latitude, longitude, centre.latitude, centre.longitude) <= reach,
            "a written reference holds its point", *text);
}

// Every link and snippet written reads back as that form, to the 7 places written.
void CheckWrittenLinks(FuzzedDataProvider& input) {
    const double latitude = input.ConsumeFloatingPointInRange(-90.0, 90.0);
    const double longitude = input.ConsumeFloatingPointInRange(-180.0, 180.0);
    for (const Code code : {Code::GeoUri, Code::Wkt, Code::GeoJson, Code::OsmLink, Code::GoogleLink}) {
        const std::optional<std::string> text = FormatCode(code, latitude, longitude);
        Require(text.has_value(), "every position has a link");
        const std::optional<PositionText> read = ReadPositionText(*text);
        Require(read && read->code == code && std::fabs(read->latitude - latitude) <= 5e-8 + 1e-12 &&
                    std::fabs(read->longitude - longitude) <= 5e-8 + 1e-12,
                "a written link reads back", *text);
    }
}

// Every code at any of its lengths, of any position (normalised or not),
// reads back as a cell that holds the point.
void CheckWrittenCodes(FuzzedDataProvider& input) {
    const struct { Code code; codes::CellReading (*read)(std::string_view); } readers[] = {
        {Code::PlusCode, [](std::string_view text) { return codes::PlusCodeCell(text); }},
        {Code::Maidenhead, codes::MaidenheadCell}, {Code::Geohash, codes::GeohashCell},
        {Code::Georef, codes::GeorefCell}, {Code::Gars, codes::GarsCell}};
    const auto& reader = readers[input.ConsumeIntegralInRange<std::size_t>(0, std::size(readers) - 1)];
    const double latitude = input.ConsumeFloatingPointInRange(-90.0, 90.0);
    const double longitude = input.ConsumeFloatingPointInRange(-180.0, 180.0);
    const int length = input.ConsumeIntegralInRange(-1, 31);
    const std::optional<std::string> text = FormatCode(reader.code, latitude, longitude, length);
    Require(text.has_value() == (length < 0 || ValidCodeLength(reader.code, length)), "a code of every length", text.value_or(""));
    if (!text) return;
    const codes::CellReading read = reader.read(*text);
    Require(read.cell.has_value(), "a written code reads back", *text);
    const double wrapped = longitude == 180 ? -180 : longitude;
    Require(read.cell->south <= latitude && (latitude < read.cell->north || latitude == 90) &&
                read.cell->west <= wrapped && wrapped < read.cell->east,
            "a written code holds its point", *text);
    const std::optional<PositionText> whole = ReadPositionText(*text, {.only = reader.code});
    Require(whole && whole->code == reader.code, "a written code reads as that code", *text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string line = fuzz::Text(input, 512);
    CheckPositionText(line, input.ConsumeBool(), input);
    InputTexts texts;
    texts.notation = static_cast<InputFormat>(input.ConsumeIntegralInRange(0, kInputFormatCount - 1));
    for (AngleTexts* angle : {&texts.latitude, &texts.longitude})
        for (std::string* box : {&angle->direction, &angle->degrees, &angle->minutes, &angle->seconds})
            *box = fuzz::Text(input);
    for (std::string* box : {&texts.easting, &texts.northing, &texts.zone}) *box = fuzz::Text(input);
    CheckBoxes(texts);
    CheckWrittenPosition(input);
    CheckWrittenMgrs(input);
    CheckWrittenCodes(input);
    CheckWrittenLinks(input);
    try {
        const Position read = ReadPosition(texts);
        Require(std::isfinite(read.latitude.value_or(0)) && std::isfinite(read.longitude.value_or(0)), "finite");
    } catch (const ValueError&) {  // the program's own refusal; anything else escapes and is a finding
    }
    return 0;
}
