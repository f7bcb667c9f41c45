#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "SanitizerSettings.h"

// vsthost's editor command run as a program on the toy plug-in: the editor opens in vsthost's
// window while audio plays, and the screenshot shows the label, the knob and the GL view.
namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

std::string tempPath(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "vsthost_editor_" + test->name() + "_" + name;
}

// Under a sanitizer vsthost checks what the tests check.
Outcome vsthost(const std::string& args) {
    const std::string out = tempPath("stdout");
    const std::string leaks = tempPath("leaks.supp");
    const std::string races = tempPath("races.supp");
    std::ofstream(leaks) << kLeakSuppressions;
    std::ofstream(races) << kRaceSuppressions;
    const std::string command = "LSAN_OPTIONS=suppressions=" + leaks + " TSAN_OPTIONS=\"$TSAN_OPTIONS suppressions=" +
                                races + "\" ASAN_OPTIONS=" + kAddressSanitizerOptions + " '" + VSTHOST_PATH + "' " +
                                args + " >'" + out + "'";
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream file(out);
    std::stringstream text;
    text << file.rdbuf();
    run.out = text.str();
    return run;
}

// Red, green and blue of the screenshot at x, y, as 0xRRGGBB.
uint32_t pixel(cairo_surface_t* png, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xffffffu;
}

} // namespace

TEST(VsthostEditor, ShowsTheToyEditorWhileAudioPlaysAndSavesAScreenshot) {
    const std::string shot = tempPath("shot.png");
    const Outcome run = vsthost("editor '" + std::string(TOY_PLUGIN_PATH) + "' --seconds 0.5 --screenshot '" + shot + "'");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("editor 240 x 120, ", 0), 0u) << run.out;

    cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 240);
    EXPECT_EQ(pixel(png, 30, 30), 0x00ff00u);   // the knob at 1: its last frame, all green
    EXPECT_EQ(pixel(png, 61, 11), 0x0000ffu);   // the label's background, inside its frame
    EXPECT_EQ(pixel(png, 200, 60), 0xff00ffu);  // the GL view's clear colour
    EXPECT_EQ(pixel(png, 100, 80), 0x000000u);  // the frame without a background
    cairo_surface_destroy(png);
}

TEST(VsthostEditor, ParameterSettingsReachTheEditor) {
    const std::string shot = tempPath("shot.png");
    const Outcome run = vsthost("editor '" + std::string(TOY_PLUGIN_PATH) + "' --seconds 0.1 --screenshot '" + shot +
                            "' 0=0.5");
    ASSERT_EQ(run.status, 0);
    cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    // Frame 9 of 20: green over the left 9/19 of the knob.
    EXPECT_EQ(pixel(png, 20, 30), 0x00ff00u);
    EXPECT_EQ(pixel(png, 40, 30), 0x000000u);
    cairo_surface_destroy(png);
}

TEST(VsthostEditor, RefusesAPluginWithoutEditorAndBadOptions) {
    EXPECT_EQ(vsthost("editor").status, 2);
    EXPECT_EQ(vsthost("editor x --seconds -1").status, 2);
    EXPECT_EQ(vsthost("editor /nonexistent.so 2>/dev/null").status, 1);
}
