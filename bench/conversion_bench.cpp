// The projection and the text-to-text conversion, timed side by side with
// GeographicLib on the same points, in one run. (PROJ is timed as cs2cs,
// whole processes, in cli_bench.sh: the program reaches PROJ through one
// unit only, and so does its measuring.) Every benchmark
// handles one point per iteration, cycling through the set, so its time is
// a time per point. At the end the ratios and the goals are printed.
#include "bench/report.h"
#include "convert/forms/code_forms.h"
#include "convert/codes/gars.h"
#include "convert/codes/geohash.h"
#include "convert/codes/georef.h"
#include "convert/codes/maidenhead.h"
#include "convert/codes/plus_code.h"
#include "convert/input_reading.h"
#include "convert/grids/mgrs.h"
#include "convert/output_format.h"
#include "geodesy/utm.h"

#include <GeographicLib/DMS.hpp>
#include <GeographicLib/GARS.hpp>
#include <GeographicLib/Geohash.hpp>
#include <GeographicLib/Georef.hpp>
#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <GeographicLib/Utility.hpp>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace quillet;
namespace geo = GeographicLib;

constexpr std::size_t kPointCount = 1024;  // a power of two: the index wraps with a mask
constexpr double kDegree = 3.14159265358979323846 / 180;

struct Point {
    double latitude, longitude;
    int zone;
    double easting, northing;  // ours: no false northing in the south
};

// Spread over the zones and from 80 S to 84 N, away from zone edges by a
// little so that every library puts a point in the same zone.
const std::vector<Point>& Points() {
    static const std::vector<Point> points = [] {
        std::vector<Point> result;
        for (std::size_t i = 0; i < kPointCount; ++i) {
            const double latitude = -80 + 164 * std::fmod(double(i) * 0.6180339887498949, 1.0);
            const double longitude = -179.9 + 359.8 * std::fmod(double(i) * 0.7548776662466927 + 0.01, 1.0);
            const UtmCoordinates utm = LatLonToUtm(latitude, longitude);
            result.push_back({latitude, longitude, int(utm.zoneNumber), utm.easting, utm.northing});
        }
        return result;
    }();
    return points;
}

template <class Body>
void ForEachPoint(benchmark::State& state, Body body) {
    const std::vector<Point>& points = Points();
    std::size_t i = 0;
    for (auto _ : state) {
        body(points[i]);
        i = (i + 1) & (kPointCount - 1);
    }
}

void Forward_Quillet(benchmark::State& state) {
    ForEachPoint(state, [](const Point& p) { benchmark::DoNotOptimize(LatLonToUtm(p.latitude, p.longitude)); });
}
void Forward_GeographicLib(benchmark::State& state) {
    ForEachPoint(state, [](const Point& p) {
        int zone = 0;
        bool north = false;
        double x = 0, y = 0;
        geo::UTMUPS::Forward(p.latitude, p.longitude, zone, north, x, y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    });
}
void Inverse_Quillet(benchmark::State& state) {
    ForEachPoint(state, [](const Point& p) {
        benchmark::DoNotOptimize(UtmToLatLon(p.northing, p.easting, std::int16_t(p.zone)));
    });
}
void Inverse_GeographicLib(benchmark::State& state) {
    ForEachPoint(state, [](const Point& p) {
        double latitude = 0, longitude = 0;
        const bool north = p.northing >= 0;
        geo::UTMUPS::Reverse(p.zone, north, p.easting, north ? p.northing : p.northing + 10e6, latitude,
                             longitude);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(longitude);
    });
}
// MGRS at 1 m, written from a position and read back to its square's centre.
void MgrsWrite_Quillet(benchmark::State& state) {
    ForEachPoint(state, [](const Point& p) { benchmark::DoNotOptimize(FormatMgrs(p.latitude, p.longitude, 5)); });
}
void MgrsWrite_GeographicLib(benchmark::State& state) {
    ForEachPoint(state, [](const Point& p) {
        int zone = 0;
        bool north = false;
        double x = 0, y = 0;
        geo::UTMUPS::Forward(p.latitude, p.longitude, zone, north, x, y);
        std::string mgrs;
        geo::MGRS::Forward(zone, north, x, y, p.latitude, 5, mgrs);
        benchmark::DoNotOptimize(mgrs);
    });
}
const std::vector<std::string>& MgrsTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> result;
        for (const Point& p : Points()) result.push_back(FormatMgrs(p.latitude, p.longitude, 5).value_or(""));
        return result;
    }();
    return texts;
}
void MgrsRead_Quillet(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadMgrsText(MgrsTexts()[i]));
        i = (i + 1) & (kPointCount - 1);
    }
}
void MgrsRead_GeographicLib(benchmark::State& state) {
    std::vector<std::string> compact = MgrsTexts();  // GeographicLib reads no blanks
    for (std::string& text : compact) text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    std::size_t i = 0;
    for (auto _ : state) {
        int zone = 0, precision = 0;
        bool north = false;
        double x = 0, y = 0;
        geo::MGRS::Reverse(compact[i], zone, north, x, y, precision, true);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        i = (i + 1) & (kPointCount - 1);
    }
}

