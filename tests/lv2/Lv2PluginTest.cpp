// The LV2 plug-in through its real entry point, where no real host goes: ports left
// unconnected and control values that are not numbers.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <limits>
#include <vector>

#include "lv2/Ports.h"

namespace {

using namespace tarn::lv2;

const LV2_Descriptor* descriptor() {
    static void* library = dlopen(TARN_LV2_DSP, RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
    return entry ? entry(0) : nullptr;
}

constexpr std::uint32_t kFrames = 512;

// One instance with every port connected to buffers of its own; a loud sine as input.
struct Instance {
    explicit Instance(double rate = 48000.0) : d(descriptor()), handle(d->instantiate(d, rate, "", nullptr)) {
        for (std::uint32_t i = 0; i < kFrames; ++i) in[0][i] = in[1][i] = 0.9f * std::sin(0.05f * i);
        for (int i = 0; i < tarn::kNumControls; ++i) controls[i] = tarn::toNatural(i, tarn::defaultValue(i));
    }
    ~Instance() { d->cleanup(handle); }
    void connectAll() {
        for (std::uint32_t c = 0; c < 2; ++c) {
            d->connect_port(handle, kInLeft + c, in[c].data());
            d->connect_port(handle, kOutLeft + c, out[c].data());
        }
        for (int i = 0; i < tarn::kNumControls; ++i) d->connect_port(handle, kFirstControl + i, &controls[i]);
        d->connect_port(handle, kGainReduction, &reduction);
    }
    void run(std::uint32_t frames = kFrames) { d->run(handle, frames); }

    const LV2_Descriptor* d;
    LV2_Handle handle;
    std::vector<float> in[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
    std::vector<float> out[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
    float controls[tarn::kNumControls];
    float reduction = -1.0f;
};

} // namespace

TEST(Lv2Plugin, UnconnectedPortsAreHarmless) {
    ASSERT_NE(descriptor(), nullptr) << dlerror();
    Instance plugin;
    ASSERT_NE(plugin.handle, nullptr);
    plugin.d->activate(plugin.handle);
    plugin.run();
    // Some ports only, an index beyond the last, and a port disconnected again.
    plugin.d->connect_port(plugin.handle, kInLeft, plugin.in[0].data());
    plugin.d->connect_port(plugin.handle, kOutRight, plugin.out[1].data());
    plugin.d->connect_port(plugin.handle, kNumPorts + 7, plugin.out[0].data());
    plugin.run();
    EXPECT_EQ(plugin.out[1][100], 0.0f);
    plugin.connectAll();
    plugin.d->connect_port(plugin.handle, kInRight, nullptr);
    plugin.run();
    plugin.d->connect_port(plugin.handle, kInRight, plugin.in[1].data());
    plugin.run(0);
    plugin.run();
    EXPECT_NE(plugin.out[1][100], 0.0f);
    EXPECT_EQ(plugin.d->extension_data("http://lv2plug.in/ns/ext/state#interface"), nullptr);
    plugin.d->deactivate(plugin.handle);
}

TEST(Lv2Plugin, AControlThatIsNotANumberKeepsItsLastValue) {
    ASSERT_NE(descriptor(), nullptr) << dlerror();
    Instance steady;
    Instance nan;
    for (Instance* p : {&steady, &nan}) {
        p->connectAll();
        p->controls[1] = -30.0f;
        p->controls[3] = 8.0f;
        p->controls[4] = 1.0f;
        p->run();
    }
    nan.controls[1] = std::numeric_limits<float>::quiet_NaN();
    nan.controls[3] = -std::numeric_limits<float>::quiet_NaN();
    for (int block = 0; block < 8; ++block) {
        steady.run();
        nan.run();
    }
    for (std::uint32_t i = 0; i < kFrames; ++i) {
        ASSERT_EQ(nan.out[0][i], steady.out[0][i]) << i;
        ASSERT_EQ(nan.out[1][i], steady.out[1][i]) << i;
    }
    // -30 dB threshold, 8:1, a sine at about -4 dB RMS: well over 10 dB of reduction.
    EXPECT_GT(steady.reduction, 10.0f);
    EXPECT_LE(steady.reduction, kMaxReductionDb);

    // Back to a number, the control applies again: at the defaults, once the release (300 ms)
    // has about run out, there is next to no reduction.
    nan.controls[1] = 0.0f;
    nan.controls[3] = 1.0f;
    for (int block = 0; block < 60; ++block) nan.run();
    EXPECT_LT(nan.reduction, 0.1f);
}

TEST(Lv2Plugin, ActivationForgetsTheSignalAndKeepsTheSettings) {
    ASSERT_NE(descriptor(), nullptr) << dlerror();
    Instance used;
    Instance fresh;
    for (Instance* p : {&used, &fresh}) {
        p->connectAll();
        p->controls[1] = -30.0f;
        p->controls[3] = 8.0f;
        p->d->activate(p->handle);
    }
    for (int block = 0; block < 20; ++block) used.run();
    used.d->deactivate(used.handle);
    used.d->activate(used.handle);
    used.run();
    fresh.run();
    for (std::uint32_t i = 0; i < kFrames; ++i) ASSERT_EQ(used.out[0][i], fresh.out[0][i]) << i;
    EXPECT_EQ(used.reduction, fresh.reduction);
}

// A host may send controls beyond their range: they act at the range's end, so a threshold
// above 0 dB with a knee (whose end would lie below its start) compresses as 0 dB does.
TEST(Lv2Plugin, ControlsBeyondTheirRangeActAtItsEnd) {
    ASSERT_NE(descriptor(), nullptr) << dlerror();
    Instance beyond;
    Instance atEnd;
    for (Instance* p : {&beyond, &atEnd}) {
        p->connectAll();
        p->controls[2] = -6.0f;
        p->controls[4] = 1.0f;
    }
    beyond.controls[1] = 6.0f;
    beyond.controls[3] = 40.0f;
    atEnd.controls[1] = 0.0f;
    atEnd.controls[3] = 20.0f;
    for (int block = 0; block < 20; ++block) {
        beyond.run();
        atEnd.run();
        for (std::uint32_t i = 0; i < kFrames; ++i) {
            ASSERT_EQ(beyond.out[0][i], atEnd.out[0][i]) << block << " " << i;
            ASSERT_LE(std::fabs(beyond.out[0][i]), std::fabs(beyond.in[0][i])) << block << " " << i;
        }
    }
}
