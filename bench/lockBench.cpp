// Prints what taking and leaving a lock around every frame costs, in nanoseconds per stereo
// frame: the engine alone on compressed noise, then the same frames each inside the engine
// lock, and inside the reentrant lock the operating system offers (a pthread recursive mutex on
// Linux, a critical section on Windows).
// Each figure is the best of several runs, which filters out other load on the machine.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "dsp/CompressorEngine.h"
#include "platform/Lock.h"
#include "platform/platform.h"

#if defined(TARN_LINUX)
#include <pthread.h>
#else
#include <windows.h>
#endif

namespace {

constexpr float kRate = 48000.0f;
constexpr int kFrames = 48000 / 2;
constexpr int kRuns = 200;

struct NoLock {
    void enter() {}
    void leave() {}
};

// The engine lock as the audio thread takes it: through its fast side.
struct EngineLock {
    void enter() { side.enter(); }
    void leave() { side.leave(); }
    tarn::Lock lock;
    tarn::Lock::FastSide side{lock};
};

#if defined(TARN_LINUX)
struct RecursiveMutex {
    RecursiveMutex() {
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
        pthread_mutex_init(&mutex, &attributes);
        pthread_mutexattr_destroy(&attributes);
    }
    ~RecursiveMutex() { pthread_mutex_destroy(&mutex); }
    void enter() { pthread_mutex_lock(&mutex); }
    void leave() { pthread_mutex_unlock(&mutex); }
    pthread_mutex_t mutex;
};
#else
struct CriticalSection {
    CriticalSection() { InitializeCriticalSection(&section); }
    ~CriticalSection() { DeleteCriticalSection(&section); }
    void enter() { EnterCriticalSection(&section); }
    void leave() { LeaveCriticalSection(&section); }
    CRITICAL_SECTION section;
};
#endif

void setUp(tarn::CompressorEngine& e) {
    e.sampleRate = kRate;
    e.init();
    // Threshold -30 dB, ratio 4:1, the default attack and release: noise at about -10 dBFS RMS
    // is reduced by about 10 dB.
    e.setThresholdDb(-30.0);
    e.setRatio(4.0);
    e.setAttackMs(49.67);
    e.setReleaseMs(299.85);
}

// One pass over the signal, every frame inside a lock of the type; answers nanoseconds per frame.
template <typename LockType>
double pass(tarn::CompressorEngine& engine, const std::vector<double>& left, const std::vector<double>& right) {
    LockType lock;
    double sink = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < left.size(); ++i) {
        double l;
        double r;
        lock.enter();
        engine.processSample(left[i], right[i], &l, &r, kRate);
        lock.leave();
        sink += l;
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    // Keeps the outputs alive, so that the loop is not optimised away.
    if (sink == 12345.678) std::printf(" ");
    return took.count() / static_cast<double>(left.size());
}

// The best pass of each kind; the kinds take turns, so that they all see the same other load.
template <typename... Locks>
std::vector<double> bestPasses(const std::vector<double>& left, const std::vector<double>& right) {
    tarn::CompressorEngine engine;
    setUp(engine);
    std::vector<double> best(sizeof...(Locks), 1e30);
    for (int run = 0; run < kRuns; ++run) {
        std::size_t kind = 0;
        ((best[kind] = std::min(best[kind], pass<Locks>(engine, left, right)), ++kind), ...);
    }
    return best;
}

} // namespace

int main() {
    std::mt19937 random(1);
    std::normal_distribution<double> gauss(0.0, 0.316);
    std::vector<double> left(kFrames);
    std::vector<double> right(kFrames);
    for (int i = 0; i < kFrames; ++i) left[i] = right[i] = gauss(random);

#if defined(TARN_LINUX)
    const std::vector<double> best = bestPasses<NoLock, EngineLock, RecursiveMutex>(left, right);
    const char* other = "pthread recursive mutex:      ";
#else
    const std::vector<double> best = bestPasses<NoLock, EngineLock, CriticalSection>(left, right);
    const char* other = "critical section:             ";
#endif
    std::printf("engine alone:                  %6.2f ns per stereo frame\n", best[0]);
    std::printf("engine lock around each frame: %6.2f ns per stereo frame (lock: %+.2f)\n", best[1], best[1] - best[0]);
    std::printf("%s %6.2f ns per stereo frame (lock: %+.2f)\n", other, best[2], best[2] - best[0]);
    return 0;
}
