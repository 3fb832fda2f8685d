// What the fuzz targets share: a property that must hold, and the input bytes
// cut into texts. Built only in the fuzz preset, with clang and libFuzzer.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillet::fuzz {

// A broken property is a finding like a crash: libFuzzer saves the input.
inline void Require(bool holds, const char* property, const std::string& detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s [%s]\n", property, detail.c_str());
    std::abort();
}

// Texts are short, as in a box, with now and then a very long one; a line
// (a map link with its data tail) may be longer.
inline std::string Text(FuzzedDataProvider& data, std::size_t longest = 64) {
    return data.ConsumeRandomLengthString(longest);
}

}  // namespace quillet::fuzz
