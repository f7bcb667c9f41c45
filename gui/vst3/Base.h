#pragma once
// The VST 3 binary interface, base part: result codes, interface identifiers and the root
// interface every object answers. Matches the interfaces of VST SDK 3.7.14; only what this
// project uses is declared. On Windows methods are __stdcall (the same as the default on x64)
// and identifiers are laid out as COM GUIDs; elsewhere methods use the default convention and
// identifiers are plain big-endian bytes.
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#define TARN_VST3_API __stdcall
#else
#define TARN_VST3_API
#endif

namespace tarn::vst3 {

using tresult = std::int32_t;
using TBool = std::uint8_t;
using char16 = char16_t;
// An identifier as the host passes it: 16 bytes.
using TUID = char[16];
using FIDString = const char*;

#if defined(_WIN32)
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif
constexpr tresult kResultTrue = kResultOk;

// An interface or class identifier written as four 32-bit words, in the byte order of the
// platform's binary interface.
struct Uid {
    char bytes[16];

    bool operator==(const char* other) const { return other && std::memcmp(bytes, other, 16) == 0; }
};

constexpr Uid makeUid(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    Uid u{};
    const std::uint32_t words[4] = {a, b, c, d};
    for (int w = 0; w < 4; ++w)
        for (int i = 0; i < 4; ++i) u.bytes[w * 4 + i] = static_cast<char>(words[w] >> (24 - 8 * i));
#if defined(_WIN32)
    // A GUID: its first word and the two halves of its second are little-endian.
    const Uid big = u;
    for (int i = 0; i < 4; ++i) u.bytes[i] = big.bytes[3 - i];
    u.bytes[4] = big.bytes[5];
    u.bytes[5] = big.bytes[4];
    u.bytes[6] = big.bytes[7];
    u.bytes[7] = big.bytes[6];
#endif
    return u;
}

class FUnknown {
public:
    virtual tresult TARN_VST3_API queryInterface(const TUID iid, void** obj) = 0;
    virtual std::uint32_t TARN_VST3_API addRef() = 0;
    virtual std::uint32_t TARN_VST3_API release() = 0;
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

protected:
    ~FUnknown() = default;
};

class IPluginBase : public FUnknown {
public:
    virtual tresult TARN_VST3_API initialize(FUnknown* context) = 0;
    virtual tresult TARN_VST3_API terminate() = 0;
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

protected:
    ~IPluginBase() = default;
};

// A byte stream of the host's, for state.
class IBStream : public FUnknown {
public:
    enum SeekMode : std::int32_t { kIBSeekSet = 0, kIBSeekCur, kIBSeekEnd };
    virtual tresult TARN_VST3_API read(void* buffer, std::int32_t numBytes, std::int32_t* numBytesRead) = 0;
    virtual tresult TARN_VST3_API write(void* buffer, std::int32_t numBytes, std::int32_t* numBytesWritten) = 0;
    virtual tresult TARN_VST3_API seek(std::int64_t pos, std::int32_t mode, std::int64_t* result) = 0;
    virtual tresult TARN_VST3_API tell(std::int64_t* pos) = 0;
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);

protected:
    ~IBStream() = default;
};

} // namespace tarn::vst3
