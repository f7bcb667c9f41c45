#include <gtest/gtest.h>

#include <dlfcn.h>
#include <execinfo.h>

#include <cstdlib>
#include <new>

#include "editor/ZuVstGui.h"
#include "tests/gui/TestWindow.h"
#include "tests/vst2/TestHost.h"

// Every allocation of this test program goes through here, so a test can make the n-th
// allocation of its own thread from now on fail. Only the plug-in's own allocations count:
// those made for code of this program, directly or through the standard library. The
// system's libraries (Mesa's shader compiler among them) do not all survive a failure, and
// allocate as usual. The address sanitizer's leak check sees what is left behind.
namespace {
thread_local int allocationsUntilFailure = -1;

const void* libraryOf(void* address) {
    Dl_info info;
    return dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// caller: where the allocation returns to.
bool madeForThisProgram(void* caller) {
    static const void* program = libraryOf(reinterpret_cast<void*>(&libraryOf));
    static const void* standardLibrary = libraryOf(reinterpret_cast<void*>(&std::set_new_handler));
    const void* library = libraryOf(caller);
    if (library != standardLibrary) return library == program;
    // Through the standard library (a string, say): the first caller outside it decides.
    void* frames[32];
    const int count = backtrace(frames, 32);
    int i = 0;
    while (i < count && frames[i] != caller) ++i;
    for (++i; i < count; ++i) {
        library = libraryOf(frames[i]);
        if (library != standardLibrary) return library == program;
    }
    return false;
}

void* allocate(std::size_t size, void* caller) {
    if (allocationsUntilFailure >= 0 && madeForThisProgram(caller)) {
        if (allocationsUntilFailure == 0) throw std::bad_alloc();
        --allocationsUntilFailure;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

void* operator new(std::size_t size) { return allocate(size, __builtin_return_address(0)); }
void* operator new[](std::size_t size) { return allocate(size, __builtin_return_address(0)); }
// Mesa's shader compiler asks for memory without exceptions; it gets it as usual, from the
// same heap that the deletes below return it to.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(Entry, AnAllocationFailureAtAnyStepGivesNoInstance) {
    int failures = 0;
    for (int n = 0; n < 100; ++n) {
        allocationsUntilFailure = n;
        AEffect* effect = VSTPluginMain(quietHost);
        allocationsUntilFailure = -1;
        if (effect) {
            // Enough allocations were allowed: the instance works and every earlier step failed cleanly.
            EXPECT_EQ(effect->dispatcher(effect, effGetVendorVersion, 0, 0, nullptr, 0.0f), 1240);
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
            break;
        }
        ++failures;
    }
    EXPECT_GE(failures, 4) << "instance, lock, engine, histories and parameter values each allocate";
}

TEST(EditorOpen, AnAllocationFailureAtAnyStepAnswers0AndLeavesTheEditorClosedAndAbleToOpen) {
    TestWindow window(600, 400);
    AEffect* effect = VSTPluginMain(quietHost);
    ASSERT_NE(effect, nullptr);
    auto& gui = *static_cast<ZuVstGui*>(static_cast<ZuVstCore*>(effect->object)->getEditor());
    int failures = 0;
    bool opened = false;
    for (int n = 0; n < 100000 && !opened; ++n) {
        allocationsUntilFailure = n;
        opened = effect->dispatcher(effect, effEditOpen, 0, 0, window.handle(), 0.0f) == 1;
        allocationsUntilFailure = -1;
        if (opened) break;
        ++failures;
        ASSERT_FALSE(gui.isOpen()) << "after failing allocation " << n;
        ASSERT_EQ(gui.getFrame(), nullptr);
        ASSERT_EQ(gui.getKnob(0), nullptr);
        ASSERT_EQ(gui.getGraph(), nullptr);
    }
    ASSERT_TRUE(opened);
    EXPECT_GE(failures, 40) << "the frame, its window, 7 knobs, 15 labels, the graph and the meter each allocate";
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, window.handle(), 0.0f), 1);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
