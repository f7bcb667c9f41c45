// Real-time behaviour of the plug-in with its editor open. An audio thread plays a signal
// through processReplacing in blocks paced to the wall clock, as a host's audio thread does,
// while the main thread (the user-interface thread) keeps the editor open in a real X window and
// sends it effEditIdle about 60 times a second; in two of the four runs a third thread changes
// parameters and the program as automation would. Prints, for each run, the processing time of
// each block (median, 99th percentile, maximum) and the longest time the audio thread waited
// for the engine lock. With --rounds N the four runs take turns N times, and the comparison
// takes the median of each run's percentiles. Needs an X display (scripts/xvfb.sh works).
//
// The lock wait is measured in this program only: it is linked with --wrap around the lock's
// out-of-line waiting path (the fast side backing off from a slow one), which every wait of the
// audio thread goes through and which the uncontended path never calls, so the plug-in itself
// carries no instrumentation.
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/Lock.h"
#include "gui/vst2/aeffect.h"
#include "tools/vsthost/HostWindow.h"
#include "tools/vsthost/SignalGenerator.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

namespace {

using Clock = std::chrono::steady_clock;

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;
constexpr double kIdlePeriodSeconds = 1.0 / 60.0;

// The audio thread marks itself, so that only its waits for the lock are counted.
thread_local bool onAudioThread = false;
constexpr double kLongWaitNs = 20000.0;
std::atomic<double> longestWaitNs{0.0};
std::atomic<long> waits{0};
std::atomic<long> longWaits{0};
// When the first long wait began, in seconds from the start of the run.
Clock::time_point runStart;
std::atomic<double> firstLongWaitSeconds{-1.0};

} // namespace

// The lock's waiting path, timed on the audio thread (see the top of this file).
extern "C" void __real__ZN4tarn4Lock18enterFastContendedEm(tarn::Lock* lock, std::uintptr_t self);
extern "C" void __wrap__ZN4tarn4Lock18enterFastContendedEm(tarn::Lock* lock, std::uintptr_t self) {
    if (!onAudioThread) {
        __real__ZN4tarn4Lock18enterFastContendedEm(lock, self);
        return;
    }
    const Clock::time_point start = Clock::now();
    __real__ZN4tarn4Lock18enterFastContendedEm(lock, self);
    const double waited = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    waits.fetch_add(1, std::memory_order_relaxed);
    if (waited > longestWaitNs.load(std::memory_order_relaxed)) longestWaitNs.store(waited, std::memory_order_relaxed);
    if (waited > kLongWaitNs && longWaits.fetch_add(1, std::memory_order_relaxed) == 0)
        firstLongWaitSeconds.store(std::chrono::duration<double>(start - runStart).count(), std::memory_order_relaxed);
}

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Run {
    const char* name;
    bool editor;
    bool automation;
};

struct Figures {
    std::vector<double> blockUs;
    double longestWaitUs = 0.0;
    long waits = 0;
    long longWaits = 0;
    double firstLongWaitSeconds = -1.0;
    long idles = 0;
    bool editorOpened = false;
};

double percentile(std::vector<double> sorted, double fraction) {
    std::sort(sorted.begin(), sorted.end());
    const std::size_t index = std::min(sorted.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(sorted.size())));
    return sorted[index];
}

// Real-time priority, as hosts give their audio threads; answers whether it was granted.
bool makeRealTime() {
    sched_param parameters{};
    parameters.sched_priority = 70;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
}

void playAudio(AEffect* e, const std::vector<float>& left, const std::vector<float>& right, double seconds,
               std::vector<double>& blockUs, std::atomic<bool>& done) {
    onAudioThread = true;
    std::vector<float> inL(kBlock);
    std::vector<float> inR(kBlock);
    std::vector<float> outL(kBlock);
    std::vector<float> outR(kBlock);
    float* inputs[2] = {inL.data(), inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kBlock / kRate));
    const long blocks = static_cast<long>(seconds * kRate / kBlock);
    std::size_t position = 0;
    Clock::time_point due = Clock::now();
    for (long b = 0; b < blocks; ++b) {
        for (int i = 0; i < kBlock; ++i) {
            inL[i] = left[(position + i) % left.size()];
            inR[i] = right[(position + i) % right.size()];
        }
        position = (position + kBlock) % left.size();
        const Clock::time_point start = Clock::now();
        e->processReplacing(e, inputs, outputs, kBlock);
        blockUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        due += period;
        std::this_thread::sleep_until(due);
    }
    done = true;
}

