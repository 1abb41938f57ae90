// vdx-wizard-walk: runs the updater under vdx-sim on the X server in DISPLAY and clicks through its
// pages as a person would: the page's action (RESCAN, UPDATE, RETRY) while it offers one, waiting
// through the update, until a page without an action (or one that a click does not change); then it
// quits the program. Each page reached is written as a PNG into the output folder, and its path
// printed. With the simulator's --plug-on-signal it plugs the controller in on the first page (no
// controller) as a person would, by sending vdx-sim SIGUSR1, and clicks RESCAN until it is there.
// The last line names the page the wizard ended on (and the error a failure page shows). Exit
// status, as vdx-driver update's: 0 only for a verified update, 1 no controller, 3 up to date, 4 not
// in update mode, 5 a failed update; otherwise the program's or the simulator's own failing status,
// or 1 when the walk could not be done.
//   vdx-wizard-walk --output FOLDER [simulator options...]
// The simulator, the program, the page render tool and the skin are the build tree's.
#include "Image.h"
#include "LauncherOptions.h"
#include "PageCatalogue.h"
#include "PageLook.h"
#include "ProgramRun.h"
#include "WizardLayout.h"
#include "XSession.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace QV::E2E;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct tWalk {
    std::string output;
    std::string simulator = QV_VDX_SIM;
    std::string program = QV_UPDATER_PROGRAM;
    std::string renderTool = QV_PAGE_RENDER;
    std::string skin = QV_SKIN_DIR;
    std::vector<std::string> simulatorOptions;
    bool plugOnSignal = false;  // the simulator's --plug-on-signal: the walk plugs the controller in
};

// A file name for the page: its title, or what it looks like when the catalogue does not know it.
std::string pageName(const tNamedPage& named, const tPageLook& look)
{
    std::string name;
    if (named.page >= 0)
        name = pageTitle(named.page);
    else if (look.buttons == 0)
        name = "updating";
    else
        name = std::string(toString(look.panel)) + (look.buttons == 2 ? " with action" : "");
    for (char& c : name)
        c = c == ' ' ? '-' : c;
    return name;
}