// The codes people share at their default lengths, written from a position
// and read back to their cell, beside GeographicLib's where it has one.
struct CodeBench {
    const char* name;
    Code code;
    codes::CellReading (*read)(std::string_view);
    void (*peerWrite)(double, double, std::string&);  // null where GeographicLib has none
    void (*peerRead)(const std::string&, double&, double&);
};
const CodeBench kCodes[] = {
    {"PlusCode", Code::PlusCode, [](std::string_view text) { return codes::PlusCodeCell(text); }, nullptr, nullptr},
    {"Maidenhead", Code::Maidenhead, codes::MaidenheadCell, nullptr, nullptr},
    {"Geohash", Code::Geohash, codes::GeohashCell,
     [](double lat, double lon, std::string& text) { geo::Geohash::Forward(lat, lon, 9, text); },
     [](const std::string& text, double& lat, double& lon) {
         int length = 0;
         geo::Geohash::Reverse(text, lat, lon, length);
     }},
    {"Georef", Code::Georef, codes::GeorefCell,
     [](double lat, double lon, std::string& text) { geo::Georef::Forward(lat, lon, 2, text); },
     [](const std::string& text, double& lat, double& lon) {
         int precision = 0;
         geo::Georef::Reverse(text, lat, lon, precision);
     }},
    {"Gars", Code::Gars, codes::GarsCell,
     [](double lat, double lon, std::string& text) { geo::GARS::Forward(lat, lon, 2, text); },
     [](const std::string& text, double& lat, double& lon) {
         int precision = 0;
         geo::GARS::Reverse(text, lat, lon, precision);
     }},
};

std::vector<std::string> CodeTexts(const CodeBench& code) {
    std::vector<std::string> result;
    for (const Point& p : Points()) result.push_back(FormatCode(code.code, p.latitude, p.longitude).value_or(""));
    return result;
}

void RegisterCodes() {
    for (const CodeBench& code : kCodes) {
        const std::string name = code.name;
        benchmark::RegisterBenchmark((name + "Write/Quillet").c_str(), [&code](benchmark::State& state) {
            ForEachPoint(state, [&code](const Point& p) {
                benchmark::DoNotOptimize(FormatCode(code.code, p.latitude, p.longitude));
            });
        });
        benchmark::RegisterBenchmark((name + "Read/Quillet").c_str(), [&code](benchmark::State& state) {
            const std::vector<std::string> texts = CodeTexts(code);
            std::size_t i = 0;
            for (auto _ : state) {
                benchmark::DoNotOptimize(code.read(texts[i]));
                i = (i + 1) & (kPointCount - 1);
            }
        });
        if (!code.peerWrite) continue;
        benchmark::RegisterBenchmark((name + "Write/GeographicLib").c_str(), [&code](benchmark::State& state) {
            ForEachPoint(state, [&code](const Point& p) {
                std::string text;
                code.peerWrite(p.latitude, p.longitude, text);
                benchmark::DoNotOptimize(text);
            });
        });
        benchmark::RegisterBenchmark((name + "Read/GeographicLib").c_str(), [&code](benchmark::State& state) {
            const std::vector<std::string> texts = CodeTexts(code);
            std::size_t i = 0;
            for (auto _ : state) {
                double lat = 0, lon = 0;
                code.peerRead(texts[i], lat, lon);
                benchmark::DoNotOptimize(lat);
                benchmark::DoNotOptimize(lon);
                i = (i + 1) & (kPointCount - 1);
            }
        });
    }
}

// The whole conversion without the window: the texts a person would type in
// one notation, read into a position and written in another.
const char* const kNotations[] = {"DMS", "DM", "Dec", "UTM"};

struct Texts {
    InputTexts ours;
    std::string latitude, longitude;       // GeographicLib: one text per angle
    std::string zone, easting, northing;  // GeographicLib: its own UTM convention
};

