#include "editor/ValueText.h"

#include <charconv>
#include <cstring>

ValueText formatValue(double number, int decimals) {
    ValueText result{};
    // to_chars ignores the C and C++ locales, so the decimal point is always ".".
    const auto written = std::to_chars(result.text, result.text + sizeof result.text - 1, number,
                                       std::chars_format::fixed, decimals);
    // Every float fits; only a double beyond about 1e60 does not, and then the text stays empty.
    if (written.ec == std::errc()) *written.ptr = '\0';
    return result;
}

namespace {

ValueText withUnit(float number, int decimals, const char* unit) {
    ValueText result = formatValue(number, decimals);
    std::strncat(result.text, unit, sizeof result.text - std::strlen(result.text) - 1);
    return result;
}

} // namespace

ValueText parameterText(std::int32_t index, float v) {
    switch (index) {
    case 0:
    case 6: return withUnit(v * 48.0f - 24.0f, 1, " db");
    case 1: return withUnit(v * 96.0f - 96.0f, 1, " db");
    case 2: return v == 1.0f ? ValueText{"OFF"} : withUnit(v * 96.0f - 96.0f, 1, " db");
    case 3: return withUnit(v * 19.0f + 1.0f, 1, ":1");
    case 4: return withUnit(v * 149.0f + 1.0f, 0, " ms");
    case 5: return withUnit(v * 1999.0f + 1.0f, 0, " ms");
    default: return ValueText{};
    }
}
