#include "convert/codes.h"

#include "convert/mgrs.h"
#include "convert/national_grid.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quillet {

namespace {

constexpr std::array<std::string_view, 1> kMgrsNames{"mgrs"};
constexpr std::array<std::string_view, 2> kBritishNames{"bng", "osgb"};
constexpr std::array<std::string_view, 1> kIrishNames{"irish"};
constexpr std::array<std::string_view, 1> kIrishTmNames{"itm"};

// Add a row here, a case in FormatCode and ValidCodeLength, and the code is
// in the converter's --to and --from, its CSV column and the window's menu.
// The grids' window length is 8 figures: the window shows about a metre, and
// without the OSTN15 grid file the datum shift is good to about 2 m.
const std::array<CodeForm, 4> kForms{{
    {Code::Mgrs, kMgrsNames, "MGRS", 5, 5},
    {Code::BritishGrid, kBritishNames, "British National Grid", 10, 8},
    {Code::IrishGrid, kIrishNames, "Irish Grid", 10, 8},
    {Code::IrishTm, kIrishTmNames, "", -1, -1},
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
    case Code::BritishGrid:
    case Code::IrishGrid:
    case Code::IrishTm: return ValidGridFigures(code, length);
    default: return length < 0;
    }
}

std::optional<std::string> FormatCode(Code code, double latitude, double longitude, int length,
                                      const std::optional<UtmPoint>& utm) {
    if (length < 0) length = FormOf(code).defaultLength;
    if (!ValidCodeLength(code, length)) return std::nullopt;
    switch (code) {
    case Code::Mgrs: return utm ? FormatMgrsFromUtm(*utm, length) : FormatMgrs(latitude, longitude, length);
    case Code::BritishGrid:
    case Code::IrishGrid:
    case Code::IrishTm: return FormatGridCode(code, latitude, longitude, length);
    default: return std::nullopt;
    }
}

}  // namespace quillet
