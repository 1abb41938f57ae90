// CoreServices stand-in: LaunchServices' opening of a URL with the user's default application.
//
// Implements: LSOpenCFURLRef: a web page (or any URL of a scheme the desktop has a handler for)
// opens in the desktop's default application: gtk_show_uri_on_window when the program has opened
// its display (AppKit), else GIO's default handler for the URL's scheme.
// Lacks: LSOpenFromURLSpec, launch flags, the launched application's URL (`outLaunchedURL` is set
// to null).
// Deviations: the answer tells whether a handler was started, not whether it loaded the page.
#pragma once

#include "CoreServices/MacTypes.h"

#include <CoreFoundation/CoreFoundation.h>

typedef SInt32 OSStatus;  // as in Carbon's headers

constexpr OSStatus kLSUnknownErr = -10810;
constexpr OSStatus kLSApplicationNotFoundErr = -10814;

// Opens `inURL` (a URL with a scheme, CFURL.h) with the default application. noErr when it was
// handed on; paramErr for a null URL or one without a scheme; kLSApplicationNotFoundErr when no
// application handles the scheme; kLSUnknownErr for any other failure (written to standard error).
// Main thread.
OSStatus LSOpenCFURLRef(CFURLRef inURL, CFURLRef* outLaunchedURL);
