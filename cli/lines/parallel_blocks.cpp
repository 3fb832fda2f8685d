#include "cli/lines/parallel_blocks.h"

#include "cli/output/report.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace quillet {

void PrintedMessages::Add(std::size_t line, std::string detail) { ReportDetail(source_, line, detail); }

void BlockSink::Finish(Block& block) {
    out_.Flush();
    block.output.swap(text_);
    text_.clear();
    block.messages.swap(messages_);
    messages_.clear();
}

unsigned UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return static_cast<unsigned>(std::clamp(CPU_COUNT(&set), 1, kMostThreads));
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads a file as blocks that end where a line (a CSV row) ends. A line too
// long to be a position is kept only as far as a line reader would read it,
// so that memory stays bounded; a CSV row is never cut, as one thread's CSV
// reader holds it whole too.
class Cutter {
public:
    Cutter(int descriptor, BlockCut cut) : descriptor_(descriptor), cut_(cut) {}

    // The next block, or false at the end, on a read error and for a binary file.
    bool Next(Block& block);
    bool binary() const { return start_.binary(); }
    bool failed() const { return failed_; }
    int error() const { return error_; }

private:
    void Fill(Block& block);
    std::size_t RowsEnd(std::string_view text, bool first) const;
    bool SkipLongLine(Block& block);

    int descriptor_;
    BlockCut cut_;
    StartCheck start_{false};
    std::string carry_;  // the start of the next block's first line
    bool atEnd_ = false;
    bool failed_ = false;
    int error_ = 0;
    bool first_ = true;
};

void Reserve(Block& block, std::size_t capacity) {
    if (block.capacity >= capacity) return;
    std::unique_ptr<char[]> data(new char[capacity]);
    if (block.size > 0) std::memcpy(data.get(), block.data.get(), block.size);
    block.data = std::move(data);
    block.capacity = capacity;
}

void Cutter::Fill(Block& block) {
    while (block.size < block.capacity && !atEnd_ && !failed_) {
        const long count = start_.Read(descriptor_, block.data.get() + block.size, block.capacity - block.size);
        if (count < 0) {
            failed_ = true;
            error_ = errno;
        } else if (start_.binary()) {
            atEnd_ = true;
        } else if (count == 0) {
            atEnd_ = true;
        } else {
            block.size += static_cast<std::size_t>(count);
        }
    }
}

// Where the last whole CSV row of `text` ends: after a line end outside
// quotes, with quotes read as libcsv reads them (a quote opens a field only
// as its first character; in a quoted field, a quote followed by anything
// but the delimiter or a line end is the field's). 0 when no row ends.
std::size_t Cutter::RowsEnd(std::string_view text, bool first) const {
    std::size_t begin = first && text.substr(0, 3) == kByteOrderMark ? 3 : 0;
    if (text.find('"', begin) == std::string_view::npos) {
        const std::size_t newline = text.rfind('\n');
        return newline == std::string_view::npos ? 0 : newline + 1;
    }
    enum { FieldStart, Unquoted, Quoted, QuoteInQuoted } state = FieldStart;
    std::size_t end = 0;
    const char delimiter = cut_.delimiter;
    for (std::size_t i = begin; i < text.size(); ++i) {
        const char c = text[i];
        const bool ends = c == delimiter || c == '\n' || c == '\r';
        switch (state) {
        case FieldStart: state = c == '"' ? Quoted : ends ? FieldStart : Unquoted; break;
        case Unquoted: state = ends ? FieldStart : Unquoted; break;
        case Quoted: state = c == '"' ? QuoteInQuoted : Quoted; break;
        case QuoteInQuoted: state = ends ? FieldStart : Quoted; break;
        }
        if (c == '\n' && state == FieldStart) end = i + 1;
    }
    return end;
}

// A full block without a line end holds one line longer than a line
// reader's buffer: its start stays, ended by "\n", and the rest of it is
// read past. False when the file fails on the way: one thread drops it then.
bool Cutter::SkipLongLine(Block& block) {
    for (;;) {
        const std::size_t offset = kLineBuffer + 1;
        std::size_t size = 0;
        while (offset + size < block.capacity && !atEnd_ && !failed_) {
            const long count =
                start_.Read(descriptor_, block.data.get() + offset + size, block.capacity - offset - size);
            if (count < 0) {
                failed_ = true;
                error_ = errno;
            } else if (count == 0) {
                atEnd_ = true;
            } else {
                size += static_cast<std::size_t>(count);
            }
        }
        if (failed_) return false;
        const std::string_view read(block.data.get() + offset, size);
        if (const std::size_t newline = read.find('\n'); newline != std::string_view::npos) {
            carry_.assign(read.substr(newline + 1));
            break;
        }
        if (atEnd_) break;
    }
    block.data[kLineBuffer] = '\n';
    block.size = kLineBuffer + 1;
    return true;
}

