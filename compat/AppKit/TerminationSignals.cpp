// SIGTERM and SIGINT end the program the way the platform's quit request does: the shared
// application's -terminate:, so that the delegate may question or refuse it.
#include "AppKit/standin/Application.h"

#include <glib-unix.h>

#include <csignal>

namespace qvcompat::appkit {

namespace {

// Set while a signal's -terminate: runs: the delegate may ask the user in a modal dialog, whose loop
// dispatches a second signal; that one is dropped instead of asking again inside the question.
bool s_terminating = false;

gboolean onTerminationSignal(gpointer)
{
    if (!NSApp || s_terminating)
        return G_SOURCE_CONTINUE;
    s_terminating = true;
    objc::msgSend<void, id>(NSApp, objc::sel("terminate:"), nil);
    s_terminating = false;
    return G_SOURCE_CONTINUE;
}

}  // namespace

void watchTerminationSignals()
{
    static const bool s_watching = [] {
        g_unix_signal_add(SIGTERM, &onTerminationSignal, nullptr);
        g_unix_signal_add(SIGINT, &onTerminationSignal, nullptr);
        return true;
    }();
    (void)s_watching;
}

}  // namespace qvcompat::appkit
