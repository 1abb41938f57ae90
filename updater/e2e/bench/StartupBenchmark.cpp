// The updater's start-up against a bare GTK 3 window of the same size, measured from outside as a
// user sees it, on the X server in DISPLAY:
//   - exec to the first painted frame: the time from starting the program until the server shows
//     the window as it stays (the wizard's page 0, no controller), median of the runs;
//   - peak resident memory (VmHWM) once the window rests, against the bare window plus the decoded
//     size of the skin's pictures;
//   - processor time over an idle span on page 0 (from /proc), in percent of one core;
//   - with a simulated controller that needs an update, UPDATE clicked: processor time and the
//     bounding box of the damaged window area, second by second, while the wheel turns.
// Runs alternate between the two programs, so a drift of the machine's speed touches both alike.
#include "Image.h"
#include "ProgramRun.h"
#include "WizardLayout.h"
#include "XSession.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace QV::E2E;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct tOptions {
    std::string updater = QV_UPDATER_PROGRAM;
    std::string bare = QV_BARE_WINDOW;
    std::string simulator = QV_VDX_SIM;
    std::string skin = QV_SKIN_DIR;
    std::string renderTool = QV_PAGE_RENDER;
    int runs = 5;
    int idleSeconds = 10;
    int wheelSeconds = 8;
};

struct tStart {
    double mappedMs = -1;  // the window viewable on the server
    double firstFrameMs = -1;
    long peakKb = -1;
};

std::vector<std::pair<std::string, std::string>> programEnvironment(const std::string& runtimeDir)
{
    return {{"XDG_RUNTIME_DIR", runtimeDir}, {"GDK_BACKEND", "x11"}, {"NO_AT_BRIDGE", "1"}};
}

long statusField(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::atol(line.c_str() + field.size() + 1);
    }
    return -1;
}

// utime + stime of a process, in seconds.
double cpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long utime = 0;
    unsigned long stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            utime = std::stoul(field);
        if (index == 15) {
            stime = std::stoul(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The first child of a process (vdx-sim's command).
pid_t childOf(pid_t pid)
{
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    pid_t child = 0;
    children >> child;
    return child;
}

// Waits for the window, then grabs it until it has not changed for a second. The first frame is the
// first grab that already showed the final picture.
std::optional<double> firstPaintedFrame(const XSession& x, const std::string& title, Clock::time_point start,
                                        XWindowId* windowOut = nullptr, double* mappedMs = nullptr)
{
    const XWindowId window = x.waitForWindow(title, std::chrono::seconds(30));
    if (!window)
        return std::nullopt;
    if (mappedMs)
        *mappedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::vector<std::pair<Clock::time_point, std::uint64_t>> frames;
    auto lastChange = Clock::now();
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() - lastChange < std::chrono::seconds(1) && Clock::now() < deadline) {
        const auto when = Clock::now();
        const std::uint64_t print = x.grab(window).fingerprint();
        if (frames.empty() || frames.back().second != print)
            lastChange = when;
        frames.emplace_back(when, print);
    }
    const std::uint64_t final = frames.back().second;
    auto first = frames.end();
    for (auto it = frames.end(); it != frames.begin() && std::prev(it)->second == final;)
        first = --it;
    if (windowOut)
        *windowOut = window;
    return std::chrono::duration<double, std::milli>(first->first - start).count();
}

void stop(ProgramRun& run)
{
    run.signal(SIGTERM);
    if (!run.waitExit(std::chrono::seconds(10)))
        run.signal(SIGKILL);
}

tStart startOnce(const XSession& x, const std::string& program, const std::string& title, const std::string& runtime,
                 double* idleCpu, int idleSeconds)
{
    tStart result;
    const auto start = Clock::now();
    ProgramRun run({program, title}, programEnvironment(runtime), "/dev/null");
    if (const auto frame = firstPaintedFrame(x, title, start, nullptr, &result.mappedMs))
        result.firstFrameMs = *frame;
    result.peakKb = statusField(run.pid(), "VmHWM");
    if (idleCpu) {
        const double before = cpuSeconds(run.pid());
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        *idleCpu = 100.0 * (cpuSeconds(run.pid()) - before) / idleSeconds;
    }
    stop(run);
    return result;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The decoded size (4 bytes a pixel) of every PNG picture of the skin.
long picturesKb(const std::string& folder)
{
    long bytes = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() < 4 || name.substr(name.size() - 4) != ".png")
                continue;
            cairo_surface_t* picture = cairo_image_surface_create_from_png((folder + "/" + name).c_str());
            if (cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS)
                bytes += 4L * cairo_image_surface_get_width(picture) * cairo_image_surface_get_height(picture);
            cairo_surface_destroy(picture);
        }
        closedir(dir);
    }
    return bytes / 1024;
}

