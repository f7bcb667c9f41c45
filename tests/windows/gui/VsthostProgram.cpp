#include "tests/windows/gui/VsthostProgram.h"

#include <windows.h>

#include <cstdio>

#include "tests/windows/gui/Win32TestWindow.h"

namespace tarn {

VsthostRun runVsthost(const std::string& arguments) {
    // cmd.exe takes the whole line in one more pair of quotes.
    const std::string command = "\"\"" + programFolder() + "..\\..\\vsthost.exe\" " + arguments + "\"";
    VsthostRun run;
    const ULONGLONG start = GetTickCount64();
    FILE* pipe = _popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.out += buffer;
    run.status = _pclose(pipe);
    run.seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
    return run;
}

TemporaryFile::TemporaryFile(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH - 1, folder);
    filePath = std::string(folder) + name;
    DeleteFileA(filePath.c_str());
}

TemporaryFile::~TemporaryFile() { DeleteFileA(filePath.c_str()); }

} // namespace tarn
