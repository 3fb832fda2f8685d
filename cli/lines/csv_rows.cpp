#include "cli/lines/csv_rows.h"

#include "cli/lines/parallel_blocks.h"
#include "cli/output/report.h"
#include "values/values.h"
#include "geodesy/utm.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <memory>
#include <vector>

namespace quillet {

namespace {

// A field as RFC 4180 wants it: quoted only when it holds the delimiter, a
// quote or a line end.
void PutField(Output& out, std::string_view field, char delimiter) {
    const char special[] = {delimiter, '"', '\r', '\n', 0};
    if (field.find_first_of(special) == std::string_view::npos) return out.Put(field);
    out.Put('"');
    for (const char c : field) {
        if (c == '"') out.Put('"');
        out.Put(c);
    }
    out.Put('"');
}

// Header names as people type them: "Lat" and " lat" are the column lat.
bool SameName(std::string_view header, std::string_view name) {
    const auto trimmed = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos) return std::string_view();
        return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    };
    header = trimmed(header);
    name = trimmed(name);
    return header.size() == name.size() && std::equal(header.begin(), header.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool HasLetter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; });
}

int NoSpaces(unsigned char) { return 0; }

class CsvConverter {
public:
    CsvConverter(std::string_view source, const CsvColumns& columns, const OutputSettings& settings,
                 const RunOptions& run, Output& out, Messages& messages)
        : source_(source), columns_(columns), settings_(settings), run_(run), out_(out), messages_(messages) {
        csv_init(&parser_, 0);
        csv_set_space_func(&parser_, NoSpaces);  // a field's blanks are part of its value
        csv_set_delim(&parser_, static_cast<unsigned char>(columns_.delimiter));
    }
    ~CsvConverter() { csv_free(&parser_); }
    CsvConverter(const CsvConverter&) = delete;
    CsvConverter& operator=(const CsvConverter&) = delete;

    RunStatus Run(int descriptor, bool& stopped);

    // A block of whole rows; its lines are numbered from 1.
    void ConvertRows(Block& block);
    // What the file's first rows told: the header's columns, the line end.
    void Adopt(const CsvConverter& first);
    bool HeaderRead() const { return haveHeader_ || stopped_; }

private:
    static void OnField(void* data, std::size_t size, void* self);
    static void OnRecord(int, void* self);
    void Feed(std::string_view block);
    void Columns();
    void Header();
    void Row();
    PositionReading ReadRow(std::string& quoted, const ReadOptions& options);
    std::string MissingColumnHint(const std::string& name) const;
    void PutSeparator() { out_.Put(columns_.delimiter); }
    bool Field(const std::string& name, std::size_t& index);

    std::string_view source_;
    const CsvColumns& columns_;
    const OutputSettings& settings_;
    const RunOptions& run_;
    Output& out_;
    Messages& messages_;
    csv_parser parser_;
    bool eolKnown_ = false;
    char previous_ = 0;  // the byte before the block

    std::vector<std::string> fields_;  // reused, so rows allocate nothing once warm
    std::size_t fieldCount_ = 0;
    std::size_t line_ = 1;
    std::size_t recordLine_ = 1;
    bool recordPending_ = true;  // the next line that is not blank starts a record
    bool haveHeader_ = false;
    std::size_t headerWidth_ = 0;
    std::array<std::size_t, 3> index_{};
    std::array<const std::string*, 3> names_{};
    int used_ = 0;
    std::string eol_ = "\n";
    std::string text_;
    std::string decimalPoint_;
    std::string quoted_;  // the fields the position was read from, for a message
    OutputCells cells_;
    int cellCount_ = CellNames(settings_).count;
    bool failed_ = false;
    bool someBad_ = false;
    bool stopped_ = false;
};

void CsvConverter::OnField(void* data, std::size_t size, void* self) {
    auto& converter = *static_cast<CsvConverter*>(self);
    if (converter.stopped_) return;
    if (converter.fieldCount_ == converter.fields_.size()) converter.fields_.emplace_back();
    converter.fields_[converter.fieldCount_++].assign(static_cast<const char*>(data), size);
}

void CsvConverter::OnRecord(int, void* self) {
    auto& converter = *static_cast<CsvConverter*>(self);
    if (converter.stopped_) return;
    if (converter.haveHeader_) {
        converter.Row();
    } else if (converter.columns_.header) {
        converter.Header();
    } else {
        // Without a header the first row's width is the one rows are held to.
        converter.Columns();
        converter.Row();
    }
    converter.fieldCount_ = 0;
    converter.recordPending_ = true;
}

