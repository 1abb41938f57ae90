// NSRunLoop over GLib main contexts, and the NSObject perform messages (see NSRunLoop.h).
//
// Implements: one immortal run-loop object per context, which holds the context in its state; -addTimer:forMode: hands the timer to the
// context; the performs are one-shot GLib sources that send the selector and then release the receiver
// and argument they retained.
// Lacks: see NSRunLoop.h.
// Deviations: see NSRunLoop.h.
#include "Foundation/NSRunLoop.h"

#include "Foundation/Bridge.h"
#include "Foundation/ClassDefinition.h"
#include "Foundation/NSTimer.h"

#include <glib.h>

#include <cmath>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

// The run loop of one GLib main context; run loops are immortal, so is their hold on the context.
struct tRunLoop {
    GMainContext* context = nullptr;
};

using RunLoopState = qvcompat::foundation::InstanceState<tRunLoop>;

// ---- one-shot calls on a context ----

struct tCallSource {
    GSource source;
    std::function<void()>* call;
};

gboolean dispatchCall(GSource* source, GSourceFunc, gpointer)
{
    void* pool = objc_autoreleasePoolPush();
    (*reinterpret_cast<tCallSource*>(source)->call)();
    objc_autoreleasePoolPop(pool);
    return G_SOURCE_REMOVE;
}

void finalizeCall(GSource* source) { delete reinterpret_cast<tCallSource*>(source)->call; }

GSourceFuncs s_callFuncs = {nullptr, nullptr, dispatchCall, finalizeCall, nullptr, nullptr};

// Runs `call` on the thread that iterates `context`, once the monotonic time reaches `readyTime` (in
// microseconds; 0 for as soon as possible). Sources of equal readiness run in the order posted.
void postCall(GMainContext* context, gint64 readyTime, std::function<void()> call)
{
    GSource* source = g_source_new(&s_callFuncs, sizeof(tCallSource));
    reinterpret_cast<tCallSource*>(source)->call = new std::function<void()>(std::move(call));
    g_source_set_ready_time(source, readyTime);
    g_source_attach(source, context);
    g_source_unref(source);
}

// A send of `op` with `argument` that keeps both objects alive until it has happened.
std::function<void()> retainedSend(id receiver, SEL op, id argument)
{
    objc_retain(receiver);
    objc_retain(argument);
    return [receiver, op, argument] {
        msgSend<void, id>(receiver, op, argument);
        objc_release(argument);
        objc_release(receiver);
    };
}

// ---- NSRunLoop ----

id runLoopFor(GMainContext* context)
{
    static std::mutex s_lock;
    static auto* s_runLoops = new std::map<GMainContext*, id>;  // immortal, as the run loops
    std::lock_guard<std::mutex> guard(s_lock);
    id& runLoop = (*s_runLoops)[context];
    if (!runLoop) {
        runLoop = msgSend<id>(msgSend<id>(qvcompat::foundation::NSRunLoopClass(), s_alloc), s_init);
        RunLoopState::of(runLoop).context = g_main_context_ref(context);
    }
    return runLoop;
}

id mainRunLoop(id, SEL) { return runLoopFor(g_main_context_default()); }

id currentRunLoop(id self, SEL op)
{
    if (qvcompat::foundation::isMainThread())
        return mainRunLoop(self, op);
    GMainContext* context = g_main_context_ref_thread_default();
    id runLoop = runLoopFor(context);
    g_main_context_unref(context);
    return runLoop;
}

void addTimerForMode(id self, SEL, id timer, NSString* mode)
{
    if (timer && mode)
        qvcompat::foundation::detail::scheduleTimer(timer, qvcompat::foundation::runLoopContext(self));
}

// ---- NSObject's perform messages ----

void performOnMainThread(id self, SEL, SEL op, id argument, BOOL wait)
{
    if (wait && qvcompat::foundation::isMainThread()) {
        msgSend<void, id>(self, op, argument);
        return;
    }
    std::function<void()> send = retainedSend(self, op, argument);
    if (!wait) {
        postCall(g_main_context_default(), 0, std::move(send));
        return;
    }
    std::mutex lock;
    std::condition_variable doneChanged;
    bool done = false;
    postCall(g_main_context_default(), 0, [&, send] {
        send();
        std::lock_guard<std::mutex> guard(lock);
        done = true;
        doneChanged.notify_all();
    });
    std::unique_lock<std::mutex> guard(lock);
    doneChanged.wait(guard, [&] { return done; });
}

void performAfterDelay(id self, SEL, SEL op, id argument, double delay)
{
    const double microseconds = delay > 0 ? std::ceil(delay * 1e6) : 0;
    id runLoop = currentRunLoop(qvcompat::foundation::NSRunLoopClass(), nullptr);
    postCall(qvcompat::foundation::runLoopContext(runLoop), g_get_monotonic_time() + static_cast<gint64>(microseconds),
             retainedSend(self, op, argument));
}

}  // namespace

namespace {

NSString* s_defaultMode = nullptr;
NSString* s_commonModes = nullptr;

// The mode names are made right after Foundation's classes (priority 101), so they are NSStrings, and
// before the program's static initialisers.
struct tModes {
    tModes()
    {
        s_defaultMode = qvcompat::foundation::newString("kCFRunLoopDefaultMode");
        s_commonModes = qvcompat::foundation::newString("kCFRunLoopCommonModes");
    }
};

__attribute__((init_priority(102))) const tModes s_modes;

}  // namespace

const NSRunLoopMode& NSDefaultRunLoopMode = s_defaultMode;
const NSRunLoopMode& NSRunLoopCommonModes = s_commonModes;

namespace qvcompat::foundation {

bool isMainThread() { return syscall(SYS_gettid) == getpid(); }

Class NSRunLoopClass()
{
    static const Class s_class = [] {
        Class object = NSObjectClass();
        objc::addMethod(object, objc::sel("performSelectorOnMainThread:withObject:waitUntilDone:"),
                        &performOnMainThread, "v@::@c");
        objc::addMethod(object, objc::sel("performSelector:withObject:afterDelay:"), &performAfterDelay, "v@::@d");
        return ClassDefinition("NSRunLoop", object)
            .state<tRunLoop>()
            .classMethod("currentRunLoop", &currentRunLoop, "@@:")
            .classMethod("mainRunLoop", &mainRunLoop, "@@:")
            .method("addTimer:forMode:", &addTimerForMode, "v@:@@")
            .registerClass();
    }();
    return s_class;
}

_GMainContext* runLoopContext(id runLoop)
{
    const tRunLoop* state = RunLoopState::find(runLoop);
    return state ? state->context : nullptr;
}

}  // namespace qvcompat::foundation
