#include "tools/imagegen/Palette.h"

#include <algorithm>
#include <array>
#include <map>

namespace tarn {

namespace {

using Rgb = std::array<int, 3>;

struct Entry {
    Rgb colour;
    long count;
};

// A run of entries, all of one box.
struct Box {
    std::vector<Entry> entries;

    int range(int channel) const {
        const auto [low, high] = std::minmax_element(entries.begin(), entries.end(), [channel](const Entry& a, const Entry& b) {
            return a.colour[channel] < b.colour[channel];
        });
        return high->colour[channel] - low->colour[channel];
    }
    int widestChannel() const {
        int best = 0;
        for (int c = 1; c < 3; ++c)
            if (range(c) > range(best)) best = c;
        return best;
    }
    Rgb mean() const {
        double sum[3] = {0, 0, 0};
        long total = 0;
        for (const Entry& e : entries) {
            for (int c = 0; c < 3; ++c) sum[c] += static_cast<double>(e.colour[c]) * e.count;
            total += e.count;
        }
        Rgb result;
        for (int c = 0; c < 3; ++c) result[c] = static_cast<int>(sum[c] / total + 0.5);
        return result;
    }
};

// Splits at the population median of the widest channel; both halves keep at least one colour.
std::pair<Box, Box> split(Box box) {
    const int channel = box.widestChannel();
    std::sort(box.entries.begin(), box.entries.end(),
              [channel](const Entry& a, const Entry& b) { return a.colour[channel] < b.colour[channel]; });
    long total = 0;
    for (const Entry& e : box.entries) total += e.count;
    long seen = 0;
    size_t at = 1;
    for (; at < box.entries.size() - 1; ++at) {
        seen += box.entries[at - 1].count;
        if (seen * 2 >= total) break;
    }
    // Never split between two entries of the same channel value when that can be avoided.
    while (at < box.entries.size() - 1 && box.entries[at].colour[channel] == box.entries[at - 1].colour[channel]) ++at;
    Box low{{box.entries.begin(), box.entries.begin() + static_cast<long>(at)}};
    Box high{{box.entries.begin() + static_cast<long>(at), box.entries.end()}};
    return {low, high};
}

int distance(const Rgb& a, const Rgb& b) {
    int sum = 0;
    for (int c = 0; c < 3; ++c) sum += (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

} // namespace

PalettedImage toPalette(const RgbImage& image) {
    std::map<Rgb, long> histogram;
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    for (size_t i = 0; i < pixels; ++i)
        ++histogram[{image.rgb[i * 3], image.rgb[i * 3 + 1], image.rgb[i * 3 + 2]}];

    std::vector<Box> boxes(1);
    for (const auto& [colour, count] : histogram) boxes[0].entries.push_back({colour, count});
    while (boxes.size() < 256) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.range(a.widestChannel()) < b.range(b.widestChannel());
        });
        if (widest->entries.size() < 2) break;
        auto [low, high] = split(std::move(*widest));
        *widest = std::move(low);
        boxes.push_back(std::move(high));
    }

    PalettedImage result{image.width, image.height, {}, std::vector<uint8_t>(pixels)};
    std::vector<Rgb> palette;
    for (const Box& box : boxes) {
        palette.push_back(box.mean());
        for (int c = 0; c < 3; ++c) result.palette.push_back(static_cast<uint8_t>(palette.back()[c]));
    }
    std::map<Rgb, uint8_t> nearest;
    for (const auto& entry : histogram) {
        size_t best = 0;
        for (size_t p = 1; p < palette.size(); ++p)
            if (distance(entry.first, palette[p]) < distance(entry.first, palette[best])) best = p;
        nearest[entry.first] = static_cast<uint8_t>(best);
    }
    for (size_t i = 0; i < pixels; ++i)
        result.indices[i] = nearest[{image.rgb[i * 3], image.rgb[i * 3 + 1], image.rgb[i * 3 + 2]}];
    return result;
}

} // namespace tarn
