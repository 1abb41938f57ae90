// Times a standalone window of the wizard's size (627 x 335) on an X server: a GDK button press put
// into GDK's queue until the window's event handler has it, and an invalidated area until X has the
// pixels (a full repaint and a 40 x 40 one; the window copies its picture into the view, as the
// toolkit's windows do). copy_us is that copy alone, without the wait for GTK's next frame;
// painted_px is the area the paint's clip let through. Runs on the display named by DISPLAY, else
// on an Xvfb of its own. Not a test: run it by hand (see the README). Target: a full repaint's copy
// to the screen under 2 ms, a small one in proportion to its area.
#include "QVTest/PrivateXServer.h"
#include "UIA/DeviceContext.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Picture.h"
#include "UIA/Window.h"
#include "UIA/WindowImpl.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <glib.h>
#include <objc/message.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

using namespace QV::UIA;
using QV::GP::Rect;

constexpr int kWidth = 627;
constexpr int kHeight = 335;

class BenchWindow : public StandaloneWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eEventMouseButton)
            ++buttons;
        if (code == eEventWindowPaint) {
            DeviceContext* dc = static_cast<PaintEventData*>(data)->dc;
            double x1, y1, x2, y2;
            cairo_clip_extents(dc->getOSHandle(), &x1, &y1, &x2, &y2);
            paintedArea += (x2 - x1) * (y2 - y1);
            const auto start = std::chrono::steady_clock::now();
            dc->updateFromPicture(picture, false);
            copyTime += std::chrono::steady_clock::now() - start;
            ++paints;
            return true;
        }
        return code == eEventMouseButton || StandaloneWindow::onEvent(code, data);
    }

    Picture picture;
    std::chrono::steady_clock::duration copyTime{};  // spent copying the picture into the view
    double paintedArea = 0;                          // pixels within the paints' clips
    int buttons = 0;
    int paints = 0;
};

void iterateUntil(const int& counter, int target)
{
    while (counter < target)
        g_main_context_iteration(nullptr, TRUE);
}

// The one window of the run, shown and painted once.
BenchWindow& window()
{
    static BenchWindow* s_window = [] {
        auto* made = new BenchWindow;
        made->picture.setSize(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                made->picture.setPixelUC(x, y, 0xFF000000u | uint32_t(x) << 12 | uint32_t(y));
        QV::UIA::Window::CreateData data;
        data.flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition;
        data.style = WindowBase::eStyleFixedSize;
        data.rect = Rect(0, 0, kWidth, kHeight);
        made->create(data);
        made->show(true);
        iterateUntil(made->paints, 1);
        return made;
    }();
    return *s_window;
}

// The GDK window of the view's drawing area: the toplevel's child of the content's size.
GdkWindow* contentWindow(BenchWindow& bench)
{
    id platform = objc::msgSend<id>(bench.getNSView(), objc::sel("window"));
    const auto xid = static_cast<::Window>(objc::msgSend<long>(platform, objc::sel("windowNumber")));
    GdkWindow* top = gdk_x11_window_lookup_for_display(gdk_display_get_default(), xid);
    GdkWindow* found = top;
    for (GList* child = top ? gdk_window_get_children(top) : nullptr; child; child = child->next) {
        auto* candidate = static_cast<GdkWindow*>(child->data);
        if (gdk_window_get_width(candidate) == kWidth && gdk_window_get_height(candidate) == kHeight)
            found = candidate;
    }
    return found;
}

void putButton(GdkWindow* target, GdkEventType type, guint32 time)
{
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(target));
    event->button.time = time;
    event->button.x = 100;
    event->button.y = 50;
    event->button.button = 1;
    gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gdk_event_put(event);
    gdk_event_free(event);
}

void BM_ButtonEventToHandler(benchmark::State& state)
{
    BenchWindow& bench = window();
    GdkWindow* target = contentWindow(bench);
    guint32 time = 1000;
    for (auto _ : state) {
        // Far apart in time: every press is a single click.
        time += 10000;
        putButton(target, GDK_BUTTON_PRESS, time);
        iterateUntil(bench.buttons, bench.buttons + 1);
        state.PauseTiming();
        putButton(target, GDK_BUTTON_RELEASE, time + 1);
        iterateUntil(bench.buttons, bench.buttons + 1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ButtonEventToHandler)->Unit(benchmark::kMicrosecond);

// setNeedsDisplayInRect: of the area, the paint, and X has the pixels (a round trip after it).
void BM_RepaintToScreen(benchmark::State& state)
{
    BenchWindow& bench = window();
    const int side = static_cast<int>(state.range(0));
    const Rect area = side ? Rect(100, 100, 100 + side, 100 + side) : Rect(0, 0, kWidth, kHeight);
    bench.copyTime = {};
    bench.paintedArea = 0;
    for (auto _ : state) {
        bench.getImpl()->invalidateRect(area);
        iterateUntil(bench.paints, bench.paints + 1);
        gdk_display_sync(gdk_display_get_default());
    }
    // The copy alone, apart from waiting for GTK's next frame.
    state.counters["copy_us"] = benchmark::Counter(std::chrono::duration<double, std::micro>(bench.copyTime).count() /
                                                   double(state.iterations()));
    // What GTK asked to be painted: a small area must not grow to the whole window.
    state.counters["painted_px"] = benchmark::Counter(bench.paintedArea / double(state.iterations()));
    state.SetLabel(side ? std::to_string(side) + " x " + std::to_string(side) : "627 x 335");
}
BENCHMARK(BM_RepaintToScreen)->Arg(0)->Arg(40)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<QV::TEST::PrivateXServer> server;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        server = std::make_unique<QV::TEST::PrivateXServer>();
        server->makeDefault();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
