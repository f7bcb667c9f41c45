#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"
#include "platform/Resource.h"

namespace VSTGUI {

CBitmap::CBitmap(const CResourceDescription& desc) : resourceDesc(desc) {
    const tarn::ResourceBytes png = tarn::findPngResource(desc.id);
    if (png.data) platformBitmap = IPlatformBitmap::createFromMemory(png.data, static_cast<uint32_t>(png.size));
}

CBitmap::CBitmap(CCoord width, CCoord height) : platformBitmap(IPlatformBitmap::create(CPoint(width, height))) {}

CBitmap::CBitmap(std::unique_ptr<IPlatformBitmap> platformBitmap) : platformBitmap(std::move(platformBitmap)) {}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
    if (context) context->drawBitmap(this, rect, offset, alpha);
}

SharedPointer<CBitmap> CBitmap::scaledTo(CCoord width, CCoord height) const {
    std::unique_ptr<IPlatformBitmap> copy;
    if (platformBitmap && width >= 1 && height >= 1) copy = platformBitmap->createScaledCopy(CPoint(width, height));
    return owned(new CBitmap(std::move(copy)));
}

CCoord CBitmap::getWidth() const { return platformBitmap ? platformBitmap->getSize().x : 0; }
CCoord CBitmap::getHeight() const { return platformBitmap ? platformBitmap->getSize().y : 0; }

} // namespace VSTGUI
