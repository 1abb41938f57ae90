#include "DisplayCheck.h"

#include <AppKit/AppKit.h>

#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace QV::COCOA {

namespace {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

bool hasScreen(std::chrono::milliseconds patience, const std::string& noAnswerLine)
{
    // Xlib waits for ever for a display that takes the connection and never answers (a server
    // that hangs): a watchdog ends the process then, as nothing has started yet.
    std::mutex lock;
    std::condition_variable answered;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> guard(lock);
        if (!answered.wait_for(guard, patience, [&] { return done; })) {
            const std::string line = noAnswerLine + "\n";
            (void)!write(STDERR_FILENO, line.data(), line.size());
            _exit(1);
        }
    });
    id screens = objc::msgSend<id>(objc_getClass("NSScreen"), objc::sel("screens"));
    const bool found = screens && objc::msgSend<NSUInteger>(screens, objc::sel("count")) > 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    answered.notify_all();
    watchdog.join();
    return found;
}

std::string noScreenMessage(const std::string& program)
{
    // The windows are drawn through X11 only: GDK's other back ends are never tried.
    const std::string display = environmentValue("DISPLAY");
    const std::string backend = environmentValue("GDK_BACKEND");
    const bool x11Allowed = backend.empty() || backend.find("x11") != std::string::npos || backend == "*";
    std::string tried;
    if (!x11Allowed)
        tried = "no X11 display: GDK_BACKEND=" + backend + " leaves X11 out" +
                (display.empty() ? std::string(" (DISPLAY is not set)") : " (DISPLAY=" + display + ")");
    else if (display.empty())
        tried = "no X11 display: DISPLAY is not set";
    else
        tried = "cannot open the X11 display \"" + display + "\"";
    const std::string advice = x11Allowed ? "set DISPLAY to a running X server" : "unset GDK_BACKEND or set it to x11";
    return program + ": " + tried + "; this program needs an X11 display (" + advice + ")";
}

std::string noAnswerMessage(const std::string& program, std::chrono::seconds waited)
{
    return program + ": the X11 display \"" + environmentValue("DISPLAY") + "\" does not answer (waited " +
           std::to_string(waited.count()) +
           " s); this program needs an X11 display (set DISPLAY to a running X server)";
}

}  // namespace QV::COCOA