// Parameter changes about every millisecond, cycling through settings around the benchmark's
// own, and a program change every 20th time, as a host's automation and preset browser would.
void automate(AEffect* e, std::atomic<bool>& done) {
    static const float thresholds[] = {0.6875f, 0.65f, 0.72f};
    static const float ratios[] = {0.157895f, 0.1f, 0.3f};
    for (int n = 0; !done; ++n) {
        e->setParameter(e, 1, thresholds[n % 3]);
        e->setParameter(e, 3, ratios[(n / 3) % 3]);
        e->setParameter(e, 4 + n % 2, static_cast<float>(n % 97) / 96.0f);
        if (n % 20 == 0) e->dispatcher(e, effSetProgram, 0, 0, nullptr, 0.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Figures measure(const Run& run, const std::vector<float>& left, const std::vector<float>& right, double seconds,
                std::string& error) {
    Figures figures;
    AEffect* e = VSTPluginMain(host);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, kRate);
    e->dispatcher(e, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    // Threshold -30 dB, ratio 4:1, release 2000 ms: the attack and release curves keep moving.
    e->setParameter(e, 1, 0.6875f);
    e->setParameter(e, 3, 0.157895f);
    e->setParameter(e, 5, 1.0f);

    std::unique_ptr<tarn::HostWindow> window;
    if (run.editor) {
        ERect* rect = nullptr;
        e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0.0f);
        if (rect) window = tarn::HostWindow::create(rect->right - rect->left, rect->bottom - rect->top, "realtimeBench", error);
        figures.editorOpened = window && e->dispatcher(e, effEditOpen, 0, 0, window->handle(), 0.0f) != 0;
    }
    longestWaitNs = 0.0;
    waits = 0;
    longWaits = 0;
    firstLongWaitSeconds = -1.0;
    runStart = Clock::now();
    figures.blockUs.reserve(static_cast<std::size_t>(seconds * kRate / kBlock) + 1);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        makeRealTime();
        playAudio(e, left, right, seconds, figures.blockUs, done);
    });
    std::thread automation;
    if (run.automation) automation = std::thread(automate, e, std::ref(done));

    // The user-interface thread: about 60 idle calls a second while the editor is open.
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kIdlePeriodSeconds));
    for (Clock::time_point due = Clock::now(); !done; due += period) {
        if (figures.editorOpened) {
            window->processEvents();
            e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
            ++figures.idles;
        }
        std::this_thread::sleep_until(due + period);
    }
    audio.join();
    if (automation.joinable()) automation.join();
    if (figures.editorOpened) {
        e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
        window->processEvents();
    }
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    figures.longestWaitUs = longestWaitNs / 1000.0;
    figures.waits = waits;
    figures.longWaits = longWaits;
    figures.firstLongWaitSeconds = firstLongWaitSeconds;
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 15.0;
    int rounds = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(1.0, std::atof(argv[i + 1]));
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::clamp(std::atoi(argv[i + 1]), 1, 100);
    }

    const std::size_t frames = static_cast<std::size_t>(kRate) * 4;
    std::vector<float> left;
    std::vector<float> right;
    for (double s : tarn::generateSignal(tarn::Signal::Phrase, 0.5, 110.0, kRate, 0, frames)) left.push_back(static_cast<float>(s));
    for (double s : tarn::generateSignal(tarn::Signal::Phrase, 0.5, 110.0, kRate, 1, frames)) right.push_back(static_cast<float>(s));

    {
        // Tells whether the audio thread will get real-time priority, as the runs ask for it.
        bool granted = false;
        std::thread probe([&] { granted = makeRealTime(); });
        probe.join();
        std::printf("realtime: 48000 Hz, blocks of %d (%.2f ms), phrase at -6 dBFS, threshold -30 dB, 4:1, release 2000 ms, "
                    "%g s per run; audio thread %s\n",
                    kBlock, 1000.0 * kBlock / kRate, seconds, granted ? "SCHED_FIFO 70" : "at normal priority (no real-time priority granted)");
    }
    const Run runs[] = {{"editor closed", false, false},
                        {"editor open", true, false},
                        {"editor closed, automation", false, true},
                        {"editor open, automation", true, true}};
    std::printf("%-28s %7s %7s %10s %8s %8s %14s %6s %s\n", "run", "blocks", "idles", "median us", "p99 us", "max us",
                "lock wait us", "waits", "over 20 us (first at)");
    // A 99th percentile of blocks of a few microseconds moves with single preemptions: rounds of
    // the four runs in turn, compared by the median of their percentiles, tell a change from that.
    std::vector<double> p99[4];
    for (int round = 0; round < rounds; ++round) {
        for (int index = 0; index < 4; ++index) {
            const Run& run = runs[index];
            std::string error;
            const Figures f = measure(run, left, right, seconds, error);
            if (run.editor && !f.editorOpened) {
                std::printf("%-28s the editor did not open%s%s\n", run.name, error.empty() ? "" : ": ", error.c_str());
                return 1;
            }
            p99[index].push_back(percentile(f.blockUs, 0.99));
            std::printf("%-28s %7zu %7ld %10.2f %8.2f %8.2f %14.2f %6ld %ld", run.name, f.blockUs.size(), f.idles,
                        percentile(f.blockUs, 0.5), p99[index].back(), *std::max_element(f.blockUs.begin(), f.blockUs.end()),
                        f.longestWaitUs, f.waits, f.longWaits);
            if (f.longWaits > 0) std::printf(" (%.3f s)", f.firstLongWaitSeconds);
            std::printf("\n");
        }
    }
    double median[4];
    for (int index = 0; index < 4; ++index) median[index] = percentile(p99[index], 0.5);
    std::printf("99th percentile with the editor open%s: %+.1f%% (no automation), %+.1f%% (automation) against closed\n",
                rounds > 1 ? ", median of the rounds" : "", 100.0 * (median[1] / median[0] - 1.0),
                100.0 * (median[3] / median[2] - 1.0));
    return 0;
}
