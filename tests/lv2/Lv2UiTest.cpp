// The LV2 UI as a host loads it, in a real X window.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <string>
#include <vector>

#include "../gui/TestWindow.h"
#include "lv2/Ports.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using tarn::lv2::kFirstControl;

// What the UI asked of the host, in order: "touch PORT on|off", "write PORT VALUE".
std::vector<std::string> requests;

void write(LV2UI_Controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    float value = 0;
    if (size == sizeof value && format == 0) std::memcpy(&value, buffer, sizeof value);
    requests.push_back("write " + std::to_string(port) + " " + std::to_string(value));
}

void touch(LV2UI_Feature_Handle, uint32_t port, bool grabbed) {
    requests.push_back("touch " + std::to_string(port) + (grabbed ? " on" : " off"));
}

// What the library allocates once as it loads (its own C++ runtime's reserve for exceptions, its
// table of images) is lost when it unloads, as in any host that unloads it: the leak checker
// overlooks it.
void* loadUi() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler loading;
#endif
    return dlopen(TARN_LV2_UI, RTLD_NOW | RTLD_LOCAL);
}

} // namespace

TEST(Lv2Ui, AKnobDragTouchesItsControlPortAndWritesItInItsUnit) {
    TestWindow window(600, 400);
    void* library = loadUi();
    ASSERT_NE(library, nullptr) << dlerror();
    auto descriptorOf = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(descriptorOf, nullptr);
    const LV2UI_Descriptor* descriptor = descriptorOf(0);
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);

    LV2UI_Touch touchInterface{nullptr, touch};
    const LV2_Feature parent{LV2_UI__parent, window.handle()};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature touchFeature{LV2_UI__touch, &touchInterface};
    const LV2_Feature* features[] = {&parent, &idleFeature, &touchFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui = descriptor->instantiate(descriptor, tarn::lv2::kPluginUri, "", write, nullptr, &widget, features);
    ASSERT_NE(ui, nullptr);
    const auto editor = static_cast<Window>(reinterpret_cast<uintptr_t>(widget));
    idle->idle(ui);

    // The input gain's knob, centred at 43, 50: grabbed at the top (0 dB), turned to the right.
    auto pointer = [&](XEvent event) {
        window.send(editor, event);
        idle->idle(ui);
    };
    pointer(TestWindow::pointerEvent(ButtonPress, Button1, 0, 43, 25));
    XEvent motion{};
    motion.type = MotionNotify;
    motion.xmotion.state = Button1Mask;
    motion.xmotion.x = 68;
    motion.xmotion.y = 50;
    motion.xmotion.same_screen = True;
    pointer(motion);
    pointer(TestWindow::pointerEvent(ButtonRelease, Button1, Button1Mask, 68, 50));
    const std::string port = std::to_string(kFirstControl);
    EXPECT_EQ(requests, (std::vector<std::string>{"touch " + port + " on", "write " + port + " 16.000000",
                                                  "touch " + port + " off"}));

    descriptor->cleanup(ui);
    dlclose(library);
}
