// libFuzzer target for the LV2 plug-in's descriptor: every input is a sequence of host actions
// in any order the LV2 rules allow: instantiate at any sample rate; connect any port, at any
// time, to its own buffer, to another audio port's buffer (in place) or to nothing; activate;
// run with 0 to 8192 frames and any control values (not a number, infinite, out of range);
// deactivate; cleanup, and instantiate again; extension data for any URI. Run is called only
// between activate and deactivate, and cleanup only after deactivate.
// Checks after each run: no output sample is louder than its input through the gain stages or
// of the other sign, finite input gives finite output without denormals, and the gain
// reduction output is a number from 0 to its maximum. A failed check prints a line and aborts.
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "lv2/Ports.h"
#include "tests/SoundOracle.h"
#include "tests/fuzz/Signals.h"

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);

namespace {

using namespace tarn::lv2;
using tarn::kNumControls;
using tarn::fuzz::ByteReader;

constexpr std::uint32_t kMaxFrames = 8192;

void check(bool ok, const char* what, long long detail) {
    if (ok) return;
    std::fprintf(stderr, "LV2 host action check failed: %s (%lld)\n", what, detail);
    std::fflush(stderr);
    std::abort();
}

class Lv2Host {
public:
    explicit Lv2Host(const LV2_Descriptor* d) : d(d) {
        for (std::vector<float>& buffer : audio) buffer.resize(kMaxFrames);
    }
    ~Lv2Host() { cleanup(); }
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    void perform(ByteReader& in) {
        if (!handle) return instantiate(in);
        switch (in.byte() % 8) {
        case 0: return connect(in);
        case 1: return active ? void() : (d->activate(handle), void(active = true));
        case 2: return active ? (d->deactivate(handle), void(active = false)) : void();
        case 3:
        case 4: return active ? run(in) : void();
        case 5: controls[in.byte() % kNumControls] = tarn::fuzz::anyFloat(in); return;
        case 6: return extensionData(in);
        default: return in.byte() % 4 ? void() : cleanup();
        }
    }

private:
    void instantiate(ByteReader& in) {
        static const double rates[] = {44100.0, 48000.0, 96000.0, 192000.0, 8000.0, 1.0, 0.0, -48000.0, 1e12, 1e-9,
                                       std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
        const std::uint8_t pick = in.byte();
        const double rate = pick < 200 ? rates[pick % 12] : in.raw<double>();
        static const LV2_Feature* const noFeatures[] = {nullptr};
        handle = d->instantiate(d, rate, "/nonexistent/tarnCompressor.lv2/", noFeatures);
        check(handle != nullptr, "instantiate at any rate gives an instance", pick);
        gainDb[0] = gainDb[1] = 0.0f;
        // Every port starts connected, as hosts do before the first run.
        for (std::uint32_t port = 0; port < kNumPorts; ++port) {
            connected[port] = ownBuffer(port);
            d->connect_port(handle, port, connected[port]);
        }
    }

    void* ownBuffer(std::uint32_t port) {
        if (port < kFirstControl) return audio[port].data();
        if (port == kGainReduction) return &reduction;
        return &controls[port - kFirstControl];
    }

    void connect(ByteReader& in) {
        const std::uint32_t port = in.byte() % kNumPorts;
        const std::uint8_t how = in.byte() % 4;
        connected[port] = how == 0 ? nullptr : how == 1 && port < kFirstControl ? audio[in.byte() % 4].data()
                                                                                : ownBuffer(port);
        d->connect_port(handle, port, connected[port]);
    }

    void run(ByteReader& in) {
        const std::uint8_t pick = in.byte();
        const std::uint32_t frames = pick < 160 ? in.raw<std::uint16_t>() % (kMaxFrames + 1)
                                     : pick < 240 ? pick % 17 : kMaxFrames;
        for (int c = 0; c < 4; ++c) tarn::fuzz::fillSignal(audio[c].data(), static_cast<int>(frames), in);
        // What the plug-in reads: the buffers connected to its inputs, before the run.
        bool finiteInput = true;
        std::vector<float> sent[2];
        for (std::uint32_t port = kInLeft; port <= kInRight; ++port) {
            finiteInput = finiteInput && connected[port] &&
                          tarn::fuzz::allFinite(static_cast<const float*>(connected[port]), static_cast<int>(frames));
            if (connected[port]) sent[port - kInLeft].assign(static_cast<const float*>(connected[port]),
                                                            static_cast<const float*>(connected[port]) + frames);
        }
        // The gain stages the plug-in reads at this run: a connected control that is a number.
        for (int stage : {0, 1}) {
            const int control = stage == 0 ? 0 : kNumControls - 1;
            if (connected[kFirstControl + control] && !std::isnan(controls[control])) gainDb[stage] = controls[control];
        }
        reduction = std::numeric_limits<float>::quiet_NaN();
        d->run(handle, frames);
        if (connected[kGainReduction] == &reduction)
            check(reduction >= 0.0f && reduction <= kMaxReductionDb, "the gain reduction is from 0 to its maximum", frames);
        const bool audioConnected = connected[kOutLeft] && connected[kOutRight] && connected[kInLeft] && connected[kInRight];
        if (!audioConnected) return;
        // Both outputs on one buffer leave the right channel's samples in it.
        const double gains = tarn::oracle::gainOfDb(gainDb[0]) * tarn::oracle::gainOfDb(gainDb[1]);
        for (std::uint32_t port = connected[kOutLeft] == connected[kOutRight] ? kOutRight : kOutLeft; port <= kOutRight; ++port) {
            const float* out = static_cast<const float*>(connected[port]);
            const std::vector<float>& input = sent[port - kOutLeft];
            for (std::uint32_t i = 0; i < frames; ++i)
                check(tarn::oracle::keepsGainAndSign(input[i], out[i], gains),
                      "no output sample louder than its input through the gains, or of the other sign", i);
        }
        if (!finiteInput) return;
        for (std::uint32_t port = kOutLeft; port <= kOutRight; ++port)
            check(tarn::fuzz::allCanBeNormalOrZero(static_cast<const float*>(connected[port]), static_cast<int>(frames)),
                  "finite input gives finite output without denormals", frames);
    }

    void extensionData(ByteReader& in) {
        static const char* const uris[] = {"", "http://lv2plug.in/ns/ext/state#interface",
                                           "http://lv2plug.in/ns/ext/options#interface",
                                           "http://lv2plug.in/ns/ext/worker#interface"};
        const std::string uri = in.byte() % 2 ? uris[in.byte() % 4] : std::to_string(in.raw<std::uint32_t>());
        d->extension_data(uri.c_str());
    }

    void cleanup() {
        if (!handle) return;
        if (active) d->deactivate(handle);
        d->cleanup(handle);
        handle = nullptr;
        active = false;
    }

    const LV2_Descriptor* d;
    LV2_Handle handle = nullptr;
    bool active = false;
    std::vector<float> audio[4];
    float controls[kNumControls] = {0.0f, 0.0f, 0.0f, 1.0f, 50.0f, 300.0f, 0.0f};
    float reduction = 0.0f;
    void* connected[kNumPorts] = {};
    // The input and output gains in force, in dB.
    float gainDb[2] = {};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LV2_Descriptor* d = lv2_descriptor(0);
    check(d && lv2_descriptor(1) == nullptr, "one descriptor", 0);
    ByteReader in(data, size);
    Lv2Host host(d);
    while (!in.done()) host.perform(in);
    return 0;
}
