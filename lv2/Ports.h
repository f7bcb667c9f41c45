#pragma once
#include <cstdint>

#include "dsp/ParameterTable.h"

namespace tarn::lv2 {

constexpr const char* kPluginUri = "https://tarn.studio/plugins/compressor";
constexpr const char* kUiUri = "https://tarn.studio/plugins/compressor#ui";

// The plug-in's ports in index order: stereo audio in and out, one control input for each of
// the parameters 0 to 6 in their natural units, and the gain reduction as a control output.
enum Port : std::uint32_t {
    kInLeft,
    kInRight,
    kOutLeft,
    kOutRight,
    kFirstControl,
    kGainReduction = kFirstControl + kNumControls,
    kNumPorts
};

// The gain reduction reads from 0 dB (none) to this.
constexpr float kMaxReductionDb = 96.0f;

inline bool isControl(std::uint32_t port) { return port >= kFirstControl && port < kGainReduction; }

} // namespace tarn::lv2
