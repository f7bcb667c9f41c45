#pragma once
#include <memory>
#include <string>

#include "gui/vst2/aeffect.h"

namespace tarn {

// Opens a VST 3 bundle (or module file) and presents its first audio effect as a VST 2.4
// effect record, so that every vsthost command works on it unchanged: the record's dispatcher,
// parameter and processing calls become the matching VST 3 calls. effClose frees everything.
// Null with a one-line reason when the module, its factory or the effect cannot be had.
AEffect* openVst3Effect(const std::string& path, std::string& error);

// Whether path names a VST 3 bundle or module (it ends in ".vst3").
bool isVst3Path(const std::string& path);

} // namespace tarn
