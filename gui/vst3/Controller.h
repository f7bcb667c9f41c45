#pragma once
// The VST 3 edit controller: parameters as the host sees them, the host's handler for edits,
// and the editor view the controller makes. Matches VST SDK 3.7.14.
#include "gui/vst3/Processor.h"

namespace tarn::vst3 {

class IPlugView;

struct ParameterInfo {
    enum Flags : std::int32_t { kNoFlags = 0, kCanAutomate = 1 << 0, kIsReadOnly = 1 << 1, kIsList = 1 << 3 };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    // 0 for a continuous parameter, else the number of steps between its ends.
    std::int32_t stepCount;
    ParamValue defaultNormalizedValue;
    std::int32_t unitId;
    std::int32_t flags;
};

static_assert(sizeof(ParameterInfo) == 792, "VST 3 parameter record");

class IComponentHandler : public FUnknown {
public:
    virtual tresult TARN_VST3_API beginEdit(ParamID id) = 0;
    virtual tresult TARN_VST3_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult TARN_VST3_API endEdit(ParamID id) = 0;
    virtual tresult TARN_VST3_API restartComponent(std::int32_t flags) = 0;
    static constexpr Uid iid = makeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

protected:
    ~IComponentHandler() = default;
};

// The flag of restartComponent that asks the host to read every parameter again.
constexpr std::int32_t kParamValuesChanged = 1 << 2;

class IEditController : public IPluginBase {
public:
    virtual tresult TARN_VST3_API setComponentState(IBStream* state) = 0;
    virtual tresult TARN_VST3_API setState(IBStream* state) = 0;
    virtual tresult TARN_VST3_API getState(IBStream* state) = 0;
    virtual std::int32_t TARN_VST3_API getParameterCount() = 0;
    virtual tresult TARN_VST3_API getParameterInfo(std::int32_t paramIndex, ParameterInfo& info) = 0;
    virtual tresult TARN_VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
    virtual tresult TARN_VST3_API getParamValueByString(ParamID id, char16* string, ParamValue& valueNormalized) = 0;
    virtual ParamValue TARN_VST3_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue TARN_VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue TARN_VST3_API getParamNormalized(ParamID id) = 0;
    virtual tresult TARN_VST3_API setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult TARN_VST3_API setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* TARN_VST3_API createView(FIDString name) = 0;
    static constexpr Uid iid = makeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

protected:
    ~IEditController() = default;
};

// The name of the view createView is asked for.
constexpr const char* kEditorViewType = "editor";

} // namespace tarn::vst3
