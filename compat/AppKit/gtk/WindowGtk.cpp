// The GtkWindow under an NSWindow: made, styled, placed and shown here; its signals only translate
// (an event or a change of state goes to the NSWindow and on through the runtime).
#include "AppKit/standin/Application.h"
#include "AppKit/standin/Dragging.h"
#include "AppKit/standin/WindowState.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <cmath>

// The window's vertical box (menu bar above the content area). Its natural width is its minimum:
// GTK gives a window that cannot be resized its natural size, and a menu bar whose titles are wider
// than the content would otherwise widen the window; the bar shortens its titles instead.
struct QvContentBox {
    GtkBox parent;
};
struct QvContentBoxClass {
    GtkBoxClass parent_class;
};
G_DEFINE_TYPE(QvContentBox, qv_content_box, GTK_TYPE_BOX)

static void qv_content_box_get_preferred_width(GtkWidget* widget, gint* minimum, gint* natural)
{
    gint least = 0;
    GTK_WIDGET_CLASS(qv_content_box_parent_class)->get_preferred_width(widget, &least, nullptr);
    if (minimum)
        *minimum = least;
    if (natural)
        *natural = least;
}

static void qv_content_box_class_init(QvContentBoxClass* klass)
{
    GTK_WIDGET_CLASS(klass)->get_preferred_width = qv_content_box_get_preferred_width;
}

static void qv_content_box_init(QvContentBox* box)
{
    gtk_orientable_set_orientation(GTK_ORIENTABLE(box), GTK_ORIENTATION_VERTICAL);
}

