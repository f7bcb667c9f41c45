#pragma once
#include <string>

namespace tarn {

// vsthost.exe (two folders above the test programs) run with arguments, its output read, and
// how long it ran: what it does in real time is bounded by that.
struct VsthostRun {
    int status = -1;
    std::string out;
    double seconds = 0.0;
};
VsthostRun runVsthost(const std::string& arguments);

// A file in the temporary folder, removed when this goes.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& name);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return filePath; }

private:
    std::string filePath;
};

} // namespace tarn
