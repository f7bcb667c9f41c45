// Prints two figures of the graph view:
// - how long one updateFromEngine takes (without the engine lock), as the editor's refresh does it
//   60.78 times per second with 44.1 kHz audio running in between (about 16 new history steps
//   each time), and for comparison the same with every level converted (a new view's first
//   update);
// - the CPU time on the calling thread of one drawing pass into a real GLX surface, beside its
//   wall-clock time and the CPU time of the whole process (Mesa's llvmpipe rasterises on
//   threads of its own). This part needs an X display with GLX: run it under xvfb-run.
//   --scale F draws the graph at that scale of the editor (720 x 480 at 2).
#include <X11/Xlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>
#include <vector>

#include "dsp/CompressorEngine.h"
#include "gui/vstgui.h"
#include "views/ZuGLGraph.h"

using namespace VSTGUI;

namespace {

constexpr float kRate = 44100.f;
// Frames between two refreshes of the editor at 60.7777 per second.
constexpr int kFramesPerRefresh = 726;

std::unique_ptr<tarn::CompressorEngine> makeEngine() {
    auto engine = std::make_unique<tarn::CompressorEngine>();
    engine->sampleRate = kRate;
    engine->init();
    engine->setThresholdDb(-24.f);
    engine->setKneeDb(-8.f);
    engine->setRatio(6.f);
    engine->setAttackMs(10.f);
    engine->setReleaseMs(150.f);
    return engine;
}

// Notes of falling loudness every quarter second, so the levels keep changing.
void play(tarn::CompressorEngine& engine, long& frame, int frames) {
    double left = 0;
    double right = 0;
    for (int i = 0; i < frames; ++i, ++frame) {
        const double t = static_cast<double>(frame % 11025) / kRate;
        const double amplitude = (0.2 + 0.7 * static_cast<double>((frame / 11025) % 4) / 3) * std::exp(-t / 0.12);
        const double x = amplitude * std::sin(2 * 3.14159265358979 * 220 * t);
        engine.processSample(x, x, &left, &right, kRate);
    }
}

struct Figures {
    double median;
    double mean;
    double p99;
    double max;
};

Figures summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values) sum += v;
    return {values[values.size() / 2], sum / static_cast<double>(values.size()), values[values.size() * 99 / 100],
            values.back()};
}

void print(const char* what, const Figures& f, const char* unit) {
    std::printf("%-52s median %8.2f  mean %8.2f  p99 %8.2f  max %8.2f %s\n", what, f.median, f.mean, f.p99, f.max, unit);
}

double microseconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double cpuMicroseconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

void benchUpdate() {
    constexpr int kRefreshes = 3000;
    auto engine = makeEngine();
    long frame = 0;
    auto graph = owned(new ZuGLGraph(CRect(5, 120, 365, 360)));
    play(*engine, frame, 45 * 1600);
    graph->updateFromEngine(*engine);

    std::vector<double> incremental;
    std::vector<double> full;
    std::vector<double> conversion;
    for (int r = 0; r < kRefreshes; ++r) {
        play(*engine, frame, kFramesPerRefresh);
        auto start = std::chrono::steady_clock::now();
        graph->updateFromEngine(*engine);
        incremental.push_back(microseconds(std::chrono::steady_clock::now() - start));
        // What the next drawing pass reads, converted there.
        graph->getInputDb().data();
        graph->getOutputDb().data();

        auto fresh = owned(new ZuGLGraph(CRect(5, 120, 365, 360)));
        start = std::chrono::steady_clock::now();
        fresh->updateFromEngine(*engine);
        full.push_back(microseconds(std::chrono::steady_clock::now() - start));
        start = std::chrono::steady_clock::now();
        fresh->getInputDb().data();
        fresh->getOutputDb().data();
        conversion.push_back(microseconds(std::chrono::steady_clock::now() - start));
    }
    std::printf("updateFromEngine, %d refreshes of %d frames at 44.1 kHz:\n", kRefreshes, kFramesPerRefresh);
    print("  new levels only (the view's refresh)", summarise(incremental), "us");
    print("  first update of a new view (every level copied)", summarise(full), "us");
    std::printf("converting a new view's 3000 levels to dB afterwards:\n");
    print("  at its first drawing pass", summarise(conversion), "us");
}

void benchDraw(double scale) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::printf("drawing pass: no X display (run under xvfb-run)\n");
        return;
    }
    const auto px = [scale](double layout) { return std::round(layout * scale); };
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(px(550)),
                                              static_cast<unsigned>(px(375)), 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    {
        auto* frame = new CFrame(CRect(0, 0, px(550), px(375)), reinterpret_cast<void*>(static_cast<uintptr_t>(window)),
                                 nullptr);
        const CRect graphRect(px(5), px(120), px(365), px(360));
        auto* graph = new ZuGLGraph(graphRect, scale);
        frame->addView(graph);
        if (!graph->getPlatformOpenGLView()) {
            std::printf("drawing pass: no GLX surface\n");
        } else {
            auto engine = makeEngine();
            long position = 0;
            play(*engine, position, 45 * 1600);
            graph->updateFromEngine(*engine);
            constexpr int kPasses = 300;
            for (int i = 0; i < 20; ++i) graph->draw(nullptr);
            std::vector<double> thread;
            std::vector<double> wall;
            std::vector<double> process;
            for (int i = 0; i < kPasses; ++i) {
                frame->idle();
                const double threadStart = cpuMicroseconds(CLOCK_THREAD_CPUTIME_ID);
                const double processStart = cpuMicroseconds(CLOCK_PROCESS_CPUTIME_ID);
                const auto start = std::chrono::steady_clock::now();
                graph->draw(nullptr);
                wall.push_back(microseconds(std::chrono::steady_clock::now() - start) / 1000);
                thread.push_back((cpuMicroseconds(CLOCK_THREAD_CPUTIME_ID) - threadStart) / 1000);
                process.push_back((cpuMicroseconds(CLOCK_PROCESS_CPUTIME_ID) - processStart) / 1000);
            }
            std::printf("drawing pass, %g x %g GLX surface on Mesa llvmpipe, %d passes:\n", graphRect.getWidth(),
                        graphRect.getHeight(), kPasses);
            print("  CPU time of the calling thread", summarise(thread), "ms");
            print("  wall-clock time", summarise(wall), "ms");
            print("  CPU time of the process (llvmpipe threads too)", summarise(process), "ms");
        }
        frame->forget();
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

} // namespace

int main(int argc, char** argv) {
    double scale = 1.0;
    if (argc == 3 && std::string(argv[1]) == "--scale") scale = std::clamp(std::atof(argv[2]), 1.0, 3.0);
    benchUpdate();
    benchDraw(scale);
    return 0;
}
