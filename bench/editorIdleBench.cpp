// What the editor costs its host's user-interface thread. The main thread acts as a host's
// user-interface thread: it opens the editor in a real window and, every 10 ms or every 50 ms,
// first handles its window's pending events (on Windows: empties its message queue with
// PeekMessage, as most hosts do) and then sends effEditIdle. Meanwhile an audio thread plays
// a phrase of plucked notes through processReplacing in blocks paced to the wall clock.
//
// Printed for each idle period, from the second second on: the work inside one effEditIdle
// with the refresh's pacing sleep taken out (median, 99th percentile, maximum), the pacing sleep
// on its own (Linux only), how long the queue took to run empty before each idle (on Windows it
// holds the graph's timer passes), the share of the thread's wall time spent in the plug-in
// besides sleeping, and the thread's CPU share. Drains are also measured without the machine's
// own pauses within them (PauseWatch.h), which stop a core whatever runs on it. Needs a display:
// on Linux run it under scripts/xvfb.sh; the Windows build under wine with an X display.
// --scale F opens the editor at that scale, as a host on a high-resolution screen asks.
#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/PauseWatch.h"
#include "gui/vst2/aeffect.h"
#include "tools/vsthost/HostWindow.h"
#include "tools/vsthost/SignalGenerator.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;

double milliseconds(SteadyClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The refresh's pacing sleep, timed on the user-interface thread inside effEditIdle. On Linux the
// program is linked with --wrap around nanosleep, through which the system clock sleeps, so the
// plug-in itself carries no instrumentation; on Windows the sleep is not told apart.
thread_local bool insideIdle = false;
SteadyClock::duration slept{};

} // namespace

#ifndef _WIN32
extern "C" int __real_nanosleep(const timespec* duration, timespec* rest);
extern "C" int __wrap_nanosleep(const timespec* duration, timespec* rest) {
    if (!insideIdle) return __real_nanosleep(duration, rest);
    const auto start = SteadyClock::now();
    const int result = __real_nanosleep(duration, rest);
    slept += SteadyClock::now() - start;
    return result;
}
#endif

namespace {

double threadCpuMilliseconds() {
#ifdef _WIN32
    FILETIME creation, exit, kernel, user;
    GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
#else
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
#endif
}

// The host's handling of its window's events before an idle call; answers how long it took.
double drainEvents(tarn::HostWindow& window, bool& emptied) {
    const auto start = SteadyClock::now();
#ifdef _WIN32
    // Until the queue is empty, as a host's loop does; a queue that never empties is cut after
    // a second so that the run ends.
    emptied = false;
    MSG message;
    while (SteadyClock::now() - start < std::chrono::seconds(1)) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            emptied = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
#else
    window.processEvents();
    emptied = true;
#endif
    (void)window;
    return milliseconds(SteadyClock::now() - start);
}

struct Percentiles {
    double median, p99, max, mean;
};

Percentiles percentiles(std::vector<double> values) {
    if (values.empty()) return {0, 0, 0, 0};
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values) sum += v;
    const std::size_t n = values.size();
    return {values[n / 2], values[std::min(n - 1, n * 99 / 100)], values.back(), sum / static_cast<double>(n)};
}

void playAudio(AEffect* e, const std::vector<float>& left, const std::vector<float>& right, std::atomic<bool>& done) {
    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    float* inputs[2] = {inL.data(), inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    const auto period = std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(kBlock / kRate));
    std::size_t position = 0;
    for (auto due = SteadyClock::now(); !done; due += period) {
        for (int i = 0; i < kBlock; ++i) {
            inL[i] = left[(position + i) % left.size()];
            inR[i] = right[(position + i) % right.size()];
        }
        position = (position + kBlock) % left.size();
        e->processReplacing(e, inputs, outputs, kBlock);
        std::this_thread::sleep_until(due + period);
    }
}

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

