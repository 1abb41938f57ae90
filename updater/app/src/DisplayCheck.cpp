#include "DisplayCheck.h"

#include <AppKit/AppKit.h>

#include <cstdlib>

namespace QV::COCOA {

namespace {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

bool hasScreen()
{
    id screens = objc::msgSend<id>(objc_getClass("NSScreen"), objc::sel("screens"));
    return screens && objc::msgSend<NSUInteger>(screens, objc::sel("count")) > 0;
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

}  // namespace QV::COCOA
