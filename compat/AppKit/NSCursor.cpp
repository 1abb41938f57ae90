// NSCursor (NSCursor.h) over GdkCursor: shared cursors by the cursor theme's names, cursors from
// images, and the application's current cursor over every window's content.
#include "AppKit/gtk/GtkMainThread.h"
#include "AppKit/standin/Application.h"
#include "AppKit/standin/Graphics.h"
#include "AppKit/standin/WindowState.h"

#include <Foundation/ClassDefinition.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace qvcompat::appkit {

namespace {

struct tCursor {
    tCursor() = default;
    tCursor(const tCursor&) = delete;
    tCursor& operator=(const tCursor&) = delete;
    ~tCursor()
    {
        objc_release(image);
        if (gdk)
            g_object_unref(gdk);
    }

    std::string name;  // the theme's name; empty for a cursor made from an image
    id image = nil;    // retained
    NSPoint hotSpot{0, 0};
    GdkCursor* gdk = nullptr;  // owned; made on first use
};

using CursorState = foundation::InstanceState<tCursor>;

tCursor& state(id self) { return CursorState::of(self); }

id s_current = nil;            // retained: the application's cursor (nil: the arrow)
std::vector<id> s_stack;       // retained: -push's earlier cursors
bool s_hidden = false;         // +hide, +setHiddenUntilMouseMoves:
GdkCursor* s_blank = nullptr;  // the invisible cursor, owned

id namedCursor(const char* name)
{
    id cursor = objc::msgSend<id>(objc::msgSend<id>(NSCursorClass(), objc::sel("alloc")), objc::sel("init"));
    state(cursor).name = name;
    return cursor;  // immortal: each shared cursor is made once
}

#define QV_SHARED_CURSOR(method, name)                                                                                 \
    id method(id, SEL)                                                                                                 \
    {                                                                                                                  \
        static const id s_cursor = namedCursor(name);                                                                  \
        return s_cursor;                                                                                               \
    }
QV_SHARED_CURSOR(arrowCursor, "default")
QV_SHARED_CURSOR(iBeamCursor, "text")
QV_SHARED_CURSOR(iBeamVerticalCursor, "vertical-text")
QV_SHARED_CURSOR(crosshairCursor, "crosshair")
QV_SHARED_CURSOR(openHandCursor, "grab")
QV_SHARED_CURSOR(closedHandCursor, "grabbing")
QV_SHARED_CURSOR(pointingHandCursor, "pointer")
QV_SHARED_CURSOR(operationNotAllowedCursor, "not-allowed")
QV_SHARED_CURSOR(resizeLeftCursor, "w-resize")
QV_SHARED_CURSOR(resizeRightCursor, "e-resize")
QV_SHARED_CURSOR(resizeLeftRightCursor, "ew-resize")
QV_SHARED_CURSOR(resizeUpCursor, "n-resize")
QV_SHARED_CURSOR(resizeDownCursor, "s-resize")
QV_SHARED_CURSOR(resizeUpDownCursor, "ns-resize")
QV_SHARED_CURSOR(dragCopyCursor, "copy")
QV_SHARED_CURSOR(dragLinkCursor, "alias")
QV_SHARED_CURSOR(contextualMenuCursor, "context-menu")
QV_SHARED_CURSOR(disappearingItemCursor, "default")
#undef QV_SHARED_CURSOR

id initWithImage(id self, SEL, id image, NSPoint hotSpot)
{
    self = objc::msgSend<id>(self, objc::sel("init"));
    if (!self)
        return nil;
    objc_retain(image);
    objc_release(std::exchange(state(self).image, image));
    state(self).hotSpot = hotSpot;
    return self;
}

id image(id self, SEL) { return state(self).image; }
NSPoint hotSpot(id self, SEL) { return state(self).hotSpot; }

GdkCursor* blankCursor()
{
    if (!s_blank && ensureGtk())
        s_blank = gdk_cursor_new_for_display(gdk_display_get_default(), GDK_BLANK_CURSOR);
    return s_blank;
}

// What the windows show now: the invisible cursor while hidden, else the current one's.
GdkCursor* shownCursor()
{
    if (s_hidden)
        return blankCursor();
    return s_current ? gdkCursorOf(s_current) : nullptr;
}

void applyTo(GtkWidget* area)
{
    if (GdkWindow* window = area ? gtk_widget_get_window(area) : nullptr)
        gdk_window_set_cursor(window, shownCursor());
}

void applyToWindows()
{
    for (id window : applicationWindows())
        applyTo(WindowState::of(window).area);
    if (GdkDisplay* display = gdk_display_get_default())
        gdk_display_flush(display);
}

void makeCurrent(id cursor)
{
    objc_retain(cursor);
    objc_release(std::exchange(s_current, cursor));
    applyToWindows();
}

void set(id self, SEL) { makeCurrent(self); }

void push(id self, SEL)
{
    s_stack.push_back(objc_retain(s_current));
    makeCurrent(self);
}

void pop(id, SEL)
{
    if (s_stack.empty())
        return;
    id previous = s_stack.back();
    s_stack.pop_back();
    makeCurrent(previous);
    objc_release(previous);
}

id currentCursor(id self, SEL) { return s_current ? s_current : arrowCursor(self, nullptr); }

void setHidden(bool hidden)
{
    if (s_hidden == hidden)
        return;
    s_hidden = hidden;
    applyToWindows();
}

void hideCursor(id, SEL) { setHidden(true); }
void unhideCursor(id, SEL) { setHidden(false); }

// X has no "until the mouse moves": the next pointer motion over a window of the application shows
// it again (a GDK event filter sees every event before the windows do).
GdkFilterReturn showOnMotion(GdkXEvent*, GdkEvent* event, gpointer)
{
    if (event && event->type == GDK_MOTION_NOTIFY && s_hidden) {
        gdk_window_remove_filter(nullptr, &showOnMotion, nullptr);
        setHidden(false);
    }
    return GDK_FILTER_CONTINUE;
}

void setHiddenUntilMouseMoves(id, SEL, BOOL hide)
{
    setHidden(hide);
    if (hide && gdk_display_get_default())
        gdk_window_add_filter(nullptr, &showOnMotion, nullptr);
}

void onAreaRealized(GtkWidget* area, gpointer) { applyTo(area); }

}  // namespace

