#include "gui/linux/LinuxResources.h"

#include <map>
#include <mutex>

#include "gui/PlatformResources.h"

namespace VSTGUI {

namespace {

struct ResourceTable {
    std::mutex mutex;
    std::map<int32_t, ResourceBytes> entries;
};

// Built on first use, so registrations from other files' start-up code find it ready.
ResourceTable& table() {
    static ResourceTable instance;
    return instance;
}

} // namespace

void registerPNGResource(int32_t id, const unsigned char* data, uint32_t size) {
    std::lock_guard<std::mutex> lock(table().mutex);
    table().entries[id] = ResourceBytes{data, size};
}

ResourceBytes findPNGResource(int32_t id) {
    std::lock_guard<std::mutex> lock(table().mutex);
    auto it = table().entries.find(id);
    return it == table().entries.end() ? ResourceBytes{} : it->second;
}

} // namespace VSTGUI
