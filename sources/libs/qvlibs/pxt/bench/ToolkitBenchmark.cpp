// Toolkit painting speed for a 627 x 335 window holding about 30 styled widgets: a full repaint
// (align, canvas, and the copy of the marked area to the screen picture), a tick with one small
// widget dirty, and an idle tick with nothing dirty (no painting, no copy). With a DISPLAY, the
// idle CPU of an open toolkit window over 10 s, from /proc/self/stat.
// Goals: a full repaint under 2 ms; a small one in proportion to its area; an idle tick that paints
// nothing; idle CPU under 1 % of one core.
#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/Lib.h"
#include "PXT/PanelDrawer.h"
#include "PXT/StyleSheetManager.h"
#include "PXT/Widget.h"
#include "PXT/Window.h"
#include "UIA/EventTimerManager.h"
#include "UIA/Picture.h"
#include "UIA/Window.h"

#include <Foundation/Foundation.h>
#include <benchmark/benchmark.h>
#include <glib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;

class Panel : public Widget {
public:
    const std::string& getClass() const override
    {
        static const std::string s_class = "Panel";
        return s_class;
    }
    void onPaint(PaintContext& context) override { m_drawer.drawPanelItem(*this, context); }
    void onAlign() override { arrangeChilds(eArrangeTopToBottom, 2); }

private:
    PanelDrawer m_drawer;
};

const char* const kSheet = "Panel { background-color: rgb(40, 40, 40); background-border-color: rgb(90, 90, 90); "
                           "margin: 4; }\n"
                           "Panel.row { height: 40; background-color: rgb(60, 60, 60); }\n"
                           "Panel.cell { width: 60; height: 24; background-color: rgb(120, 160, 200); }\n"
                           "Panel.cell:over { background-color: rgb(140, 180, 220); }\n";

// A root, 6 rows, 4 cells in each: 31 widgets.
std::shared_ptr<Panel> makeTree(std::vector<std::shared_ptr<Panel>>& cells)
{
    auto root = std::make_shared<Panel>();
    for (int r = 0; r < 6; ++r) {
        auto row = std::make_shared<Panel>();
        row->setStyle("row");
        root->insertChild(row, "row" + std::to_string(r));
        for (int c = 0; c < 4; ++c) {
            auto cell = std::make_shared<Panel>();
            cell->setStyle("cell");
            cell->setNoAlign(true);
            cell->setPos(GP::Point(4 + 70 * c, 4));
            row->insertChild(cell, "");
            cells.push_back(cell);
        }
    }
    return root;
}

class Toolkit {
public:
    Toolkit()
    {
        Lib::init();
        StyleSheetManager::get()->getDefaultStyleSheet().createDirect(kSheet);
        m_pane.setSize(GP::Point(627, 335));
        m_pane.setRoot(makeTree(m_cells), "root");
        m_canvas.onSize(GP::Point(627, 335));
        m_screen.setSize(627, 335, true);
        tick(true);
    }
    ~Toolkit()
    {
        m_pane.setRoot(nullptr, "");
        m_cells.clear();
        Lib::deInit();
    }
    // One tick as the window runs it; true when something was painted and copied.
    bool tick(bool whole)
    {
        GP::Region region;
        m_pane.update(region);
        if (!whole && region.isEmpty())
            return false;
        if (whole)
            region.clear();
        m_pane.paint(m_canvas, region, Pane::ePaintAll);
        // The view's redraw copies the marked area of the canvas picture to the screen.
        if (whole) {
            m_screen.copyAreaUC(0, 0, 627, 335, *m_canvas.getPicture(), 0, 0);
        } else {
            GP::Region::const_intersector walk(&region, GP::Rect(0, 0, 627, 335), GP::Point());
            for (GP::Rect r; walk.next(r);)
                m_screen.copyAreaUC(r.left, r.top, r.width(), r.height(), *m_canvas.getPicture(), r.left, r.top);
        }
        return true;
    }
    Panel& cell(std::size_t i) { return *m_cells[i % m_cells.size()]; }

private:
    Pane m_pane;
    std::vector<std::shared_ptr<Panel>> m_cells;
    BackgroundDrawingCanvas m_canvas;
    UIA::Picture m_screen;
};

void BM_FullRepaint(benchmark::State& state)
{
    Toolkit toolkit;
    for (auto _ : state)
        benchmark::DoNotOptimize(toolkit.tick(true));
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_SmallWidgetDirty(benchmark::State& state)
{
    Toolkit toolkit;
    std::size_t i = 0;
    for (auto _ : state) {
        toolkit.cell(i++).setInvalid();
        benchmark::DoNotOptimize(toolkit.tick(false));
    }
}
BENCHMARK(BM_SmallWidgetDirty)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state)
{
    Toolkit toolkit;
    int painted = 0;
    for (auto _ : state)
        painted += toolkit.tick(false) ? 1 : 0;
    state.counters["painted"] = painted;
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

// utime + stime of this process, in clock ticks.
long cpuTicks()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command name (which may hold spaces) start after the last ')'.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; rest >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

void BM_IdleWindowCpu(benchmark::State& state)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no DISPLAY");
        return;
    }
    for (auto _ : state) {
        void* pool = objc_autoreleasePoolPush();
        Lib::init();
        StyleSheetManager::get()->getDefaultStyleSheet().createDirect(kSheet);
        {
            UIA::EventTimerManager timers;
            std::vector<std::shared_ptr<Panel>> cells;
            auto* window = new PXT::Window<UIA::StandaloneWindow>;
            window->setRoot(makeTree(cells), "root");
            UIA::Window::CreateData data;
            data.flags = UIA::WindowBase::eCreateFlagSize;
            data.rect = GP::Rect(0, 0, 627, 335);
            window->create(data);
            window->show(true);
            const auto run = [](guint ms) {
                bool done = false;
                g_timeout_add(
                    ms, [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; }, &done);
                while (!done)
                    g_main_context_iteration(nullptr, TRUE);
            };
            run(1000);  // shown and painted once
            const long before = cpuTicks();
            run(10000);
            const long used = cpuTicks() - before;
            state.counters["idle_cpu_percent"] = 100.0 * double(used) / double(sysconf(_SC_CLK_TCK)) / 10.0;
            window->setRoot(nullptr, "");
            window->destroy();
            delete window;
        }
        Lib::deInit();
        objc_autoreleasePoolPop(pool);
    }
}
BENCHMARK(BM_IdleWindowCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
