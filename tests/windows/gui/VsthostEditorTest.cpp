#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/windows/gui/PngPicture.h"
#include "tests/windows/gui/VsthostProgram.h"
#include "tests/windows/gui/Win32TestWindow.h"

// vsthost.exe's editor command on the toy plug-in, run as a program: the editor opens in a
// top-level window while another thread plays audio, idles about 60 times a second, and
// writes a screenshot with GDI+ in which the OpenGL view shows too.
namespace tarn {

TEST(VsthostEditor, ShowsTheToyEditorWhileAudioPlaysAndSavesAScreenshotWithTheOpenGLView) {
    const TemporaryFile shot("vsthost_editor_toy.png");
    const VsthostRun run = runVsthost("editor \"" + programFolder() + "toy_editor_plugin.dll\" --seconds 2 --screenshot \"" +
                                      shot.path() + "\" 0=0.5");
    ASSERT_EQ(run.status, 0) << run.out;
    // At most 60 idle calls a second (a busy machine gives fewer), and audio played in real time
    // all along: at least the two seconds of idling, at most as long as the program ran.
    int idles = 0;
    long blocks = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "editor 240 x 120, %d idle calls, %ld audio blocks", &idles, &blocks), 2)
        << run.out;
    EXPECT_GE(idles, 1);
    EXPECT_LE(idles, 60 * run.seconds + 2);
    EXPECT_GE(blocks, 2 * 44100 / 512 - 10);
    EXPECT_LE(blocks, run.seconds * 44100 / 512 + 2) << run.seconds << " s";

    PngPicture png(shot.path());
    ASSERT_TRUE(png.loaded());
    EXPECT_EQ(png.width(), 240);
    EXPECT_EQ(png.height(), 120);
    // The knob at 0.5: frame 9 or 10 of 20, green over about the left half.
    EXPECT_EQ(png.pixel(15, 30), 0x00ff00u);
    EXPECT_EQ(png.pixel(45, 30), 0x000000u);
    EXPECT_EQ(png.pixel(61, 11), 0x0000ffu);   // the label's background
    EXPECT_EQ(png.pixel(200, 60), 0xff00ffu);  // the OpenGL view's clear colour
    EXPECT_EQ(png.pixel(100, 80), 0x000000u);  // the frame without a background
}

TEST(VsthostEditor, RefusesAPluginWithoutEditor) {
    const VsthostRun run = runVsthost("editor \"" + programFolder() + "fixture_no_entry.dll\" 2>NUL");
    EXPECT_EQ(run.status, 1);
}

} // namespace tarn