namespace qvcompat::appkit {

namespace {

// How long a geometry asked of X may take before its answer is taken as the X server's last word.
constexpr int64_t kGeometryWaitMicroseconds = 250 * 1000;

tFrameExtents s_decoratedExtents;  // the last seen; a window manager's decoration is the same for all

id owner(gpointer data) { return static_cast<id>(data); }
tWindow& stateOf(gpointer data) { return WindowState::of(owner(data)); }

int menuBarHeight(const tWindow& window)
{
    // The menu bar above the content area, when there is one (its natural height, known before it
    // is allocated, so that a new window is made with the content's size).
    if (!window.menuBar || !gtk_widget_get_visible(window.menuBar))
        return 0;
    int natural = 0;
    gtk_widget_get_preferred_height(window.menuBar, nullptr, &natural);
    return std::max(0, natural);
}

// The content rectangle as X has it now (screen coordinates), and the frame extents.
bool readGeometry(tWindow& window, NSRect& content)
{
    GdkWindow* areaWindow = window.area ? gtk_widget_get_window(window.area) : nullptr;
    if (!areaWindow || !gtk_widget_get_mapped(window.gtk))
        return false;
    int x = 0;
    int y = 0;
    gdk_window_get_origin(areaWindow, &x, &y);
    const int width = gtk_widget_get_allocated_width(window.area);
    const int height = gtk_widget_get_allocated_height(window.area);
    content = appKitRectFromRoot(x, y, width, height, primaryScreenBase());

    GdkWindow* top = gtk_widget_get_window(window.gtk);
    GdkRectangle frame;
    gdk_window_get_frame_extents(top, &frame);
    int clientX = 0;
    int clientY = 0;
    gdk_window_get_origin(top, &clientX, &clientY);
    const int clientWidth = gdk_window_get_width(top);
    const int clientHeight = gdk_window_get_height(top);
    tFrameExtents extents;
    extents.left = std::max(0, clientX - frame.x);
    extents.top = std::max(0, clientY - frame.y) + menuBarHeight(window);
    extents.right = std::max(0, frame.width - clientWidth - (clientX - frame.x));
    extents.bottom = std::max(0, frame.height - clientHeight - (clientY - frame.y));
    window.extents = extents;
    if (window.style & NSWindowStyleMaskTitled) {
        s_decoratedExtents = extents;
        s_decoratedExtents.top -= menuBarHeight(window);
    }
    return true;
}

// The content rectangle that X has (or is asked to take): the views and the delegate follow.
void setContentRectFromX(id self, const NSRect& content)
{
    const NSRect old = WindowState::of(self).contentRect;
    if (old.size.width != content.size.width || old.size.height != content.size.height)
        noteResized(self, content);
    if (old.origin.x != content.origin.x || old.origin.y != content.origin.y)
        noteMoved(self, content);
}

bool sameRect(const NSRect& a, const NSRect& b)
{
    return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
           a.size.height == b.size.height;
}

// X reports where the window is: moves and resizes (by the user or the window manager) reach the
// NSWindow; a size the delegate would not allow is corrected at once.
void geometryChanged(gpointer data)
{
    tWindow& window = stateOf(data);
    NSRect content{};
    if (!readGeometry(window, content))
        return;
    if (window.geometryPending) {
        if (!sameRect(content, window.contentRect) && g_get_monotonic_time() < window.geometryDeadline)
            return;  // an answer to an older request: the one asked is on its way
        window.geometryPending = false;
    }
    id self = owner(data);
    const NSRect old = window.contentRect;
    if (old.size.width != content.size.width || old.size.height != content.size.height) {
        const NSRect frame = frameRectForContentRect(content, window.extents);
        const NSSize allowed = delegateResize(self, frame.size);
        if (allowed.width != frame.size.width || allowed.height != frame.size.height) {
            // Too late to refuse: the size the delegate allows is asked for at once.
            NSRect wanted = contentRectForFrameRect(NSRect{frame.origin, allowed}, window.extents);
            wanted.origin.y += content.size.height - wanted.size.height;  // the top edge stays
            setContentRectFromX(self, wanted);
            applyGtkGeometry(stateOf(data));
            return;
        }
    }
    setContentRectFromX(self, content);
}

gboolean onConfigure(GtkWidget*, GdkEventConfigure*, gpointer data)
{
    geometryChanged(data);
    return FALSE;
}

void onAreaAllocated(GtkWidget*, GdkRectangle*, gpointer data) { geometryChanged(data); }

gboolean onMapped(GtkWidget*, GdkEvent*, gpointer data)
{
    geometryChanged(data);
    return FALSE;
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    // The close button: the window closes itself when its delegate agrees.
    objc::msgSend<void, id>(owner(data), objc::sel("performClose:"), nil);
    return TRUE;
}

gboolean onFocusIn(GtkWidget*, GdkEventFocus*, gpointer data)
{
    becomeKey(owner(data));
    return FALSE;
}

gboolean onFocusOut(GtkWidget*, GdkEventFocus*, gpointer data)
{
    resignKey(owner(data));
    return FALSE;
}

gboolean onWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data)
{
    id self = owner(data);
    const GdkWindowState state = event->new_window_state;
    if (event->changed_mask & GDK_WINDOW_STATE_ICONIFIED)
        noteMiniaturized(self, state & GDK_WINDOW_STATE_ICONIFIED);
    if (event->changed_mask & GDK_WINDOW_STATE_MAXIMIZED)
        noteZoomed(self, state & GDK_WINDOW_STATE_MAXIMIZED);
    if (event->changed_mask & GDK_WINDOW_STATE_FULLSCREEN)
        noteFullScreen(self, state & GDK_WINDOW_STATE_FULLSCREEN);
    return FALSE;
}

gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer data)
{
    tWindow& window = stateOf(data);
    GdkRectangle dirty;
    if (!window.contentView || !gdk_cairo_get_clip_rectangle(cr, &dirty))
        return FALSE;
    drawViewTree(static_cast<NSView*>(window.contentView), cr, dirty, window.contentRect.size.height);
    return TRUE;
}

gboolean onInput(GtkWidget*, GdkEvent* event, gpointer data)
{
    dispatchGdkEvent(static_cast<NSWindow*>(owner(data)), event);
    return TRUE;
}

void connect(GtkWidget* widget, const char* signal, GCallback callback, id self)
{
    g_signal_connect(widget, signal, callback, self);
}

}  // namespace

tFrameExtents knownExtents(bool decorated) { return decorated ? s_decoratedExtents : tFrameExtents{}; }

