#include "gui/linux/X11Frame.h"

#include <X11/Xutil.h>

#include <cstdint>

#include "gui/linux/CairoBitmap.h"
#include "gui/linux/GLXOpenGLView.h"
#include "gui/linux/LinuxTimer.h"
#include "gui/linux/X11Display.h"
#include "gui/linux/X11Errors.h"
#include "gui/linux/X11KeyCode.h"

namespace VSTGUI {

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | StructureNotifyMask;

int32_t modifiersOf(unsigned int state) {
    int32_t buttons = 0;
    if (state & ShiftMask) buttons |= kShift;
    if (state & ControlMask) buttons |= kControl;
    if (state & Mod1Mask) buttons |= kAlt;
    return buttons;
}

int32_t buttonsOf(unsigned int state) {
    int32_t buttons = modifiersOf(state);
    if (state & Button1Mask) buttons |= kLButton;
    if (state & Button2Mask) buttons |= kMButton;
    if (state & Button3Mask) buttons |= kRButton;
    return buttons;
}

int32_t buttonOf(unsigned int button) {
    switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

} // namespace

std::unique_ptr<IPlatformFrame> IPlatformFrame::create(IPlatformFrameCallback* frame, const CRect& size,
                                                       void* parent) {
    auto platformFrame = std::make_unique<X11Frame>(frame, size, static_cast<Window>(reinterpret_cast<uintptr_t>(parent)));
    if (!platformFrame->isOpen()) return nullptr;
    return platformFrame;
}

X11Frame::X11Frame(IPlatformFrameCallback* callback, const CRect& size) : callback(callback), size(size) {}

// Delegating: once the plain constructor has run, a failure below (an allocation) runs the
// destructor, which releases what was made.
X11Frame::X11Frame(IPlatformFrameCallback* callback, const CRect& size, Window parent) : X11Frame(callback, size) {
    const auto width = static_cast<unsigned int>(size.getWidth());
    const auto height = static_cast<unsigned int>(size.getHeight());
    if (!parent || width < 1 || height < 1) return;
    display = openX11Display();
    if (!display) return;
    X11Errors::attach(display);

    const unsigned long errorsBefore = X11Errors::count(display);
    XSetWindowAttributes attributes{};
    // No background: the server leaves exposed areas alone until we copy the buffer.
    attributes.background_pixmap = None;
    attributes.event_mask = kEventMask;
    window = XCreateWindow(display, parent, 0, 0, width, height, 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixmap | CWEventMask, &attributes);
    XSync(display, False);
    XWindowAttributes windowAttributes{};
    // A parent that does not exist makes the creation fail with an error.
    if (X11Errors::count(display) != errorsBefore || !XGetWindowAttributes(display, window, &windowAttributes)) {
        window = 0;
        return;
    }
    visual = windowAttributes.visual;
    depth = windowAttributes.depth;
    gc = XCreateGC(display, window, 0, nullptr);
    if (!createBuffer()) {
        XDestroyWindow(display, window);
        window = 0;
        return;
    }
    XMapWindow(display, window);
    // After the round trip the first Expose is queued: the first idle paints everything.
    XSync(display, False);
}

X11Frame::~X11Frame() {
    releaseBuffer();
    if (!display) return;
    if (gc) XFreeGC(display, gc);
    // The host may have destroyed its window, and ours with it: errors are ignored.
    if (window) XDestroyWindow(display, window);
    XSync(display, True);
    X11Errors::detach(display);
    XCloseDisplay(display);
}

bool X11Frame::createBuffer() {
    auto bitmap = owned(new CBitmap(size.getWidth(), size.getHeight()));
    buffer = owned(COffscreenContext::create(bitmap.get()));
    return static_cast<bool>(buffer);
}

void X11Frame::releaseBuffer() { buffer = SharedPointer<COffscreenContext>(); }

bool X11Frame::setSize(const CRect& newSize) {
    if (!window || newSize.getWidth() < 1 || newSize.getHeight() < 1) return false;
    size = newSize;
    const auto width = static_cast<int>(size.getWidth());
    const auto height = static_cast<int>(size.getHeight());
    XResizeWindow(display, window, static_cast<unsigned int>(width), static_cast<unsigned int>(height));
    return createBuffer();
}

bool X11Frame::invalidRect(const CRect& rect) {
    if (!window || !buffer) return false;
    CRect area = rect;
    area.bound(CRect(0, 0, size.getWidth(), size.getHeight()));
    if (area.isEmpty()) return true;
    buffer->beginDraw();
    buffer->resetClipRect();
    callback->platformDrawRect(buffer.get(), area);
    buffer->endDraw();
    show(area);
    return true;
}

void X11Frame::show(const CRect& area) {
    auto* bitmap = static_cast<CairoBitmap*>(buffer->getBitmap()->getPlatformBitmap());
    cairo_surface_t* surface = bitmap->getSurface();
    auto* pixels = reinterpret_cast<char*>(cairo_image_surface_get_data(surface));
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int x = static_cast<int>(area.left);
    const int y = static_cast<int>(area.top);
    const auto w = static_cast<unsigned int>(area.getWidth());
    const auto h = static_cast<unsigned int>(area.getHeight());
    // Cairo's 32-bit pixels are the server's own on the usual true-colour visuals; other
    // visuals get each pixel converted.
    const bool native = (depth == 24 || depth == 32) && visual->red_mask == 0xff0000 &&
                        visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
    if (native) {
        XImage* image = XCreateImage(display, visual, static_cast<unsigned int>(depth), ZPixmap, 0, pixels,
                                     static_cast<unsigned int>(width), static_cast<unsigned int>(height), 32, stride);
        if (!image) return;
        image->byte_order = LSBFirst;
        XPutImage(display, window, gc, image, x, y, x, y, w, h);
        image->data = nullptr;
        XDestroyImage(image);
    } else {
        XImage* image = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
        if (!image) return;
        auto scale = [](uint32_t value, unsigned long mask) {
            unsigned long shifted = mask;
            int shift = 0;
            while (shifted && !(shifted & 1)) {
                shifted >>= 1;
                ++shift;
            }
            return (static_cast<unsigned long>(value) * shifted / 255) << shift;
        };
        for (unsigned int row = 0; row < h; ++row) {
            const auto* source = reinterpret_cast<const uint32_t*>(pixels + (y + static_cast<int>(row)) * stride) + x;
            for (unsigned int column = 0; column < w; ++column) {
                const uint32_t p = source[column];
                XPutPixel(image, static_cast<int>(column), static_cast<int>(row),
                          scale((p >> 16) & 0xff, visual->red_mask) | scale((p >> 8) & 0xff, visual->green_mask) |
                              scale(p & 0xff, visual->blue_mask));
            }
        }
        XPutImage(display, window, gc, image, 0, 0, x, y, w, h);
        XDestroyImage(image);
    }
    XFlush(display);
}

bool X11Frame::queryPointer(CPoint& where, unsigned int& mask) const {
    if (!window) return false;
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    if (!XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    where = CPoint(x, y);
    return true;
}

bool X11Frame::getCurrentMousePosition(CPoint& where) const {
    unsigned int mask = 0;
    return queryPointer(where, mask);
}

bool X11Frame::getCurrentMouseButtons(CButtonState& buttons) const {
    CPoint where;
    unsigned int mask = 0;
    if (!queryPointer(where, mask)) return false;
    buttons = CButtonState(buttonsOf(mask));
    return true;
}

void X11Frame::processEvents() {
    if (display) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handleEvent(event);
        }
    }
    fireDueLinuxTimers();
}

