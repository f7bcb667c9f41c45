#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/plugin/TestHost.h"

// Every allocation of this test program goes through here, so a test can make the n-th
// allocation from now on fail. The address sanitizer's leak check sees what is left behind.
namespace {
int allocationsUntilFailure = -1;

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

void* operator new(std::size_t size) {
    if (allocationsUntilFailure == 0) throw std::bad_alloc();
    if (allocationsUntilFailure > 0) --allocationsUntilFailure;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
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
