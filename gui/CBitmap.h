#pragma once
#include <memory>

#include "gui/CBaseObject.h"
#include "gui/CRect.h"
#include "gui/CResourceDescription.h"
#include "gui/IPlatformBitmap.h"
#include "gui/SharedPointer.h"

namespace VSTGUI {

class CDrawContext;

// An image drawn with alpha. A bitmap that could not be loaded has size 0 and draws nothing.
class CBitmap : public CBaseObject {
public:
    // From the module's embedded PNG resource of that number.
    CBitmap(const CResourceDescription& desc);
    // Fully transparent, width by height pixels.
    CBitmap(CCoord width, CCoord height);
    explicit CBitmap(std::unique_ptr<IPlatformBitmap> platformBitmap);

    // Draws the part of the bitmap that starts at offset into rect.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0),
                      float alpha = 1.f);
    // A new bitmap with this one's pixels resampled to width by height; not loaded when this one
    // is not or the copy cannot be made.
    SharedPointer<CBitmap> scaledTo(CCoord width, CCoord height) const;
    CCoord getWidth() const;
    CCoord getHeight() const;
    bool isLoaded() const { return platformBitmap != nullptr; }
    const CResourceDescription& getResourceDescription() const { return resourceDesc; }
    IPlatformBitmap* getPlatformBitmap() const { return platformBitmap.get(); }

    CLASS_METHODS_NOCOPY(CBitmap, CBaseObject)

protected:
    ~CBitmap() override = default;

private:
    CResourceDescription resourceDesc;
    std::unique_ptr<IPlatformBitmap> platformBitmap;
};

} // namespace VSTGUI