GdkCursor* gdkCursorOf(id cursor)
{
    tCursor& c = state(cursor);
    if (c.gdk || !ensureGtk())
        return c.gdk;
    GdkDisplay* display = gdk_display_get_default();
    if (!c.name.empty()) {
        c.gdk = gdk_cursor_new_from_name(display, c.name.c_str());
        if (!c.gdk)  // the theme lacks it
            c.gdk = gdk_cursor_new_from_name(display, "default");
    } else if (cairo_surface_t* surface = imageSurface(c.image)) {
        c.gdk = gdk_cursor_new_from_surface(display, surface, std::floor(c.hotSpot.x), std::floor(c.hotSpot.y));
    }
    return c.gdk;
}

void decorateWithCursor(tWindow& window)
{
    g_signal_connect(window.area, "realize", G_CALLBACK(onAreaRealized), nullptr);
}

Class NSCursorClass()
{
    static const Class s_class = foundation::ClassDefinition("NSCursor", foundation::NSObjectClass())
                                     .state<tCursor>()
                                     .classMethod("arrowCursor", &arrowCursor, "@@:")
                                     .classMethod("IBeamCursor", &iBeamCursor, "@@:")
                                     .classMethod("IBeamCursorForVerticalLayout", &iBeamVerticalCursor, "@@:")
                                     .classMethod("crosshairCursor", &crosshairCursor, "@@:")
                                     .classMethod("openHandCursor", &openHandCursor, "@@:")
                                     .classMethod("closedHandCursor", &closedHandCursor, "@@:")
                                     .classMethod("pointingHandCursor", &pointingHandCursor, "@@:")
                                     .classMethod("operationNotAllowedCursor", &operationNotAllowedCursor, "@@:")
                                     .classMethod("resizeLeftCursor", &resizeLeftCursor, "@@:")
                                     .classMethod("resizeRightCursor", &resizeRightCursor, "@@:")
                                     .classMethod("resizeLeftRightCursor", &resizeLeftRightCursor, "@@:")
                                     .classMethod("resizeUpCursor", &resizeUpCursor, "@@:")
                                     .classMethod("resizeDownCursor", &resizeDownCursor, "@@:")
                                     .classMethod("resizeUpDownCursor", &resizeUpDownCursor, "@@:")
                                     .classMethod("dragCopyCursor", &dragCopyCursor, "@@:")
                                     .classMethod("dragLinkCursor", &dragLinkCursor, "@@:")
                                     .classMethod("contextualMenuCursor", &contextualMenuCursor, "@@:")
                                     .classMethod("disappearingItemCursor", &disappearingItemCursor, "@@:")
                                     .classMethod("currentCursor", &currentCursor, "@@:")
                                     .classMethod("pop", &pop, "v@:")
                                     .classMethod("hide", &hideCursor, "v@:")
                                     .classMethod("unhide", &unhideCursor, "v@:")
                                     .classMethod("setHiddenUntilMouseMoves:", &setHiddenUntilMouseMoves, "v@:B")
                                     .method("initWithImage:hotSpot:", &initWithImage, "@@:@{CGPoint=dd}")
                                     .method("image", &image, "@@:")
                                     .method("hotSpot", &hotSpot, "{CGPoint=dd}@:")
                                     .method("set", &set, "v@:")
                                     .method("push", &push, "v@:")
                                     .method("pop", &pop, "v@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
