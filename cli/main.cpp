// gps-quillet-convert: positions a line at a time, or in the columns of a CSV
// file, written with the window's own texts.
#include "cli/output/conversion.h"
#include "cli/lines/csv_rows.h"
#include "cli/output/help.h"
#include "cli/lines/line_io.h"
#include "cli/lines/line_rows.h"
#include "cli/lines/parallel_blocks.h"
#include "cli/output/progress.h"
#include "cli/output/report.h"
#include "convert/forms/code_forms.h"
#include "convert/links/link_text.h"
#include "geodesy/proj_systems.h"

#include "values/values.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
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

std::optional<InputFormat> NotationNamed(std::string_view name) {
    for (const InputFormat notation : {DegreesMinutesSeconds, DegreesMinutes, DecimalDegrees, Utm}) {
        const std::string_view known = NotationName(notation);
        if (name.size() == known.size() &&
            std::equal(name.begin(), name.end(), known.begin(),
                       [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return notation;
    }
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
    // Both: the one transformation between them, as the lines take it.
    if (!settings.fromCrs.empty() && !settings.crs.empty()) describe(settings.fromCrs, settings.crs);
    else if (!settings.fromCrs.empty()) describe(settings.fromCrs, "EPSG:4326");
    else describe("EPSG:4326", settings.crs);
    return out.Flush() ? 0 : 2;
}

// What --to and --from take: the notations, then every code in the table.
std::vector<std::string> OutputNames() {
    std::vector<std::string> names{"dms", "dm", "dd", "utm"};
    for (const CodeForm& form : CodeForms()) names.emplace_back(form.names.front());
    return names;
}

// A whole number from `low` to `high`, or nothing.
std::optional<int> NumberIn(const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
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
    return fits ? std::string() : "one mark that no position uses, such as # or %";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Converts positions between degrees, minutes and seconds; degrees and decimal minutes; decimal "
                 "degrees; UTM (WGS 84), MGRS, the codes people share (Plus Code, Maidenhead, Geohash, GEOREF, "
                 "GARS), the British and Irish grids and any system PROJ knows, map links and GIS points, one a "
                 "line, with the texts of the GPS Quillet window. Reads each FILE in turn, or standard input when "
                 "there is none or for -.",
                 kProgram};
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_help_flag();
    std::vector<std::string> files;
    std::string from, to = "dd", delimiter = ",", comment, utmZone, mgrsDigits, gridFigures, codeLength;
    bool direction = false, noUnits = false, falseNorthing = false, csv = false, strict = false, quiet = false;
    bool decimalComma = false, crsInfo = false, allowBallpark = false;
    std::string crs, fromCrs, near, threads;
    bool noHeader = false;
    CsvColumns columns;
    const std::string names = InWords(OutputNames());
    app.add_option("files", files, "");

    app.option_defaults()->group("Reading");
    CLI::Option* fromOption =
        app.add_option("--from", from, "read only positions written as NAME: " + names + ", in any case")
            ->type_name("NAME");
    app.add_flag("--decimal-comma", decimalComma,
                 "a comma between two digits is a decimal comma, and a pair is separated by a semicolon, a comma "
                 "and a blank, or blanks (45,5; 7,25)");

    app.option_defaults()->group("Writing");
    app.add_option("--to", to, "write as NAME: " + names + ", in any case; dd when not given")
        ->type_name("NAME");
    app.add_flag("--direction", direction, "N, S, E and W letters instead of signs");
    app.add_flag("--no-units", noUnits, "no degree, minute and second marks");
    app.add_flag("--false-northing", falseNorthing,
                 "only with --to utm: UTM as receivers write it, with the 10,000,000 m false northing in the south");
    CLI::Option* zoneOption =
        app.add_option("--utm-zone", utmZone, "only with --to utm: write UTM in ZONE, 1 to 60, instead of the "
                                              "longitude's own zone")
            ->type_name("ZONE");
    CLI::Option* digitsOption =
        app.add_option("--mgrs-digits", mgrsDigits,
                       "only with --to mgrs: N digits each of easting and northing, 0 to 5; 5 (a metre) when not given")
            ->type_name("N");
    CLI::Option* lengthOption =
        app.add_option("--code-length", codeLength,
                       "with --to and a code: its length, as Plus Code digits (2, 4, 6, 8, 10 to 15; 10 when not "
                       "given), characters of a Maidenhead locator (2 to 10, even; 6), a Geohash (1 to 12; 9) or a "
                       "GEOREF (2, 4, 8 to 14, even; 8), or the minutes of a GARS cell (30, 15 or 5; 5)")
            ->type_name("N")
            ->excludes(digitsOption);
    CLI::Option* figuresOption =
        app.add_option("--grid-figures", gridFigures,
                       "only with --to bng or --to irish: N figures in all, 0 to 10 and even; 10 (a metre) when not "
                       "given")
            ->type_name("N");
    CLI::Option* crsOption =
        app.add_option("--crs", crs,
                       "write in the coordinate system CRS, through PROJ: EPSG:27700, another authority's code, a "
                       "WKT or a PROJ string; easting and northing to the millimetre, or latitude and longitude on "
                       "its datum in the notation of --to")
            ->type_name("CRS");
    app.add_flag("--allow-ballpark", allowBallpark,
                 "convert between datums even where no datum shift is known (errors of tens to hundreds of metres)");
    app.add_flag("--crs-info", crsInfo,
                 "print the transformations PROJ uses for --crs or --from-crs, their accuracy and the grid files "
                 "that would do better, and stop");
    CLI::Option* fromCrsOption =
        app.add_option("--from-crs", fromCrs,
                       "read the lines in the coordinate system CRS instead of WGS 84; not with --from or --csv")
            ->type_name("CRS")
            ->group("Reading");
    CLI::Option* nearOption =
        app.add_option("--near", near, "recover short Plus Codes (9G8F+6X) near this position")
            ->type_name("LAT,LON")
            ->group("Reading");
    CLI::Option* commentOption =
        app.add_option("--comment", comment,
                       "the text from CHAR to the end of a line is a label, copied after the result; CHAR is one mark "
                       "that no position uses, such as # or %; not with --csv")
            ->type_name("CHAR");

    app.option_defaults()->group("CSV");
    CLI::Option* csvFlag =
        app.add_flag("--csv", csv,
                     "read CSV with a header row and write each row back with the result in new columns; needs "
                     "--lat and --lon, --position, or --easting, --northing and --zone");
    CLI::Option* delimiterOption =
        app.add_option("--delimiter", delimiter, "with --csv: fields are separated by , (when not given), ; or tab")
            ->type_name("CHAR")
            ->needs(csvFlag);
    CLI::Option* lat = app.add_option("--lat", columns.latitude, "with --csv and --lon: the latitude's column")
                           ->type_name("COLUMN")
                           ->needs(csvFlag);
    CLI::Option* lon = app.add_option("--lon", columns.longitude, "with --csv and --lat: the longitude's column")
                           ->type_name("COLUMN")
                           ->needs(csvFlag);
    CLI::Option* position =
        app.add_option("--position", columns.position, "with --csv: the column of a whole position")
            ->type_name("COLUMN")
            ->needs(csvFlag);
    CLI::Option* easting =
        app.add_option("--easting", columns.easting, "with --csv, --northing and --zone: the easting's column")
            ->type_name("COLUMN")
            ->needs(csvFlag);
    CLI::Option* northing =
        app.add_option("--northing", columns.northing, "with --csv, --easting and --zone: the northing's column")
            ->type_name("COLUMN")
            ->needs(csvFlag);
    CLI::Option* zone =
        app.add_option("--zone", columns.zone, "with --csv, --easting and --northing: the UTM zone's column")
            ->type_name("COLUMN")
            ->needs(csvFlag);
    app.add_flag("--no-header", noHeader,
                 "with --csv: no header row; --lat, --lon and the others give column numbers, from 1, so that "
                 "parts of a file cut at any line convert as the whole does")
        ->needs(csvFlag);
    app.add_flag("--south", columns.south,
                 "with --zone: zones without a letter are southern, their northings with the false northing")
        ->needs(zone);

    app.option_defaults()->group("Running");
    app.add_flag("--strict", strict, "stop at the first line that gives no position");
    app.add_flag("--quiet", quiet,
                 "no progress on a terminal while a long file converts, and no notes on the accuracy of a datum "
                 "shift");
    CLI::Option* threadsOption =
        app.add_option("--threads", threads,
                       "convert a large input on N threads, 1 to 256; as many as the cores this process may use "
                       "when not given; 1 converts on one")
            ->type_name("N");
    app.set_help_flag("-h,--help", "show this help and exit");
    app.set_version_flag("--version", std::string(kProgram) + " " + QUILLET_VERSION, "show the version and exit");
    app.footer(kExamples);
    commentOption->excludes(csvFlag);
    lat->needs(lon);
    lon->needs(lat);
    easting->needs(northing, zone);
    northing->needs(easting, zone);
    zone->needs(easting, northing);
    for (CLI::Option* option : {lat, easting}) option->excludes(position);
    lat->excludes(easting);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ArgumentMismatch& error) {
        // "--to: 1 required NAME missing" as a person says it.
        const std::string what = error.what();
        const CLI::Option* option = app.get_option_no_throw(what.substr(0, what.find(':')));
        if (option == nullptr || option->get_type_name().empty()) return UsageError(what);
        return UsageError(option->get_name() + " needs a " + option->get_type_name() + " after it");
    } catch (const CLI::ExcludesError& error) {
        std::string what = error.what();
        if (const std::size_t at = what.find(" excludes "); at != std::string::npos)
            what.replace(at, 10, " cannot be used with ");
        return UsageError(what);
    } catch (const CLI::ExtrasError& error) {
        const std::string meant = MeantOutput(app.remaining(), [](std::string_view name) {
            return FormNamed(name) || NotationNamed(name);
        });
        return UsageError(meant.empty() ? error.what() : meant);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() != 0) return UsageError(error.what());
        std::ostringstream text, unused;  // --help or --version
        app.exit(error, text, unused);
        Output out(STDOUT_FILENO);
        out.Put(text.str());
        return out.Flush() ? 0 : WriteError();
    }
    OutputSettings settings;
    const CodeForm* const toCode = FormNamed(to);
    if (!toCode && !NotationNamed(to)) return UsageError("--to takes " + names + ", not \"" + to + "\"");
    if (fromOption->count() > 0 && !FormNamed(from) && !NotationNamed(from))
        return UsageError("--from takes " + names + ", not \"" + from + "\"");
    if (csv && columns.latitude.empty() && columns.position.empty() && columns.easting.empty())
        return UsageError("--csv needs --lat and --lon, --position, or --easting, --northing and --zone");
    settings.code = toCode ? toCode->code : Code::None;
    settings.notation = toCode ? Utm : *NotationNamed(to);
    settings.from = NotationNamed(from);
    // Receivers' UTM is read as any UTM text is: its band gives the hemisphere.
    if (const CodeForm* const fromCode = FormNamed(from)) {
        if (fromCode->code == Code::UtmReceiver)
            settings.from = Utm;
        else
            settings.read.only = fromCode->code;
    }
    settings.directionLetters = direction;
    settings.marks = noUnits ? MarksWithoutUnits() : MarksWithUnits();
    settings.falseNorthing = falseNorthing;
    settings.read.decimalComma = decimalComma;
    const bool utmOut = settings.notation == Utm && settings.code == Code::None;
    if (falseNorthing && !utmOut) return UsageError("--false-northing needs --to utm");
    if (zoneOption->count() > 0) {
        if (!utmOut) return UsageError("--utm-zone needs --to utm");
        const std::optional<int> number = NumberIn(utmZone, 1, 60);
        if (!number) return UsageError("--utm-zone takes a zone from 1 to 60, not \"" + utmZone + "\"");
        settings.utmZone = *number;
    }
    if (digitsOption->count() > 0) {
        if (settings.code != Code::Mgrs) return UsageError("--mgrs-digits needs --to mgrs");
        const std::optional<int> number = NumberIn(mgrsDigits, 0, 5);
        if (!number) return UsageError("--mgrs-digits takes 0 to 5, not \"" + mgrsDigits + "\"");
        settings.codeLength = *number;
    } else if (settings.code == Code::Mgrs) {
        settings.codeLength = 5;
    }
    if (delimiterOption->count() > 0) {
        const std::string lower = [&] {
            std::string text = delimiter;
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return text;
        }();
        if (lower != "," && lower != ";" && lower != "\t" && lower != "tab")
            return UsageError("--delimiter takes , ; or tab, not \"" + delimiter + "\"");
        columns.delimiter = lower == "tab" ? '\t' : lower[0];
    }
    if (noHeader) {
        columns.header = false;
        for (const std::string* column : {&columns.latitude, &columns.longitude, &columns.position, &columns.easting,
                                          &columns.northing, &columns.zone})
            if (!column->empty() && !ColumnNumber(*column))
                return UsageError("with --no-header columns are numbers from 1, not \"" + *column + "\"");
    }
    unsigned threadCount = UsableCores();
    if (threadsOption->count() > 0) {
        const std::optional<int> number = NumberIn(threads, 1, kMostThreads);
        if (!number)
            return UsageError("--threads takes 1 to " + std::to_string(kMostThreads) + ", not \"" + threads + "\"");
        threadCount = static_cast<unsigned>(*number);
    }
    if (commentOption->count() > 0) {
        if (const std::string refusal = CommentCharacter(comment); !refusal.empty())
            return UsageError("--comment takes " + refusal + ", not \"" + comment + "\"");
    }
    if (figuresOption->count() > 0) {
        if (settings.code != Code::BritishGrid && settings.code != Code::IrishGrid)
            return UsageError("--grid-figures needs --to bng or --to irish");
        const std::optional<int> figures = NumberIn(gridFigures, 0, 10);
        if (!figures || *figures % 2 != 0)
            return UsageError("--grid-figures takes 0, 2, 4, 6, 8 or 10, not \"" + gridFigures + "\"");
        settings.codeLength = *figures;
    }
    if (lengthOption->count() > 0) {
        if (settings.code == Code::None) return UsageError("--code-length needs --to and a code");
        const std::optional<int> length = NumberIn(codeLength, 0, 60);
        if (!length || !ValidCodeLength(settings.code, *length)) {
            std::string lengths;
            for (int candidate = 0; candidate <= 60; ++candidate)
                if (ValidCodeLength(settings.code, candidate))
                    lengths += (lengths.empty() ? "" : ", ") + std::to_string(candidate);
            return UsageError("--code-length " + codeLength + " is no length of " +
                              std::string(toCode->names.front()) + ": " + lengths);
        }
        settings.codeLength = *length;
    }
    if (nearOption->count() > 0) {
        Converted reference;
        if (PositionOf(ReadPosition(near, {.decimalComma = decimalComma}), OutputSettings{}, reference) != Fault::None)
            return UsageError("--near needs a position, such as --near 47.4,8.6");
        settings.read.near = std::pair(*reference.position.latitude, *reference.position.longitude);
    }
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
    settings.quiet = quiet;
    SetTargetSystem(settings);
    if (crsInfo) {
        if (crs.empty() && fromCrs.empty()) return UsageError("--crs-info needs --crs or --from-crs");
        return PrintSystems(settings);
    }
    if (!settings.crs.empty() && (settings.code != Code::None || settings.notation == Utm))
        return UsageError("--crs writes its own coordinates: --to only chooses dms, dm or dd");
    if (!settings.fromCrs.empty() && (!from.empty() || csv))
        return UsageError("--from-crs reads lines: not with --from or --csv");
    // No datum shift known: refused before a single line, unless asked for;
    // a change of notation within one system needs none.
    for (const auto& [source, target] : {std::pair{settings.fromCrs, std::string("EPSG:4326")},
                                         std::pair{std::string("EPSG:4326"), settings.crs}}) {
        if (source.empty() || target.empty() || settings.fromCrsIsTarget) continue;
        const proj::Transformed probe = proj::Transform(source, target, {0, 0}, allowBallpark);
        if (probe.failure == proj::Failure::Ballpark)
            return UsageError(probe.why + "; --allow-ballpark converts without one, off by tens to hundreds of metres");
    }

    if (files.empty()) files.emplace_back("-");
    Output out(STDOUT_FILENO);
    const bool toTerminal = ::isatty(STDOUT_FILENO) == 1;
    Progress progress(!quiet && !toTerminal && ::isatty(STDERR_FILENO) == 1);
    RunStatus worst = RunStatus::AllConverted;
    for (const std::string& file : files) {
        const bool standardInput = file == "-";
        const int descriptor = standardInput ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            const int error = errno;
            if (error == ENOENT && ReadLine(file, settings).position) ReportPositionNotFile(file);
            else ReportFile(file, std::strerror(error));
            worst = RunStatus::Failed;
            continue;
        }
        const std::string_view source = standardInput ? std::string_view() : std::string_view(file);
        RunOptions run;
        run.strict = strict;
        // At a terminal a person waits for each line's answer.
        run.interactive = toTerminal || ::isatty(descriptor) == 1;
        run.progress = &progress;
        run.threads = threadCount;
        bool stopped = false;
        const RunStatus status =
            csv ? ConvertCsv(descriptor, source, columns, settings, run, out, stopped)
                : ConvertLines(descriptor, source, settings, comment.empty() ? 0 : comment[0], run, out, stopped);
        if (!standardInput) ::close(descriptor);
        worst = std::max(worst, status);
        if (stopped) break;
    }
    progress.Finish();
    if (!out.Flush()) return WriteError();
    return static_cast<int>(worst);
}
