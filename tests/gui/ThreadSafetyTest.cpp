#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "Recorders.h"
#include "TestWindow.h"
#include "tests/WaitUntil.h"

// The editor's setParameter may run on the audio thread while the frame draws: control
// values and dirty marks from one thread, label texts from another, at full speed.
TEST(ThreadSafety, ValuesAndTextsChangeFromOtherThreadsWhileTheFrameDraws) {
    TestWindow window;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), window.handle(), nullptr);
    auto* strip = new CBitmap(20, 20 * 50);
    auto* knob = new CAnimKnob(CRect(0, 0, 20, 20), nullptr, 0, strip);
    strip->forget();
    auto* label = new CTextLabel(CRect(30, 0, 130, 20), "0");
    frame->addView(knob);
    frame->addView(label);

    std::atomic<bool> running{true};
    std::atomic<long> values{0};
    std::atomic<long> texts{0};
    std::thread audio([&] {
        for (long i = 0; running.load(std::memory_order_relaxed); ++i) {
            knob->setValue(static_cast<float>(i % 1000) / 1000.f);
            label->setDirty(true);
            values.fetch_add(1, std::memory_order_relaxed);
        }
    });
    std::thread other([&] {
        for (long i = 0; running.load(std::memory_order_relaxed); ++i) {
            label->setText(std::to_string(i).c_str());
            texts.fetch_add(1, std::memory_order_relaxed);
        }
    });
    // A count of idles and of changes, not a time: under the thread sanitizer one idle can take long.
    int idles = 0;
    bool negative = false;
    const bool progressed = tarn::test::waitUntil([&] { return idles >= 20 && values.load() >= 1000 && texts.load() >= 100; },
                                                  [&] {
                                                      frame->idle();
                                                      negative = negative || knob->getValue() < 0.f;
                                                      ++idles;
                                                  });
    running = false;
    audio.join();
    other.join();
    EXPECT_TRUE(progressed) << idles << " idles, " << values << " values, " << texts << " texts";
    EXPECT_FALSE(negative);
    frame->forget();
}
