// Buffered reading and writing of whole files through their descriptors:
// large blocks, no allocation per line, memory bounded whatever the input.
// The buffers are left uninitialised: a short input touches only the pages
// it fills, so start-up stays as quick as for one line.
#pragma once

#include <cstddef>
#include <string>
#include <memory>
#include <string_view>

namespace quillet {

// A NUL byte this near the start marks a file that is not text.
inline constexpr std::size_t kTextSniff = 4096;

// A line reader's buffer: a line of this many bytes or more, before its
// "\n", is too long to be a position.
inline constexpr std::size_t kLineBuffer = 1 << 18;
// How much of such a line is kept for its message: room for 60 characters
// of four bytes.
inline constexpr std::size_t kLongStart = 240;

class Buffer {
public:
    explicit Buffer(std::size_t size) : data_(new char[size]), size_(size) {}
    char* data() { return data_.get(); }
    const char* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    char& operator[](std::size_t at) { return data_[at]; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_;
};

// Where a file's start is judged: a NUL byte in its first kTextSniff bytes
// makes it binary. Unless `interactive`, short reads (a pipe) are gathered
// until that much has come, so that no line is converted before the verdict;
// a terminal's lines are answered as they come.
class StartCheck {
public:
    explicit StartCheck(bool interactive) : interactive_(interactive) {}
    // Reads into `into` as read(2) would, judging what arrives.
    long Read(int descriptor, char* into, std::size_t size);
    bool binary() const { return binary_; }
    // Bytes read so far.
    unsigned long long total() const { return total_; }

private:
    bool interactive_;
    bool binary_ = false;
    bool ended_ = false;  // a terminal's end of input comes once: kept for the next read
    unsigned long long total_ = 0;
};

// Blocks of a file as they come, for a reader that splits them itself.
class BlockReader {
public:
    explicit BlockReader(int descriptor, bool interactive = false, std::size_t blockSize = 1 << 18);
    // The next block; empty at the end, on a read error (`failed()`) and for
    // a binary file (`binary()`).
    std::string_view Next();
    bool failed() const { return failed_; }
    int error() const { return error_; }
    bool binary() const { return start_.binary(); }
    unsigned long long total() const { return start_.total(); }

private:
    int descriptor_;
    Buffer buffer_;
    StartCheck start_;
    bool failed_ = false;
    int error_ = 0;
};

class LineReader {
public:
    explicit LineReader(int descriptor, bool interactive = false, std::size_t bufferSize = kLineBuffer);

    struct Line {
        std::string_view text;  // without its line end
        bool crlf = false;      // ended by "\r\n"
        bool tooLong = false;   // longer than `limit()`: `text` is its start only
    };
    // The longest line read whole, in bytes before its "\n".
    std::size_t limit() const { return buffer_.size() - 1; }
    // The next line, or false at the end of the file, on a read error and
    // for a binary file.
    bool Next(Line& line);
    bool failed() const { return failed_; }
    int error() const { return error_; }
    bool binary() const { return start_.binary(); }
    // Bytes of the file taken as lines so far.
    unsigned long long consumed() const { return start_.total() - (end_ - begin_); }

private:
    bool Fill();

    int descriptor_;
    Buffer buffer_;
    StartCheck start_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    int error_ = 0;
    std::string longStart_;
};

// Standard output, written in large blocks. A write error (a full disk, a
// closed pipe when SIGPIPE is ignored) is remembered and later writes dropped.
// Made on a string instead, it appends there: a block converted on another
// thread, written out later.
class Output {
public:
    explicit Output(int descriptor, std::size_t bufferSize = 1 << 16);
    explicit Output(std::string& into, std::size_t bufferSize = 1 << 16);
    ~Output();
    void Put(std::string_view text) {
        if (text.size() > buffer_.size() - used_) return PutLarge(text);
        text.copy(buffer_.data() + used_, text.size());
        used_ += text.size();
    }
    void Put(char c) {
        if (used_ == buffer_.size()) Flush();
        buffer_[used_++] = c;
    }
    bool Flush();
    bool failed() const { return failed_; }
    // Bytes put so far, on a string.
    std::size_t written() const { return (into_ ? into_->size() : 0) + used_; }

private:
    void PutLarge(std::string_view text);

    int descriptor_;
    std::string* into_ = nullptr;
    Buffer buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace quillet