// The end of the walk as vdx-driver update reports it: the line and the exit status.
int reportEnd(const tNamedPage& last)
{
    std::string line = "vdx-wizard-walk: the wizard ended on ";
    if (last.page < 0)
        line += "a page it does not know";
    else
        line += "page " + std::to_string(last.page) + " (" + pageTitle(last.page) + ")";
    int status = 1;
    switch (last.page) {
    case 0:
        // As vdx-driver: its own status for a controller that this user may not open.
        status = last.refused ? 6 : 1;
        if (last.refused)
            line += ": the controller is connected, but this user may not open it";
        break;
    case 1: status = 3; break;
    case 4: status = 4; break;
    case 5:
        status = 0;
        line += ": update verified";
        break;
    case 6:
        status = 5;
        line += ", error " + std::to_string(last.error);
        break;
    default: break;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return status;
}

class Walker {
public:
    Walker(const tWalk& walk, XSession& x, const SkinColours& colours) : m_walk(walk), m_x(x), m_colours(colours) {}

    Image content()
    {
        const Image window = m_x.grab(m_window);
        return window.crop(WizardLayout::contentIn(window));
    }

    // The content once it has not changed for `calm`; empty after `timeout`.
    Image settled(std::chrono::milliseconds calm, std::chrono::milliseconds timeout)
    {
        Image last = content();
        auto since = Clock::now();
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            std::this_thread::sleep_for(20ms);
            Image now = content();
            if (now.fingerprint() != last.fingerprint()) {
                last = std::move(now);
                since = Clock::now();
            } else if (Clock::now() - since >= calm) {
                return last;
            }
        }
        return {};
    }

    // Names the page `shown`, keeps it as the last one reached and writes its PNG.
    void save(const Image& shown, const tPageLook& look)
    {
        m_last = m_catalogue->name(shown);
        ++m_pages;
        const std::string number = (m_pages < 10 ? "0" : "") + std::to_string(m_pages) + "-";
        const std::string path = m_walk.output + "/" + number + pageName(m_last, look) + ".png";
        if (m_x.grab(m_window).writePng(path))
            std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    }

    void click(const tRect& rect)
    {
        const auto frame = m_x.geometry(m_window);
        if (!frame)
            return;
        const int top = frame->height - WizardLayout::kContentHeight;
        m_x.click(m_window, centreX(rect), top + centreY(rect));
        m_x.movePointer(m_window, 2, top + 2);  // off the buttons, so their hover look does not count
    }

    int run()
    {
        ProgramRun program(
            [&] {
                std::vector<std::string> command{m_walk.simulator};
                command.insert(command.end(), m_walk.simulatorOptions.begin(), m_walk.simulatorOptions.end());
                command.push_back("--");
                command.push_back(m_walk.program);
                return command;
            }(),
            {{"GDK_BACKEND", "x11"}, {"NO_AT_BRIDGE", "1"}}, m_walk.output + "/program-output.txt");
        // A simulator that refuses its options ends at once: its message, not a minute's wait.
        waitUntil(
            [&] {
                m_window = m_x.waitForWindow("VDX Updater", 0ms);
                return m_window != 0 || !program.running();
            },
            60s);
        if (!m_window) {
            const auto status = program.waitExit(0ms);
            std::fputs(program.output().c_str(), stderr);
            if (status) {
                std::fprintf(stderr, "vdx-wizard-walk: %s ended with status %d before the window appeared\n",
                             m_walk.simulator.c_str(), *status);
                return *status != 0 ? *status : 1;
            }
            std::fprintf(stderr, "vdx-wizard-walk: the window did not appear\n");
            return 1;
        }
        // The pages' places and looks, from the render tool.
        std::string error;
        m_layout = WizardLayout::fromRenderTool(m_walk.renderTool, m_walk.skin, error);
        if (m_layout)
            m_catalogue = PageCatalogue::fromRenderTool(m_walk.renderTool, m_walk.skin, *m_layout, error);
        if (!m_catalogue) {
            std::fprintf(stderr, "vdx-wizard-walk: %s\n", error.c_str());
            return 1;
        }
        Image page = settled(500ms, 60s);
        bool plugged = false;
        for (int step = 0; step < 10 && !page.empty(); ++step) {
            const tPageLook look = lookOf(page, m_colours, *m_layout);
            save(page, look);
            if (look.buttons != 2)
                break;
            // The next page: another page of the catalogue, or the update's wheel. Not any change of
            // pixels: the click itself lights the button under the pointer, and on a loaded machine
            // that light can rest longer than the settling wait before the page follows.
            const tNamedPage current = m_last;
            const auto changedWithin = [&](std::chrono::milliseconds timeout) {
                return waitUntil(
                    [&] {
                        const Image now = content();
                        if (lookOf(now, m_colours, *m_layout).buttons == 0)
                            return true;
                        const tNamedPage named = m_catalogue->name(now);
                        return named.page >= 0 && (named.page != current.page || named.error != current.error ||
                                                   named.refused != current.refused);
                    },
                    timeout);
            };
            bool changed = false;
            if (m_last.page == 0 && m_walk.plugOnSignal && !plugged) {
                // Plugs the controller in (vdx-sim's pid is the program run's) and clicks RESCAN
                // until the wizard finds it: the bus takes a moment to show it.
                plugged = true;
                program.signal(SIGUSR1);
                const auto deadline = Clock::now() + 60s;
                while (!changed && Clock::now() < deadline) {
                    click(m_layout->action());
                    changed = changedWithin(5s);
                }
            } else {
                click(m_layout->action());
                changed = changedWithin(15s);
            }
            if (!changed)
                break;  // RESCAN without a controller, RETRY while it is still gone
            // The next page settles, unless it is the update's: the wheel never rests there.
            Image next;
            Image last = content();
            auto since = Clock::now();
            const auto deadline = Clock::now() + 60s;
            while (Clock::now() < deadline) {
                std::this_thread::sleep_for(20ms);
                Image now = content();
                if (lookOf(now, m_colours, *m_layout).buttons == 0) {
                    save(now, lookOf(now, m_colours, *m_layout));
                    waitUntil([&] { return lookOf(content(), m_colours, *m_layout).buttons > 0; }, 180s);
                    next = settled(500ms, 60s);
                    break;
                }
                if (now.fingerprint() != last.fingerprint()) {
                    last = std::move(now);
                    since = Clock::now();
                } else if (Clock::now() - since >= 500ms) {
                    next = std::move(last);
                    break;
                }
            }
            page = std::move(next);
        }
        // QUIT or FINISH: left of ACTION, or alone at the row's right end.
        click(lookOf(content(), m_colours, *m_layout).buttons == 2 ? m_layout->quit() : m_layout->action());
        // What went wrong with the program first: the last line names the page reached.
        const auto status = program.waitExit(30s);
        if (!status)
            std::fprintf(stderr, "vdx-wizard-walk: the program did not end after QUIT\n");
        else if (*status != 0)
            std::fprintf(stderr, "vdx-wizard-walk: the program ended with status %d\n", *status);
        std::fflush(stderr);
        const int outcome = reportEnd(m_last);
        if (!status)
            return 1;
        return *status != 0 ? *status : outcome;
    }

private:
    const tWalk& m_walk;
    XSession& m_x;
    const SkinColours& m_colours;
    std::optional<WizardLayout> m_layout;
    std::optional<PageCatalogue> m_catalogue;
    XWindowId m_window = 0;
    int m_pages = 0;
    tNamedPage m_last;  // the page reached last
};

}  // namespace

int main(int argc, char** argv)
{
    tWalk walk;
    if (argc < 3 || std::string(argv[1]) != "--output") {
        std::fputs("usage: vdx-wizard-walk --output FOLDER [simulator options...]\n", stderr);
        return 2;
    }
    walk.output = argv[2];
    walk.simulatorOptions.assign(argv + 3, argv + argc);
    // The simulator judges its options itself; the walk only needs to know of a late plug-in.
    std::vector<std::string> arguments = walk.simulatorOptions;
    arguments.insert(arguments.end(), {"--", walk.program});
    std::string error;
    if (const auto options = QV::SIM::parseLauncherOptions(arguments, error))
        walk.plugOnSignal = options->plugOnSignal;
    XSession x;
    if (!x.connected()) {
        std::fputs("vdx-wizard-walk: cannot open the display\n", stderr);
        return 1;
    }
    SkinColours colours;
    if (!colours.load(walk.skin + "/pictures", error)) {
        std::fprintf(stderr, "vdx-wizard-walk: %s\n", error.c_str());
        return 1;
    }
    std::filesystem::remove_all(walk.output);
    std::filesystem::create_directories(walk.output);
    return Walker(walk, x, colours).run();
}