void CsvConverter::Columns() {
    haveHeader_ = true;
    headerWidth_ = fieldCount_;
    if (!columns_.latitude.empty()) {
        names_ = {&columns_.latitude, &columns_.longitude, nullptr};
        used_ = 2;
    } else if (!columns_.position.empty()) {
        names_ = {&columns_.position, nullptr, nullptr};
        used_ = 1;
    } else {
        names_ = {&columns_.zone, &columns_.easting, &columns_.northing};
        used_ = 3;
    }
    if (!columns_.header)
        for (int i = 0; i < used_; ++i) index_[i] = ColumnNumber(*names_[i]).value_or(1) - 1;
}

void CsvConverter::Header() {
    Columns();
    for (int i = 0; i < used_; ++i) {
        const auto found = std::find_if(fields_.begin(), fields_.begin() + fieldCount_,
                                        [&](const std::string& field) { return SameName(field, *names_[i]); });
        if (found == fields_.begin() + fieldCount_) {
            std::string header;
            for (std::size_t f = 0; f < fieldCount_; ++f) header.append(f > 0 ? ", " : "").append(fields_[f]);
            const std::string hint = MissingColumnHint(*names_[i]);
            messages_.Add(0, "no column \"" + Printable(*names_[i]) + "\" in the header: \"" + Printable(header) +
                                 "\"" + (hint.empty() ? "" : "; " + hint));
            failed_ = stopped_ = true;
            return;
        }
        index_[i] = static_cast<std::size_t>(found - fields_.begin());
    }
    for (std::size_t i = 0; i < fieldCount_; ++i) {
        if (i > 0) PutSeparator();
        PutField(out_, fields_[i], columns_.delimiter);
    }
    const OutputCells names = CellNames(settings_);
    for (int i = 0; i < names.count; ++i) {
        if (fieldCount_ > 0 || i > 0) PutSeparator();
        PutField(out_, names.cells[i], columns_.delimiter);
    }
    out_.Put(eol_);
}

// A header read with the wrong delimiter holds the name inside one cell
// ("lat;lon"), and so does a header quoted whole ("lat,lon" in quotes).
std::string CsvConverter::MissingColumnHint(const std::string& name) const {
    for (std::size_t f = 0; f < fieldCount_; ++f) {
        for (const char delimiter : {',', ';', '\t'}) {
            std::string_view rest = fields_[f];
            if (rest.find(delimiter) == std::string_view::npos) continue;
            bool found = false;
            while (!found) {
                const std::size_t end = rest.find(delimiter);
                found = SameName(rest.substr(0, end), name);
                if (end == std::string_view::npos) break;
                rest.remove_prefix(end + 1);
            }
            if (!found) continue;
            if (delimiter != columns_.delimiter)
                return delimiter == '\t' ? "did you mean --delimiter tab?"
                                         : std::string("did you mean --delimiter '") + delimiter + "'?";
            return "it is inside the quoted cell \"" + Printable(fields_[f]) + "\"";
        }
    }
    return {};
}

PositionReading CsvConverter::ReadRow(std::string& quoted, const ReadOptions& options) {
    quoted.clear();
    for (int i = 0; i < used_; ++i) {
        if (i > 0) quoted += ", ";
        quoted += fields_[index_[i]];
    }
    if (used_ == 1) return ReadPosition(fields_[index_[0]], options);
    PositionReading reading;
    if (used_ == 2) {
        const auto latitude = ReadAngleText(fields_[index_[0]], true, options);
        const auto longitude = ReadAngleText(fields_[index_[1]], false, options);
        if (!latitude || !longitude) return reading;
        reading.position.emplace();
        reading.position->notation = std::min(latitude->notation, longitude->notation);  // the finer notation
        reading.position->latitude = latitude->value;
        reading.position->longitude = longitude->value;
        reading.failure = ReadFailure::None;
        return reading;
    }
    const std::string& zone = fields_[index_[0]];
    const std::string& northing = fields_[index_[2]];
    text_.assign(zone).append(" ").append(fields_[index_[1]]).append(" ");
    // With --south a zone without a letter is southern: the false northing
    // comes off here, as the window's form has none (an added "S" could be
    // read as band S instead).
    std::string_view northingText = northing;
    if (options.decimalComma && northing.find(',') != std::string::npos) {
        decimalPoint_.assign(northing);
        std::replace(decimalPoint_.begin(), decimalPoint_.end(), ',', '.');
        northingText = decimalPoint_;
    }
    if (columns_.south && !HasLetter(zone) && IsNumericText(northingText))
        text_ += NumberToText(ParseNumber(northingText) - kFalseNorthing);
    else
        text_ += northing;
    reading = ReadPosition(text_, options);
    if (reading.position && (reading.position->notation != Utm || reading.position->code != Code::None)) return {};
    return reading;
}

