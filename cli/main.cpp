// gps-quillet-convert: positions a line at a time, or in the columns of a CSV
// file, written with the window's own texts.
#include "cli/conversion.h"
#include "cli/csv_rows.h"
#include "cli/line_io.h"
#include "cli/report.h"
#include "convert/codes.h"

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
  gps-quillet-convert --csv --delimiter ';' --decimal-comma --lat Lat --lon Lon --to dms log.csv

Blank lines and lines whose first mark is # are copied through. A line that
gives no position gives an empty line and a message. UTM uses the longitude's
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
            out.Put(text);
            out.Put(end);
            continue;
        }
        const std::string_view whole = text;
        std::string_view label;
        if (const std::size_t at = comment == 0 ? std::string_view::npos : text.find(comment);
            at != std::string_view::npos && !line.tooLong) {
            label = text.substr(at);
            text = text.substr(0, at);
        }
        const PositionReading reading = line.tooLong ? PositionReading{} : ReadPosition(text, settings.read);
        Position position;
        Fault fault = PositionOf(reading, settings, position);
        std::optional<std::string> result;
        if (fault == Fault::None && !(result = OutputLine(position, settings))) fault = Fault::NotConvertible;
        if (result) out.Put(*result);
        if (result && !label.empty()) out.Put(' ');
        out.Put(label);
        out.Put(end);
        if (fault == Fault::None || fault == Fault::Skipped) continue;
        const std::string message = line.tooLong ? "longer than " + std::to_string(reader.limit()) + " bytes"
                                                 : FaultMessage(fault, settings, reading.why);
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
                 "decimal degrees; UTM (WGS 84), MGRS and the codes people share (Plus Code, Maidenhead,\n"
                 "Geohash, GEOREF, GARS), one a line, with the texts of the GPS Quillet window.",
                 kProgram};
    std::vector<std::string> files;
    std::string from, to = "dd", delimiter = ",", comment;
    bool direction = false, noUnits = false, falseNorthing = false, csv = false, strict = false;
    bool decimalComma = false;
    int utmZone = 0, mgrsDigits = 5, codeLength = -1;
    std::string near;
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
        Position reference;
        if (PositionOf(ReadPosition(near, {.decimalComma = decimalComma}), OutputSettings{}, reference) != Fault::None)
            return UsageError("--near needs a position, such as --near 47.4,8.6");
        settings.read.near = std::pair(*reference.latitude, *reference.longitude);
    }
    settings.read.decimalComma = decimalComma;
    const bool utmOut = settings.notation == Utm && settings.code == Code::None;
    if (falseNorthing && !utmOut) return UsageError("--false-northing needs --to utm");
    if (zoneOption->count() > 0 && !utmOut) return UsageError("--utm-zone needs --to utm");
    if (digitsOption->count() > 0 && settings.code != Code::Mgrs) return UsageError("--mgrs-digits needs --to mgrs");
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
