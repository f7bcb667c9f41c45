// The LV2 UI through its entry point at the host's interface scaling: the size it tells the
// host, its window, and a new scale while it is open, with and without the host's ui:resize.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../gui/TestWindow.h"
#include "lv2/Ports.h"
#include "tests/WaitUntil.h"

namespace {

const LV2UI_Descriptor* descriptor() { return lv2ui_descriptor(0); }

// A host: its window, its URID map, its options with ui:scaleFactor, and ui:resize when it
// offers it (recording each size asked for).
class Host {
public:
    Host(float scale, bool canResize) : scale(scale) {
        options[0] = {LV2_OPTIONS_INSTANCE, 0, map(LV2_UI__scaleFactor), sizeof(float), map(LV2_ATOM__Float), &this->scale};
        features.push_back(&parentFeature);
        features.push_back(&mapFeature);
        features.push_back(&optionsFeature);
        if (canResize) features.push_back(&resizeFeature);
        features.push_back(nullptr);
        const LV2UI_Descriptor* d = descriptor();
        if (d) handle = d->instantiate(d, tarn::lv2::kPluginUri, "", write, this, &widget, features.data());
    }
    ~Host() {
        if (handle) descriptor()->cleanup(handle);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // A new scale through the UI's options interface.
    void setScale(float value) {
        scale = value;
        const auto* interface =
            static_cast<const LV2_Options_Interface*>(descriptor()->extension_data(LV2_OPTIONS__interface));
        ASSERT_NE(interface, nullptr);
        EXPECT_EQ(interface->set(handle, options), 0u);
    }
    // The UI's window size as the X server has it, once it is wanted (or the deadline passed).
    std::pair<int, int> widgetSize(std::pair<int, int> wanted) {
        std::pair<int, int> size;
        tarn::test::waitUntil([&] { return (size = readSize()) == wanted; }, [] {});
        return size;
    }

    TestWindow window{1200, 800};
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    std::vector<std::pair<int, int>> resizes;

private:
    std::pair<int, int> readSize() const {
        XWindowAttributes attributes{};
        XSync(window.display(), False);
        if (!widget || !XGetWindowAttributes(window.display(), reinterpret_cast<Window>(widget), &attributes)) return {};
        return {attributes.width, attributes.height};
    }
    LV2_URID map(const char* uri) {
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    static LV2_URID mapUri(LV2_URID_Map_Handle self, const char* uri) { return static_cast<Host*>(self)->map(uri); }
    static int resize(LV2UI_Feature_Handle self, int width, int height) {
        static_cast<Host*>(self)->resizes.emplace_back(width, height);
        return 0;
    }
    static void write(LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {}

    float scale;
    std::vector<std::string> uris;
    LV2_URID_Map uridMap{this, mapUri};
    LV2UI_Resize resizer{this, resize};
    LV2_Options_Option options[2] = {};
    LV2_Feature parentFeature{LV2_UI__parent, window.handle()};
    LV2_Feature mapFeature{LV2_URID__map, &uridMap};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    LV2_Feature resizeFeature{LV2_UI__resize, &resizer};
    std::vector<const LV2_Feature*> features;
};

} // namespace

TEST(Lv2UiScale, OpensAtTheHostsScaleAndFollowsANewOne) {
    Host host(2.0f, true);
    ASSERT_NE(host.handle, nullptr);
    ASSERT_FALSE(host.resizes.empty());
    EXPECT_EQ(host.resizes.back(), (std::pair{1100, 750}));
    EXPECT_EQ(host.widgetSize({1100, 750}), (std::pair{1100, 750}));
    host.setScale(1.5f);
    EXPECT_EQ(host.resizes.back(), (std::pair{825, 563}));
    EXPECT_EQ(host.widgetSize({825, 563}), (std::pair{825, 563}));
}

TEST(Lv2UiScale, AHostThatCannotResizeKeepsTheEditorAtItsSize) {
    Host host(1.0f, false);
    ASSERT_NE(host.handle, nullptr);
    host.setScale(2.0f);
    EXPECT_EQ(host.widgetSize({550, 375}), (std::pair{550, 375}));
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(descriptor()->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->idle(host.handle), 0);
}
