#include "tools/vsthost/HostCallback.h"

#include <atomic>
#include <cstring>
#include <utility>

namespace tarn {

namespace {

std::atomic<long> automateCalls{0};
std::atomic<long> beginEditCalls{0};
std::atomic<long> endEditCalls{0};
std::function<bool(int, int)> sizeWindowHandler;

} // namespace

VstIntPtr VSTCALLBACK hostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float /*opt*/) {
    switch (opcode) {
    case audioMasterVersion: return kVstVersion;
    case audioMasterAutomate: automateCalls.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterBeginEdit: beginEditCalls.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterEndEdit: endEditCalls.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterCanDo:
        return sizeWindowHandler && ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
    case audioMasterSizeWindow:
        return sizeWindowHandler && sizeWindowHandler(index, static_cast<int>(value)) ? 1 : 0;
    default: return 0;
    }
}

void setSizeWindowHandler(std::function<bool(int, int)> handler) { sizeWindowHandler = std::move(handler); }

HostCallCounts hostCallCounts() {
    HostCallCounts counts;
    counts.automate = automateCalls.load(std::memory_order_relaxed);
    counts.beginEdit = beginEditCalls.load(std::memory_order_relaxed);
    counts.endEdit = endEditCalls.load(std::memory_order_relaxed);
    return counts;
}

} // namespace tarn
