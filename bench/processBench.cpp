// Prints nanoseconds per stereo frame through the plug-in's processing callbacks for a few
// signals, in the same process (no library loading): noise compressed by about 10 dB, the
// 64-bit path, silence after signal (which must cost no more than signal: no denormals), and
// frames whose attack or release curve is still running against frames whose curve has
// settled (which should cost about the same).
// Each figure is the best of several runs, which filters out other load on the machine.
// With --curves, only the running-against-settled figures.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "gui/vst2/aeffect.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;

template <typename Sample>
double runOnce(AEffect* e, const std::vector<Sample>& signal, int seconds) {
    std::vector<Sample> l(kBlock);
    std::vector<Sample> r(kBlock);
    Sample* buffers[2] = {l.data(), r.data()};
    const long frames = static_cast<long>(kRate) * seconds;
    const auto start = std::chrono::steady_clock::now();
    for (long done = 0; done < frames; done += kBlock) {
        const std::size_t offset = static_cast<std::size_t>(done % (signal.size() - kBlock));
        for (int i = 0; i < kBlock; ++i) l[i] = r[i] = signal[offset + i];
        if constexpr (sizeof(Sample) == sizeof(float))
            e->processReplacing(e, buffers, buffers, kBlock);
        else
            e->processDoubleReplacing(e, buffers, buffers, kBlock);
    }
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / static_cast<double>(frames);
}

template <typename Sample>
double nanosecondsPerFrame(AEffect* e, const std::vector<Sample>& signal, int seconds) {
    double best = runOnce(e, signal, seconds);
    for (int run = 1; run < 7; ++run) best = std::min(best, runOnce(e, signal, seconds));
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const bool curvesOnly = argc > 1 && std::strcmp(argv[1], "--curves") == 0;
    AEffect* e = VSTPluginMain(host);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, kRate);
    e->dispatcher(e, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    // Threshold -30 dB, ratio 4:1: noise at about -10 dBFS RMS is reduced by about 10 dB.
    e->setParameter(e, 1, 66.0f / 96.0f);
    e->setParameter(e, 3, 3.0f / 19.0f);

    std::mt19937 random(1);
    std::normal_distribution<float> gauss(0.0f, 0.316f);
    std::vector<float> noise(kRate * 2);
    for (float& s : noise) s = gauss(random);
    std::vector<double> noise64(noise.begin(), noise.end());
    std::vector<float> silence(kRate * 2, 0.0f);

    if (!curvesOnly) {
        nanosecondsPerFrame(e, noise, 2);
        std::printf("noise, 32-bit:           %6.2f ns per stereo frame\n", nanosecondsPerFrame(e, noise, 60));
        std::printf("noise, 64-bit:           %6.2f ns per stereo frame\n", nanosecondsPerFrame(e, noise64, 60));
        std::printf("silence after signal:    %6.2f ns per stereo frame\n", nanosecondsPerFrame(e, silence, 60));
    }

    // The longest attack (150 ms) and release (2000 ms). Steady noise keeps the attack settled;
    // noise that turns 30 dB quieter every 100 ms keeps one curve or the other running.
    e->setParameter(e, 4, 1.0f);
    e->setParameter(e, 5, 1.0f);
    std::vector<float> bursts(noise);
    for (std::size_t i = 0; i < bursts.size(); ++i)
        if ((i / static_cast<std::size_t>(kRate / 10)) % 2) bursts[i] *= 0.0316f;
    // The two take turns, so that both see the same other load on the machine.
    double settled = 1e30;
    double moving = 1e30;
    for (int turn = 0; turn < 40; ++turn) {
        settled = std::min(settled, runOnce(e, noise, 1));
        moving = std::min(moving, runOnce(e, bursts, 1));
    }
    std::printf("curves settled:          %6.2f ns per stereo frame\n", settled);
    std::printf("curves running:          %6.2f ns per stereo frame (%.2f times settled)\n", moving, moving / settled);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
