#include <gtest/gtest.h>

#include <cstring>

#include "platform/ModuleInstance.h"
#include "platform/Resource.h"
#include "platform/SharedLibrary.h"

// Resource lookup by number, from this program (no module entry) and from inside a DLL.
// The program embeds a 3 x 1 PNG as number 100, the probe DLL a 2 x 2 one.
namespace tarn {
namespace {

// Width and height of a PNG image, or zeros when the bytes do not start like one.
std::pair<unsigned, unsigned> pngSize(const unsigned char* data, std::size_t size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!data || size < 24 || std::memcmp(data, signature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return {0, 0};
    const auto big = [data](int at) {
        return static_cast<unsigned>(data[at] << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]);
    };
    return {big(16), big(20)};
}

TEST(Resource, AProgramWithoutModuleEntryFindsItsOwnImages) {
    EXPECT_EQ(moduleInstance, nullptr);
    const ResourceBytes png = findPngResource(100);
    EXPECT_EQ(pngSize(png.data, png.size), std::make_pair(3u, 1u));
    for (int missing : {101, 0, -1, 70000}) {
        const ResourceBytes none = findPngResource(missing);
        EXPECT_EQ(none.data, nullptr) << missing;
        EXPECT_EQ(none.size, 0u) << missing;
    }
}

TEST(Resource, TheModuleEntryStoresTheDllHandleAndLookupsUseIt) {
    std::string error;
    std::unique_ptr<SharedLibrary> probe = SharedLibrary::open("resource_probe.dll", error);
    ASSERT_TRUE(probe) << error;
    auto* moduleOf = reinterpret_cast<void* (*)()>(probe->symbol("probeModuleInstance"));
    auto* pngOf = reinterpret_cast<const unsigned char* (*)(int, std::size_t*)>(probe->symbol("probePng"));
    ASSERT_TRUE(moduleOf && pngOf);
    EXPECT_NE(moduleOf(), nullptr);
    std::size_t size = 0;
    const unsigned char* data = pngOf(100, &size);
    EXPECT_EQ(pngSize(data, size), std::make_pair(2u, 2u)) << "the DLL found the program's image, not its own";
    EXPECT_EQ(pngOf(101, &size), nullptr);
    EXPECT_EQ(moduleInstance, nullptr) << "the program's own handle stays unset";
}

} // namespace
} // namespace tarn
