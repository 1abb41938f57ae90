// The monitors of GDK's default display, watched through the display's monitor-added and
// monitor-removed signals and the screen's monitors-changed and size-changed signals (RandR).
// A reading stands until the main loop turns again or a signal comes: the monitors and their work
// areas change only through events that the loop delivers, and each fresh reading asks the X server
// for every monitor's work area (making one window asked it a dozen times).
#include "CoreGraphics/standin/Monitors.h"

#include <gdk/gdk.h>

namespace qvcompat::coregraphics {

namespace {

class GdkMonitorSource final : public MonitorSource {
public:
    ~GdkMonitorSource() override
    {
        if (m_turns) {
            g_source_destroy(&m_turns->base);
            g_source_unref(&m_turns->base);
        }
        detach();
        release();
    }

    std::vector<tMonitor> monitors() override
    {
        if (m_standing)
            return m_reading;
        GdkDisplay* display = gdk_display_get_default();
        if (!display)
            return {};
        attach(display);
        release();
        std::vector<tMonitor> result;
        GdkMonitor* primary = gdk_display_get_primary_monitor(display);
        const int count = gdk_display_get_n_monitors(display);
        for (int i = 0; i < count; ++i) {
            GdkMonitor* monitor = gdk_display_get_monitor(display, i);
            if (!monitor)
                continue;
            // Held until the next reading, so that a monitor's address names no other one meanwhile.
            m_held.push_back(GDK_MONITOR(g_object_ref(monitor)));
            GdkRectangle geometry, workarea;
            gdk_monitor_get_geometry(monitor, &geometry);
            gdk_monitor_get_workarea(monitor, &workarea);
            tMonitor entry;
            entry.key = reinterpret_cast<uintptr_t>(monitor);
            entry.x = geometry.x;
            entry.y = geometry.y;
            entry.width = geometry.width;
            entry.height = geometry.height;
            entry.workX = workarea.x;
            entry.workY = workarea.y;
            entry.workWidth = workarea.width;
            entry.workHeight = workarea.height;
            entry.scale = gdk_monitor_get_scale_factor(monitor);
            entry.primary = monitor == primary;
            result.push_back(entry);
        }
        m_reading = result;
        m_standing = true;
        watchLoopTurns();
        return result;
    }

    void watch(std::function<void()> changed) override
    {
        m_changed = std::move(changed);
        if (GdkDisplay* display = gdk_display_get_default())
            attach(display);
    }

private:
    // A source of the default main context that is never ready: its preparation, at the start of
    // each turn of the loop, ends the standing reading.
    struct tLoopTurns {
        GSource base;
        GdkMonitorSource* owner;
    };

    void watchLoopTurns()
    {
        if (m_turns)
            return;
        static GSourceFuncs s_funcs = {[](GSource* source, gint* timeout) -> gboolean {
                                           *timeout = -1;
                                           reinterpret_cast<tLoopTurns*>(source)->owner->m_standing = false;
                                           return FALSE;
                                       },
                                       nullptr,
                                       [](GSource*, GSourceFunc, gpointer) -> gboolean { return G_SOURCE_CONTINUE; },
                                       nullptr,
                                       nullptr,
                                       nullptr};
        m_turns = reinterpret_cast<tLoopTurns*>(g_source_new(&s_funcs, sizeof(tLoopTurns)));
        m_turns->owner = this;
        // Prepared before every other source, whatever is ready.
        g_source_set_priority(&m_turns->base, G_PRIORITY_HIGH);
        g_source_attach(&m_turns->base, nullptr);
    }

    static void onSignal(GdkMonitorSource* self)
    {
        self->m_standing = false;
        if (self->m_changed)
            self->m_changed();
    }

    void attach(GdkDisplay* display)
    {
        if (m_display || !m_changed)
            return;
        m_display = GDK_DISPLAY(g_object_ref(display));
        m_screen = GDK_SCREEN(g_object_ref(gdk_display_get_default_screen(display)));
        auto handler = G_CALLBACK(+[](gpointer, gpointer, GdkMonitorSource* self) { onSignal(self); });
        auto screenHandler = G_CALLBACK(+[](GdkScreen*, GdkMonitorSource* self) { onSignal(self); });
        m_displayHandlers[0] = g_signal_connect(m_display, "monitor-added", handler, this);
        m_displayHandlers[1] = g_signal_connect(m_display, "monitor-removed", handler, this);
        m_screenHandlers[0] = g_signal_connect(m_screen, "monitors-changed", screenHandler, this);
        m_screenHandlers[1] = g_signal_connect(m_screen, "size-changed", screenHandler, this);
    }

    void detach()
    {
        if (!m_display)
            return;
        for (gulong handler : m_displayHandlers)
            g_signal_handler_disconnect(m_display, handler);
        for (gulong handler : m_screenHandlers)
            g_signal_handler_disconnect(m_screen, handler);
        g_object_unref(m_screen);
        g_object_unref(m_display);
        m_display = nullptr;
        m_screen = nullptr;
    }

    void release()
    {
        for (GdkMonitor* monitor : m_held)
            g_object_unref(monitor);
        m_held.clear();
    }

    std::function<void()> m_changed;
    GdkDisplay* m_display = nullptr;
    GdkScreen* m_screen = nullptr;
    gulong m_displayHandlers[2] = {};
    gulong m_screenHandlers[2] = {};
    std::vector<GdkMonitor*> m_held;
    std::vector<tMonitor> m_reading;  // the last reading, given again while it stands
    bool m_standing = false;
    tLoopTurns* m_turns = nullptr;
};

}  // namespace

std::unique_ptr<MonitorSource> makeGdkMonitorSource() { return std::make_unique<GdkMonitorSource>(); }

}  // namespace qvcompat::coregraphics
