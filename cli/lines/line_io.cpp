#include "cli/lines/line_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace quillet {

namespace {

// read(2), again after a signal; -1 and errno on an error.
long ReadSome(int descriptor, char* into, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(descriptor, into, size);
        if (count >= 0 || errno != EINTR) return static_cast<long>(count);
    }
}

}  // namespace

long StartCheck::Read(int descriptor, char* into, std::size_t size) {
    if (total_ >= kTextSniff) {
        const long count = ReadSome(descriptor, into, size);
        if (count > 0) total_ += static_cast<unsigned long long>(count);
        return count;
    }
    if (ended_) return 0;
    std::size_t done = 0;
    do {
        const long count = ReadSome(descriptor, into + done, size - done);
        if (count < 0) return count;
        if (count == 0) {
            ended_ = true;
            break;
        }
        const std::size_t judged = std::min<std::size_t>(static_cast<std::size_t>(count), kTextSniff - total_);
        if (total_ < kTextSniff && std::memchr(into + done, 0, judged)) binary_ = true;
        done += static_cast<std::size_t>(count);
        total_ += static_cast<unsigned long long>(count);
    } while (!interactive_ && !binary_ && total_ < kTextSniff && done < size);
    return static_cast<long>(done);
}

BlockReader::BlockReader(int descriptor, bool interactive, std::size_t blockSize)
    : descriptor_(descriptor), buffer_(blockSize), start_(interactive) {}

std::string_view BlockReader::Next() {
    if (failed_ || start_.binary()) return {};
    const long count = start_.Read(descriptor_, buffer_.data(), buffer_.size());
    if (count < 0) {
        failed_ = true;
        error_ = errno;
        return {};
    }
    if (start_.binary()) return {};
    return {buffer_.data(), static_cast<std::size_t>(count)};
}

LineReader::LineReader(int descriptor, bool interactive, std::size_t bufferSize)
    : descriptor_(descriptor), buffer_(bufferSize), start_(interactive) {}

bool LineReader::Fill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const long count = start_.Read(descriptor_, buffer_.data() + end_, buffer_.size() - end_);
    if (count < 0) {
        failed_ = true;
        error_ = errno;
        return false;
    }
    if (start_.binary()) return false;
    if (count == 0) atEnd_ = true;
    end_ += static_cast<std::size_t>(count);
    return true;
}

bool LineReader::Next(Line& line) {
    line = {};
    for (;;) {
        const char* data = buffer_.data();
        if (const void* found = std::memchr(data + begin_, '\n', end_ - begin_)) {
            const std::size_t newline = static_cast<std::size_t>(static_cast<const char*>(found) - data);
            std::size_t length = newline - begin_;
            if (length > 0 && data[newline - 1] == '\r') {
                line.crlf = true;
                --length;
            }
            line.text = {data + begin_, length};
            begin_ = newline + 1;
            return true;
        }
        if (failed_) return false;
        if (atEnd_) {
            if (begin_ == end_) return false;
            line.text = {data + begin_, end_ - begin_};
            begin_ = end_;
            return true;
        }
        if (begin_ == 0 && end_ == buffer_.size()) break;  // no line end in a full buffer
        if (!Fill()) return false;
    }
    // A line longer than the buffer cannot be a position: keep its start for
    // the message and skip the rest, so memory stays bounded.
    longStart_.assign(buffer_.data(), kLongStart);
    for (;;) {
        begin_ = end_ = 0;
        if (!Fill()) return false;
        if (const void* found = std::memchr(buffer_.data(), '\n', end_)) {
            begin_ = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data()) + 1;
            break;
        }
        if (atEnd_) break;
    }
    line.text = longStart_;
    line.tooLong = true;
    return true;
}

Output::Output(int descriptor, std::size_t bufferSize) : descriptor_(descriptor), buffer_(bufferSize) {}

Output::Output(std::string& into, std::size_t bufferSize) : descriptor_(-1), into_(&into), buffer_(bufferSize) {}

Output::~Output() { Flush(); }

bool Output::Flush() {
    if (into_) {
        into_->append(buffer_.data(), used_);
        used_ = 0;
        return true;
    }
    std::size_t done = 0;
    while (done < used_ && !failed_) {
        const ssize_t count = ::write(descriptor_, buffer_.data() + done, used_ - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) failed_ = true;
        else done += static_cast<std::size_t>(count);
    }
    used_ = 0;
    return !failed_;
}

void Output::PutLarge(std::string_view text) {
    while (!text.empty()) {
        if (used_ == buffer_.size()) Flush();
        const std::size_t part = std::min(text.size(), buffer_.size() - used_);
        text.copy(buffer_.data() + used_, part);
        used_ += part;
        text.remove_prefix(part);
    }
}

}  // namespace quillet
