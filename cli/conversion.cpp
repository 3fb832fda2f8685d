#include "cli/conversion.h"

#include "cli/report.h"
#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"
#include "convert/output_format.h"
#include "geodesy/utm.h"
#include "validate/field_checks.h"
#include "values/values.h"
#include "geodesy/proj_systems.h"

#include <charconv>

namespace quillet {

std::string_view NotationName(InputFormat notation) {
    switch (notation) {
    case DegreesMinutesSeconds: return "dms";
    case DegreesMinutes: return "dm";
    case DecimalDegrees: return "dd";
    case Utm: return "utm";
    }
    return "";
}

std::string FaultMessage(Fault fault, const OutputSettings& settings, std::string_view why) {
    switch (fault) {
    case Fault::None:
    case Fault::Skipped: break;
    case Fault::NotAPosition: return "not a position";
    case Fault::Ambiguous: return why.empty() ? "ambiguous" : "ambiguous (" + Printable(why) + ")";
    case Fault::NoFix: return "no fix";
    case Fault::Checksum: return "NMEA checksum does not match";
    case Fault::OtherNotation:
        return "not a position in " + std::string(settings.read.only != Code::None
                                                      ? FormOf(settings.read.only).names.front()
                                                      : NotationName(*settings.from));
    // As the window refuses it: "The position ... cannot be converted."
    case Fault::NotConvertible: return "cannot be converted";
    case Fault::Refused: return Printable(why, 120);
    }
    return {};
}

std::string_view LineHint(Fault fault, std::string_view text, const OutputSettings& settings) {
    if ((fault != Fault::NotAPosition && fault != Fault::Ambiguous) || settings.read.decimalComma) return {};
    ReadOptions options = settings.read;
    options.decimalComma = true;
    return ReadPosition(text, options).position ? kDecimalCommaHint : std::string_view();
}

Fault PositionOf(const PositionReading& reading, const OutputSettings& settings, Converted& converted) {
    switch (reading.failure) {
    case ReadFailure::None: break;
    case ReadFailure::NotAPosition: return Fault::NotAPosition;
    case ReadFailure::Ambiguous: return Fault::Ambiguous;
    case ReadFailure::NoFix: return Fault::NoFix;
    case ReadFailure::Checksum: return Fault::Checksum;
    case ReadFailure::NoPosition: return Fault::Skipped;
    case ReadFailure::Refused: return Fault::Refused;
    }
    if (!reading.position) return Fault::NotAPosition;
    const PositionText& read = *reading.position;
    const Code only = settings.read.only;
    const bool wanted = only != Code::None
                            ? read.code == only
                            : !settings.from || (read.code == Code::None && read.notation == *settings.from);
    if (!wanted) return Fault::OtherNotation;
    converted.utm.reset();
    if (read.notation == Utm) converted.utm = read.utm;
    // An MGRS square's centre comes with its position from the accurate
    // inverse; a UTM text converts as the window's UTM boxes do.
    if (read.notation != Utm || read.code == Code::Mgrs) {
        converted.position = {read.latitude, read.longitude};
        return Fault::None;
    }
    try {
        const LatLon latLon = UtmToLatLon(read.utm.northing, read.utm.easting, CheckedShort(read.utm.zone));
        converted.position = {latLon.latitude, latLon.longitude};
        return Fault::None;
    } catch (const ValueError&) {
        return Fault::NotConvertible;
    }
}

PositionReading ReadLine(std::string_view text, const OutputSettings& settings) {
    if (settings.fromCrs.empty()) return ReadPosition(text, settings.read);
    PositionReading reading;
    proj::Point point;
    if (settings.fromCrsGeographic) {
        reading = ReadPosition(text, settings.read);
        if (!reading.position) return reading;
        if (reading.position->code != Code::None || reading.position->notation == Utm) return {};
        point = {reading.position->longitude, reading.position->latitude};
    } else if (const auto pair = ReadEastingNorthing(text)) {
        point = {pair->first, pair->second};
        reading.position.emplace();
    } else {
        return reading;
    }
    const proj::Transformed wgs84 = proj::ToWgs84(settings.fromCrs, point, settings.allowBallpark);
    if (wgs84.failure != proj::Failure::None) {
        reading.position.reset();
        reading.failure = ReadFailure::Refused;
        reading.why = wgs84.why;
        return reading;
    }
    reading.failure = ReadFailure::None;
    reading.position->notation = DecimalDegrees;
    reading.position->latitude = wgs84.point.y;
    reading.position->longitude = wgs84.point.x;
    return reading;
}

namespace {

// A coordinate of a projected system, to the millimetre.
std::string Millimetres(double metres) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, metres, std::chars_format::fixed, 3).ptr;
    return std::string(text, end);
}

