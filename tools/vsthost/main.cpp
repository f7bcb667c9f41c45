#include <cstdio>
#include <string>
#include <vector>

#include "tools/vsthost/Commands.h"

namespace {

void printUsage() {
    std::printf("usage: vsthost <command> ...\n");
    for (const tarn::Command& command : tarn::commands())
        if (command.usage) std::printf("  vsthost %s\n", command.usage);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        printUsage();
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const tarn::Command& command : tarn::commands())
        if (name == command.name) return command.run(args);
    return tarn::usageError("unknown command '" + name + "' (vsthost --help lists them)");
}
