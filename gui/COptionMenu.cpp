#include "gui/COptionMenu.h"

#include <algorithm>
#include <cmath>

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/COpenGLView.h"

namespace VSTGUI {

namespace {

constexpr CColor kListColor(40, 44, 56, 255);
constexpr CColor kCurrentColor(60, 90, 160, 255);
constexpr CColor kHoverColor(90, 96, 112, 255);
constexpr CColor kBorderColor(150, 155, 170, 255);

} // namespace

COptionMenu::COptionMenu() : CView(CRect()) {}

void COptionMenu::addEntry(UTF8StringPtr title) { entries.emplace_back(title ? title : ""); }

void COptionMenu::setCurrent(int32_t index) {
    current = index >= 0 && index < getNbEntries() ? index : -1;
    setDirty(true);
}

void COptionMenu::setFont(CFontRef newFont) {
    if (newFont) font = SharedPointer<CFontDesc>(newFont);
}

bool COptionMenu::popup(CFrame* frame, const CPoint& where, std::function<void(int32_t)> chosen) {
    if (!frame || entries.empty() || isAttached()) return false;
    const CCoord size = font->getSize();
    const CCoord entryHeight = std::round(size * 1.5);
    CCoord width = 0;
    for (const std::string& entry : entries) width = std::max<CCoord>(width, entry.size());
    // A width from the longest title, at about 0.6 of the font size per character, and a margin.
    width = std::round(width * size * 0.6 + 2 * size);
    const CRect frameRect(0, 0, frame->getWidth(), frame->getHeight());
    const CCoord height = entryHeight * getNbEntries();
    const CCoord left = std::max<CCoord>(0, std::min(where.x, frameRect.right - width));
    const CCoord top = std::max<CCoord>(0, std::min(where.y, frameRect.bottom - height));
    list = CRect(left, top, left + width, top + height);
    onChosen = std::move(chosen);
    hovered = -1;
    setViewSize(frameRect, false);
    // The frame takes a reference of its own; the caller keeps the menu.
    remember();
    if (!frame->addView(this)) {
        forget();
        return false;
    }
    showOpenGLViews(false);
    return true;
}

void COptionMenu::close() {
    CFrame* frame = getFrame();
    if (!frame || !isAttached()) return;
    showOpenGLViews(true);
    frame->removeView(this);
}

void COptionMenu::showOpenGLViews(bool state) {
    if (state) {
        for (auto& view : hidden) view->setVisible(true);
        hidden.clear();
        return;
    }
    CFrame* frame = getFrame();
    for (int32_t i = 0; frame && i < frame->getNbViews(); ++i) {
        auto* view = dynamic_cast<COpenGLView*>(frame->getView(i));
        if (!view || !view->isVisible() || !view->getViewSize().rectOverlap(list)) continue;
        hidden.emplace_back(view);
        view->setVisible(false);
    }
}

CRect COptionMenu::getEntryRect(int32_t index) const {
    const CCoord entryHeight = list.getHeight() / std::max<int32_t>(1, getNbEntries());
    return CRect(list.left, list.top + index * entryHeight, list.right, list.top + (index + 1) * entryHeight);
}

int32_t COptionMenu::entryAt(const CPoint& where) const {
    for (int32_t i = 0; i < getNbEntries(); ++i)
        if (getEntryRect(i).pointInside(where)) return i;
    return -1;
}

void COptionMenu::draw(CDrawContext* context) {
    context->setFillColor(kListColor);
    context->drawRect(list, kDrawFilled);
    context->setFont(font.get());
    context->setFontColor(kWhiteCColor);
    const CCoord margin = std::round(font->getSize() * 0.6);
    for (int32_t i = 0; i < getNbEntries(); ++i) {
        const CRect entry = getEntryRect(i);
        if (i == current || i == hovered) {
            context->setFillColor(i == hovered ? kHoverColor : kCurrentColor);
            context->drawRect(entry, kDrawFilled);
        }
        CRect text = entry;
        text.left += margin;
        context->drawString(entries[static_cast<size_t>(i)].c_str(), text, kLeftText);
    }
    context->setFrameColor(kBorderColor);
    context->setLineWidth(std::max<CCoord>(1, std::round(font->getSize() / 12)));
    context->drawRect(list, kDrawStroked);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& where, const CButtonState&) {
    // Closing releases the frame's reference; this one keeps the menu until the choice is told.
    SharedPointer<COptionMenu> self(this);
    const int32_t index = entryAt(where);
    close();
    auto chosen = std::move(onChosen);
    onChosen = nullptr;
    if (index >= 0 && chosen) chosen(index);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult COptionMenu::onMouseMoved(CPoint& where, const CButtonState&) {
    const int32_t index = entryAt(where);
    if (index != hovered) {
        hovered = index;
        setDirty(true);
    }
    return kMouseEventHandled;
}

} // namespace VSTGUI
