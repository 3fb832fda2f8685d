// Progress of a long run on standard error, as zstd and dd show it: lines
// and bytes done, the rate and the time left, redrawn in place once the work
// has run for about a second, and erased at the end.
#pragma once

#include <chrono>
#include <cstddef>

namespace quillet {

class Progress {
public:
    // `enabled`: standard error is a terminal that standard output is not,
    // and no --quiet. The clock starts here.
    explicit Progress(bool enabled);
    ~Progress() { Finish(); }

    // A new input; shown only where it is a regular file, whose size is known.
    void Start(int descriptor);
    // Cheap enough for every few thousand lines: mostly one clock reading.
    void Update(std::size_t lines, unsigned long long bytes) {
        if (active_) Draw(lines, bytes);
    }
    // Erases the line, if shown.
    void Finish();

    // How many lines between two calls of Update.
    static constexpr std::size_t kEvery = 1 << 14;

private:
    using Clock = std::chrono::steady_clock;
    void Draw(std::size_t lines, unsigned long long bytes);

    bool enabled_;
    bool active_ = false;
    unsigned long long size_ = 0;
    Clock::time_point runStart_, fileStart_, drawn_;
};

}  // namespace quillet
