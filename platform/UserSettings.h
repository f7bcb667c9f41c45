#pragma once
#include <string>

namespace tarn {

// This user's settings of the plug-in, shared by every instance and every format: a small text
// file in the platform's usual place, tarn/compressor.conf under $XDG_CONFIG_HOME (~/.config
// when unset) on Linux and under %APPDATA% on Windows. User-interface thread.

// The file's text; empty when there is none or it cannot be read.
std::string readUserSettings();
// Replaces the file's text, making its folder when needed; false when it cannot be written.
bool writeUserSettings(const std::string& text);

} // namespace tarn
