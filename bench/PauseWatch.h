#pragma once
// The machine's own pauses, to tell them apart from a benchmark's figures. On a virtual machine
// the host can take a core away for tens of milliseconds, and whatever runs on it stops, the
// code being measured included. A thread on each core sleeps 1 ms at a time; a wake-up more than
// 4 ms late is a pause, from when it was due until it came, unless the thread spent that time
// waiting behind other threads, which Linux counts for it in /proc/thread-self/schedstat (under
// wine too, through drive Z:). Where that file is missing, every late wake-up counts.
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

namespace tarn {

class PauseWatch {
public:
    using Clock = std::chrono::steady_clock;
    struct Pause {
        Clock::time_point from, to;
        double milliseconds() const { return std::chrono::duration<double, std::milli>(to - from).count(); }
    };

    PauseWatch() {
        const unsigned cores = std::max(1u, std::min(64u, std::thread::hardware_concurrency()));
        found.resize(cores);
        for (unsigned core = 0; core < cores; ++core) watchers.emplace_back([this, core] { watch(core); });
    }
    ~PauseWatch() { stop(); }
    PauseWatch(const PauseWatch&) = delete;
    PauseWatch& operator=(const PauseWatch&) = delete;

    // Stops the watch and answers the pauses of every core.
    std::vector<Pause> stop() {
        done = true;
        for (std::thread& watcher : watchers)
            if (watcher.joinable()) watcher.join();
        std::vector<Pause> all;
        for (const std::vector<Pause>& core : found) all.insert(all.end(), core.begin(), core.end());
        return all;
    }

    // How long [from, to] ran besides the pauses within it, in milliseconds.
    static double besidesPauses(const std::vector<Pause>& pauses, Clock::time_point from, Clock::time_point to) {
        std::vector<Pause> within;
        for (const Pause& p : pauses)
            if (p.from < to && p.to > from) within.push_back({std::max(p.from, from), std::min(p.to, to)});
        std::sort(within.begin(), within.end(), [](const Pause& a, const Pause& b) { return a.from < b.from; });
        // Pauses of several cores overlap: count the time any core was paused once.
        Clock::duration paused{};
        Clock::time_point reached = from;
        for (const Pause& p : within) {
            if (p.to <= reached) continue;
            paused += p.to - std::max(p.from, reached);
            reached = p.to;
        }
        return std::chrono::duration<double, std::milli>(to - from - paused).count();
    }

private:
    void watch(unsigned core) {
#ifdef _WIN32
        SetThreadAffinityMask(GetCurrentThread(), DWORD_PTR{1} << core);
#else
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(core, &set);
        pthread_setaffinity_np(pthread_self(), sizeof set, &set);
#endif
#ifdef _WIN32
        std::ifstream schedstat("Z:\\proc\\thread-self\\schedstat");
#else
        std::ifstream schedstat("/proc/thread-self/schedstat");
#endif
        // Its second figure: nanoseconds spent runnable but waiting for the core.
        const auto waited = [&schedstat]() {
            long long running = 0, waiting = 0;
            schedstat.clear();
            schedstat.seekg(0);
            schedstat >> running >> waiting;
            return std::chrono::nanoseconds(schedstat ? waiting : 0);
        };
        const auto nap = std::chrono::milliseconds(1), late = std::chrono::milliseconds(4);
        while (!done) {
            const auto waitedBefore = waited();
            const auto due = Clock::now() + nap;
            std::this_thread::sleep_for(nap);
            const auto woke = Clock::now();
            if (woke - due - (waited() - waitedBefore) > late) found[core].push_back({due, woke});
        }
    }

    std::atomic<bool> done{false};
    std::vector<std::vector<Pause>> found;
    std::vector<std::thread> watchers;
};

} // namespace tarn
