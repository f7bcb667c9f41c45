#pragma once
#include <string>
#include <vector>

namespace tarn {

// One vsthost command: its name, a usage line (null keeps it out of the help) and the
// function that runs it with the arguments after the name and answers the exit status.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& args);
};

// Every command, in the order the help lists them. A new command is one function in its own
// file and one row in the table in Commands.cpp.
const std::vector<Command>& commands();

int runInfo(const std::vector<std::string>& args);
int runRender(const std::vector<std::string>& args);
int runBench(const std::vector<std::string>& args);
int runGenerate(const std::vector<std::string>& args);
int runCompare(const std::vector<std::string>& args);
int runLevels(const std::vector<std::string>& args);
int runSelfTest(const std::vector<std::string>& args);
int runCurve(const std::vector<std::string>& args);
int runEditor(const std::vector<std::string>& args);

// Prints "vsthost: <message>" as one line on stderr and answers the exit status 1.
int fail(const std::string& message);
// The same for a command used the wrong way: exit status 2.
int usageError(const std::string& message);

} // namespace tarn
