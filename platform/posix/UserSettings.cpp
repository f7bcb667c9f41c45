#include "platform/UserSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tarn {

namespace {

// The folder that holds our file; empty without a usable home.
std::string settingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative path.
    if (config && config[0] == '/') return std::string(config) + "/tarn";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config/tarn";
    return "";
}

// Makes folder and the folders above it; true when it exists afterwards.
bool makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string readUserSettings() {
    const std::string folder = settingsFolder();
    if (folder.empty()) return "";
    std::ifstream file(folder + "/compressor.conf");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool writeUserSettings(const std::string& text) {
    const std::string folder = settingsFolder();
    if (folder.empty() || !makeFolders(folder)) return false;
    // Written beside and renamed over, so that another instance never reads half a file.
    const std::string path = folder + "/compressor.conf";
    const std::string temporary = path + "." + std::to_string(getpid());
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << text;
        if (!file.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tarn
