// Messages about the input on standard error, in the usual form:
// "gps-quillet-convert: FILE: line 12: not a position: "abc"".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

inline constexpr const char* kProgram = "gps-quillet-convert";

// Text from outside as a terminal can show it without harm or confusion:
// control characters, bytes that are not UTF-8 and blanks other than the
// space become escapes ("\x1b", "\u2009"), and after `limit` characters the
// rest becomes "…".
std::string Printable(std::string_view text, std::size_t limit = 60);

// `source` is the file's name, or empty for standard input; `text` is quoted
// through Printable; a `hint` ("did you mean --decimal-comma?") follows it.
void ReportLine(std::string_view source, std::size_t line, std::string_view message, std::string_view text,
                std::string_view hint = {});
// A message about a whole file, or about the program when `source` is empty.
void ReportFile(std::string_view source, std::string_view message);

// A file that is not there whose name reads as a position: how to give a
// position instead, on standard input.
void ReportPositionNotFile(std::string_view name);

// The hint for a first line that gave no position and looks like a CSV
// header (names between delimiters); empty for any other line.
std::string_view CsvHeaderHint(std::string_view line);

// A note on a whole run ("British grid: without OSTN15 ..."), said the
// first time it applies and never again in the run. `note` is a text of
// static storage.
void ReportOnce(std::string_view note);

// Where a thread that converts a block of a file keeps the notes its lines
// call for, so that the thread writing the blocks says each in the file's
// order (ReportOnce there), as one thread would.
class NoteKeeper {
public:
    virtual void Keep(std::string_view note) = 0;

protected:
    ~NoteKeeper() = default;
};
// For this thread while it lives: its notes go to `keeper`.
class KeptNotes {
public:
    explicit KeptNotes(NoteKeeper& keeper);
    ~KeptNotes();
    KeptNotes(const KeptNotes&) = delete;
    KeptNotes& operator=(const KeptNotes&) = delete;
};

// What ReportLine writes after "line N: ", made where it cannot be printed
// yet (on another thread), and printed later by ReportDetail.
std::string LineDetail(std::string_view message, std::string_view text, std::string_view hint = {});
// "FILE: line N: detail", or "FILE: detail" when `line` is 0.
void ReportDetail(std::string_view source, std::size_t line, std::string_view detail);

// A status line on standard error (a terminal), redrawn in place; every
// message erases it first, so that none is written into its middle.
void ShowStatus(std::string_view text);
void EraseStatus();

}  // namespace quillet
