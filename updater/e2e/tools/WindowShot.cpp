// vdx-window-shot: writes what the X server shows of a program's window as a PNG file, once the
// window has stopped changing (or after the time-out, for a window that never rests).
//   vdx-window-shot [--title TITLE] [--timeout SECONDS] [--stable MS] OUTPUT.png
#include "Image.h"
#include "XSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using namespace QV::E2E;
using Clock = std::chrono::steady_clock;

int usage()
{
    std::fputs("usage: vdx-window-shot [--title TITLE] [--timeout SECONDS] [--stable MS] OUTPUT.png\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string title = "VDX Updater";
    std::string output;
    double timeout = 20;
    long stable = 300;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--title" && i + 1 < argc)
            title = argv[++i];
        else if (argument == "--timeout" && i + 1 < argc)
            timeout = std::atof(argv[++i]);
        else if (argument == "--stable" && i + 1 < argc)
            stable = std::atol(argv[++i]);
        else if (!argument.empty() && argument[0] != '-' && output.empty())
            output = argument;
        else
            return usage();
    }
    if (output.empty() || timeout <= 0 || stable < 0)
        return usage();

    XSession x;
    if (!x.connected()) {
        std::fputs("vdx-window-shot: cannot open the display\n", stderr);
        return 1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long>(timeout * 1000));
    const XWindowId window = x.waitForWindow(title, std::chrono::milliseconds(static_cast<long>(timeout * 1000)));
    if (window == 0) {
        std::fprintf(stderr, "vdx-window-shot: no window titled \"%s\"\n", title.c_str());
        return 1;
    }
    Image shot = x.grab(window);
    auto since = Clock::now();
    while (Clock::now() - since < std::chrono::milliseconds(stable) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Image next = x.grab(window);
        if (next.fingerprint() != shot.fingerprint())
            since = Clock::now();
        shot = std::move(next);
    }
    if (!shot.writePng(output)) {
        std::fprintf(stderr, "vdx-window-shot: cannot write %s\n", output.c_str());
        return 1;
    }
    std::puts(output.c_str());
    return 0;
}
