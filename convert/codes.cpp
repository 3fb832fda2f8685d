#include "convert/codes.h"

#include "convert/mgrs.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quillet {

namespace {

using Names = std::array<std::string_view, 1>;
constexpr Names kMgrsNames{"mgrs"};

// Add a row here, a case in FormatCode and ValidCodeLength, and the code is
// in the converter's --to and --from, its CSV column and the window's menu.
const std::array<CodeForm, 1> kForms{{
    {Code::Mgrs, kMgrsNames, "MGRS", 5, 5},
}};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const CodeForm> CodeForms() { return kForms; }

const CodeForm& FormOf(Code code) {
    for (const CodeForm& form : kForms)
        if (form.code == code) return form;
    return kForms.front();
}

const CodeForm* FormNamed(std::string_view name) {
    for (const CodeForm& form : kForms)
        for (std::string_view alias : form.names)
            if (SameName(alias, name)) return &form;
    return nullptr;
}

bool ValidCodeLength(Code code, int length) {
    switch (code) {
    case Code::Mgrs: return length >= 0 && length <= 5;
    default: return length < 0;
    }
}

std::optional<std::string> FormatCode(Code code, double latitude, double longitude, int length,
                                      const std::optional<UtmPoint>& utm) {
    if (length < 0) length = FormOf(code).defaultLength;
    if (!ValidCodeLength(code, length)) return std::nullopt;
    switch (code) {
    case Code::Mgrs: return utm ? FormatMgrsFromUtm(*utm, length) : FormatMgrs(latitude, longitude, length);
    default: return std::nullopt;
    }
}

}  // namespace quillet
