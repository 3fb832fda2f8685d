// gps-quillet-convert: positions a line at a time, or in the columns of a CSV
// file, written with the window's own texts.
#include "cli/conversion.h"
#include "cli/csv_rows.h"
#include "cli/line_io.h"
#include "cli/report.h"
#include "convert/codes.h"
#include "convert/link_text.h"
#include "geodesy/proj_systems.h"

#include "values/values.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

using namespace quillet;

namespace {

const char* const kExamples = R"(Examples:
  echo '-33.8688, 151.2093' | gps-quillet-convert --to dms
      -33° 52' 7.68", 151° 12' 33.48"
  echo '56 H 334369 -3749052' | gps-quillet-convert --to dm --direction
      S 33° 52.12819', E 151° 12.55823'
  gps-quillet-convert --to utm --false-northing waypoints.txt
  gps-quillet-convert --to mgrs --comment '#' places.txt
  echo 'JN58td' | gps-quillet-convert --to pluscode --code-length 11
  echo '9G8F+6X' | gps-quillet-convert --near 47.4,8.6
  echo 'https://www.openstreetmap.org/?mlat=-33.8688&mlon=151.2093' | gps-quillet-convert --to wkt
      POINT (151.2093 -33.8688)
  gps-quillet-convert --csv --delimiter ';' --decimal-comma --lat Lat --lon Lon --to dms log.csv

Blank lines and lines whose first mark is # are copied through. A line that
gives no position gives an empty line and a message. With --to geojson every
line is JSON or empty: a label goes into a Feature's properties. UTM uses the longitude's
standard zone (no Norway or Svalbard exceptions, bands up to the poles, no
UPS); --utm-zone chooses another. Exit status: 0 when every line converted,
1 when some did not, 2 for a usage error, an unreadable file or a write error.
)";

