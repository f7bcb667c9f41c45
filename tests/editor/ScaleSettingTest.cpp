#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/ScaleSetting.h"
#include "tests/editor/OwnSettingsFolder.h"
#include "platform/UserSettings.h"

// The user's chosen scale in the user's settings, in a folder of the test's own.
namespace {

class ScaleSetting : public OwnSettingsFolder {};

} // namespace

TEST_F(ScaleSetting, IsKeptBesideOtherSettingsAndReadBack) {
    EXPECT_EQ(tarn::readChosenScale(), 0.0);
    ASSERT_TRUE(tarn::writeUserSettings("theme=dark\nscale=1.5\n"));
    EXPECT_EQ(tarn::readChosenScale(), 1.5);
    ASSERT_TRUE(tarn::writeChosenScale(2.5));
    EXPECT_EQ(tarn::readChosenScale(), 2.5);
    EXPECT_EQ(tarn::readUserSettings(), "theme=dark\nscale=2.5\n");
}

TEST_F(ScaleSetting, ALineThatIsNoUsableNumberIsNoChoice) {
    for (const char* text : {"scale=\n", "scale=big\n", "scale=-2\n", "scale=nan\n", "scale=0\n"}) {
        ASSERT_TRUE(tarn::writeUserSettings(text));
        EXPECT_EQ(tarn::readChosenScale(), 0.0) << text;
    }
}
