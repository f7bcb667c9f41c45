#include "tools/vsthost/Arguments.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tarn {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// index=value, with a decimal index; the value is any text strtof reads whole, "nan" and "inf" included.
bool parseSetting(const std::string& arg, ParameterSetting& setting, bool& isSetting) {
    const std::size_t equals = arg.find('=');
    isSetting = equals != std::string::npos && equals > 0 &&
                std::all_of(arg.begin(), arg.begin() + static_cast<long>(equals), [](char c) { return c >= '0' && c <= '9'; });
    if (!isSetting) return true;
    const std::string index = arg.substr(0, equals);
    const std::string value = arg.substr(equals + 1);
    if (index.size() > 6 || value.empty()) return false;
    char* end = nullptr;
    const float parsed = std::strtof(value.c_str(), &end);
    if (*end != '\0') return false;
    setting.index = std::atoi(index.c_str());
    setting.value = parsed;
    return true;
}

} // namespace

bool Arguments::parse(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                      const std::vector<std::string>& flagOptions, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            if (contains(flagOptions, arg)) {
                flags.insert(arg);
            } else if (contains(valueOptions, arg)) {
                if (i + 1 >= args.size()) {
                    error = "option " + arg + " needs a value";
                    return false;
                }
                values[arg] = args[++i];
            } else {
                error = "unknown option " + arg;
                return false;
            }
            continue;
        }
        ParameterSetting setting;
        bool isSetting = false;
        if (!parseSetting(arg, setting, isSetting)) {
            error = "bad parameter setting '" + arg + "' (expected index=value)";
            return false;
        }
        if (isSetting)
            parameterSettings.push_back(setting);
        else
            positionals.push_back(arg);
    }
    return true;
}

std::string Arguments::text(const std::string& name, const std::string& fallback) const {
    const auto found = values.find(name);
    return found == values.end() ? fallback : found->second;
}

bool Arguments::number(const std::string& name, double fallback, double low, double high, double& value,
                       std::string& error) const {
    const auto found = values.find(name);
    if (found == values.end()) {
        value = fallback;
        return true;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(found->second.c_str(), &end);
    if (found->second.empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || value < low || value > high) {
        error = "bad value '" + found->second + "' for " + name;
        return false;
    }
    return true;
}

bool Arguments::integer(const std::string& name, long fallback, long low, long high, long& value,
                        std::string& error) const {
    double whole = 0.0;
    if (!number(name, static_cast<double>(fallback), static_cast<double>(low), static_cast<double>(high), whole, error))
        return false;
    if (whole != std::floor(whole)) {
        error = "bad value '" + text(name, "") + "' for " + name;
        return false;
    }
    value = static_cast<long>(whole);
    return true;
}

} // namespace tarn
