#include "AppKit/gtk/GtkMainThread.h"

#include <gtk/gtk.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace qvcompat::appkit {

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

// A call handed to the main loop. Shared by both sides: the caller may give up before the main
// loop takes it, and the loop may take it after that.
struct tCall {
    std::function<void()> work;
    std::mutex lock;
    std::condition_variable changed;
    bool started = false;
    bool finished = false;
    bool cancelled = false;
};

// How long the main thread may take to pick a call up. A main thread that owns its loop but is
// itself blocked (waiting for the calling thread, say) never does: the caller then gives up.
constexpr std::chrono::seconds kPickUpTimeout{2};

gboolean runCall(gpointer data)
{
    std::shared_ptr<tCall> call = *static_cast<std::shared_ptr<tCall>*>(data);
    {
        std::lock_guard<std::mutex> guard(call->lock);
        if (call->cancelled)
            return G_SOURCE_REMOVE;
        call->started = true;
    }
    call->changed.notify_all();
    call->work();
    {
        std::lock_guard<std::mutex> guard(call->lock);
        call->finished = true;
    }
    call->changed.notify_all();
    return G_SOURCE_REMOVE;
}

void destroyCall(gpointer data) { delete static_cast<std::shared_ptr<tCall>*>(data); }

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
    auto call = std::make_shared<tCall>();
    call->work = work;
    g_main_context_invoke_full(context, G_PRIORITY_DEFAULT, runCall, new std::shared_ptr<tCall>(call), destroyCall);
    std::unique_lock<std::mutex> guard(call->lock);
    if (!call->changed.wait_for(guard, kPickUpTimeout, [&] { return call->started; })) {
        call->cancelled = true;
        return false;
    }
    call->changed.wait(guard, [&] { return call->finished; });
    return true;
}

}  // namespace qvcompat::appkit
