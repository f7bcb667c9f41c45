#include "platform/UserSettings.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace tarn {

namespace {

// %APPDATA%\tarn, the roaming application data of this user; empty when unset.
std::wstring settingsFolder() {
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (length == 0) return L"";
    std::vector<wchar_t> appData(length);
    if (GetEnvironmentVariableW(L"APPDATA", appData.data(), length) == 0) return L"";
    return std::wstring(appData.data()) + L"\\tarn";
}

} // namespace

std::string readUserSettings() {
    const std::wstring folder = settingsFolder();
    if (folder.empty()) return "";
    FILE* file = _wfopen((folder + L"\\compressor.conf").c_str(), L"rb");
    if (!file) return "";
    std::string text;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

bool writeUserSettings(const std::string& text) {
    const std::wstring folder = settingsFolder();
    if (folder.empty()) return false;
    CreateDirectoryW(folder.c_str(), nullptr);
    // Written beside and moved over, so that another instance never reads half a file.
    const std::wstring path = folder + L"\\compressor.conf";
    const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId());
    FILE* file = _wfopen(temporary.c_str(), L"wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tarn