void X11Frame::handleEvent(XEvent& event) {
    if (event.xany.window != window) {
        auto child = childWindows.find(event.xany.window);
        if (event.type == Expose && child != childWindows.end()) {
            const XExposeEvent& e = event.xexpose;
            child->second(CRect(e.x, e.y, e.x + e.width, e.y + e.height));
        }
        return;
    }
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        invalidRect(CRect(e.x, e.y, e.x + e.width, e.y + e.height));
        break;
    }
    case ButtonPress: {
        const XButtonEvent& e = event.xbutton;
        // Buttons 4 and 5 are the wheel's notches away from and towards the user.
        if (e.button == Button4 || e.button == Button5) {
            callback->platformOnMouseWheel(CPoint(e.x, e.y), e.button == Button4 ? 1.f : -1.f,
                                           CButtonState(modifiersOf(e.state)));
            break;
        }
        const int32_t button = buttonOf(e.button);
        if (!button) break;
        CPoint where(e.x, e.y);
        callback->platformOnMouseDown(where, CButtonState(button | modifiersOf(e.state)));
        break;
    }
    case ButtonRelease: {
        const XButtonEvent& e = event.xbutton;
        const int32_t button = buttonOf(e.button);
        if (!button) break;
        CPoint where(e.x, e.y);
        callback->platformOnMouseUp(where, CButtonState(button | modifiersOf(e.state)));
        break;
    }
    case MotionNotify: {
        const XMotionEvent& e = event.xmotion;
        CPoint where(e.x, e.y);
        callback->platformOnMouseMoved(where, CButtonState(buttonsOf(e.state)));
        break;
    }
    case KeyPress: {
        VstKeyCode key = keyCodeFromX11(event.xkey);
        callback->platformOnKeyDown(key);
        break;
    }
    case KeyRelease: {
        VstKeyCode key = keyCodeFromX11(event.xkey);
        callback->platformOnKeyUp(key);
        break;
    }
    case DestroyNotify:
        // The host destroyed its window and ours with it: nothing is drawn from now on.
        if (event.xdestroywindow.window == window) {
            window = 0;
            releaseBuffer();
        }
        break;
    default: break;
    }
}

std::unique_ptr<IPlatformOpenGLView> X11Frame::createPlatformOpenGLView() {
    if (!window) return nullptr;
    return std::make_unique<GLXOpenGLView>(*this);
}

void X11Frame::addChildWindow(Window child, std::function<void(const CRect&)> onExpose) {
    childWindows[child] = std::move(onExpose);
}

void X11Frame::removeChildWindow(Window child) { childWindows.erase(child); }

} // namespace VSTGUI
