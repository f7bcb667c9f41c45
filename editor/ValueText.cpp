#include "editor/ValueText.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <locale.h>

#include "dsp/ParameterTable.h"

ValueText formatValue(double number, int decimals) {
    ValueText result{};
    // Every float fits; only a double beyond about 1e60 does not, and then the text stays empty.
#if defined(__cpp_lib_to_chars)
    // to_chars ignores the C and C++ locales, so the decimal point is always ".".
    const auto written = std::to_chars(result.text, result.text + sizeof result.text - 1, number,
                                       std::chars_format::fixed, decimals);
    if (written.ec == std::errc()) *written.ptr = '\0';
#else
    // GCC 10's C++ runtime, on the oldest system Linux releases are built on, has no to_chars
    // for floating point; glibc's printf rounds the same way, and in the C locale on this thread
    // its decimal point is "." too.
    static const locale_t cNumbers = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    const locale_t previous = uselocale(cNumbers);
    const int length = std::snprintf(result.text, sizeof result.text, "%.*f", decimals, number);
    uselocale(previous);
    if (length < 0 || length >= static_cast<int>(sizeof result.text)) result.text[0] = '\0';
#endif
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
