#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>

#include "tests/windows/gui/Win32TestWindow.h"

// vsthost.exe's editor command on the toy plug-in, run as a program: the editor opens in a
// top-level window while another thread plays audio, idles about 60 times a second, and
// writes a screenshot with GDI+ in which the OpenGL view shows too.
namespace {

using tarn::programFolder;
using namespace Gdiplus::DllExports;

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome vsthost(const std::string& arguments) {
    const std::string command = "\"\"" + programFolder() + "..\\..\\vsthost.exe\" " + arguments + "\"";
    Outcome run;
    FILE* pipe = _popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.out += buffer;
    run.status = _pclose(pipe);
    return run;
}

// A PNG file decoded by GDI+, read pixel by pixel as 0xRRGGBB.
class Png {
public:
    explicit Png(const std::string& path) {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        const std::wstring wide(path.begin(), path.end());
        if (GdipCreateBitmapFromFile(wide.c_str(), &bitmap) != Gdiplus::Ok) bitmap = nullptr;
    }
    ~Png() {
        if (bitmap) GdipDisposeImage(bitmap);
        Gdiplus::GdiplusShutdown(token);
    }
    Png(const Png&) = delete;
    Png& operator=(const Png&) = delete;

    bool loaded() const { return bitmap != nullptr; }
    UINT width() const {
        UINT value = 0;
        GdipGetImageWidth(bitmap, &value);
        return value;
    }
    UINT height() const {
        UINT value = 0;
        GdipGetImageHeight(bitmap, &value);
        return value;
    }
    uint32_t pixel(int x, int y) const {
        Gdiplus::ARGB colour = 0;
        GdipBitmapGetPixel(bitmap, x, y, &colour);
        return colour & 0xffffffu;
    }

private:
    ULONG_PTR token = 0;
    Gdiplus::GpBitmap* bitmap = nullptr;
};

} // namespace

TEST(VsthostEditor, ShowsTheToyEditorWhileAudioPlaysAndSavesAScreenshotWithTheOpenGLView) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH - 1, temp);
    const std::string shot = std::string(temp) + "vsthost_editor_toy.png";
    DeleteFileA(shot.c_str());
    const Outcome run = vsthost("editor \"" + programFolder() + "toy_editor_plugin.dll\" --seconds 2 --screenshot \"" + shot +
                            "\" 0=0.5");
    ASSERT_EQ(run.status, 0) << run.out;
    // About 60 idle calls a second, and audio played in real time all along (a little longer
    // than the two seconds of idling).
    int idles = 0;
    long blocks = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "editor 240 x 120, %d idle calls, %ld audio blocks", &idles, &blocks), 2)
        << run.out;
    EXPECT_NEAR(idles, 120, 20);
    EXPECT_GE(blocks, 2 * 44100 / 512 - 10);
    EXPECT_LE(blocks, 4 * 44100 / 512);

    Png png(shot);
    ASSERT_TRUE(png.loaded());
    EXPECT_EQ(png.width(), 240u);
    EXPECT_EQ(png.height(), 120u);
    // The knob at 0.5: frame 9 or 10 of 20, green over about the left half.
    EXPECT_EQ(png.pixel(15, 30), 0x00ff00u);
    EXPECT_EQ(png.pixel(45, 30), 0x000000u);
    EXPECT_EQ(png.pixel(61, 11), 0x0000ffu);   // the label's background
    EXPECT_EQ(png.pixel(200, 60), 0xff00ffu);  // the OpenGL view's clear colour
    EXPECT_EQ(png.pixel(100, 80), 0x000000u);  // the frame without a background
    DeleteFileA(shot.c_str());
}

TEST(VsthostEditor, RefusesAPluginWithoutEditor) {
    const Outcome run = vsthost("editor \"" + programFolder() + "fixture_no_entry.dll\" 2>NUL");
    EXPECT_EQ(run.status, 1);
}
