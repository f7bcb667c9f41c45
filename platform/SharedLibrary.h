#pragma once
#include <memory>
#include <string>

namespace tarn {

// A library loaded into the process by path: dlopen on Linux, LoadLibrary on Windows.
// The library stays loaded for the life of this object.
class SharedLibrary {
public:
    // Null when the library cannot be loaded; `error` then says why, in one line.
    static std::unique_ptr<SharedLibrary> open(const std::string& path, std::string& error);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The address of an exported symbol, or null.
    void* symbol(const char* name) const;

private:
    explicit SharedLibrary(void* handle) : handle(handle) {}
    void* handle;
};

} // namespace tarn
