#include "platform/Resource.h"

#include <map>
#include <mutex>

namespace tarn {

namespace {

struct ResourceTable {
    std::mutex mutex;
    std::map<int, ResourceBytes> entries;
};

// Built on first use, so registrations from other files' start-up code find it ready.
ResourceTable& table() {
    static ResourceTable instance;
    return instance;
}

} // namespace

void registerPngResource(int number, const unsigned char* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(table().mutex);
    table().entries[number] = ResourceBytes{data, size};
}

ResourceBytes findPngResource(int number) {
    std::lock_guard<std::mutex> lock(table().mutex);
    auto it = table().entries.find(number);
    return it == table().entries.end() ? ResourceBytes{} : it->second;
}

} // namespace tarn
