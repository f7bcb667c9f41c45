#pragma once
#include <cstdint>

namespace tarn {

// What a parameter's natural value counts, as plug-in descriptions name it.
enum class Unit { Decibels, Ratio, Milliseconds };

// One parameter as every consumer sees it: the VST plug-in (normalised values 0 to 1), the
// editor (label and value text) and the LV2 description (name, symbol, range in natural units).
// The natural value of a normalised value v is v * (maximum - minimum) + minimum, in single
// precision, and every mapping into the engine goes through it.
struct ParameterInfo {
    const char* name;
    // Shown above the knob.
    const char* label;
    const char* symbol;
    float minimum;
    float maximum;
    Unit unit;
    // Normalised.
    float defaultValue;
    // The value text: the natural value with this many decimals, then the suffix.
    int decimals;
    const char* suffix;
    // Shown instead of the number when v is exactly 1, or null.
    const char* topText;
};

// Parameters 0 to 6 have a function; 7 and 8 are stored and returned only.
constexpr int kNumParameters = 9;
constexpr int kNumControls = 7;

inline constexpr ParameterInfo kParameters[kNumControls] = {
    {"Input gain", "input", "input_gain", -24.0f, 24.0f, Unit::Decibels, 0.5f, 1, " db", nullptr},
    {"Threshold", "threshold", "threshold", -96.0f, 0.0f, Unit::Decibels, 1.0f, 1, " db", nullptr},
    // The knee's depth below the threshold; at its top, 0 dB, there is no knee.
    {"Knee", "knee", "knee", -96.0f, 0.0f, Unit::Decibels, 1.0f, 1, " db", "OFF"},
    {"Ratio", "ratio", "ratio", 1.0f, 20.0f, Unit::Ratio, 0.0f, 1, ":1", nullptr},
    {"Attack", "attack", "attack", 1.0f, 150.0f, Unit::Milliseconds, 0.32666659f, 0, " ms", nullptr},
    {"Release", "release", "release", 1.0f, 2000.0f, Unit::Milliseconds, 0.1495f, 0, " ms", nullptr},
    {"Output gain", "output", "output_gain", -24.0f, 24.0f, Unit::Decibels, 0.5f, 1, " db", nullptr},
};

// Normalised default of every parameter, 7 and 8 included.
float defaultValue(std::int32_t index);

// The natural value of parameter index (0 to 6) at normalised value v, unclamped.
inline float toNatural(int index, float v) {
    const ParameterInfo& p = kParameters[index];
    return v * (p.maximum - p.minimum) + p.minimum;
}

// The normalised value whose natural value is `natural`: where one exists, exactly, so that the
// engine gets what was asked for in natural units. Not clamped; not a number stays one.
float toNormalised(int index, float natural);

} // namespace tarn
