#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "dsp/EngineMapping.h"
#include "platform/Lock.h"
#include "tests/Cycles.h"
#include "tests/WaitUntil.h"
#include "tests/vst2/TestHost.h"

// The host's threads at once: audio processing, parameter changes, program changes and a
// display reader taking the engine lock. The thread sanitizer build checks for races.
TEST(Concurrency, ProcessingParametersProgramsAndDisplayAtOnce) {
    TestHost host;
    Instance plugin;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<long> nonFinite{0};
    // Under valgrind, which runs one thread at a time, each block costs seconds of turns.
    const long enough = tarn::test::cycles(200);
    tarn::test::Signal progressed;

    std::thread audio([&] {
        float l[256];
        float r[256];
        double dl[256];
        double dr[256];
        for (int n = 0; !stop; ++n) {
            for (int i = 0; i < 256; ++i) dl[i] = dr[i] = l[i] = r[i] = std::sin(0.05f * (i + n)) * 0.9f;
            if (n % 2)
                plugin.process(l, r, l, r, 256);
            else
                plugin.process(dl, dr, dl, dr, 256);
            for (int i = 0; i < 256; ++i) nonFinite += std::isfinite(l[i]) && std::isfinite(dl[i]) ? 0 : 1;
            if (++blocks == enough) progressed.raise();
        }
    });
    std::thread parameters([&] {
        for (int n = 0; !stop; ++n) {
            plugin.set(n % 9, static_cast<float>(n % 101) / 100.0f);
            (void)plugin.get((n + 3) % 9);
        }
    });
    std::thread programs([&] {
        char name[25];
        while (!stop) {
            plugin.dispatch(effSetProgram, 0, 0);
            plugin.dispatch(effGetProgramName, 0, 0, name);
            plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
            std::this_thread::yield();
        }
    });
    double sum = 0.0;
    std::thread display([&] {
        while (!stop) {
            tarn::LockGuard guard(plugin.core().getEngineLock());
            const tarn::CompressorEngine& e = plugin.engine();
            for (int i = 0; i < e.inputHistory.size(); ++i) sum += e.inputHistory[i] + e.outputHistory[i];
            sum += e.threshold() + e.kneeStart() + (e.io64Bit ? 1 : 0);
        }
    });

    const bool enoughBlocks = progressed.wait();
    stop = true;
    for (std::thread* t : {&audio, &parameters, &programs, &display}) t->join();
    EXPECT_TRUE(enoughBlocks) << blocks << " blocks processed";
    EXPECT_EQ(nonFinite, 0);
    EXPECT_TRUE(std::isfinite(sum));
}

// The knob and the host's automation set one parameter at once, round after round: whichever
// value the plug-in keeps, the engine uses that one.
TEST(Concurrency, TwoThreadsSettingOneParameterLeaveTheEngineAtTheStoredValue) {
    TestHost host;
    Instance plugin;
    tarn::CompressorEngine expected;
    const int rounds = tarn::test::cycles(200000);
    // Both threads meet before each set, so that their stores and engine updates interleave,
    // and again before the first of them compares.
    std::atomic<int> arrivals{0};
    auto meet = [&arrivals](int& count) {
        count += 2;
        arrivals.fetch_add(1);
        for (int spins = 0; arrivals.load() < count; ++spins)
            if (spins > 1000) std::this_thread::yield();
    };
    int mismatches = 0;
    auto setter = [&](float value, bool compares) {
        int met = 0;
        for (int r = 0; r < rounds; ++r) {
            meet(met);
            plugin.set(0, value);
            meet(met);
            if (!compares) continue;
            tarn::applyParameter(expected, 0, plugin.get(0));
            mismatches += plugin.engine().inputGain() == expected.inputGain() ? 0 : 1;
        }
    };
    std::thread knob(setter, 0.25f, true);
    std::thread automation(setter, 0.75f, false);
    knob.join();
    automation.join();
    EXPECT_EQ(mismatches, 0) << "of " << rounds << " rounds";
}

// A thread that asks for the engine lock while the audio thread runs a long block gets it at a
// frame boundary soon after, not at the end of the block.
TEST(Concurrency, AThreadAskingForTheEngineLockGetsItBetweenTwoFramesOfABlock) {
    TestHost host;
    Instance plugin;
    tarn::Lock& lock = plugin.core().getEngineLock();
    tarn::Lock::FastSide side(lock);
    constexpr int kFrames = 90000;
    std::vector<double> left(kFrames, 0.0);
    std::vector<double> right(kFrames, 0.0);
    std::atomic<int> framesRated{0};
    std::atomic<int> enteredAfter{-1};
    std::thread waiter;
    bool asked = false;
    plugin.engine().processFrames(left.data(), right.data(), kFrames, side, [&] {
        if (++framesRated == 10) {
            waiter = std::thread([&] {
                tarn::LockGuard guard(lock);
                enteredAfter = framesRated.load();
            });
            asked = tarn::test::waitUntil([&] { return side.asked(); }, [] { std::this_thread::yield(); });
        }
        return 384000.0f;
    });
    waiter.join();
    ASSERT_TRUE(asked);
    EXPECT_GE(enteredAfter, 10);
    EXPECT_LT(enteredAfter, kFrames) << "the waiting thread got the lock only after the block";
}
