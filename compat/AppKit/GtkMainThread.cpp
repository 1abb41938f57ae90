#include "AppKit/GtkMainThread.h"

#include <gtk/gtk.h>

#include <condition_variable>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace qvcompat::appkit {

bool isMainThread() { return syscall(SYS_gettid) == getpid(); }

bool ensureGtk()
{
    static std::once_flag s_once;
    static bool s_open = false;
    if (!isMainThread())
        return s_open;
    std::call_once(s_once, [] {
        // The stand-in draws through X11 only (its coordinates and key codes are X11's).
        gdk_set_allowed_backends("x11");
        s_open = gtk_init_check(nullptr, nullptr);
    });
    return s_open;
}

namespace {

struct tCall {
    const std::function<void()>* work;
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
};

gboolean runCall(gpointer data)
{
    auto* call = static_cast<tCall*>(data);
    (*call->work)();
    std::lock_guard<std::mutex> guard(call->lock);
    call->finished = true;
    call->done.notify_all();
    return G_SOURCE_REMOVE;
}

}  // namespace

bool runOnMainThread(const std::function<void()>& work)
{
    if (isMainThread()) {
        work();
        return true;
    }
    GMainContext* context = g_main_context_default();
    // A context nobody owns has no loop running: a call posted to it would wait for ever.
    if (g_main_context_acquire(context)) {
        g_main_context_release(context);
        return false;
    }
    tCall call;
    call.work = &work;
    g_main_context_invoke(context, runCall, &call);
    std::unique_lock<std::mutex> guard(call.lock);
    call.done.wait(guard, [&] { return call.finished; });
    return true;
}

}  // namespace qvcompat::appkit
