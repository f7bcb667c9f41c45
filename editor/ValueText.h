#pragma once
#include <cstdint>

// A short text built without allocating.
struct ValueText {
    char text[64];
};

// number in fixed-point notation with exactly `decimals` digits after a "." (whatever locale the
// host process has set), rounded to the nearest such value; a negative number keeps its minus sign
// even when its text is all zeros ("-0.0"). Non-finite numbers read "nan", "-nan", "inf" or "-inf".
ValueText formatValue(double number, int decimals);

// The text under the knob of parameter index (0 to 6) for the normalised value, which is not
// clamped: "0.0 db", "OFF", "1.0:1", "50 ms". Empty for any other index.
ValueText parameterText(std::int32_t index, float value);
