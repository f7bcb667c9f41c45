#pragma once
#include "gui/CControl.h"
#include "gui/CFontDesc.h"
#include "gui/SharedPointer.h"

// The column of level labels beside the graph, each centred on the matching grid line of
// the graph at the same display range, and the title line in the bottom-right corner.
// Its value is never changed and its listener never called. User-interface thread only.
class ZuMeter : public VSTGUI::CControl {
public:
    // Tag 8, transparent, placed for a display range of 8. Text and line spacing grow with scale
    // (device pixels per layout pixel).
    ZuMeter(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, double scale = 1.0);

    // Moves the labels to the graph's grid at range (not clamped: the graph keeps it within
    // 1 to 8) and marks the view dirty. Labels that a range of 0 or one that is not a number
    // would put at no finite height are not drawn.
    void setDisplayRange(float range);
    // Vertical centre of label k (1 to 7), in view-local pixels from the top.
    double getLabelY(int k) const { return labelY[k - 1]; }

    // Builds the column in an off-screen context and draws it over what lies behind.
    void draw(VSTGUI::CDrawContext* context) override;

    CLASS_METHODS(ZuMeter, CControl)

    static constexpr const char* labelTexts[8] = {"0.0db",   "-6.0db",  "-12.0db", "-18.0db",
                                                  "-24.0db", "-30.0db", "-36.0db", "tarn Compressor 1.2.4"};

protected:
    ~ZuMeter() override = default;

private:
    void placeLabels(double pixelsPerDoubling);

    double viewWidth;
    double lineHeight;
    VSTGUI::SharedPointer<VSTGUI::CFontDesc> font;
    double viewHeight;
    double dbPerDoubling = 0.;
    double labelY[7] = {};
};
