#pragma once
// The VST 3 class factory a module exports through GetPluginFactory, in its three versions.
// Matches VST SDK 3.7.14.
#include "gui/vst3/Base.h"

namespace tarn::vst3 {

struct PFactoryInfo {
    enum Flags : std::int32_t { kNoFlags = 0, kUnicode = 1 << 4 };
    char vendor[64];
    char url[256];
    char email[128];
    std::int32_t flags;
};

struct PClassInfo {
    static constexpr std::int32_t kManyInstances = 0x7FFFFFFF;
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char name[64];
    std::uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char16 name[64];
    std::uint32_t classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult TARN_VST3_API getFactoryInfo(PFactoryInfo* info) = 0;
    virtual std::int32_t TARN_VST3_API countClasses() = 0;
    virtual tresult TARN_VST3_API getClassInfo(std::int32_t index, PClassInfo* info) = 0;
    virtual tresult TARN_VST3_API createInstance(FIDString cid, FIDString iid, void** obj) = 0;
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

protected:
    ~IPluginFactory() = default;
};

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult TARN_VST3_API getClassInfo2(std::int32_t index, PClassInfo2* info) = 0;
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

protected:
    ~IPluginFactory2() = default;
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult TARN_VST3_API getClassInfoUnicode(std::int32_t index, PClassInfoW* info) = 0;
    virtual tresult TARN_VST3_API setHostContext(FUnknown* context) = 0;
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

protected:
    ~IPluginFactory3() = default;
};

// The category of an audio processor's class in the factory.
constexpr const char* kVstAudioEffectClass = "Audio Module Class";
// The SDK version a class reports in its extended information.
constexpr const char* kVstVersionString = "VST 3.7.14";

} // namespace tarn::vst3
