#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "EditorHost.h"
#include "tests/editor/OwnSettingsFolder.h"
#include "tests/WaitUntil.h"
#include "views/ZuGLGraph.h"

using namespace VSTGUI;

// The scale menu on the editor's background, clicked through the X server as a user would
// (XTest moves the pointer and presses its buttons), with the user's settings in a folder of
// the test's own.
namespace {

class ScaleMenu : public OwnSettingsFolder {
protected:
    void TearDown() override {
        EditorHost::canSizeWindow() = false;
        OwnSettingsFolder::TearDown();
    }
    std::string settings() const {
        std::ifstream file(settingsFile());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // Moves the pointer to x, y of the editor and clicks button there; the editor handles the
    // events at its idle.
    void click(EditorHost& host, int x, int y, unsigned int button) {
        Display* display = host.window.display();
        int rootX = 0;
        int rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display, host.frameWindow(), DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
        XSync(display, False);
    }
    void idleUntil(EditorHost& host, const std::function<bool()>& done) {
        EXPECT_TRUE(tarn::test::waitUntil(done, [&] { idleAndWaitForEvents(host.gui().getFrame()); }));
    }
};

} // namespace

TEST_F(ScaleMenu, ARightClickOnTheBackgroundChoosesAScaleThatOutlivesTheWindowAndTheInstance) {
    int major = 0;
    int minor = 0;
    int event = 0;
    int error = 0;
    EditorHost host;
    ASSERT_TRUE(XTestQueryExtension(host.window.display(), &event, &error, &major, &minor));
    EditorHost::canSizeWindow() = true;
    ASSERT_TRUE(host.open());
    host.idle();
    // The background right of the scale.
    click(host, 545, 200, Button3);
    idleUntil(host, [&] { return host.gui().getScaleMenu() != nullptr; });
    COptionMenu* menu = host.gui().getScaleMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->getNbEntries(), 7);
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    // The list lies inside the window and hides no part of itself under the graph.
    const CRect entry = menu->getEntryRect(4);
    EXPECT_TRUE(CRect(0, 0, 550, 375).rectOverlap(entry));
    click(host, static_cast<int>(entry.getCenter().x), static_cast<int>(entry.getCenter().y), Button1);
    idleUntil(host, [&] { return host.gui().getFrame()->getWidth() == 1100; });
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 1100, 750));
    EXPECT_EQ(host.gui().getScaleMenu(), nullptr);
    const std::vector<RecordedCall> calls = EditorHost::recorded();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().opcode, audioMasterSizeWindow);
    EXPECT_EQ(calls.back().index, 1100);
    EXPECT_NE(settings().find("scale=2\n"), std::string::npos) << settings();

    // It wins over the host's scale, and holds when the window opens again.
    host.dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'), nullptr, 1.5f);
    host.close();
    ASSERT_TRUE(host.open());
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 1100, 750));
    host.close();
    // Another instance opens at the user's scale too.
    EditorHost other;
    ERect* rect = nullptr;
    ASSERT_EQ(other.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 1100);
    EXPECT_EQ(rect->bottom, 750);
}

TEST_F(ScaleMenu, AClickBesideTheListClosesItWithoutAChoice) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    click(host, 10, 110, Button3);
    idleUntil(host, [&] { return host.gui().getScaleMenu() != nullptr; });
    // The graph's surface would lie over the list: it is hidden while the list is shown.
    EXPECT_FALSE(host.gui().getGraph()->isVisible());
    // The list opens down and right from the click: the top left corner lies beside it.
    click(host, 2, 2, Button1);
    idleUntil(host, [&] { return host.gui().getScaleMenu() == nullptr; });
    EXPECT_TRUE(host.gui().getGraph()->isVisible());
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 550, 375));
    EXPECT_EQ(host.gui().getFrame()->getNbViews(), 24);
    EXPECT_EQ(settings(), "");
}
