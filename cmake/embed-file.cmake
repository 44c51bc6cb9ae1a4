# Writes a C++ source that holds the bytes of one file, so that a program
# carries its default resources without looking for them at run time.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P embed-file.cmake
# The source defines `std::string_view zv::<SYMBOL>()`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n"
"#include <string_view>\n"
"namespace zv {\n"
"namespace {\n"
"const unsigned char kBytes[] = {\n${bytes}0};\n"
"}\n"
"std::string_view ${SYMBOL}() { return {reinterpret_cast<const char*>(kBytes), ${size}}; }\n"
"}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
