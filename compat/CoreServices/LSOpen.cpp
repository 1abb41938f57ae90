// LSOpenCFURLRef over GTK (when the program has opened its display) or GIO's default handlers.
#include "CoreServices/LSOpen.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The URL's text (ASCII: CFURLCreateWithString lets nothing else in).
std::string textOf(CFURLRef url)
{
    CFStringRef string = CFURLGetString(url);
    if (!string)
        return std::string();
    const CFIndex length = CFStringGetLength(string);
    std::vector<UniChar> units(static_cast<size_t>(length));
    CFStringGetCharacters(string, CFRangeMake(0, length), units.data());
    std::string text;
    for (UniChar unit : units)
        text += static_cast<char>(unit < 0x80 ? unit : '?');
    return text;
}

// GIO's and GTK's errors as LaunchServices' codes.
OSStatus statusFor(const GError* error)
{
    if (!error)
        return noErr;
    if (error->domain == G_IO_ERROR && (error->code == G_IO_ERROR_NOT_SUPPORTED || error->code == G_IO_ERROR_NOT_FOUND))
        return kLSApplicationNotFoundErr;
    std::fprintf(stderr, "LSOpenCFURLRef: %s\n", error->message);
    return kLSUnknownErr;
}

}  // namespace

OSStatus LSOpenCFURLRef(CFURLRef inURL, CFURLRef* outLaunchedURL)
{
    if (outLaunchedURL)
        *outLaunchedURL = nullptr;
    const std::string uri = inURL ? textOf(inURL) : std::string();
    char* scheme = uri.empty() ? nullptr : g_uri_parse_scheme(uri.c_str());
    if (!scheme)
        return paramErr;
    g_free(scheme);

    GError* error = nullptr;
    // GTK adds the display's start-up notification; without an open display GIO does the same work.
    if (gdk_display_get_default())
        gtk_show_uri_on_window(nullptr, uri.c_str(), GDK_CURRENT_TIME, &error);
    else
        g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    const OSStatus status = statusFor(error);
    g_clear_error(&error);
    return status;
}
