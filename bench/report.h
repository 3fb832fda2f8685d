// What the benchmark programs share: the median of each benchmark's
// repetitions, and one line per goal.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Nanoseconds per iteration by benchmark name; NaN for one that did not run.
class Medians {
public:
    double at(const std::string& name) const {
        const auto found = values_.find(name);
        return found == values_.end() ? std::numeric_limits<double>::quiet_NaN() : found->second;
    }
    void set(const std::string& name, double value) { values_[name] = value; }

private:
    std::map<std::string, double> values_;
};

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Prints as the console reporter does and keeps each repetition's CPU time
// per iteration, in nanoseconds, for the ratios. CPU time, not wall time:
// on a machine shared with other builds, the time spent waiting for a core
// is not the code's.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(OO_None) {}

    // Shows the medians only, when the repetitions are aggregated.
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") shown.push_back(run);
        ConsoleReporter::ReportRuns(shown);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const double ns = run.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            // Only aggregates arrive when the repetitions are not shown.
            if (run.run_type == Run::RT_Iteration) times_[run.run_name.function_name].push_back(ns);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                reported_[run.run_name.function_name] = ns;
        }
    }
    Medians medians() const {
        Medians result;
        for (const auto& [name, values] : times_) result.set(name, Median(values));
        for (const auto& [name, value] : reported_) result.set(name, value);
        return result;
    }

private:
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, double> reported_;
};

// A goal is a ratio that must reach its floor: how many times the peer's
// cost ours is, or how far under a ceiling we stay.
inline void Goal(const char* what, double ratio, double floor) {
    std::printf("  %-44s %6.2fx  (goal >= %.2fx)  %s\n", what, ratio, floor, ratio >= floor ? "met" : "MISSED");
}

// A ratio or a value that must stay at or under its ceiling.
inline void Ceiling(const char* what, double value, double ceiling) {
    std::printf("  %-44s %6.3f   (goal <= %.2f)  %s\n", what, value, ceiling, value <= ceiling ? "met" : "MISSED");
}

}  // namespace bench