void createGtkWindow(tWindow& window)
{
    id self = window.self;
    window.gtk = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window.gtk);
    gtk_window_set_gravity(GTK_WINDOW(window.gtk), GDK_GRAVITY_NORTH_WEST);
    window.box = GTK_WIDGET(g_object_new(qv_content_box_get_type(), nullptr));
    window.area = gtk_drawing_area_new();
    gtk_widget_set_hexpand(window.area, TRUE);
    gtk_widget_set_vexpand(window.area, TRUE);
    gtk_widget_set_can_focus(window.area, TRUE);
    gtk_widget_add_events(window.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                           GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK | GDK_ENTER_NOTIFY_MASK |
                                           GDK_LEAVE_NOTIFY_MASK | GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
    gtk_box_pack_end(GTK_BOX(window.box), window.area, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(window.gtk), window.box);
    gtk_widget_show_all(window.box);

    window.inputMethod = gtk_im_multicontext_new();

    connect(window.gtk, "configure-event", G_CALLBACK(onConfigure), self);
    connect(window.gtk, "map-event", G_CALLBACK(onMapped), self);
    connect(window.gtk, "delete-event", G_CALLBACK(onDelete), self);
    connect(window.gtk, "focus-in-event", G_CALLBACK(onFocusIn), self);
    connect(window.gtk, "focus-out-event", G_CALLBACK(onFocusOut), self);
    connect(window.gtk, "window-state-event", G_CALLBACK(onWindowState), self);
    connect(window.gtk, "key-press-event", G_CALLBACK(onInput), self);
    connect(window.gtk, "key-release-event", G_CALLBACK(onInput), self);
    connect(window.area, "size-allocate", G_CALLBACK(onAreaAllocated), self);
    connect(window.area, "draw", G_CALLBACK(onDraw), self);
    connectDragDestination(window.area, self);
    for (const char* signal : {"button-press-event", "button-release-event", "motion-notify-event", "scroll-event",
                               "enter-notify-event", "leave-notify-event"})
        connect(window.area, signal, G_CALLBACK(onInput), self);

    decorateGtkWindow(window);
    applyGtkTraits(window);
    applyGtkGeometry(window);
    applyGtkTitle(window);
}

void applyGtkTraits(tWindow& window)
{
    if (!window.gtk)
        return;
    GtkWindow* gtk = GTK_WINDOW(window.gtk);
    const tGtkWindowTraits traits = gtkTraitsFor(window.style, window.level, window.panel);
    gtk_window_set_decorated(gtk, traits.decorated);
    gtk_window_set_deletable(gtk, traits.deletable);
    gtk_window_set_resizable(gtk, traits.resizable);
    gtk_window_set_accept_focus(gtk, traits.acceptFocus);
    gtk_window_set_focus_on_map(gtk, traits.acceptFocus);
    gtk_window_set_keep_above(gtk, traits.keepAbove);
    gtk_window_set_keep_below(gtk, traits.keepBelow);
    gtk_window_set_skip_taskbar_hint(gtk, traits.skipTaskbar);
    if (!gtk_widget_get_realized(window.gtk))
        gtk_window_set_type_hint(gtk, traits.typeHint);
    else
        gdk_window_set_functions(gtk_widget_get_window(window.gtk), traits.functions);

    // Size limits: the window's own, narrowed by what the delegate makes of a tiny and a huge size.
    const int extraWidth = window.extents.left + window.extents.right;
    const int extraHeight = window.extents.top + window.extents.bottom;
    const NSSize smallest = delegateResize(window.self, NSSize{1.0 + extraWidth, 1.0 + extraHeight});
    const NSSize largest = delegateResize(window.self, NSSize{32767.0, 32767.0});
    GdkGeometry hints{};
    hints.min_width = static_cast<int>(std::max(window.contentMinSize.width, smallest.width - extraWidth));
    hints.min_height =
        static_cast<int>(std::max(window.contentMinSize.height, smallest.height - extraHeight)) + menuBarHeight(window);
    hints.max_width =
        static_cast<int>(std::min<double>({window.contentMaxSize.width, largest.width - extraWidth, 32767.0}));
    hints.max_height =
        static_cast<int>(std::min<double>({window.contentMaxSize.height, largest.height - extraHeight, 32767.0})) +
        menuBarHeight(window);
    if (traits.resizable)
        gtk_window_set_geometry_hints(gtk, nullptr, &hints, GdkWindowHints(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));

    const bool clear = !window.opaque;
    GdkScreen* screen = gtk_widget_get_screen(window.gtk);
    if (clear && !gtk_widget_get_realized(window.gtk))
        if (GdkVisual* visual = gdk_screen_get_rgba_visual(screen))
            gtk_widget_set_visual(window.gtk, visual);
    gtk_widget_set_app_paintable(window.gtk, clear);
}

