#pragma once
#include "gui/CKnob.h"

namespace VSTGUI {

// A knob drawn from a film strip: frames of equal height stacked from top to bottom; value v
// shows frame floor(v x (frames - 1)).
class CAnimKnob : public CKnob {
public:
    // One frame is as high as the view; the strip's height gives the number of frames.
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    int32_t getNumSubPixmaps() const { return subPixmaps; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    // The frame shown for the current value.
    int32_t getFrameIndex() const;

    CLASS_METHODS(CAnimKnob, CKnob)

protected:
    ~CAnimKnob() override = default;

private:
    int32_t subPixmaps;
    CCoord heightOfOneImage;
};

} // namespace VSTGUI