void CsvConverter::Row() {
    Fault fault = Fault::None;
    std::string message;
    std::string_view hint;
    for (int i = 0; i < used_ && message.empty(); ++i)
        if (index_[i] >= fieldCount_) message = "missing column \"" + Printable(*names_[i]) + "\"";
    // More fields than the header has: decimal commas left unquoted in a
    // comma-separated file split each number in two, and "48,13,11,57" read
    // by its first two fields is another place. Empty fields at the end, a
    // spreadsheet's trailing separators, leave no such doubt.
    std::size_t filled = fieldCount_;
    while (filled > headerWidth_ && fields_[filled - 1].empty()) --filled;
    if (message.empty() && filled > headerWidth_) {
        message = NumberToText(static_cast<double>(filled)) + " fields where the " +
                  (columns_.header ? "header" : "first row") + " has " +
                  NumberToText(static_cast<double>(headerWidth_));
        if (columns_.delimiter == ',') hint = "decimal commas in a comma-separated file need quotes";
    }
    if (!message.empty()) {
        quoted_.clear();
        for (std::size_t i = 0; i < fieldCount_; ++i) quoted_.append(i > 0 ? "," : "").append(fields_[i]);
    }
    bool converted = false;
    if (message.empty()) {
        Converted place;
        const PositionReading reading = ReadRow(quoted_, settings_.read);
        fault = PositionOf(reading, settings_, place);
        if (fault == Fault::None) converted = WriteCells(place, settings_, cells_);
        else if (fault != Fault::Skipped) message = FaultMessage(fault, settings_, reading.why);
        if ((fault == Fault::NotAPosition || fault == Fault::Ambiguous) && !settings_.read.decimalComma) {
            ReadOptions options = settings_.read;
            options.decimalComma = true;
            std::string unused;
            if (ReadRow(unused, options).position) hint = kDecimalCommaHint;
        }
        if (fault == Fault::None && !converted) message = FaultMessage(Fault::NotConvertible, settings_);
    }

    // Short rows are filled up to the header, and empty fields beyond it
    // dropped, so the new columns line up.
    const std::size_t width = std::max(filled, headerWidth_);
    for (std::size_t i = 0; i < width; ++i) {
        if (i > 0) PutSeparator();
        if (i < fieldCount_) PutField(out_, fields_[i], columns_.delimiter);
    }
    for (int i = 0; i < cellCount_; ++i) {
        if (width > 0 || i > 0) PutSeparator();
        if (converted) PutField(out_, cells_.cells[i], columns_.delimiter);
    }
    out_.Put(eol_);

    if (!message.empty()) {
        messages_.Add(recordLine_, LineDetail(message, quoted_, hint));
        someBad_ = true;
        if (run_.strict) stopped_ = true;
    }
}

}  // namespace

// Fed a line at a time, so messages can name the line a row starts on.
void CsvConverter::Feed(std::string_view block) {
    while (!block.empty() && !stopped_) {
        const std::size_t newline = block.find('\n');
        const std::size_t part = newline == std::string_view::npos ? block.size() : newline + 1;
        if (!eolKnown_ && newline != std::string_view::npos) {
            eol_ = (newline > 0 ? block[newline - 1] : previous_) == '\r' ? "\r\n" : "\n";
            eolKnown_ = true;
        }
        const std::string_view piece = block.substr(0, part);
        if (recordPending_ && piece != "\n" && piece != "\r\n") {
            recordLine_ = line_;
            recordPending_ = false;
        }
        if (csv_parse(&parser_, block.data(), part, OnField, OnRecord, this) != part) {
            messages_.Add(line_, csv_strerror(csv_error(&parser_)));
            failed_ = stopped_ = true;
        }
        if (newline != std::string_view::npos) ++line_;
        previous_ = block[part - 1];
        block.remove_prefix(part);
        if (run_.interactive) out_.Flush();
    }
}