// The position in --crs: easting and northing, or latitude and longitude.
std::optional<proj::Point> InSystem(const Position& position, const OutputSettings& settings, std::string* why) {
    const proj::Transformed point =
        proj::FromWgs84(settings.crs, *position.latitude, *position.longitude, settings.allowBallpark);
    if (point.failure == proj::Failure::None) return point.point;
    if (why) *why = point.why;
    return std::nullopt;
}

std::optional<UtmTexts> UtmTextsOf(const Position& position, const OutputSettings& settings) {
    const int zone = settings.utmZone;
    std::optional<UtmTexts> texts = settings.falseNorthing ? FormatReceiverUtm(position, zone) : FormatUtm(position, zone);
    // In a chosen zone, only eastings the UTM boxes would take back.
    if (zone != 0 && texts && CheckEasting(texts->easting).refusal) return std::nullopt;
    return texts;
}

void DropTrailingBlanks(std::string& text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
}

}  // namespace

std::optional<std::string> OutputLine(const Converted& converted, const OutputSettings& settings, std::string* why) {
    const Position& position = converted.position;
    try {
        if (!settings.crs.empty()) {
            const std::optional<proj::Point> point = InSystem(position, settings, why);
            if (!point) return std::nullopt;
            if (!settings.crsGeographic) return Millimetres(point->x) + ' ' + Millimetres(point->y);
            return PositionLine(FormatLatLon(Position{point->y, point->x}, settings.notation,
                                             settings.directionLetters, settings.marks));
        }
        if (settings.code != Code::None) {
            std::optional<std::string> code = FormatCode(settings.code, *position.latitude, *position.longitude,
                                                         settings.codeLength, converted.utm);
            if (!code && why && !GridName(settings.code).empty())
                *why = "outside the area of the " + std::string(GridName(settings.code));
            return code;
        }
        if (settings.notation == Utm) {
            const std::optional<UtmTexts> texts = UtmTextsOf(position, settings);
            return texts ? UtmLine(*texts) : std::nullopt;
        }
        return PositionLine(FormatLatLon(position, settings.notation, settings.directionLetters, settings.marks));
    } catch (const ValueError&) {
        return std::nullopt;
    }
}

bool WriteCells(const Converted& converted, const OutputSettings& settings, OutputCells& out, std::string* why) {
    const Position& position = converted.position;
    try {
        Position written = position;
        if (!settings.crs.empty()) {
            const std::optional<proj::Point> point = InSystem(position, settings, why);
            if (!point) return false;
            if (!settings.crsGeographic) {
                out.cells[0] = Millimetres(point->x);
                out.cells[1] = Millimetres(point->y);
                out.count = 2;
                return true;
            }
            written = {point->y, point->x};
        }
        if (settings.code != Code::None) {
            std::optional<std::string> reference = FormatCode(settings.code, *position.latitude, *position.longitude,
                                                              settings.codeLength, converted.utm);
            if (!reference) return false;
            out.cells[0] = std::move(*reference);
            out.count = 1;
            return true;
        }
        if (settings.notation == Utm) {
            std::optional<UtmTexts> texts = UtmTextsOf(position, settings);
            if (!texts) return false;
            out.cells[0] = std::move(texts->easting);
            out.cells[1] = std::move(texts->northing);
            out.cells[2] = std::move(texts->zone);
            out.count = 3;
            return true;
        }
        LatLonTexts texts = FormatLatLon(written, settings.notation, settings.directionLetters, settings.marks);
        if (!texts.latitude || !texts.longitude) return false;
        out.cells[0] = std::move(*texts.latitude);
        out.cells[1] = std::move(*texts.longitude);
        DropTrailingBlanks(out.cells[0]);
        DropTrailingBlanks(out.cells[1]);
        out.count = 2;
        return true;
    } catch (const ValueError&) {
        return false;
    }
}

OutputCells CellNames(const OutputSettings& settings) {
    if (settings.code != Code::None) return {{std::string(FormOf(settings.code).names.front()), "", ""}, 1};
    if (!settings.crs.empty() && !settings.crsGeographic) return {{"easting", "northing", ""}, 2};
    if (settings.notation == Utm) return {{"easting", "northing", "zone"}, 3};
    const std::string suffix = "_" + std::string(NotationName(settings.notation));
    return {{"latitude" + suffix, "longitude" + suffix, ""}, 2};
}

}  // namespace quillet
