#include "cli/conversion.h"

#include "cli/report.h"
#include "convert/codes.h"
#include "convert/output_format.h"
#include "geodesy/utm.h"
#include "validate/field_checks.h"
#include "values/values.h"

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
    case Fault::Refused: return Printable(why);
    }
    return {};
}

std::string_view LineHint(Fault fault, std::string_view text, const OutputSettings& settings) {
    if ((fault != Fault::NotAPosition && fault != Fault::Ambiguous) || settings.read.decimalComma) return {};
    ReadOptions options = settings.read;
    options.decimalComma = true;
    return ReadPosition(text, options).position ? kDecimalCommaHint : std::string_view();
}

Fault PositionOf(const PositionReading& reading, const OutputSettings& settings, Position& position) {
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
    if (read.notation != Utm) {
        position = {read.latitude, read.longitude};
        return Fault::None;
    }
    try {
        const LatLon latLon = UtmToLatLon(read.utm.northing, read.utm.easting, CheckedShort(read.utm.zone));
        position = {latLon.latitude, latLon.longitude};
        return Fault::None;
    } catch (const ValueError&) {
        return Fault::NotConvertible;
    }
}

namespace {

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

std::optional<std::string> OutputLine(const Position& position, const OutputSettings& settings) {
    try {
        if (settings.code != Code::None)
            return FormatCode(settings.code, *position.latitude, *position.longitude, settings.codeLength);
        if (settings.notation == Utm) {
            const std::optional<UtmTexts> texts = UtmTextsOf(position, settings);
            return texts ? UtmLine(*texts) : std::nullopt;
        }
        return PositionLine(FormatLatLon(position, settings.notation, settings.directionLetters, settings.marks));
    } catch (const ValueError&) {
        return std::nullopt;
    }
}

bool WriteCells(const Position& position, const OutputSettings& settings, OutputCells& out) {
    try {
        if (settings.code != Code::None) {
            std::optional<std::string> reference =
                FormatCode(settings.code, *position.latitude, *position.longitude, settings.codeLength);
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
        LatLonTexts texts = FormatLatLon(position, settings.notation, settings.directionLetters, settings.marks);
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
    if (settings.notation == Utm) return {{"easting", "northing", "zone"}, 3};
    const std::string suffix = "_" + std::string(NotationName(settings.notation));
    return {{"latitude" + suffix, "longitude" + suffix, ""}, 2};
}

}  // namespace quillet
