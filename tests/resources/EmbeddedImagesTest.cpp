#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "PngImage.h"
#include "gui/CBitmap.h"
#include "platform/Resource.h"

// The images as the plug-in carries them: registered under their numbers and found by the
// toolkit's bitmaps (this program embeds them the way the plug-in does), and present in
// the built plug-in module itself.
namespace {

TEST(EmbeddedImages, BitmapsLoadFromResources100To103) {
    for (const auto& [id, width, height] : {std::tuple{100, 550, 375}, std::tuple{101, 56, 5600},
                                            std::tuple{102, 1100, 750}, std::tuple{103, 112, 11200}}) {
        auto* bitmap = new VSTGUI::CBitmap(VSTGUI::CResourceDescription(id));
        EXPECT_TRUE(bitmap->isLoaded()) << id;
        EXPECT_EQ(bitmap->getWidth(), width) << id;
        EXPECT_EQ(bitmap->getHeight(), height) << id;
        bitmap->forget();
    }
}

TEST(EmbeddedImages, ResourcesAreTheCommittedFiles) {
    for (const auto& [id, name] : {std::pair{100, "background.png"}, std::pair{101, "knob.png"},
                                   std::pair{102, "background-2x.png"}, std::pair{103, "knob-2x.png"}}) {
        const std::vector<uint8_t> file = readFile(std::string(TARN_SOURCE_DIR "/resources/") + name);
        const tarn::ResourceBytes found = tarn::findPngResource(id);
        ASSERT_EQ(found.size, file.size()) << name;
        EXPECT_EQ(std::memcmp(found.data, file.data(), file.size()), 0) << name;
    }
}

// The PNG streams stored in a binary: from each signature to the end of its IEND chunk.
std::vector<std::vector<uint8_t>> pngStreamsIn(const std::vector<uint8_t>& bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::vector<uint8_t>> streams;
    for (size_t start = 0; start + 8 <= bytes.size(); ++start) {
        if (std::memcmp(&bytes[start], signature, 8) != 0) continue;
        size_t at = start + 8;
        while (at + 12 <= bytes.size()) {
            const size_t length = size_t(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
            const bool end = std::memcmp(&bytes[at + 4], "IEND", 4) == 0;
            at += 12 + length;
            if (end) {
                streams.emplace_back(bytes.begin() + static_cast<long>(start), bytes.begin() + static_cast<long>(at));
                break;
            }
        }
    }
    return streams;
}

TEST(EmbeddedImages, ThePluginModuleCarriesTheImagesDecodable) {
    const std::vector<uint8_t> module = readFile(PLUGIN_PATH);
    ASSERT_FALSE(module.empty()) << PLUGIN_PATH;
    // Debug information may hold a second copy of an embedded array.
    std::set<std::vector<uint8_t>> streams;
    for (std::vector<uint8_t>& stream : pngStreamsIn(module)) streams.insert(std::move(stream));
    std::set<std::pair<int, int>> sizes;
    for (const std::vector<uint8_t>& stream : streams) {
        const std::optional<PngImage> image = decodePng(stream);
        ASSERT_TRUE(image);
        sizes.emplace(image->width, image->height);
    }
    EXPECT_EQ(streams.size(), 4u);
    EXPECT_EQ(sizes, (std::set<std::pair<int, int>>{{550, 375}, {56, 5600}, {1100, 750}, {112, 11200}}));
}

} // namespace
