#pragma once
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/SharedPointer.h"

namespace VSTGUI {

class CFrame;

// A drawing context whose surface is a bitmap, fully transparent at first; drawn into
// another context through its bitmap. Each platform implements it.
class COffscreenContext : public CDrawContext {
public:
    // A context of width by height pixels for a view of frame; null without a frame or
    // for an empty size. The caller owns the one reference (forget()).
    static COffscreenContext* create(CFrame* frame, CCoord width, CCoord height);
    // A context drawing into bitmap (which it remembers); null when bitmap is not loaded.
    static COffscreenContext* create(CBitmap* bitmap);

    CBitmap* getBitmap() const { return bitmap.get(); }
    // Draws the bitmap, from srcOffset on, into destRect of context.
    void copyFrom(CDrawContext* context, const CRect& destRect, const CPoint& srcOffset = CPoint(0, 0));

protected:
    explicit COffscreenContext(CBitmap* bitmap);

private:
    SharedPointer<CBitmap> bitmap;
};

} // namespace VSTGUI
