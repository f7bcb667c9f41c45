#include "editor/ValueText.h"

#include <charconv>
#include <cstring>

#include "dsp/ParameterTable.h"

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

ValueText appended(ValueText result, const char* tail) {
    std::strncat(result.text, tail, sizeof result.text - std::strlen(result.text) - 1);
    return result;
}

} // namespace

ValueText parameterText(std::int32_t index, float v) {
    if (index < 0 || index >= tarn::kNumControls) return ValueText{};
    const tarn::ParameterInfo& p = tarn::kParameters[index];
    if (p.topText && v == 1.0f) return appended(ValueText{}, p.topText);
    return appended(formatValue(tarn::toNatural(index, v), p.decimals), p.suffix);
}
