#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace tarn {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& path, std::string& error) {
    // A bare file name would be searched on the library path: make it relative to here instead.
    const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    // Kept mapped after dlclose: a plug-in with its own static C++ runtime leaves that runtime's
    // allocations in place, and unmapping would strand them (sanitizers report them as leaks).
    void* handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown error";
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { dlclose(handle); }

void* SharedLibrary::symbol(const char* name) const { return dlsym(handle, name); }

} // namespace tarn