std::string Printed(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Degrees, minutes and seconds of a magnitude, as the boxes hold them.
AngleTexts Parts(double value, int notation) {
    const double magnitude = std::fabs(value);
    const double degrees = std::floor(magnitude);
    const double minutes = (magnitude - degrees) * 60;
    AngleTexts parts;
    parts.degrees = (value < 0 ? "-" : "") + Printed("%.0f", degrees);
    if (notation == DegreesMinutes) parts.minutes = Printed("%.5f", minutes);
    if (notation == DegreesMinutesSeconds) {
        parts.minutes = Printed("%.0f", std::floor(minutes));
        parts.seconds = Printed("%.3f", (minutes - std::floor(minutes)) * 60);
    }
    if (notation == DecimalDegrees) parts.degrees = Printed("%.7f", value);
    return parts;
}

std::string GeographicLibAngle(const AngleTexts& parts, int notation) {
    if (notation == DecimalDegrees) return parts.degrees;
    if (notation == DegreesMinutes) return parts.degrees + "d" + parts.minutes + "'";
    return parts.degrees + "d" + parts.minutes + "'" + parts.seconds + "\"";
}

const std::vector<Texts>& TextsIn(int notation) {
    static const auto all = [] {
        std::array<std::vector<Texts>, kInputFormatCount> result;
        for (int n = 0; n < kInputFormatCount; ++n)
            for (const Point& p : Points()) {
                Texts t;
                t.ours.notation = InputFormat(n);
                if (n == Utm) {
                    t.ours.easting = t.easting = Printed("%.0f", p.easting);
                    t.ours.northing = Printed("%.0f", p.northing);
                    t.ours.zone = t.zone = std::to_string(p.zone);
                    t.northing = Printed("%.0f", p.northing < 0 ? p.northing + 10e6 : p.northing);
                    t.zone += p.northing < 0 ? "s" : "n";
                } else {
                    t.ours.latitude = Parts(p.latitude, n);
                    t.ours.longitude = Parts(p.longitude, n);
                    t.latitude = GeographicLibAngle(t.ours.latitude, n);
                    t.longitude = GeographicLibAngle(t.ours.longitude, n);
                }
                result[n].push_back(std::move(t));
            }
        return result;
    }();
    return all[notation];
}

template <class Body>
void ForEachText(benchmark::State& state, int input, Body body) {
    const std::vector<Texts>& texts = TextsIn(input);
    std::size_t i = 0;
    for (auto _ : state) {
        body(texts[i]);
        i = (i + 1) & (kPointCount - 1);
    }
}

void Pipeline_Quillet(benchmark::State& state, int input, int output) {
    const UnitMarks marks = MarksWithUnits();
    ForEachText(state, input, [&](const Texts& t) {
        const Position position = ReadPosition(t.ours);
        if (output == Utm)
            benchmark::DoNotOptimize(FormatUtm(position));
        else
            benchmark::DoNotOptimize(FormatLatLon(position, InputFormat(output), false, marks));
    });
}

void Pipeline_GeographicLib(benchmark::State& state, int input, int output) {
    ForEachText(state, input, [&](const Texts& t) {
        double latitude = 0, longitude = 0;
        if (input == Utm) {
            int zone = 0;
            bool north = false;
            geo::UTMUPS::DecodeZone(t.zone, zone, north);
            geo::UTMUPS::Reverse(zone, north, geo::Utility::val<double>(t.easting),
                                 geo::Utility::val<double>(t.northing), latitude, longitude);
        } else {
            geo::DMS::flag flag{};
            latitude = geo::DMS::Decode(t.latitude, flag);
            longitude = geo::DMS::Decode(t.longitude, flag);
        }
        if (output == Utm) {
            int zone = 0;
            bool north = false;
            double x = 0, y = 0;
            geo::UTMUPS::Forward(latitude, longitude, zone, north, x, y);
            benchmark::DoNotOptimize(geo::Utility::str(x, 0));
            benchmark::DoNotOptimize(geo::Utility::str(y, 0));
            benchmark::DoNotOptimize(geo::UTMUPS::EncodeZone(zone, north));
            return;
        }
        const auto [component, precision] = output == DegreesMinutesSeconds ? std::pair{geo::DMS::SECOND, 3u}
                                            : output == DegreesMinutes      ? std::pair{geo::DMS::MINUTE, 5u}
                                                                            : std::pair{geo::DMS::DEGREE, 7u};
        benchmark::DoNotOptimize(geo::DMS::Encode(latitude, component, precision));
        benchmark::DoNotOptimize(geo::DMS::Encode(longitude, component, precision));
    });
}

// Each peer must give the same positions as ours, give or take the series'
// 0.1 m at zone edges: a benchmark of an error path would prove nothing.
bool PeersAgree() {
    double worst = 0;
    for (const Point& p : Points()) {
        int zone = 0;
        bool north = false;
        double x = 0, y = 0;
        geo::UTMUPS::Forward(p.latitude, p.longitude, zone, north, x, y, p.zone);
        const double ourY = p.northing < 0 ? p.northing + 10e6 : p.northing;
        worst = std::max(worst, std::hypot(x - p.easting, y - ourY));
    }
    std::printf("largest distance from our positions: GeographicLib %.3f m\n", worst);
    return worst < 1;
}

void RegisterAll() {
    benchmark::RegisterBenchmark("Forward/Quillet", Forward_Quillet);
    benchmark::RegisterBenchmark("Forward/GeographicLib", Forward_GeographicLib);
    benchmark::RegisterBenchmark("Inverse/Quillet", Inverse_Quillet);
    benchmark::RegisterBenchmark("Inverse/GeographicLib", Inverse_GeographicLib);
    benchmark::RegisterBenchmark("MgrsWrite/Quillet", MgrsWrite_Quillet);
    benchmark::RegisterBenchmark("MgrsWrite/GeographicLib", MgrsWrite_GeographicLib);
    benchmark::RegisterBenchmark("MgrsRead/Quillet", MgrsRead_Quillet);
    benchmark::RegisterBenchmark("MgrsRead/GeographicLib", MgrsRead_GeographicLib);
    RegisterCodes();
    for (int in = 0; in < kInputFormatCount; ++in)
        for (int out = 0; out < kInputFormatCount; ++out) {
            const std::string pair = std::string("Pipeline/") + kNotations[in] + ">" + kNotations[out];
            benchmark::RegisterBenchmark((pair + "/Quillet").c_str(), Pipeline_Quillet, in, out);
            benchmark::RegisterBenchmark((pair + "/GeographicLib").c_str(), Pipeline_GeographicLib, in, out);
        }
}

void PrintRatios(const bench::Medians& ns) {
    std::printf("\n== Ratios (medians of the repetitions, ns per point) ==\n");
    for (const char* direction : {"Forward", "Inverse"}) {
        const std::string d = direction;
        const double ours = ns.at(d + "/Quillet");
        std::printf("%s: Quillet %.1f ns\n", direction, ours);
        std::printf("  %-14s %7.1f ns  %5.2fx\n", "GeographicLib", ns.at(d + "/GeographicLib"),
                    ns.at(d + "/GeographicLib") / ours);
    }
    for (const char* mgrs : {"MgrsWrite", "MgrsRead"}) {
        const std::string m = mgrs;
        const double q = ns.at(m + "/Quillet"), g = ns.at(m + "/GeographicLib");
        std::printf("%s: Quillet %.1f ns  GeographicLib %.1f ns  %5.2fx\n", mgrs, q, g, g / q);
    }
    std::vector<std::pair<std::string, double>> codeRatios;
    for (const CodeBench& code : kCodes)
        for (const char* way : {"Write", "Read"}) {
            const std::string m = code.name + std::string(way);
            const double q = ns.at(m + "/Quillet");
            if (!code.peerWrite) {
                std::printf("%s: Quillet %.1f ns\n", m.c_str(), q);
                continue;
            }
            const double g = ns.at(m + "/GeographicLib");
            std::printf("%s: Quillet %.1f ns  GeographicLib %.1f ns  %5.2fx\n", m.c_str(), q, g, g / q);
            codeRatios.emplace_back(m + " vs GeographicLib", g / q);
        }
    double ours = 0, theirs = 0;
    std::printf("Pipeline (texts in -> texts out):\n");
    for (const char* in : kNotations)
        for (const char* out : kNotations) {
            const std::string pair = std::string("Pipeline/") + in + ">" + out;
            const double q = ns.at(pair + "/Quillet"), g = ns.at(pair + "/GeographicLib");
            ours += q;
            theirs += g;
            std::printf("  %-4s> %-4s Quillet %7.1f ns  GeographicLib %7.1f ns  %5.2fx\n", in, out, q, g, g / q);
        }
    std::printf("  all 16 pairs      Quillet %7.1f ns  GeographicLib %7.1f ns  %5.2fx\n", ours / 16, theirs / 16,
                theirs / ours);

    // The projection's own times are shown for information only: what a
    // person waits for is the whole text-to-text conversion.
    std::printf("\n== Goals ==\n");
    bench::Goal("pipeline vs GeographicLib (16 pairs)", theirs / ours, 2.0);
    for (const auto& [what, ratio] : codeRatios) bench::Goal(what.c_str(), ratio, 1.0);
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!PeersAgree()) return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.medians());
    benchmark::Shutdown();
    return 0;
}
