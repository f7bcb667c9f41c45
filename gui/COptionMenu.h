#pragma once
#include <functional>
#include <string>
#include <vector>

#include "gui/CColor.h"
#include "gui/CFontDesc.h"
#include "gui/CView.h"

namespace VSTGUI {

class COpenGLView;

// A list of entries that pops up over a frame where the user clicked, drawn inside the frame's
// window: a click on an entry chooses it, a click anywhere else closes the list. While it is
// shown it covers the whole frame (to catch that click) and OpenGL surfaces under the list are
// hidden, since they lie above the frame's own drawing. User-interface thread only.
class COptionMenu : public CView {
public:
    COptionMenu();

    void addEntry(UTF8StringPtr title);
    int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    // The entry shown as the current one; -1 for none.
    void setCurrent(int32_t index);
    int32_t getCurrentIndex() const { return current; }
    // The entries' font; each entry is 1.5 times its size high.
    void setFont(CFontRef font);

    // Shows the list with its top left corner at where, moved inside the frame, over all its
    // views. chosen is called with the entry's index after the list has closed. False when the
    // menu has no entries or is shown already.
    bool popup(CFrame* frame, const CPoint& where, std::function<void(int32_t)> chosen);
    // Takes the list away without a choice.
    void close();
    bool isOpen() const { return isAttached(); }
    // Where entry index lies in the frame while the list is shown.
    CRect getEntryRect(int32_t index) const;

    void draw(CDrawContext* context) override;
    bool checkUpdate(const CRect& updateRect) const override { return updateRect.rectOverlap(list); }
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

    CLASS_METHODS_NOCOPY(COptionMenu, CView)

protected:
    ~COptionMenu() override = default;

private:
    int32_t entryAt(const CPoint& where) const;
    void showOpenGLViews(bool state);

    std::vector<std::string> entries;
    int32_t current = -1;
    int32_t hovered = -1;
    SharedPointer<CFontDesc> font{kSystemFont};
    CRect list;
    std::function<void(int32_t)> onChosen;
    std::vector<SharedPointer<COpenGLView>> hidden;
};

} // namespace VSTGUI
