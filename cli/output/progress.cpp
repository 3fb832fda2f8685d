#include "cli/output/progress.h"

#include "cli/output/report.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace quillet {

namespace {

// A count as people read it: 950, 12.3 k, 4.56 M.
std::string Count(double value) {
    char text[32];
    if (value < 1e4) std::snprintf(text, sizeof text, "%.0f", value);
    else if (value < 1e6) std::snprintf(text, sizeof text, "%.1f k", value / 1e3);
    else if (value < 1e9) std::snprintf(text, sizeof text, "%.2f M", value / 1e6);
    else std::snprintf(text, sizeof text, "%.2f G", value / 1e9);
    return text;
}

std::string Bytes(double value) { return Count(value) + (value < 1e4 ? " B" : "B"); }

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(250);

}  // namespace

Progress::Progress(bool enabled) : enabled_(enabled), runStart_(Clock::now()) {}

void Progress::Start(int descriptor) {
    Finish();
    struct stat status {};
    active_ = enabled_ && ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
    size_ = active_ ? static_cast<unsigned long long>(status.st_size) : 0;
    fileStart_ = Clock::now();
    drawn_ = {};
}

void Progress::Draw(std::size_t lines, unsigned long long bytes) {
    const Clock::time_point now = Clock::now();
    if (now - runStart_ < kQuietStart || now - drawn_ < kRedraw) return;
    drawn_ = now;
    const double seconds = std::chrono::duration<double>(now - fileStart_).count();
    if (seconds <= 0 || bytes == 0) return;
    const double left = static_cast<double>(size_ > bytes ? size_ - bytes : 0) * seconds / static_cast<double>(bytes);
    char text[160];
    std::snprintf(text, sizeof text, "%s lines, %s of %s (%.0f%%), %s lines/s, %.0f s left",
                  Count(static_cast<double>(lines)).c_str(), Bytes(static_cast<double>(bytes)).c_str(),
                  Bytes(static_cast<double>(size_)).c_str(), 100.0 * static_cast<double>(bytes) / static_cast<double>(size_),
                  Count(static_cast<double>(lines) / seconds).c_str(), left);
    ShowStatus(text);
}

void Progress::Finish() {
    active_ = false;
    EraseStatus();
}

}  // namespace quillet
