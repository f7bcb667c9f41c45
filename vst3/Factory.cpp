#include <cstring>
#include <new>

#include "platform/platform.h"
#include "vst3/Utf16.h"
#include "vst3/Vst3Compressor.h"
#include "gui/vst3/Factory.h"

namespace tarn::vst3 {

namespace {

constexpr const char* kVendor = "tarn studio";
constexpr const char* kName = "tarn Compressor";
constexpr const char* kUrl = "https://tarn.studio";
constexpr const char* kCategory = "Fx|Dynamics";
constexpr const char* kVersion = "1.2.4";

// Copies text into a fixed field, cut to fit and zero-filled; UTF-16 fields take it too.
template <std::size_t N> void copyField(char (&to)[N], const char* from) {
    std::size_t i = 0;
    for (; from[i] && i + 1 < N; ++i) to[i] = from[i];
    std::memset(to + i, 0, N - i);
}
template <std::size_t N> void copyField(char16 (&to)[N], const char* from) { copyUtf16(to, from, N); }

// The class's information in any of the three forms the factory answers with.
template <typename Info> void describeClass(Info& info) {
    std::memcpy(info.cid, Vst3Compressor::kClassId.bytes, 16);
    info.cardinality = PClassInfo::kManyInstances;
    copyField(info.category, kVstAudioEffectClass);
    copyField(info.name, kName);
}
template <typename Info> void describeClassFully(Info& info) {
    describeClass(info);
    info.classFlags = 0;
    copyField(info.subCategories, kCategory);
    copyField(info.vendor, kVendor);
    copyField(info.version, kVersion);
    copyField(info.sdkVersion, kVstVersionString);
}

// The module's one factory: a static object, never freed, whose reference count is ignored.
class Factory final : public IPluginFactory3 {
public:
    tresult TARN_VST3_API queryInterface(const TUID iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        if (!(FUnknown::iid == iid || IPluginFactory::iid == iid || IPluginFactory2::iid == iid ||
              IPluginFactory3::iid == iid))
            return kNoInterface;
        *obj = this;
        return kResultOk;
    }
    std::uint32_t TARN_VST3_API addRef() override { return 1; }
    std::uint32_t TARN_VST3_API release() override { return 1; }

    tresult TARN_VST3_API getFactoryInfo(PFactoryInfo* info) override {
        if (!info) return kInvalidArgument;
        copyField(info->vendor, kVendor);
        copyField(info->url, kUrl);
        copyField(info->email, "");
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }
    std::int32_t TARN_VST3_API countClasses() override { return 1; }
    tresult TARN_VST3_API getClassInfo(std::int32_t index, PClassInfo* info) override {
        if (index != 0 || !info) return kInvalidArgument;
        describeClass(*info);
        return kResultOk;
    }
    tresult TARN_VST3_API createInstance(FIDString cid, FIDString iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        if (!cid || !iid || !(Vst3Compressor::kClassId == cid)) return kNoInterface;
        Vst3Compressor* instance = nullptr;
        try {
            instance = new Vst3Compressor();
        } catch (...) {
            return kOutOfMemory;
        }
        // The instance's first reference is handed over with the interface asked for, or dropped.
        const tresult result = instance->queryInterface(iid, obj);
        instance->release();
        return result;
    }
    tresult TARN_VST3_API getClassInfo2(std::int32_t index, PClassInfo2* info) override {
        if (index != 0 || !info) return kInvalidArgument;
        describeClassFully(*info);
        return kResultOk;
    }
    tresult TARN_VST3_API getClassInfoUnicode(std::int32_t index, PClassInfoW* info) override {
        if (index != 0 || !info) return kInvalidArgument;
        describeClassFully(*info);
        return kResultOk;
    }
    tresult TARN_VST3_API setHostContext(FUnknown* /*context*/) override { return kResultOk; }
};

Factory factory;

} // namespace

} // namespace tarn::vst3

// The module's exports: the factory everywhere, and the entry and exit calls each platform's
// hosts make around it. Nothing needs setting up, so they only answer yes.
extern "C" {

TARN_EXPORT tarn::vst3::IPluginFactory* TARN_VST3_API GetPluginFactory() { return &tarn::vst3::factory; }

#if defined(TARN_WINDOWS)
TARN_EXPORT bool InitDll() { return true; }
TARN_EXPORT bool ExitDll() { return true; }
#else
TARN_EXPORT bool ModuleEntry(void*) { return true; }
TARN_EXPORT bool ModuleExit() { return true; }
#endif
}
