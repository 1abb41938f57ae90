// vdx-wizard-walk: runs the updater under vdx-sim on the X server in DISPLAY and clicks through its
// pages as a person would: the page's action (RESCAN, UPDATE, RETRY) while it offers one, waiting
// through the update, until a page without an action (or one that a click does not change); then it
// quits the program. Each page reached is written as a PNG into the output folder, and its path
// printed. Exit status: the program's, or 1 when the walk could not be done.
//   vdx-wizard-walk --output FOLDER [simulator options...]
// The simulator, the program, the page render tool and the skin are the build tree's.
#include "Image.h"
#include "PageLook.h"
#include "ProgramRun.h"
#include "WizardLayout.h"
#include "XSession.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
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
};

std::string pageName(const tPageLook& look)
{
    if (look.buttons == 0)
        return "updating";
    return std::string(toString(look.panel)) + (look.buttons == 2 ? "-with-action" : "");
}

class Walker {
public:
    Walker(const tWalk& walk, XSession& x, const SkinColours& colours, const WizardLayout& layout)
        : m_walk(walk), m_x(x), m_colours(colours), m_layout(layout)
    {}

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

    void save(const tPageLook& look)
    {
        char number[8];
        std::snprintf(number, sizeof(number), "%02d-", ++m_pages);
        const std::string path = m_walk.output + "/" + number + pageName(look) + ".png";
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
        m_window = m_x.waitForWindow("VDX Updater", 60s);
        if (!m_window) {
            std::fprintf(stderr, "vdx-wizard-walk: the window did not appear\n%s", program.output().c_str());
            return 1;
        }
        Image page = settled(500ms, 60s);
        for (int step = 0; step < 10 && !page.empty(); ++step) {
            const tPageLook look = lookOf(page, m_colours, m_layout);
            save(look);
            if (look.buttons != 2)
                break;
            click(m_layout.action());
            // The next page: something else than this one; an update shows the wheel first.
            const bool changed = waitUntil([&] { return content().differingPixels(page) > 0; }, 15s);
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
                if (lookOf(now, m_colours, m_layout).buttons == 0) {
                    save(lookOf(now, m_colours, m_layout));
                    waitUntil([&] { return lookOf(content(), m_colours, m_layout).buttons > 0; }, 180s);
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
        click(lookOf(content(), m_colours, m_layout).buttons == 2 ? m_layout.quit() : m_layout.action());
        const auto status = program.waitExit(30s);
        if (!status) {
            std::fprintf(stderr, "vdx-wizard-walk: the program did not end after QUIT\n");
            return 1;
        }
        return *status;
    }

private:
    const tWalk& m_walk;
    XSession& m_x;
    const SkinColours& m_colours;
    const WizardLayout& m_layout;
    XWindowId m_window = 0;
    int m_pages = 0;
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
    XSession x;
    if (!x.connected()) {
        std::fputs("vdx-wizard-walk: cannot open the display\n", stderr);
        return 1;
    }
    std::string error;
    SkinColours colours;
    const auto layout = WizardLayout::fromRenderTool(walk.renderTool, walk.skin, error);
    if (!colours.load(walk.skin + "/pictures", error) || !layout) {
        std::fprintf(stderr, "vdx-wizard-walk: %s\n", error.c_str());
        return 1;
    }
    std::filesystem::remove_all(walk.output);
    std::filesystem::create_directories(walk.output);
    return Walker(walk, x, colours, *layout).run();
}
