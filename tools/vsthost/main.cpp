#include <cstdio>
#include <string>
#include <vector>

#include "tools/vsthost/Commands.h"

namespace {

void printUsage() {
    std::printf("usage: vsthost <command> ... [then <command> ...]\n");
    for (const tarn::Command& command : tarn::commands())
        if (command.usage) std::printf("  vsthost %s\n", command.usage);
}

// Runs the command named by the first word with the words after it.
int runCommand(const std::vector<std::string>& words) {
    if (words.empty()) return tarn::usageError("a command is missing (vsthost --help lists them)");
    const std::vector<std::string> args(words.begin() + 1, words.end());
    for (const tarn::Command& command : tarn::commands())
        if (words[0] == command.name) return command.run(args);
    return tarn::usageError("unknown command '" + words[0] + "' (vsthost --help lists them)");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        printUsage();
        return argc < 2 ? 2 : 0;
    }
    // Commands joined by "then" run one after another in this one process, up to the first
    // that fails: where starting a program is slow (wine under emulation), one start does it all.
    std::vector<std::string> words(argv + 1, argv + argc);
    words.push_back("then");
    std::vector<std::string> args;
    for (const std::string& word : words) {
        if (word != "then") {
            args.push_back(word);
            continue;
        }
        const int status = runCommand(args);
        if (status != 0) return status;
        args.clear();
    }
    return 0;
}
