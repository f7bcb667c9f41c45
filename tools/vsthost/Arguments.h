#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarn {

// A parameter setting given on the command line as index=value.
struct ParameterSetting {
    int index = 0;
    float value = 0.0f;
};

// A command's arguments: positional ones, --name value options, --name flags and
// index=value parameter settings, in any order.
class Arguments {
public:
    // Fails with a one-line reason on an option the command does not take or one without its value.
    bool parse(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flagOptions, std::string& error);

    const std::vector<std::string>& positional() const { return positionals; }
    const std::vector<ParameterSetting>& settings() const { return parameterSettings; }
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
    std::string text(const std::string& name, const std::string& fallback) const;
    // The option as a finite number within [low, high], or the fallback when absent.
    bool number(const std::string& name, double fallback, double low, double high, double& value,
                std::string& error) const;
    // The option as a whole number within [low, high], or the fallback when absent.
    bool integer(const std::string& name, long fallback, long low, long high, long& value, std::string& error) const;

private:
    std::vector<std::string> positionals;
    std::vector<ParameterSetting> parameterSettings;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
};

} // namespace tarn
