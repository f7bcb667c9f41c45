#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "EditorHost.h"

// Run under the thread sanitizer: the host's audio thread processes and automates every
// parameter, the user-interface thread opens, idles, changes the program and closes the
// editor, and a third thread changes programs, all at once. The views are touched on the
// user-interface thread only; every other thread reaches them through the editor's marks.
TEST(EditorThreads, AudioAutomationProgramChangesAndTheEditorRunTogether) {
    EditorHost host;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* io[2] = {left.data(), right.data()};
        for (int block = 0; !done; ++block) {
            for (int i = 0; i < 256; ++i) left[i] = right[i] = 0.5f * ((i + block) % 32 < 16 ? 1.f : -1.f);
            host.effect->processReplacing(host.effect, io, io, 256);
            for (int p = 0; p < 9; ++p) host.set(p, static_cast<float>((block + p) % 11) / 10.f);
        }
    });
    std::thread programs([&] {
        while (!done) host.dispatch(effSetProgram, 0, 0);
    });
    // The workers are stopped and joined before any assertion ends the test.
    int opened = 0;
    for (int cycle = 0; cycle < 6; ++cycle) {
        if (!host.open()) break;
        ++opened;
        host.idle(2);
        host.dispatch(effSetProgram, 0, 0);
        host.idle(3);
        host.close();
    }
    done = true;
    audio.join();
    programs.join();
    ASSERT_EQ(opened, 6);
    ASSERT_TRUE(host.open());
    host.idle();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(host.gui().getKnob(i)->getValue(), std::fmin(host.get(i), 1.f));
}

// A program change sets the parameters with the engine lock held: even on the user-interface
// thread the editor only marks them then, and shows them at its next idle.
TEST(EditorThreads, AProgramChangeOnTheUserInterfaceThreadShowsItsValuesAtTheNextIdle) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.idle();
    std::thread audio([&] { host.set(0, 0.25f); });
    audio.join();
    host.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(host.valueText(0), "0.0 db");
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(host.gui().getValueLabel(i)->isDirty()) << "value text " << i;
    host.idle();
    EXPECT_EQ(host.valueText(0), "-12.0 db");
    EXPECT_FLOAT_EQ(host.gui().getKnob(0)->getValue(), 0.25f);
}
