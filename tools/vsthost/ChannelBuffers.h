#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

namespace tarn {

// One buffer per channel and the array of channel pointers a plug-in's process call takes.
// At least two channels, so a stereo host never hands out a short array.
template <typename Sample>
class ChannelBuffers {
public:
    ChannelBuffers(int channels, std::size_t frames)
        : storage(static_cast<std::size_t>(std::max(channels, 2)), std::vector<Sample>(frames)),
          pointers(storage.size()) {
        for (std::size_t c = 0; c < storage.size(); ++c) pointers[c] = storage[c].data();
    }

    Sample** data() { return pointers.data(); }
    Sample* operator[](std::size_t channel) { return storage[channel].data(); }
    std::size_t channels() const { return storage.size(); }

private:
    std::vector<std::vector<Sample>> storage;
    std::vector<Sample*> pointers;
};

} // namespace tarn
