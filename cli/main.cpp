// gps-quillet-convert: positions a line at a time, or in the columns of a CSV
// file, written with the window's own texts.
#include "cli/conversion.h"
#include "cli/csv_rows.h"
#include "cli/line_io.h"
#include "cli/report.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace quillet;

namespace {

const char* const kExamples = R"(Examples:
  echo '-33.8688, 151.2093' | gps-quillet-convert --to dms
      -33° 52' 7.68", 151° 12' 33.48"
  echo '56 H 334369 -3749052' | gps-quillet-convert --to dm --direction
      S 33° 52.12819', E 151° 12.55823'
  gps-quillet-convert --to utm --false-northing waypoints.txt
  gps-quillet-convert --csv --lat lat --lon lon --to dms log.csv > converted.csv

Blank lines and lines starting with # are copied through. A line that gives no
position gives an empty line and a message. Exit status: 0 when every line
converted, 1 when some did not, 2 for a usage error or an unreadable file.
)";

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// One file of positions, a line each.
RunStatus ConvertLines(int descriptor, std::string_view source, const OutputSettings& settings, bool strict,
                       Output& out, bool& stopped) {
    LineReader reader(descriptor);
    LineReader::Line line;
    RunStatus status = RunStatus::AllConverted;
    std::size_t number = 0;
    while (reader.Next(line)) {
        ++number;
        std::string_view text = line.text;
        if (number == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        const std::string_view end = line.crlf ? "\r\n" : "\n";
        if (!line.tooLong && (IsBlank(text) || text.front() == '#')) {
            out.Put(text);
            out.Put(end);
            continue;
        }
        Position position;
        Fault fault = line.tooLong ? Fault::NotAPosition : PositionOf(ReadPositionText(text), settings, position);
        if (fault == Fault::None) {
            if (const std::optional<std::string> result = OutputLine(position, settings)) out.Put(*result);
            else fault = Fault::NotConvertible;
        }
        out.Put(end);
        if (fault != Fault::None) {
            ReportLine(source, number, FaultMessage(fault, settings), text);
            status = RunStatus::SomeBad;
            if (strict) {
                stopped = true;
                return status;
            }
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
    ReportFile({}, message);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", kProgram);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Converts positions between degrees, minutes and seconds; degrees and decimal minutes;\n"
                 "decimal degrees; and UTM (WGS 84), one a line, with the texts of the GPS Quillet window.",
                 kProgram};
    std::vector<std::string> files;
    std::string from, to = "dd";
    bool direction = false, noUnits = false, falseNorthing = false, csv = false, strict = false;
    CsvColumns columns;
    const std::vector<std::string> names{"dms", "dm", "dd", "utm"};
    app.add_option("files", files, "Files of positions, one a line; none or - for standard input");
    app.add_option("--from", from, "Read only positions in this notation")->check(CLI::IsMember(names));
    app.add_option("--to", to, "Write in this notation (default dd)")->check(CLI::IsMember(names));
    app.add_flag("--direction", direction, "N/S/E/W letters instead of signs");
    app.add_flag("--no-units", noUnits, "No degree, minute and second marks");
    app.add_flag("--false-northing", falseNorthing,
                 "UTM as receivers write it: 10,000,000 m false northing in the south (with --to utm)");
    CLI::Option* csvFlag = app.add_flag("--csv", csv, "Read CSV with a header row; results become new columns");
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
        if (error.get_exit_code() == 0) return app.exit(error);
        return UsageError(error.what());
    }
    if (csv && columns.latitude.empty() && columns.position.empty() && columns.easting.empty())
        return UsageError("--csv needs --lat and --lon, --position, or --easting, --northing and --zone");
    OutputSettings settings;
    settings.notation = *NotationNamed(to);
    settings.from = from.empty() ? std::nullopt : NotationNamed(from);
    settings.directionLetters = direction;
    settings.marks = noUnits ? MarksWithoutUnits() : MarksWithUnits();
    settings.falseNorthing = falseNorthing;
    if (falseNorthing && settings.notation != Utm) return UsageError("--false-northing needs --to utm");

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
        const RunStatus status = csv ? ConvertCsv(descriptor, source, columns, settings, strict, out, stopped)
                                     : ConvertLines(descriptor, source, settings, strict, out, stopped);
        if (!standardInput) ::close(descriptor);
        worst = std::max(worst, status);
        if (stopped) break;
    }
    if (!out.Flush()) {
        ReportFile({}, std::string("write error: ") + std::strerror(errno));
        return 2;
    }
    return static_cast<int>(worst);
}