bool Cutter::Next(Block& block) {
    if ((atEnd_ || failed_) && carry_.empty()) return false;
    block.first = first_;
    block.last = false;
    block.size = 0;
    std::size_t capacity = kBlockSize;
    while (capacity <= carry_.size()) capacity *= 2;
    Reserve(block, capacity);
    carry_.copy(block.data.get(), carry_.size());
    block.size = carry_.size();
    carry_.clear();
    for (;;) {
        Fill(block);
        if (start_.binary()) return false;
        const std::string_view text = block.text();
        if (atEnd_ || failed_) {
            // A line the error cut short is not converted, as with one
            // thread; a CSV reader still gets the row it had begun.
            if (failed_ && !cut_.csv) {
                const std::size_t newline = text.rfind('\n');
                block.size = newline == std::string_view::npos ? 0 : newline + 1;
            }
            block.last = true;
            break;
        }
        const std::size_t end = cut_.csv ? RowsEnd(text, first_) : text.rfind('\n') + 1;
        if (end > 0) {
            carry_.assign(text.substr(end));
            block.size = end;
            break;
        }
        if (!cut_.csv) {
            if (!SkipLongLine(block)) return false;
            break;
        }
        Reserve(block, block.capacity * 2);  // a row longer than the block
    }
    first_ = false;
    return block.size > 0;
}

void Reset(Block& block) {
    block.size = 0;
    block.first = block.last = false;
    block.output.clear();
    block.messages.clear();
    block.lines = 0;
    block.bad = block.stopped = block.failed = block.done = false;
}

// The threads that convert, each with its own converter, fed blocks in order.
class Pool {
public:
    Pool(const BlockConverter& first, unsigned threads) {
        for (unsigned i = 0; i < threads; ++i) converters_.push_back(first.Clone());
        for (auto& converter : converters_) threads_.emplace_back([this, &converter] { Work(*converter); });
    }
    ~Pool() { Stop(); }
    void Stop() {
        if (threads_.empty()) return;
        {
            const std::lock_guard lock(mutex_);
            quit_ = true;
            queue_.clear();
        }
        work_.notify_all();
        for (std::thread& thread : threads_) thread.join();
        threads_.clear();
    }
    void Add(Block& block) {
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(&block);
        }
        work_.notify_one();
    }
    void Wait(const Block& block) {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return block.done; });
    }

private:
    void Work(BlockConverter& converter) {
        for (;;) {
            Block* block = nullptr;
            {
                std::unique_lock lock(mutex_);
                work_.wait(lock, [&] { return quit_ || !queue_.empty(); });
                if (quit_) return;
                block = queue_.front();
                queue_.pop_front();
            }
            converter.Convert(*block);
            {
                const std::lock_guard lock(mutex_);
                block->done = true;
            }
            done_.notify_one();
        }
    }

    std::vector<std::unique_ptr<BlockConverter>> converters_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable work_, done_;
    std::deque<Block*> queue_;
    bool quit_ = false;
};

// The rest of the file on `threads` threads, written in order by `write`,
// which says whether to go on.
template <class Write>
void ConvertOnThreads(Cutter& cutter, const BlockConverter& first, unsigned threads, std::unique_ptr<Block> spareBlock,
                      Write write) {
    std::deque<std::unique_ptr<Block>> pending;
    std::vector<std::unique_ptr<Block>> spare;
    spare.push_back(std::move(spareBlock));
    Pool pool(first, threads);
    // Two blocks a thread keep every thread busy while the oldest is
    // written, and bound the memory.
    const std::size_t inFlight = 2 * std::size_t{threads};
    bool more = true;
    for (;;) {
        while (more && pending.size() < inFlight) {
            std::unique_ptr<Block> next;
            if (spare.empty()) {
                next = std::make_unique<Block>();
            } else {
                next = std::move(spare.back());
                spare.pop_back();
            }
            Reset(*next);
            more = cutter.Next(*next);
            if (!more) break;
            pool.Add(*next);
            pending.push_back(std::move(next));
        }
        if (pending.empty()) break;
        pool.Wait(*pending.front());
        const bool going = write(*pending.front());
        spare.push_back(std::move(pending.front()));
        pending.pop_front();
        if (!going) break;
    }
    pool.Stop();  // before the blocks a thread may still hold go
}

}  // namespace

BlocksEnd ConvertInBlocks(int descriptor, std::string_view source, BlockCut cut, unsigned threads,
                          Progress* progress, BlockConverter& first, Output& out) {
    BlocksEnd end;
    Cutter cutter(descriptor, cut);
    std::size_t lines = 0;
    unsigned long long bytes = 0;
    // Output up to each message, then the message, as one thread interleaves them.
    const auto write = [&](const Block& block) {
        const std::string_view text = block.output;
        std::size_t from = 0;
        for (const BlockMessage& message : block.messages) {
            out.Put(text.substr(from, message.at - from));
            from = message.at;
            if (!message.note.empty())
                ReportOnce(message.note);
            else
                ReportDetail(source, message.line == 0 ? 0 : lines + message.line, message.detail);
        }
        out.Put(text.substr(from));
        lines += block.lines;
        bytes += block.size;
        end.bad = end.bad || block.bad;
        end.failed = end.failed || block.failed;
        end.stopped = block.stopped;
        if (progress) progress->Update(lines, bytes);
        return !block.stopped;
    };
    if (progress) progress->Start(descriptor);
    auto block = std::make_unique<Block>();
    // The first block here: a short input starts no thread, and a CSV
    // header is read before any row.
    bool more = true;
    for (;;) {
        if (!cutter.Next(*block)) {
            more = false;
            break;
        }
        first.Convert(*block);
        if (!write(*block) || block->last) {
            more = false;
            break;
        }
        if (first.Ready()) break;
        Reset(*block);
    }
    if (more) ConvertOnThreads(cutter, first, threads, std::move(block), write);
    if (progress) progress->Finish();
    end.binary = cutter.binary();
    end.readFailed = cutter.failed();
    end.error = cutter.error();
    return end;
}

}  // namespace quillet
