#include "cli/lines/line_rows.h"

#include "cli/lines/parallel_blocks.h"
#include "cli/output/report.h"
#include "convert/forms/code_forms.h"
#include "convert/links/link_text.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillet {

namespace {

// One line's result, or its label, and its line end; false when it gives
// no position, after its message as line `number`. `first`: the file's
// first line, where a byte-order mark is dropped.
bool ConvertLine(const LineReader::Line& line, std::size_t number, bool first, const OutputSettings& settings,
                 char comment, bool interactive, Output& out, Messages& messages) {
    const bool json = settings.code == Code::GeoJson;
    std::string_view text = line.text;
    if (first && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string_view end = line.crlf ? "\r\n" : "\n";
    const std::size_t start = text.find_first_not_of(" \t");
    if (!line.tooLong && (start == std::string_view::npos || text[start] == '#' ||
                          (comment != 0 && text[start] == comment))) {
        // GeoJSON lines stay JSON: a comment line becomes an empty one.
        if (!json || start == std::string_view::npos) out.Put(text);
        out.Put(end);
        if (interactive) out.Flush();
        return true;
    }
    const std::string_view whole = text;
    std::string_view label;
    std::size_t at = comment == 0 ? std::string_view::npos : text.find(comment);
    // A link's own "#", "%" or "&" begins no label.
    if (at != std::string_view::npos)
        if (const auto [link, linkEnd] = text::FindAddress(text);
            link != std::string_view::npos && at >= link && at < linkEnd)
            at = text.find(comment, linkEnd);
    if (at != std::string_view::npos && !line.tooLong) {
        label = text.substr(at);
        text = text.substr(0, at);
    }
    const PositionReading reading = line.tooLong ? PositionReading{} : ReadLine(text, settings);
    Converted converted;
    Fault fault = PositionOf(reading, settings, converted);
    std::optional<std::string> result;
    std::string why = reading.why;
    if (fault == Fault::None && !(result = OutputLine(converted, settings, &why)))
        fault = why.empty() ? Fault::NotConvertible : Fault::Refused;
    if (json && result && !label.empty()) {
        // The label goes into the Feature's properties, without its mark.
        std::string_view name = label.substr(1);
        name.remove_prefix(std::min(name.size(), name.find_first_not_of(" \t")));
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        out.Put(GeoJsonWithLabel(*result, name));
    } else if (json) {
        if (result) out.Put(*result);
    } else {
        if (result) out.Put(*result);
        if (result && !label.empty()) out.Put(' ');
        out.Put(label);
    }
    out.Put(end);
    if (interactive) out.Flush();
    if (fault == Fault::None || fault == Fault::Skipped) return true;
    const std::string message = line.tooLong ? "longer than " + std::to_string(kLineBuffer - 1) + " bytes"
                                             : FaultMessage(fault, settings, why);
    std::string_view hint = line.tooLong ? std::string_view() : LineHint(fault, text, settings);
    if (first && hint.empty() && fault == Fault::NotAPosition) hint = CsvHeaderHint(text);
    messages.Add(number, LineDetail(message, whole, hint));
    return false;
}

// Blocks of lines on the converting threads, numbered from each block's start.
class LineBlocks : public BlockConverter {
public:
    LineBlocks(const OutputSettings& settings, char comment, bool strict)
        : settings_(settings), comment_(comment), strict_(strict) {}

    void Convert(Block& block) override {
        const KeptNotes notes(sink_);
        std::string_view rest = block.text();
        std::size_t number = 0;
        while (!rest.empty()) {
            const std::size_t newline = rest.find('\n');
            std::string_view text = rest.substr(0, newline);
            rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
            ++number;
            // The line a line reader would give.
            LineReader::Line line;
            if (text.size() >= kLineBuffer) {
                line.text = text.substr(0, kLongStart);
                line.tooLong = true;
            } else {
                line.crlf = newline != std::string_view::npos && !text.empty() && text.back() == '\r';
                if (line.crlf) text.remove_suffix(1);
                line.text = text;
            }
            if (!ConvertLine(line, number, block.first && number == 1, settings_, comment_, false, sink_.out(),
                             sink_)) {
                block.bad = true;
                if (strict_) {
                    block.stopped = true;
                    break;
                }
            }
        }
        block.lines = number;
        sink_.Finish(block);
    }

    std::unique_ptr<BlockConverter> Clone() const override {
        return std::make_unique<LineBlocks>(settings_, comment_, strict_);
    }

private:
    const OutputSettings& settings_;
    char comment_;
    bool strict_;
    BlockSink sink_;
};

RunStatus ConvertLinesInBlocks(int descriptor, std::string_view source, const OutputSettings& settings, char comment,
                               const RunOptions& run, Output& out, bool& stopped) {
    LineBlocks first(settings, comment, run.strict);
    const BlocksEnd end = ConvertInBlocks(descriptor, source, {}, run.threads, run.progress, first, out);
    if (end.stopped) {
        stopped = true;
        return RunStatus::SomeBad;
    }
    if (end.binary) {
        ReportFile(source, "binary file, not converted");
        stopped = run.strict;
        return RunStatus::SomeBad;
    }
    if (end.readFailed) {
        ReportFile(source, std::strerror(end.error));
        return RunStatus::Failed;
    }
    return end.bad ? RunStatus::SomeBad : RunStatus::AllConverted;
}

}  // namespace

RunStatus ConvertLines(int descriptor, std::string_view source, const OutputSettings& settings, char comment,
                       const RunOptions& run, Output& out, bool& stopped) {
    if (run.threads > 1 && !run.interactive)
        return ConvertLinesInBlocks(descriptor, source, settings, comment, run, out, stopped);
    LineReader reader(descriptor, run.interactive);
    LineReader::Line line;
    PrintedMessages messages(source);
    RunStatus status = RunStatus::AllConverted;
    std::size_t number = 0;
    if (run.progress) run.progress->Start(descriptor);
    while (reader.Next(line)) {
        ++number;
        if (number % Progress::kEvery == 0 && run.progress) run.progress->Update(number, reader.consumed());
        if (ConvertLine(line, number, number == 1, settings, comment, run.interactive, out, messages)) continue;
        status = RunStatus::SomeBad;
        if (run.strict) {
            stopped = true;
            return status;
        }
    }
    if (run.progress) run.progress->Finish();
    if (reader.binary()) {
        ReportFile(source, "binary file, not converted");
        stopped = run.strict;
        return RunStatus::SomeBad;
    }
    if (reader.failed()) {
        ReportFile(source, std::strerror(reader.error()));
        return RunStatus::Failed;
    }
    return status;
}

}  // namespace quillet
