#include "cli/csv_rows.h"

#include "cli/report.h"
#include "values/values.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace quillet {

namespace {

// A field as RFC 4180 wants it: quoted only when it holds a comma, a quote
// or a line end.
void PutField(Output& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) return out.Put(field);
    out.Put('"');
    for (const char c : field) {
        if (c == '"') out.Put('"');
        out.Put(c);
    }
    out.Put('"');
}

bool HasLetter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; });
}

class CsvConverter {
public:
    CsvConverter(std::string_view source, const CsvColumns& columns, const OutputSettings& settings, bool strict,
                 Output& out)
        : source_(source), columns_(columns), settings_(settings), strict_(strict), out_(out) {}

    RunStatus Run(int descriptor, bool& stopped);

private:
    static void OnField(void* data, std::size_t size, void* self);
    static void OnRecord(int, void* self);
    void Header();
    void Row();
    std::optional<PositionText> ReadRow(std::string& quoted);
    bool Field(const std::string& name, std::size_t& index);

    std::string_view source_;
    const CsvColumns& columns_;
    const OutputSettings& settings_;
    bool strict_;
    Output& out_;

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
    std::string quoted_;  // the fields the position was read from, for a message
    OutputCells cells_;
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
    if (converter.haveHeader_) converter.Row();
    else converter.Header();
    converter.fieldCount_ = 0;
    converter.recordPending_ = true;
}

void CsvConverter::Header() {
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
    for (int i = 0; i < used_; ++i) {
        const auto found = std::find(fields_.begin(), fields_.begin() + fieldCount_, *names_[i]);
        if (found == fields_.begin() + fieldCount_) {
            ReportFile(source_, "no column \"" + *names_[i] + "\" in the header");
            failed_ = stopped_ = true;
            return;
        }
        index_[i] = static_cast<std::size_t>(found - fields_.begin());
    }
    for (std::size_t i = 0; i < fieldCount_; ++i) {
        if (i > 0) out_.Put(',');
        PutField(out_, fields_[i]);
    }
    const OutputCells names = CellNames(settings_);
    for (int i = 0; i < names.count; ++i) {
        if (fieldCount_ > 0 || i > 0) out_.Put(',');
        PutField(out_, names.cells[i]);
    }
    out_.Put(eol_);
}

std::optional<PositionText> CsvConverter::ReadRow(std::string& quoted) {
    quoted.clear();
    for (int i = 0; i < used_; ++i) {
        if (i > 0) quoted += ", ";
        quoted += fields_[index_[i]];
    }
    if (used_ == 1) return ReadPositionText(fields_[index_[0]]);
    if (used_ == 2) {
        const auto latitude = ReadAngleText(fields_[index_[0]], true);
        const auto longitude = ReadAngleText(fields_[index_[1]], false);
        if (!latitude || !longitude) return std::nullopt;
        PositionText read;
        read.notation = std::min(latitude->notation, longitude->notation);  // the finer notation
        read.latitude = latitude->value;
        read.longitude = longitude->value;
        return read;
    }
    const std::string& zone = fields_[index_[0]];
    const std::string& northing = fields_[index_[2]];
    text_.assign(zone).append(" ").append(fields_[index_[1]]).append(" ");
    // With --south a zone without a letter is southern: the false northing
    // comes off here, as the window's form has none (an added "S" could be
    // read as band S instead).
    if (columns_.south && !HasLetter(zone) && IsNumericText(northing))
        text_ += NumberToText(ParseNumber(northing) - 10000000.0);
    else
        text_ += northing;
    std::optional<PositionText> read = ReadPositionText(text_);
    if (read && read->notation != Utm) return std::nullopt;
    return read;
}

void CsvConverter::Row() {
    Fault fault = Fault::None;
    std::string message;
    for (int i = 0; i < used_ && message.empty(); ++i)
        if (index_[i] >= fieldCount_) message = "missing column \"" + *names_[i] + "\"";
    if (!message.empty()) {
        quoted_.clear();
        for (std::size_t i = 0; i < fieldCount_; ++i) quoted_.append(i > 0 ? "," : "").append(fields_[i]);
    }
    bool converted = false;
    if (message.empty()) {
        Position position;
        fault = PositionOf(ReadRow(quoted_), settings_, position);
        if (fault == Fault::None) converted = WriteCells(position, settings_, cells_);
        else message = FaultMessage(fault, settings_);
        if (fault == Fault::None && !converted) message = FaultMessage(Fault::NotConvertible, settings_);
    }

    // Short rows are filled up to the header, so the new columns line up.
    const std::size_t width = std::max(fieldCount_, headerWidth_);
    for (std::size_t i = 0; i < width; ++i) {
        if (i > 0) out_.Put(',');
        if (i < fieldCount_) PutField(out_, fields_[i]);
    }
    const int count = settings_.notation == Utm ? 3 : 2;
    for (int i = 0; i < count; ++i) {
        if (width > 0 || i > 0) out_.Put(',');
        if (converted) PutField(out_, cells_.cells[i]);
    }
    out_.Put(eol_);

    if (!message.empty()) {
        ReportLine(source_, recordLine_, message, quoted_);
        someBad_ = true;
        if (strict_) stopped_ = true;
    }
}

int NoSpaces(unsigned char) { return 0; }

}  // namespace

RunStatus CsvConverter::Run(int descriptor, bool& stopped) {
    csv_parser parser;
    csv_init(&parser, 0);
    csv_set_space_func(&parser, NoSpaces);  // a field's blanks are part of its value
    BlockReader reader(descriptor);
    bool first = true;
    bool eolKnown = false;
    char previous = 0;
    for (std::string_view block = reader.Next(); !block.empty() && !stopped_; block = reader.Next()) {
        if (first && block.substr(0, 3) == "\xEF\xBB\xBF") block.remove_prefix(3);
        first = false;
        // Fed a line at a time, so messages can name the line a row starts on.
        while (!block.empty() && !stopped_) {
            const std::size_t newline = block.find('\n');
            const std::size_t part = newline == std::string_view::npos ? block.size() : newline + 1;
            if (!eolKnown && newline != std::string_view::npos) {
                eol_ = (newline > 0 ? block[newline - 1] : previous) == '\r' ? "\r\n" : "\n";
                eolKnown = true;
            }
            const std::string_view piece = block.substr(0, part);
            if (recordPending_ && piece != "\n" && piece != "\r\n") {
                recordLine_ = line_;
                recordPending_ = false;
            }
            if (csv_parse(&parser, block.data(), part, OnField, OnRecord, this) != part) {
                ReportFile(source_, "line " + std::to_string(line_) + ": " + csv_strerror(csv_error(&parser)));
                failed_ = stopped_ = true;
            }
            if (newline != std::string_view::npos) ++line_;
            previous = block[part - 1];
            block.remove_prefix(part);
        }
    }
    if (!stopped_) csv_fini(&parser, OnField, OnRecord, this);
    csv_free(&parser);
    if (reader.failed()) {
        ReportFile(source_, std::strerror(reader.error()));
        failed_ = true;
    }
    stopped = stopped_ && !failed_;
    if (failed_) return RunStatus::Failed;
    return someBad_ ? RunStatus::SomeBad : RunStatus::AllConverted;
}

RunStatus ConvertCsv(int descriptor, std::string_view source, const CsvColumns& columns,
                     const OutputSettings& settings, bool strict, Output& out, bool& stopped) {
    CsvConverter converter(source, columns, settings, strict, out);
    return converter.Run(descriptor, stopped);
}

}  // namespace quillet
