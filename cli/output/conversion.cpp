#include "cli/output/conversion.h"

#include "cli/output/report.h"
#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"
#include "convert/output_format.h"
#include "geodesy/utm.h"
#include "validate/field_checks.h"
#include "values/values.h"

#include <charconv>
#include <cmath>
#include <mutex>

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
    converted.source.reset();
    if (!settings.fromCrs.empty()) {
        converted.source = {{read.grid.easting, read.grid.northing}, settings.fromCrs, Code::None,
                            settings.fromCrsIsTarget};
        if (settings.fromCrsIsTarget) {  // never taken to WGS 84
            converted.position = {};
            return Fault::None;
        }
    } else if (const std::string_view system = read.code == Code::None ? std::string_view() : GridSystem(read.code);
               !system.empty()) {
        converted.source = {{read.grid.easting, read.grid.northing}, system, read.code,
                            read.code == settings.targetGrid, read.extrapolated};
    }
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
    reading.position->grid = {point.x, point.y};
    if (settings.fromCrsIsTarget) {
        // A change of notation within one system: no datum, no area of use,
        // only coordinates that some place on Earth could have.
        if (!settings.fromCrsGeographic && !(std::fabs(point.x) < 1e8 && std::fabs(point.y) < 1e8)) {
            reading.position.reset();
            reading.failure = ReadFailure::Refused;
            reading.why = "beyond any place in the system";
            return reading;
        }
        reading.failure = ReadFailure::None;
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

constexpr std::string_view kWgs84 = "EPSG:4326";

// The position in the system written (--crs, or the grid of --to): easting
// and northing, or longitude and latitude. A point read in that system keeps
// its own coordinates; one read in another goes by the transformation PROJ
// chooses between the two.
std::optional<proj::Point> InSystem(const Converted& converted, const OutputSettings& settings, std::string* why) {
    const std::optional<SourcePoint>& source = converted.source;
    if (source && source->sameSystem) return source->point;
    const Position& position = converted.position;
    if (!position.latitude || !position.longitude) return std::nullopt;
    const proj::Transformed point =
        source ? proj::Reproject(source->system, settings.target, source->point, *position.latitude,
                                 *position.longitude, settings.allowBallpark)
               : proj::FromWgs84(settings.target, *position.latitude, *position.longitude, settings.allowBallpark);
    if (point.failure == proj::Failure::None) return point.point;
    if (why) *why = point.why;
    return std::nullopt;
}

// A grid's reference, from the point in the grid's own system.
std::optional<std::string> GridReference(const Converted& converted, const OutputSettings& settings,
                                         std::string* why) {
    const std::optional<proj::Point> point = InSystem(converted, settings, nullptr);
    const int figures = settings.codeLength < 0 ? FormOf(settings.code).defaultLength : settings.codeLength;
    std::optional<std::string> reference;
    if (point) reference = FormatGridPoint(settings.code, {point->x, point->y}, figures);
    if (!reference && why) *why = "outside the area of the " + std::string(GridName(settings.code));
    return reference;
}

// The accuracy note of the transformation from the system a point was read
// in to the one written, asked of PROJ once per pair in a run: --from-crs's
// and each grid's when first used (WGS 84's is in the settings).
std::string_view PairNote(const SourcePoint& source, const OutputSettings& settings) {
    static std::once_flag asked[4];
    static std::string_view notes[4];
    const int index = source.grid == Code::None          ? 0
                      : source.grid == Code::BritishGrid ? 1
                      : source.grid == Code::IrishGrid   ? 2
                                                         : 3;
    std::call_once(asked[index], [&] {
        try {
            notes[index] = AccuracyNote(source.system,
                                        settings.target.empty() ? kWgs84 : std::string_view(settings.target));
        } catch (...) {  // no memory left: no note
        }
    });
    return notes[index];
}

void SayNotes(const Converted& converted, const OutputSettings& settings) {
    if (settings.quiet) return;
    const std::optional<SourcePoint>& source = converted.source;
    if (!source) {
        if (!settings.wgs84Note.empty()) ReportOnce(settings.wgs84Note);
        return;
    }
    if (source->sameSystem) return;  // no datum shift taken
    if (source->extrapolated) ReportOnce(ExtrapolationNote(source->grid));
    ReportOnce(PairNote(*source, settings));
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

std::optional<std::string> WriteLine(const Converted& converted, const OutputSettings& settings, std::string* why) {
    const Position& position = converted.position;
    try {
        if (!settings.crs.empty()) {
            const std::optional<proj::Point> point = InSystem(converted, settings, why);
            if (!point) return std::nullopt;
            if (!settings.crsGeographic) return Millimetres(point->x) + ' ' + Millimetres(point->y);
            return PositionLine(FormatLatLon(Position{point->y, point->x}, settings.notation,
                                             settings.directionLetters, settings.marks));
        }
        if (settings.targetGrid != Code::None) return GridReference(converted, settings, why);
        if (!position.latitude || !position.longitude) return std::nullopt;
        if (settings.code != Code::None)
            return FormatCode(settings.code, *position.latitude, *position.longitude, settings.codeLength,
                              converted.utm);
        if (settings.notation == Utm) {
            const std::optional<UtmTexts> texts = UtmTextsOf(position, settings);
            return texts ? UtmLine(*texts) : std::nullopt;
        }
        return PositionLine(FormatLatLon(position, settings.notation, settings.directionLetters, settings.marks));
    } catch (const ValueError&) {
        return std::nullopt;
    }
}

bool FillCells(const Converted& converted, const OutputSettings& settings, OutputCells& out, std::string* why) {
    const Position& position = converted.position;
    try {
        Position written = position;
        if (!settings.crs.empty()) {
            const std::optional<proj::Point> point = InSystem(converted, settings, why);
            if (!point) return false;
            if (!settings.crsGeographic) {
                out.cells[0] = Millimetres(point->x);
                out.cells[1] = Millimetres(point->y);
                out.count = 2;
                return true;
            }
            written = {point->y, point->x};
        }
        if (settings.code != Code::None && settings.targetGrid != Code::None) {
            std::optional<std::string> reference = GridReference(converted, settings, why);
            if (!reference) return false;
            out.cells[0] = std::move(*reference);
            out.count = 1;
            return true;
        }
        if (!written.latitude || !written.longitude) return false;
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

}  // namespace

void SetTargetSystem(OutputSettings& settings) {
    const std::string_view grid = GridSystem(settings.code);
    settings.target = !settings.crs.empty() ? settings.crs : std::string(grid);
    settings.targetGrid = grid.empty() ? Code::None : settings.code;
    if (!settings.crs.empty() && !settings.crsGeographic)
        for (const Code code : {Code::BritishGrid, Code::IrishGrid, Code::IrishTm})
            if (proj::SameSystem(settings.crs, GridSystem(code))) settings.targetGrid = code;
    settings.fromCrsIsTarget =
        !settings.fromCrs.empty() && !settings.target.empty() && proj::SameSystem(settings.fromCrs, settings.target);
    try {
        if (!settings.target.empty() && !settings.quiet) settings.wgs84Note = AccuracyNote(kWgs84, settings.target);
    } catch (...) {  // no memory left: no note
    }
}

std::optional<std::string> OutputLine(const Converted& converted, const OutputSettings& settings, std::string* why) {
    std::optional<std::string> line = WriteLine(converted, settings, why);
    if (line) SayNotes(converted, settings);
    return line;
}

bool WriteCells(const Converted& converted, const OutputSettings& settings, OutputCells& out, std::string* why) {
    const bool written = FillCells(converted, settings, out, why);
    if (written) SayNotes(converted, settings);
    return written;
}

OutputCells CellNames(const OutputSettings& settings) {
    if (settings.code != Code::None) return {{std::string(FormOf(settings.code).names.front()), "", ""}, 1};
    if (!settings.crs.empty() && !settings.crsGeographic) return {{"easting", "northing", ""}, 2};
    if (settings.notation == Utm) return {{"easting", "northing", "zone"}, 3};
    const std::string suffix = "_" + std::string(NotationName(settings.notation));
    return {{"latitude" + suffix, "longitude" + suffix, ""}, 2};
}

}  // namespace quillet
