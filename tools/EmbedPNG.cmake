# Turns a PNG file into a C++ source that registers its bytes as PNG resource ID at start-up.
# Usage: cmake -DID=<number> -DINPUT=<file.png> -DOUTPUT=<file.cpp> -P EmbedPNG.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}.
#include \"platform/Resource.h\"

namespace {

const unsigned char png[${size}] = {
${bytes}
};

struct Registration {
    Registration() { tarn::registerPngResource(${ID}, png, sizeof(png)); }
} registration;

} // namespace
")