void applyGtkGeometry(tWindow& window)
{
    if (!window.gtk)
        return;
    const GdkRectangle content = rootRectFromAppKit(window.contentRect, primaryScreenBase());
    const int width = std::max(1, content.width);
    const int height = std::max(1, content.height);
    // A window that cannot be resized takes its size from its content's request.
    if (!gtk_window_get_resizable(GTK_WINDOW(window.gtk)))
        gtk_widget_set_size_request(window.area, width, height);
    else
        gtk_widget_set_size_request(window.area, -1, -1);
    gtk_window_resize(GTK_WINDOW(window.gtk), width, height + menuBarHeight(window));
    // NorthWest gravity: the position is the frame's top-left corner.
    gtk_window_move(GTK_WINDOW(window.gtk), content.x - window.extents.left, content.y - window.extents.top);
    window.geometryPending = gtk_widget_get_mapped(window.gtk);
    window.geometryDeadline = g_get_monotonic_time() + kGeometryWaitMicroseconds;
}

void applyGtkTitle(tWindow& window)
{
    if (!window.gtk)
        return;
    const char* text = window.title ? objc::msgSend<const char*>(window.title, objc::sel("UTF8String")) : nullptr;
    gtk_window_set_title(GTK_WINDOW(window.gtk), text ? text : "");
}

void showGtkWindow(tWindow& window, bool activate)
{
    if (!window.gtk)
        return;
    applyGtkTraits(window);
    gtk_widget_show(window.gtk);
    applyGtkGeometry(window);  // the window manager places a new window where it likes otherwise
    if (activate)
        gtk_window_present(GTK_WINDOW(window.gtk));
}

void hideGtkWindow(tWindow& window)
{
    if (window.gtk)
        gtk_widget_hide(window.gtk);
}

void focusGtkWindow(tWindow& window)
{
    if (!window.gtk)
        return;
    gtk_window_present(GTK_WINDOW(window.gtk));
    gtk_widget_grab_focus(window.area);
}

void iconifyGtkWindow(tWindow& window, bool iconify)
{
    if (!window.gtk)
        return;
    if (iconify)
        gtk_window_iconify(GTK_WINDOW(window.gtk));
    else
        gtk_window_deiconify(GTK_WINDOW(window.gtk));
}

void maximizeGtkWindow(tWindow& window, bool maximize)
{
    if (!window.gtk)
        return;
    if (maximize)
        gtk_window_maximize(GTK_WINDOW(window.gtk));
    else
        gtk_window_unmaximize(GTK_WINDOW(window.gtk));
}

void fullscreenGtkWindow(tWindow& window, bool fullscreen)
{
    if (!window.gtk)
        return;
    if (fullscreen)
        gtk_window_fullscreen(GTK_WINDOW(window.gtk));
    else
        gtk_window_unfullscreen(GTK_WINDOW(window.gtk));
}

void processGtkUpdates(tWindow& window)
{
    GdkWindow* native = window.area ? gtk_widget_get_window(window.area) : nullptr;
    if (!native)
        return;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_window_process_updates(native, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

void destroyGtkWindow(tWindow& window)
{
    if (window.inputMethod) {
        g_signal_handlers_disconnect_by_data(window.inputMethod, window.self);
        g_object_unref(window.inputMethod);
        window.inputMethod = nullptr;
    }
    if (!window.gtk)
        return;
    forgetDragDestination(window.self);
    g_signal_handlers_disconnect_by_data(window.gtk, window.self);
    g_signal_handlers_disconnect_by_data(window.area, window.self);
    if (window.menuBar)
        g_signal_handlers_disconnect_by_data(window.menuBar, window.self);
    gtk_widget_destroy(window.gtk);
    g_object_unref(window.gtk);
    if (window.accelGroup)
        g_object_unref(window.accelGroup);
    window.gtk = window.box = window.area = window.menuBar = nullptr;
    window.accelGroup = nullptr;
}

GtkWidget* windowContentArea(NSWindow* window) { return WindowState::of(window).area; }

double windowContentHeight(NSWindow* window) { return WindowState::of(window).contentRect.size.height; }

void invalidateWindowContent(NSWindow* window, const GdkRectangle& area)
{
    GtkWidget* widget = WindowState::of(window).area;
    if (widget && area.width > 0 && area.height > 0)
        gtk_widget_queue_draw_area(widget, area.x, area.y, area.width, area.height);
}

GtkIMContext* windowInputMethod(NSWindow* window) { return WindowState::of(window).inputMethod; }

}  // namespace qvcompat::appkit
