#include "platform/Resource.h"

#include <windows.h>

#include "platform/ModuleInstance.h"

namespace tarn {

ResourceBytes findPngResource(int number) {
    if (number <= 0 || number > 0xffff) return {};
    HMODULE module = static_cast<HMODULE>(moduleInstance);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(number), L"PNG");
    if (!info) return {};
    const DWORD size = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) return {};
    return {static_cast<const unsigned char*>(data), size};
}

} // namespace tarn
