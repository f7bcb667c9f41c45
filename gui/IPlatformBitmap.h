#pragma once
#include <cstdint>
#include <memory>

#include "gui/CPoint.h"

namespace VSTGUI {

// The pixels of a bitmap (32-bit with alpha) as the platform's drawing keeps them.
class IPlatformBitmap {
public:
    // A fully transparent bitmap of the size; null when it cannot be made.
    static std::unique_ptr<IPlatformBitmap> create(const CPoint& size);
    // Decodes a PNG image; null when the bytes are not a readable PNG image.
    static std::unique_ptr<IPlatformBitmap> createFromMemory(const void* data, uint32_t size);

    virtual ~IPlatformBitmap() = default;
    virtual CPoint getSize() const = 0;
    // A copy resampled to size with good filtering (an image made for a larger screen scale
    // drawn smaller); null when it cannot be made.
    virtual std::unique_ptr<IPlatformBitmap> createScaledCopy(const CPoint& size) const = 0;
};

} // namespace VSTGUI