// UPDATE with a controller that needs it; then, second by second, the updater's processor time and
// the box around every area the X server was told to repaint.
void measureWheel(const XSession& x, const tOptions& options, const std::string& runtime)
{
    ProgramRun run(
        {options.simulator, "--reenumeration-delay", "200", "--manifestation-time", "200", "--", options.updater},
        programEnvironment(runtime), "/dev/null");
    XWindowId window = 0;
    if (!firstPaintedFrame(x, "VDX Updater", Clock::now(), &window)) {
        std::puts("wheel: the window did not appear");
        return;
    }
    const pid_t updater = childOf(run.pid());
    Display* display = x.display();
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::puts("wheel: the X server has no DAMAGE extension");
        return;
    }
    std::string error;
    const auto layout = WizardLayout::fromRenderTool(options.renderTool, options.skin, error);
    if (!layout) {
        std::printf("wheel: %s\n", error.c_str());
        return;
    }
    const Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    const Image shot = x.grab(window);
    const tRect content = WizardLayout::contentIn(shot);
    x.click(window, content.x + centreX(layout->action()), content.y + centreY(layout->action()));
    x.movePointer(window, 1, content.y + 1);  // the pointer off the buttons: no hover repaints

    const tRect wheel = layout->wheel();
    std::printf("wheel: the wheel's rectangle is %d,%d %dx%d in the window\n", content.x + wheel.x, content.y + wheel.y,
                wheel.width, wheel.height);
    std::puts("second  cpu%   repainted box (x,y wxh in the window)");
    for (int second = 1; second <= options.wheelSeconds && run.running(); ++second) {
        const double before = cpuSeconds(updater);
        int left = 1 << 30;
        int top = 1 << 30;
        int right = -1;
        int bottom = -1;
        const auto end = Clock::now() + std::chrono::seconds(1);
        while (Clock::now() < end) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == damageEvent + XDamageNotify) {
                    const auto* notice = reinterpret_cast<XDamageNotifyEvent*>(&event);
                    left = std::min<int>(left, notice->area.x);
                    top = std::min<int>(top, notice->area.y);
                    right = std::max<int>(right, notice->area.x + notice->area.width);
                    bottom = std::max<int>(bottom, notice->area.y + notice->area.height);
                }
            }
            std::this_thread::sleep_for(milliseconds(5));
        }
        const double cpu = 100.0 * (cpuSeconds(updater) - before);
        if (right < 0)
            std::printf("%6d %6.1f   nothing\n", second, cpu);
        else
            std::printf("%6d %6.1f   %d,%d %dx%d\n", second, cpu, left, top, right - left, bottom - top);
    }
    XDamageDestroy(display, damage);
    stop(run);
}

}  // namespace

int main(int argc, char** argv)
{
    tOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--runs")
            options.runs = std::max(1, std::atoi(value.c_str()));
        else if (name == "--idle-seconds")
            options.idleSeconds = std::max(1, std::atoi(value.c_str()));
        else if (name == "--updater")
            options.updater = value;
        else if (name == "--bare")
            options.bare = value;
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--idle-seconds S] [--updater PATH] [--bare PATH]\n", argv[0]);
            return 2;
        }
    }
    XSession x;
    if (!x.connected()) {
        std::fputs("no X display: set DISPLAY (scripts/bench-startup starts an Xvfb of its own)\n", stderr);
        return 1;
    }
    char folder[] = "/tmp/qv-startup-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    const std::string runtime = folder;

    std::vector<double> bareStart, updaterStart, bareRss, updaterRss, bareMapped, updaterMapped;
    double bareIdle = -1;
    double updaterIdle = -1;
    for (int run = 0; run <= options.runs; ++run) {
        // The first pair warms the caches and is not counted; the last pair also measures idling.
        const bool idle = run == options.runs;
        const tStart bare =
            startOnce(x, options.bare, "Bare Window", runtime, idle ? &bareIdle : nullptr, options.idleSeconds);
        const tStart updater =
            startOnce(x, options.updater, "VDX Updater", runtime, idle ? &updaterIdle : nullptr, options.idleSeconds);
        if (run == 0)
            continue;
        bareStart.push_back(bare.firstFrameMs);
        bareMapped.push_back(bare.mappedMs);
        updaterMapped.push_back(updater.mappedMs);
        updaterStart.push_back(updater.firstFrameMs);
        bareRss.push_back(static_cast<double>(bare.peakKb));
        updaterRss.push_back(static_cast<double>(updater.peakKb));
    }
    const double bareMs = median(bareStart);
    const double updaterMs = median(updaterStart);
    const double bareKb = median(bareRss);
    const double updaterKb = median(updaterRss);
    const long imagesKb = picturesKb(options.skin + "/pictures");
    std::printf("exec to first painted frame (median of %d): bare window %.1f ms, updater %.1f ms, ratio %.2f "
                "(goal at most 1.5)\n",
                options.runs, bareMs, updaterMs, updaterMs / bareMs);
    std::printf("exec to the window mapped (median): bare window %.1f ms, updater %.1f ms\n", median(bareMapped),
                median(updaterMapped));
    std::printf("peak RSS (median): bare window %.0f KiB, updater %.0f KiB, skin pictures decoded %ld KiB; "
                "updater / (1.5 x bare + pictures) = %.2f (goal at most 1)\n",
                bareKb, updaterKb, imagesKb, updaterKb / (1.5 * bareKb + static_cast<double>(imagesKb)));
    std::printf("idle CPU over %d s on page 0: bare window %.2f %%, updater %.2f %% of one core (goal under 1 %%)\n",
                options.idleSeconds, bareIdle, updaterIdle);
    measureWheel(x, options, runtime);
    rmdir(folder);
    return 0;
}