// One file of positions, a line each. A `comment` character (0 for none)
// starts a label that is not read but written after the result.
RunStatus ConvertLines(int descriptor, std::string_view source, const OutputSettings& settings, char comment,
                       bool strict, Output& out, bool& stopped) {
    LineReader reader(descriptor);
    LineReader::Line line;
    const bool json = settings.code == Code::GeoJson;
    RunStatus status = RunStatus::AllConverted;
    std::size_t number = 0;
    while (reader.Next(line)) {
        ++number;
        std::string_view text = line.text;
        if (number == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        const std::string_view end = line.crlf ? "\r\n" : "\n";
        const std::size_t first = text.find_first_not_of(" \t");
        if (!line.tooLong && (first == std::string_view::npos || text[first] == '#' ||
                              (comment != 0 && text[first] == comment))) {
            // GeoJSON lines stay JSON: a comment line becomes an empty one.
            if (!json || first == std::string_view::npos) out.Put(text);
            out.Put(end);
            continue;
        }
        const std::string_view whole = text;
        std::string_view label;
        std::size_t at = comment == 0 ? std::string_view::npos : text.find(comment);
        // A link's own "#", "%" or "&" begins no label.
        if (at != std::string_view::npos)
            if (const auto [link, linkEnd] = text::FindAddress(text);
                link != std::string_view::npos && at >= link && at < linkEnd)
                at = text.find(comment, linkEnd);
        if (at != std::string_view::npos && !line.tooLong) {
            label = text.substr(at);
            text = text.substr(0, at);
        }
        const PositionReading reading = line.tooLong ? PositionReading{} : ReadLine(text, settings);
        Converted converted;
        Fault fault = PositionOf(reading, settings, converted);
        std::optional<std::string> result;
        std::string why = reading.why;
        if (fault == Fault::None && !(result = OutputLine(converted, settings, &why)))
            fault = why.empty() ? Fault::NotConvertible : Fault::Refused;
        if (json && result && !label.empty()) {
            // The label goes into the Feature's properties, without its mark.
            std::string_view name = label.substr(1);
            name.remove_prefix(std::min(name.size(), name.find_first_not_of(" \t")));
            while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
            out.Put(GeoJsonWithLabel(*result, name));
        } else if (json) {
            if (result) out.Put(*result);
        } else {
            if (result) out.Put(*result);
            if (result && !label.empty()) out.Put(' ');
            out.Put(label);
        }
        out.Put(end);
        if (fault == Fault::None || fault == Fault::Skipped) continue;
        const std::string message = line.tooLong ? "longer than " + std::to_string(reader.limit()) + " bytes"
                                                 : FaultMessage(fault, settings, why);
        ReportLine(source, number, message, whole);
        status = RunStatus::SomeBad;
        if (strict) {
            stopped = true;
            return status;
        }
    }
    if (reader.failed()) {
        ReportFile(source, std::strerror(reader.error()));
        return RunStatus::Failed;
    }
    return status;
}

std::optional<InputFormat> NotationNamed(const std::string& name) {
    for (const InputFormat notation : {DegreesMinutesSeconds, DegreesMinutes, DecimalDegrees, Utm})
        if (name == NotationName(notation)) return notation;
    return std::nullopt;
}

// What PROJ does between the systems asked for: the transformation, its
// stated accuracy, and the grid files that would make it better.
int PrintSystems(const OutputSettings& settings) {
    Output out(STDOUT_FILENO);
    const auto describe = [&](std::string_view from, std::string_view to) {
        const std::string_view names[2] = {from, to};
        std::string heading;
        for (const std::string_view name : names) {
            const std::optional<proj::SystemInfo> info = proj::DescribeSystem(name);
            heading += (heading.empty() ? "" : " to ") + Printable(info ? info->name : name, 200);
        }
        out.Put(heading + ":\n");
        const proj::TransformationInfo info = proj::DescribeTransformation(from, to, settings.allowBallpark);
        if (!info.why.empty()) out.Put("  " + Printable(info.why, 200) + "\n");
        for (const proj::Operation& operation : info.operations) {
            const std::string accuracy =
                operation.accuracy >= 0 ? NumberToText(operation.accuracy) + " m" : "unknown accuracy";
            out.Put("  " + Printable(operation.name, 200) + ", " + accuracy +
                    (operation.ballpark ? ", ballpark (no datum shift)" : "") + ": " +
                    Printable(operation.area, 200) + "\n");
        }
        for (const std::string& grid : info.missingGrids)
            out.Put("  missing grid file, for a better transformation: " + Printable(grid, 200) + "\n");
    };
    if (!settings.fromCrs.empty()) describe(settings.fromCrs, "EPSG:4326");
    if (!settings.crs.empty()) describe("EPSG:4326", settings.crs);
    return out.Flush() ? 0 : 2;
}

int UsageError(const std::string& message) {
    // CLI11 quotes the arguments it refuses, and those may come from a script.
    ReportFile({}, Printable(message, 200));
    std::fprintf(stderr, "Try '%s --help' for more information.\n", kProgram);
    return 2;
}

// A full disk or a closed pipe loses results: never a silent success.
int WriteError() {
    ReportFile({}, std::string("write error: ") + std::strerror(errno));
    return 2;
}

// A comment character: one printable ASCII character that cannot be part of
// a position. "$" and "*" begin an NMEA sentence and its checksum, brackets
// hold a pair, "?" and "=" belong to a geo: URI: cutting there would drop
// what decides the place, or the checksum that vouches for it.
std::string CommentCharacter(const std::string& value) {
    const bool fits = value.size() == 1 && std::ispunct(static_cast<unsigned char>(value[0])) &&
                      std::string_view("+-.,;:'\"$*()[]?=").find(value[0]) == std::string_view::npos;
    return fits ? std::string() : "a comment character is one mark that no position uses, such as # or %";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Converts positions between degrees, minutes and seconds; degrees and decimal minutes;\n"
                 "decimal degrees; UTM (WGS 84), MGRS, the codes people share (Plus Code, Maidenhead,\n"
                 "Geohash, GEOREF, GARS), the British and Irish grids and any system PROJ knows, map links\n"
                 "and GIS points, one a line, with the texts of the GPS Quillet window.",
                 kProgram};
    std::vector<std::string> files;
    std::string from, to = "dd", delimiter = ",", comment;
    bool direction = false, noUnits = false, falseNorthing = false, csv = false, strict = false;
    bool decimalComma = false, crsInfo = false, allowBallpark = false;
    int utmZone = 0, mgrsDigits = 5, gridFigures = 10, codeLength = -1;
    std::string crs, fromCrs, near;
    CsvColumns columns;
    const auto anyCase = CLI::ignore_case;
    std::vector<std::string> names{"dms", "dm", "dd", "utm"};
    for (const CodeForm& form : CodeForms())
        for (std::string_view name : form.names) names.emplace_back(name);
    app.add_option("files", files, "Files of positions, one a line; none or - for standard input");
    app.add_option("--from", from, "Read only positions in this notation")->transform(CLI::IsMember(names, anyCase));
    app.add_option("--to", to, "Write in this notation (default dd)")->transform(CLI::IsMember(names, anyCase));
    app.add_flag("--direction", direction, "N/S/E/W letters instead of signs");
    app.add_flag("--no-units", noUnits, "No degree, minute and second marks");
    app.add_flag("--false-northing", falseNorthing,
                 "UTM as receivers write it: 10,000,000 m false northing in the south (with --to utm)");
    CLI::Option* zoneOption =
        app.add_option("--utm-zone", utmZone, "Write UTM in this zone (1-60) instead of the longitude's")
            ->check(CLI::Range(1, 60));
    CLI::Option* digitsOption =
        app.add_option("--mgrs-digits", mgrsDigits, "Digits each of MGRS easting and northing, 0-5 (default 5)")
            ->check(CLI::Range(0, 5));
    CLI::Option* figuresOption =
        app.add_option("--grid-figures", gridFigures,
                       "Figures of a British or Irish grid reference in all, 0-10, even (default 10)")
            ->check(CLI::IsMember({0, 2, 4, 6, 8, 10}));
    CLI::Option* crsOption =
        app.add_option("--crs", crs, "Write in this coordinate system (EPSG:27700, a WKT or PROJ string), through PROJ")
            ->type_name("CRS");
    CLI::Option* fromCrsOption =
        app.add_option("--from-crs", fromCrs, "Read lines in this coordinate system instead of WGS 84")
            ->type_name("CRS");
    app.add_flag("--crs-info", crsInfo, "Print the transformation PROJ uses for --crs or --from-crs, and stop");
    app.add_flag("--allow-ballpark", allowBallpark,
                 "Convert between datums even where no datum shift is known (errors of up to hundreds of metres)");
    CLI::Option* lengthOption =
        app.add_option("--code-length", codeLength,
                       "Length of the code of --to: Plus Code digits (2, 4, 6, 8, 10-15; default 10), characters "
                       "of a Maidenhead locator (2-10, even; 6), a Geohash (1-12; 9) or a GEOREF (2, 4, 8-14, even; "
                       "8), minutes of a GARS cell (30, 15, 5; 5)")
            ->type_name("N")
            ->excludes(digitsOption);
    CLI::Option* nearOption =
        app.add_option("--near", near, "Recover short Plus Codes (\"9G8F+6X\") near this position")
            ->type_name("LAT,LON");
    app.add_flag("--decimal-comma", decimalComma, "A comma between two digits is a decimal comma (\"45,5; 7,25\")");
    CLI::Option* commentOption =
        app.add_option("--comment", comment, "Text from CHAR to the end of a line is a label, copied after the result")
            ->check(CLI::Validator(CommentCharacter, ""))
            ->type_name("CHAR");
    CLI::Option* csvFlag = app.add_flag("--csv", csv, "Read CSV with a header row; results become new columns");
    app.add_option("--delimiter", delimiter, "CSV field delimiter: , ; or tab (default ,)")
        ->transform(CLI::IsMember({",", ";", "\t", "tab"}, anyCase).description(""))
        ->type_name("CHAR")
        ->needs(csvFlag);
    commentOption->excludes(csvFlag);
    CLI::Option* lat = app.add_option("--lat", columns.latitude, "CSV column of the latitude")->needs(csvFlag);
    CLI::Option* lon = app.add_option("--lon", columns.longitude, "CSV column of the longitude")->needs(csvFlag);
    CLI::Option* position =
        app.add_option("--position", columns.position, "CSV column of a whole position")->needs(csvFlag);
    CLI::Option* easting = app.add_option("--easting", columns.easting, "CSV column of the easting")->needs(csvFlag);
    CLI::Option* northing =
        app.add_option("--northing", columns.northing, "CSV column of the northing")->needs(csvFlag);
    CLI::Option* zone = app.add_option("--zone", columns.zone, "CSV column of the UTM zone")->needs(csvFlag);
    app.add_flag("--south", columns.south, "Zones without a letter are southern, with the false northing")
        ->needs(zone);
    app.add_flag("--strict", strict, "Stop at the first line that gives no position");
    app.set_version_flag("--version", std::string(kProgram) + " " + QUILLET_VERSION);
    app.footer(kExamples);
    lat->needs(lon);
    lon->needs(lat);
    easting->needs(northing, zone);
    northing->needs(easting, zone);
    zone->needs(easting, northing);
    for (CLI::Option* option : {lat, easting}) option->excludes(position);
    lat->excludes(easting);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() != 0) return UsageError(error.what());
        std::ostringstream text, unused;  // --help or --version
        app.exit(error, text, unused);
        Output out(STDOUT_FILENO);
        out.Put(text.str());
        return out.Flush() ? 0 : WriteError();
    }
    if (csv && columns.latitude.empty() && columns.position.empty() && columns.easting.empty())
        return UsageError("--csv needs --lat and --lon, --position, or --easting, --northing and --zone");
    OutputSettings settings;
    const CodeForm* const toCode = FormNamed(to);
    settings.code = toCode ? toCode->code : Code::None;
    settings.notation = toCode ? Utm : *NotationNamed(to);
    if (const CodeForm* const fromCode = FormNamed(from)) settings.read.only = fromCode->code;
    settings.from = NotationNamed(from);
    settings.directionLetters = direction;
    settings.marks = noUnits ? MarksWithoutUnits() : MarksWithUnits();
    settings.falseNorthing = falseNorthing;
    settings.utmZone = utmZone;
    if (settings.code == Code::Mgrs) settings.codeLength = mgrsDigits;
    if (settings.code == Code::BritishGrid || settings.code == Code::IrishGrid) settings.codeLength = gridFigures;
    if (lengthOption->count() > 0) {
        if (settings.code == Code::None) return UsageError("--code-length needs --to and a code");
        if (!ValidCodeLength(settings.code, codeLength)) {
            std::string lengths;
            for (int length = 0; length <= 60; ++length)
                if (ValidCodeLength(settings.code, length))
                    lengths += (lengths.empty() ? "" : ", ") + std::to_string(length);
            return UsageError("--code-length " + std::to_string(codeLength) + " is no length of " +
                              std::string(toCode->names.front()) + ": " + lengths);
        }
        settings.codeLength = codeLength;
    }
    if (nearOption->count() > 0) {
        Converted reference;
        if (PositionOf(ReadPosition(near, {.decimalComma = decimalComma}), OutputSettings{}, reference) != Fault::None)
            return UsageError("--near needs a position, such as --near 47.4,8.6");
        settings.read.near = std::pair(*reference.position.latitude, *reference.position.longitude);
    }
    settings.read.decimalComma = decimalComma;
    const bool utmOut = settings.notation == Utm && settings.code == Code::None;
    if (falseNorthing && !utmOut) return UsageError("--false-northing needs --to utm");
    if (zoneOption->count() > 0 && !utmOut) return UsageError("--utm-zone needs --to utm");
    if (digitsOption->count() > 0 && settings.code != Code::Mgrs) return UsageError("--mgrs-digits needs --to mgrs");
    if (figuresOption->count() > 0 && settings.code != Code::BritishGrid && settings.code != Code::IrishGrid)
        return UsageError("--grid-figures needs --to bng or --to irish");
    settings.allowBallpark = allowBallpark;
    // PROJ starts only here, and only for a system asked for.
    for (const auto& [option, definition] : {std::pair{crsOption, &crs}, std::pair{fromCrsOption, &fromCrs}}) {
        if (option->count() == 0) continue;
        std::string why;
        const std::optional<proj::SystemInfo> info = proj::DescribeSystem(*definition, &why);
        if (!info) return UsageError("unknown coordinate system \"" + *definition + "\": " + why);
        (option == crsOption ? settings.crsGeographic : settings.fromCrsGeographic) = info->geographic;
        (option == crsOption ? settings.crs : settings.fromCrs) = *definition;
    }
    if (crsInfo) {
        if (crs.empty() && fromCrs.empty()) return UsageError("--crs-info needs --crs or --from-crs");
        return PrintSystems(settings);
    }
    if (!settings.crs.empty() && (settings.code != Code::None || settings.notation == Utm))
        return UsageError("--crs writes its own coordinates: --to only chooses dms, dm or dd");
    if (!settings.fromCrs.empty() && (!from.empty() || csv))
        return UsageError("--from-crs reads lines: not with --from or --csv");
    // No datum shift known: refused before a single line, unless asked for.
    for (const auto& [source, target] : {std::pair{settings.fromCrs, std::string("EPSG:4326")},
                                         std::pair{std::string("EPSG:4326"), settings.crs}}) {
        if (source.empty() || target.empty()) continue;
        const proj::Transformed probe = proj::Transform(source, target, {0, 0}, allowBallpark);
        if (probe.failure == proj::Failure::Ballpark)
            return UsageError(probe.why + "; --allow-ballpark converts without one, off by tens to hundreds of metres");
    }
    columns.delimiter = delimiter == "tab" ? '\t' : delimiter[0];

    if (files.empty()) files.emplace_back("-");
    Output out(STDOUT_FILENO);
    RunStatus worst = RunStatus::AllConverted;
    for (const std::string& file : files) {
        const bool standardInput = file == "-";
        const int descriptor = standardInput ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            ReportFile(file, std::strerror(errno));
            worst = RunStatus::Failed;
            continue;
        }
        const std::string_view source = standardInput ? std::string_view() : std::string_view(file);
        bool stopped = false;
        const RunStatus status =
            csv ? ConvertCsv(descriptor, source, columns, settings, strict, out, stopped)
                : ConvertLines(descriptor, source, settings, comment.empty() ? 0 : comment[0], strict, out, stopped);
        if (!standardInput) ::close(descriptor);
        worst = std::max(worst, status);
        if (stopped) break;
    }
    if (!out.Flush()) return WriteError();
    return static_cast<int>(worst);
}
