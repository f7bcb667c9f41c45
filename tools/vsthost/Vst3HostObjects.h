#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

#include "gui/vst3/Controller.h"
#include "gui/vst3/View.h"

namespace tarn::vst3host {

using namespace tarn::vst3;

// Host objects that live as members of their owner: queryInterface answers only their own
// interface, and the reference count is not theirs to end them.
template <typename Interface>
class HostObject : public Interface {
public:
    tresult TARN_VST3_API queryInterface(const TUID iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        if (!(FUnknown::iid == iid || Interface::iid == iid)) return kNoInterface;
        *obj = static_cast<Interface*>(this);
        return kResultOk;
    }
    std::uint32_t TARN_VST3_API addRef() override { return 1; }
    std::uint32_t TARN_VST3_API release() override { return 1; }
};

// One parameter's points for one block.
class HostParamQueue final : public HostObject<IParamValueQueue> {
public:
    static constexpr int kMaxPoints = 64;
    ParamID id = 0;
    int count = 0;
    std::int32_t offsets[kMaxPoints] = {};
    ParamValue values[kMaxPoints] = {};

    ParamID TARN_VST3_API getParameterId() override { return id; }
    std::int32_t TARN_VST3_API getPointCount() override { return count; }
    tresult TARN_VST3_API getPoint(std::int32_t index, std::int32_t& sampleOffset, ParamValue& value) override {
        if (index < 0 || index >= count) return kInvalidArgument;
        sampleOffset = offsets[index];
        value = values[index];
        return kResultOk;
    }
    tresult TARN_VST3_API addPoint(std::int32_t sampleOffset, ParamValue value, std::int32_t& index) override {
        if (count == kMaxPoints) return kResultFalse;
        offsets[count] = sampleOffset;
        values[count] = value;
        index = count++;
        return kResultOk;
    }
};

// The parameter changes of one block, in fixed room: a change beyond it is dropped.
class HostParameterChanges final : public HostObject<IParameterChanges> {
public:
    static constexpr int kMaxQueues = 32;

    void clear() { used = 0; }
    bool empty() const { return used == 0; }
    // Takes over other's changes, copying only the points in use, and clears other.
    void takeFrom(HostParameterChanges& other) {
        used = other.used;
        for (int q = 0; q < used; ++q) {
            const HostParamQueue& from = other.queues[q];
            queues[q].id = from.id;
            queues[q].count = from.count;
            std::copy(from.offsets, from.offsets + from.count, queues[q].offsets);
            std::copy(from.values, from.values + from.count, queues[q].values);
        }
        other.clear();
    }
    // Adds a point to the parameter's queue, making the queue if needed.
    void add(ParamID id, std::int32_t offset, ParamValue value) {
        std::int32_t index = 0;
        if (IParamValueQueue* queue = addParameterData(id, index)) queue->addPoint(offset, value, index);
    }

    std::int32_t TARN_VST3_API getParameterCount() override { return used; }
    IParamValueQueue* TARN_VST3_API getParameterData(std::int32_t index) override {
        return index >= 0 && index < used ? &queues[index] : nullptr;
    }
    IParamValueQueue* TARN_VST3_API addParameterData(const ParamID& id, std::int32_t& index) override {
        for (int i = 0; i < used; ++i)
            if (queues[i].id == id) {
                index = i;
                return &queues[i];
            }
        if (used == kMaxQueues) return nullptr;
        queues[used].id = id;
        queues[used].count = 0;
        index = used;
        return &queues[used++];
    }

private:
    HostParamQueue queues[kMaxQueues];
    int used = 0;
};

// A stream over bytes in memory, for a plug-in's state.
class MemoryStream final : public HostObject<IBStream> {
public:
    MemoryStream() = default;
    MemoryStream(const void* bytes, std::size_t size)
        : data(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size) {}

    std::vector<char> data;
    std::size_t position = 0;

    tresult TARN_VST3_API read(void* buffer, std::int32_t numBytes, std::int32_t* numBytesRead) override {
        if (numBytes < 0 || (!buffer && numBytes > 0)) return kInvalidArgument;
        const std::size_t count = std::min(static_cast<std::size_t>(numBytes), data.size() - position);
        if (count) std::memcpy(buffer, data.data() + position, count);
        position += count;
        if (numBytesRead) *numBytesRead = static_cast<std::int32_t>(count);
        return kResultOk;
    }
    tresult TARN_VST3_API write(void* buffer, std::int32_t numBytes, std::int32_t* numBytesWritten) override {
        if (numBytes < 0 || (!buffer && numBytes > 0)) return kInvalidArgument;
        const auto count = static_cast<std::size_t>(numBytes);
        if (data.size() < position + count) data.resize(position + count);
        if (count) std::memcpy(data.data() + position, buffer, count);
        position += count;
        if (numBytesWritten) *numBytesWritten = numBytes;
        return kResultOk;
    }
    tresult TARN_VST3_API seek(std::int64_t pos, std::int32_t mode, std::int64_t* result) override {
        const std::int64_t base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? static_cast<std::int64_t>(position)
                                                                              : static_cast<std::int64_t>(data.size());
        const std::int64_t target = base + pos;
        if (target < 0 || target > static_cast<std::int64_t>(data.size())) return kInvalidArgument;
        position = static_cast<std::size_t>(target);
        if (result) *result = target;
        return kResultOk;
    }
    tresult TARN_VST3_API tell(std::int64_t* pos) override {
        if (!pos) return kInvalidArgument;
        *pos = static_cast<std::int64_t>(position);
        return kResultOk;
    }
};

// One block of stereo audio for process(): the buses over the channel pointers given (float**
// or double** as the sample size says), and the parameter changes, if any.
struct HostBlock {
    HostBlock(void** in, void** out, std::int32_t frames, std::int32_t sampleSize, IParameterChanges* changes) {
        inBus.numChannels = outBus.numChannels = 2;
        inBus.channelBuffers32 = reinterpret_cast<float**>(in);
        outBus.channelBuffers32 = reinterpret_cast<float**>(out);
        data.symbolicSampleSize = sampleSize;
        data.numSamples = frames;
        data.numInputs = data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
        data.inputParameterChanges = changes;
    }
    HostBlock(const HostBlock&) = delete;
    HostBlock& operator=(const HostBlock&) = delete;

    AudioBusBuffers inBus{};
    AudioBusBuffers outBus{};
    ProcessData data{};
};

} // namespace tarn::vst3host