RunStatus CsvConverter::Run(int descriptor, bool& stopped) {
    BlockReader reader(descriptor, run_.interactive);
    if (run_.progress) run_.progress->Start(descriptor);
    bool first = true;
    for (std::string_view block = reader.Next(); !block.empty() && !stopped_; block = reader.Next()) {
        if (first && block.substr(0, 3) == "\xEF\xBB\xBF") block.remove_prefix(3);
        first = false;
        Feed(block);
        if (run_.progress) run_.progress->Update(line_ - 1, reader.total());
    }
    if (!stopped_) csv_fini(&parser_, OnField, OnRecord, this);
    if (run_.progress) run_.progress->Finish();
    if (reader.failed()) {
        ReportFile(source_, std::strerror(reader.error()));
        failed_ = true;
    }
    if (reader.binary()) {
        ReportFile(source_, "binary file, not converted");
        someBad_ = true;
        stopped_ = run_.strict;
    }
    stopped = stopped_ && !failed_;
    if (failed_) return RunStatus::Failed;
    return someBad_ ? RunStatus::SomeBad : RunStatus::AllConverted;
}

// Every block starts a row, as the cut is made only where one ends.
void CsvConverter::ConvertRows(Block& block) {
    line_ = recordLine_ = 1;
    recordPending_ = true;
    someBad_ = false;
    std::string_view text = block.text();
    if (block.first && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Feed(text);
    if (block.last && !stopped_) csv_fini(&parser_, OnField, OnRecord, this);
    block.lines = line_ - 1;
    block.bad = someBad_;
    block.stopped = stopped_;
    block.failed = failed_;
}

void CsvConverter::Adopt(const CsvConverter& first) {
    haveHeader_ = first.haveHeader_;
    headerWidth_ = first.headerWidth_;
    index_ = first.index_;
    names_ = first.names_;
    used_ = first.used_;
    eol_ = first.eol_;
    eolKnown_ = first.eolKnown_;
}

namespace {

// CSV blocks on the converting threads.
class CsvBlocks : public BlockConverter {
public:
    CsvBlocks(std::string_view source, const CsvColumns& columns, const OutputSettings& settings,
              const RunOptions& run)
        : source_(source), columns_(columns), settings_(settings), run_(run),
          converter_(source, columns, settings, run, sink_.out(), sink_) {}
    void Convert(Block& block) override {
        const KeptNotes notes(sink_);
        converter_.ConvertRows(block);
        sink_.Finish(block);
    }
    bool Ready() const override { return converter_.HeaderRead(); }
    std::unique_ptr<BlockConverter> Clone() const override {
        auto clone = std::make_unique<CsvBlocks>(source_, columns_, settings_, run_);
        clone->converter_.Adopt(converter_);
        return clone;
    }

private:
    std::string_view source_;
    const CsvColumns& columns_;
    const OutputSettings& settings_;
    const RunOptions& run_;
    BlockSink sink_;
    CsvConverter converter_;
};

}  // namespace

std::optional<std::size_t> ColumnNumber(std::string_view text) {
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0 || number > 1000000)
        return std::nullopt;
    return number;
}

RunStatus ConvertCsv(int descriptor, std::string_view source, const CsvColumns& columns,
                     const OutputSettings& settings, const RunOptions& run, Output& out, bool& stopped) {
    if (run.threads > 1 && !run.interactive) {
        CsvBlocks first(source, columns, settings, run);
        const BlocksEnd end = ConvertInBlocks(descriptor, source, {true, columns.delimiter}, run.threads,
                                              run.progress, first, out);
        // As one thread ends a file.
        if (end.readFailed) ReportFile(source, std::strerror(end.error));
        bool bad = end.bad;
        if (end.binary) {
            ReportFile(source, "binary file, not converted");
            bad = true;
        }
        const bool failed = end.failed || end.readFailed;
        stopped = (end.stopped || (end.binary && run.strict)) && !failed;
        if (failed) return RunStatus::Failed;
        return bad ? RunStatus::SomeBad : RunStatus::AllConverted;
    }
    PrintedMessages messages(source);
    CsvConverter converter(source, columns, settings, run, out, messages);
    return converter.Run(descriptor, stopped);
}

}  // namespace quillet