bool run(int periodMs, double seconds, double scale, const std::vector<float>& left, const std::vector<float>& right) {
    AEffect* e = VSTPluginMain(host);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, kRate);
    e->dispatcher(e, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    // Threshold -30 dB with a soft knee, 8:1, attack 1 ms, release 100 ms, as in the demo.
    const float settings[][2] = {{1, 0.6875f}, {2, 0.9f}, {3, 0.368421f}, {4, 0.f}, {5, 0.049525f}, {6, 0.75f}};
    for (const auto& s : settings) e->setParameter(e, static_cast<VstInt32>(s[0]), s[1]);

    // The editor's scale, as hosts on high-resolution screens send it (PreSonus's convention).
    if (scale > 0)
        e->dispatcher(e, effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'), nullptr,
                      static_cast<float>(scale));
    ERect* rect = nullptr;
    e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0.0f);
    const int width = rect ? rect->right - rect->left : 550;
    const int height = rect ? rect->bottom - rect->top : 375;
    std::string error;
    std::unique_ptr<tarn::HostWindow> window = tarn::HostWindow::create(width, height, "editorIdleBench", error);
    if (!window || e->dispatcher(e, effEditOpen, 0, 0, window->handle(), 0.0f) != 1) {
        std::printf("the editor did not open%s%s\n", error.empty() ? "" : ": ", error.c_str());
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        return false;
    }
    std::atomic<bool> done{false};
    std::thread audio(playAudio, e, std::cref(left), std::cref(right), std::ref(done));

    std::vector<double> work, sleep, drain;
    std::vector<tarn::PauseWatch::Pause> drainTimes;
    tarn::PauseWatch pauseWatch;
    long notEmptied = 0;
    double inside = 0;
    const auto period = std::chrono::milliseconds(periodMs);
    const auto start = SteadyClock::now();
    const auto measured = start + std::chrono::seconds(1);
    const auto end = start + std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(seconds));
    double cpuStart = 0;
    SteadyClock::time_point wallStart{};
    bool measuring = false;
    for (auto due = start; SteadyClock::now() < end; due += period) {
        if (!measuring && SteadyClock::now() >= measured) {
            measuring = true;
            cpuStart = threadCpuMilliseconds();
            wallStart = SteadyClock::now();
        }
        bool emptied = false;
        const auto drainStart = SteadyClock::now();
        const double drained = drainEvents(*window, emptied);
        const auto drainEnd = SteadyClock::now();
        slept = {};
        insideIdle = true;
        const auto idleStart = SteadyClock::now();
        e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
        const double total = milliseconds(SteadyClock::now() - idleStart);
        insideIdle = false;
        const double sleptMs = milliseconds(slept);
        if (measuring) {
            work.push_back(total - sleptMs);
            sleep.push_back(sleptMs);
            drain.push_back(drained);
            drainTimes.push_back({drainStart, drainEnd});
            inside += total - sleptMs + drained;
            if (!emptied) ++notEmptied;
        }
        std::this_thread::sleep_until(due + period);
        // A host that fell behind does not try to catch up.
        if (SteadyClock::now() > due + 2 * period) due = SteadyClock::now() - period;
    }
    const double wall = milliseconds(SteadyClock::now() - wallStart);
    const double cpu = threadCpuMilliseconds() - cpuStart;
    done = true;
    audio.join();
    const std::vector<tarn::PauseWatch::Pause> pauses = pauseWatch.stop();
    e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
    bool emptied = false;
    drainEvents(*window, emptied);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);

    const Percentiles w = percentiles(work), d = percentiles(drain);
    std::printf("host idles every %d ms: %zu idle calls\n", periodMs, work.size());
#ifdef _WIN32
    const char* workLabel = "  effEditIdle, pacing sleep included           ";
#else
    const char* workLabel = "  work inside effEditIdle (pacing sleep excluded)";
#endif
    std::printf("%s median %6.2f  p99 %6.2f  max %6.2f ms\n", workLabel, w.median, w.p99,
                w.max);
#ifndef _WIN32
    const Percentiles s = percentiles(sleep);
    std::printf("  pacing sleep inside effEditIdle                 median %6.2f  p99 %6.2f  mean %5.2f ms\n", s.median, s.p99,
                s.mean);
#endif
    std::printf("  event queue drained before each idle            median %6.2f  p99 %6.2f  max %6.2f ms", d.median, d.p99,
                d.max);
    if (notEmptied > 0) std::printf("  (%ld drains cut after 1 s)", notEmptied);
#ifdef _WIN32
    const char* insideLabel = "in the plug-in, pacing sleep included";
#else
    const char* insideLabel = "in the plug-in besides the pacing sleep";
#endif
    int longDrains = 0;
    double longestBesides = 0;
    for (const auto& d : drainTimes) {
        if (d.milliseconds() > 20.0) ++longDrains;
        longestBesides = std::max(longestBesides, tarn::PauseWatch::besidesPauses(pauses, d.from, d.to));
    }
    double longestPause = 0;
    for (const auto& p : pauses) longestPause = std::max(longestPause, p.milliseconds());
    std::printf("\n  drains over 20 ms: %d; longest drain besides the machine's pauses within it: %.2f ms\n"
                "  pauses of the machine (a core waking over 4 ms late): %zu, longest %.1f ms",
                longDrains, longestBesides, pauses.size(), longestPause);
    std::printf("\n  UI thread: %.0f%% of its wall time %s, CPU share %.0f%%\n", 100.0 * inside / wall, insideLabel,
                100.0 * cpu / wall);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 6.0;
    double scale = 0.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(2.0, std::atof(argv[i + 1]));
        if (std::strcmp(argv[i], "--scale") == 0) scale = std::max(0.0, std::atof(argv[i + 1]));
    }

    const std::size_t frames = static_cast<std::size_t>(kRate) * 4;
    std::vector<float> left, right;
    for (double v : tarn::generateSignal(tarn::Signal::Phrase, 0.9, 110.0, kRate, 0, frames)) left.push_back(static_cast<float>(v));
    for (double v : tarn::generateSignal(tarn::Signal::Phrase, 0.9, 110.0, kRate, 1, frames)) right.push_back(static_cast<float>(v));
    std::printf("editor idle: the phrase playing at 44.1 kHz in blocks of %d on another thread; %g s per run, "
                "figures from the second second on; scale %g\n",
                kBlock, seconds, scale > 0 ? scale : 1.0);
    for (int period : {10, 50})
        if (!run(period, seconds, scale, left, right)) return 1;
    return 0;
}
