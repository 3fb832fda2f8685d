// Number reading and writing: any text, and any 8 bytes taken as a double.
#include "values/values.h"
#include "fuzz_support.h"

#include <cstring>
#include <optional>

using namespace quillet;
using quillet::fuzz::Require;

namespace {

// A finite number is written in at most 15 significant digits that read back
// within half a unit of the 15th (and the rounding of reading it), and the
// text is a fixed point of writing.
void CheckWritten(double value) {
    std::string text;
    try {
        text = NumberToText(value);
    } catch (const ValueError& error) {
        Require(!std::isfinite(value) && error.kind() == ValueError::Kind::Overflow, "only inf and nan overflow");
        return;
    }
    Require(std::isfinite(value), "inf or nan written", text);
    Require(!fuzz::HasNanOrInf(text) && IsNumericText(text), "written text is a number", text);
    const double back = ParseNumber(text);
    Require(std::fabs(back - value) <= 5.3e-15 * std::fabs(value), "15 digits read back", text);
    Require(NumberToText(back) == text, "written text writes itself", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<double> parsed;
    try {
        parsed = ParseNumber(text);
    } catch (const ValueError& error) {
        Require(error.kind() == ValueError::Kind::TypeMismatch, "a text that is no number is a type mismatch");
    }
    Require(parsed.has_value() == IsNumericText(text), "IsNumericText agrees with ParseNumber");
    const double leading = LeadingNumber(text);
    Require(std::isfinite(leading), "leading number is finite");
    if (parsed) {
        Require(std::isfinite(*parsed) && *parsed == leading, "a whole number is its own leading number");
        CheckWritten(*parsed);
    }
    CheckWritten(leading);

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckWritten(raw);
        const int places = data[sizeof raw - 1] % 12;
        const double rounded = RoundHalfEven(raw, places);
        if (std::isfinite(raw))
            Require(std::fabs(rounded - raw) <= 0.5 * std::pow(10.0, -places) * (1 + 1e-15) + 1e-15 * std::fabs(raw),
                    "rounding moves by at most half a unit", NumberToText(raw));
        try {
            const int whole = ToShortInt(raw);
            Require(std::fabs(whole - raw) <= 0.5, "nearest 16-bit integer");
        } catch (const ValueError& error) {
            Require(!(raw >= -32768.5 && raw < 32767.5) && error.kind() == ValueError::Kind::Overflow, "16-bit overflow");
        }
    }

    const std::string upper = UpperText(text);
    Require(upper.size() == text.size() && upper.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos,
            "upper case keeps the length");
    return 0;
}
