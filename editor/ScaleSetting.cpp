#include "editor/ScaleSetting.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <string>

#include "platform/UserSettings.h"

namespace tarn {

namespace {

constexpr const char* kKey = "scale=";

bool isScaleLine(const std::string& line) { return line.compare(0, 6, kKey) == 0; }

} // namespace

double readChosenScale() {
    std::istringstream lines(readUserSettings());
    for (std::string line; std::getline(lines, line);) {
        if (!isScaleLine(line)) continue;
        // The classic locale: the file reads the same whatever the host's locale.
        std::istringstream number(line.substr(6));
        number.imbue(std::locale::classic());
        double factor = 0;
        return number >> factor && std::isfinite(factor) && factor > 0 ? factor : 0;
    }
    return 0;
}

bool writeChosenScale(double factor) {
    std::istringstream lines(readUserSettings());
    std::ostringstream text;
    for (std::string line; std::getline(lines, line);)
        if (!isScaleLine(line)) text << line << '\n';
    text.imbue(std::locale::classic());
    text << kKey << factor << '\n';
    return writeUserSettings(text.str());
}

} // namespace tarn
