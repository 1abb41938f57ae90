#include "XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <thread>

namespace QV::E2E {

namespace {

// Windows of the program may vanish between two requests: such errors are expected, not fatal.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

int componentShift(unsigned long mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

XSession::XSession(const std::string& display)
{
    m_display = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (m_display)
        XSetErrorHandler(ignoreErrors);
}

XSession::~XSession()
{
    if (m_display)
        XCloseDisplay(m_display);
}

std::string XSession::title(XWindowId window) const
{
    if (!m_display)
        return {};
    const Atom netName = XInternAtom(m_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(m_display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (type == utf8 && format == 8)
            text.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (text.empty()) {
        char* name = nullptr;
        if (XFetchName(m_display, window, &name) && name) {
            text = name;
            XFree(name);
        }
    }
    return text;
}

std::vector<XWindowId> XSession::viewableWindows() const
{
    std::vector<XWindowId> found;
    if (!m_display)
        return found;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(m_display, children[i], &attributes) && attributes.map_state == IsViewable)
            found.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return found;
}

std::vector<XWindowId> XSession::windowsTitled(const std::string& wanted) const
{
    std::vector<XWindowId> found;
    for (const XWindowId window : viewableWindows()) {
        if (title(window) == wanted)
            found.push_back(window);
    }
    return found;
}

XWindowId XSession::waitForWindow(const std::string& wanted, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto windows = windowsTitled(wanted);
        if (!windows.empty())
            return windows.front();
        if (std::chrono::steady_clock::now() > deadline)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<tRect> XSession::geometry(XWindowId window) const
{
    XWindowAttributes attributes;
    if (!m_display || !XGetWindowAttributes(m_display, window, &attributes))
        return std::nullopt;
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y, &child))
        return std::nullopt;
    return tRect{x, y, attributes.width, attributes.height};
}

Image XSession::grab(XWindowId window) const
{
    const auto rect = geometry(window);
    if (!rect || rect->width <= 0 || rect->height <= 0)
        return {};
    XImage* shot = XGetImage(m_display, window, 0, 0, static_cast<unsigned>(rect->width),
                             static_cast<unsigned>(rect->height), AllPlanes, ZPixmap);
    if (!shot)
        return {};
    const int redShift = componentShift(shot->red_mask);
    const int greenShift = componentShift(shot->green_mask);
    const int blueShift = componentShift(shot->blue_mask);
    Image image(rect->width, rect->height);
    for (int y = 0; y < rect->height; ++y) {
        for (int x = 0; x < rect->width; ++x) {
            const unsigned long value = XGetPixel(shot, x, y);
            image.setPixel(x, y,
                           {static_cast<std::uint8_t>((value & shot->red_mask) >> redShift),
                            static_cast<std::uint8_t>((value & shot->green_mask) >> greenShift),
                            static_cast<std::uint8_t>((value & shot->blue_mask) >> blueShift)});
        }
    }
    XDestroyImage(shot);
    return image;
}

void XSession::movePointer(XWindowId window, int x, int y) const
{
    const auto rect = geometry(window);
    if (!rect)
        return;
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), rect->x + x, rect->y + y, CurrentTime);
    sync();
}

void XSession::click(XWindowId window, int x, int y, int count, unsigned button) const
{
    movePointer(window, x, y);
    for (int i = 0; i < count; ++i) {
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    }
    sync();
}

void XSession::key(const std::string& keysym, const std::vector<std::string>& modifiers) const
{
    if (!m_display)
        return;
    const auto code = [this](const std::string& name) {
        return XKeysymToKeycode(m_display, XStringToKeysym(name.c_str()));
    };
    for (const std::string& modifier : modifiers)
        XTestFakeKeyEvent(m_display, code(modifier), True, CurrentTime);
    XTestFakeKeyEvent(m_display, code(keysym), True, CurrentTime);
    XTestFakeKeyEvent(m_display, code(keysym), False, CurrentTime);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        XTestFakeKeyEvent(m_display, code(*it), False, CurrentTime);
    sync();
}

void XSession::sync() const
{
    if (m_display)
        XSync(m_display, False);
}

}  // namespace QV::E2E
