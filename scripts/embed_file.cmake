# Writes a C++ file that holds INPUT's bytes as the array NAME (and its size
# as NAME##Size) in namespace quillet. Run by the build: cmake -DINPUT=...
# -DOUTPUT=... -DNAME=... -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# 32 bytes a line keeps the file readable and quick to compile.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Made by the build from ${INPUT}; do not edit.
#include <cstddef>
namespace quillet {
extern const unsigned char ${NAME}[];
extern const std::size_t ${NAME}Size;
alignas(4) const unsigned char ${NAME}[] = {
${bytes}
};
const std::size_t ${NAME}Size = ${size};
}  // namespace quillet
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
