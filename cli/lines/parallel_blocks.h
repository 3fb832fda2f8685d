// A large file converted on several threads: the reading thread cuts it into
// blocks of whole lines (whole CSV rows), the others convert the blocks, and
// the reading thread writes their results in the file's order, with each
// message where one thread would have printed it. Output and messages are
// byte for byte those of one thread; only the time changes.
#pragma once

#include "cli/lines/line_io.h"
#include "cli/output/progress.h"
#include "cli/output/report.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Where a converter's messages go: printed at once, or kept with a block.
// `line` counts from the start of what is converted (the file, or the
// block); 0 for a message about the whole file.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void Add(std::size_t line, std::string detail) = 0;
};

// Printed at once, as one thread does.
class PrintedMessages : public Messages {
public:
    explicit PrintedMessages(std::string_view source) : source_(source) {}
    void Add(std::size_t line, std::string detail) override;

private:
    std::string_view source_;
};

// A message and the length of the block's output it follows.
struct BlockMessage {
    std::size_t at = 0;
    std::size_t line = 0;
    std::string detail;
    std::string_view note{};  // a note on the run instead (ReportOnce), of static storage
};

// Whole lines of a file, and what converting them gave.
struct Block {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t size = 0;
    bool first = false;  // starts the file
    bool last = false;   // ends it
    std::string_view text() const { return {data.get(), size}; }

    std::string output;
    std::vector<BlockMessage> messages;
    std::size_t lines = 0;  // line ends converted
    bool bad = false;       // a line gave no position
    bool stopped = false;   // --strict stopped at it, or the file cannot go on
    bool failed = false;    // the file cannot be converted (a CSV header without the column)
    bool done = false;
};

// A block's output and messages while it converts, then handed to it.
class BlockSink : public Messages, public NoteKeeper {
public:
    BlockSink() : out_(text_) {}
    Output& out() { return out_; }
    void Add(std::size_t line, std::string detail) override {
        messages_.push_back({out_.written(), line, std::move(detail)});
    }
    void Keep(std::string_view note) override {
        for (const BlockMessage& message : messages_)
            if (message.note.data() == note.data()) return;
        messages_.push_back({out_.written(), 0, {}, note});
    }
    void Finish(Block& block);

private:
    std::string text_;
    Output out_;
    std::vector<BlockMessage> messages_;
};

// Converts blocks on one thread.
class BlockConverter {
public:
    virtual ~BlockConverter() = default;
    virtual void Convert(Block& block) = 0;
    // Whether what follows can convert on other threads: a CSV file's
    // header has been read (blank lines may come before it).
    virtual bool Ready() const { return true; }
    // One for another thread, with what this one learnt from the file's
    // first block (a CSV header).
    virtual std::unique_ptr<BlockConverter> Clone() const = 0;
};

// Where blocks may be cut: after any line end, or only after the end of a
// CSV row (never inside a quoted field).
struct BlockCut {
    bool csv = false;
    char delimiter = ',';
};

struct BlocksEnd {
    bool bad = false;
    bool stopped = false;
    bool failed = false;
    bool binary = false;
    bool readFailed = false;
    int error = 0;
};

// The whole file through `first` (its first block, on this thread, and the
// whole file when that block is all of it) and its clones (the rest, on
// `threads` more threads). Stops after a stopped block: later blocks are
// neither written nor reported.
BlocksEnd ConvertInBlocks(int descriptor, std::string_view source, BlockCut cut, unsigned threads,
                          Progress* progress, BlockConverter& first, Output& out);

// The most threads: each holds a few blocks, so memory grows with them.
inline constexpr int kMostThreads = 256;

// The cores this process may run on (sched_getaffinity), from 1 to kMostThreads.
unsigned UsableCores();

// The bytes of a block of lines, and of a CSV block while a row is longer.
inline constexpr std::size_t kBlockSize = 1 << 20;

}  // namespace quillet
