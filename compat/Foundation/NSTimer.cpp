// NSTimer over a GLib source with a ready time (see NSTimer.h).
//
// Implements: the timer's state in its instance state; scheduling attaches a source
// whose ready time is the fire date (monotonic microseconds); its dispatch sends the selector.
// Lacks: see NSTimer.h.
// Deviations: see NSTimer.h.
#include "Foundation/NSTimer.h"

#include "Foundation/ClassDefinition.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_invalidate{"invalidate"};

struct tTimer {
    tTimer() = default;
    tTimer(const tTimer&) = delete;
    tTimer& operator=(const tTimer&) = delete;
    // Never scheduled, or scheduled and then invalidated: only the first still holds anything.
    ~tTimer()
    {
        objc_release(target);
        objc_release(userInfo);
    }

    gint64 intervalUs = 0;
    gint64 fireTime = 0;  // monotonic microseconds
    bool repeats = false;
    bool valid = false;  // from +timerWithTimeInterval:... until -invalidate
    id target = nil;     // retained while valid
    SEL selector = nullptr;
    id userInfo = nil;          // retained while valid
    GSource* source = nullptr;  // while a run loop holds the timer
};

tTimer* state(id self) { return qvcompat::foundation::InstanceState<tTimer>::find(self); }

struct tTimerSource {
    GSource source;
    id timer;  // the run loop's reference
};

void invalidate(id self, SEL);

gboolean dispatchTimer(GSource* source, GSourceFunc, gpointer)
{
    id timer = reinterpret_cast<tTimerSource*>(source)->timer;
    tTimer* timerState = state(timer);
    // The send may invalidate the timer and so release it and its target: both stay until it returns.
    id target = objc_retain(timerState->target);
    objc_retain(timer);
    void* pool = objc_autoreleasePoolPush();
    msgSend<void, id>(target, timerState->selector, timer);
    objc_autoreleasePoolPop(pool);
    if (timerState->valid) {
        if (!timerState->repeats) {
            msgSend<void>(timer, s_invalidate);
        } else {
            // The next multiple of the interval after the last fire date that lies in the future.
            const gint64 now = g_get_monotonic_time();
            const gint64 late = now - timerState->fireTime;
            timerState->fireTime += (late / timerState->intervalUs + 1) * timerState->intervalUs;
            g_source_set_ready_time(source, timerState->fireTime);
        }
    }
    objc_release(timer);
    objc_release(target);
    return G_SOURCE_CONTINUE;  // an invalidated timer has destroyed its source already
}

GSourceFuncs s_timerFuncs = {nullptr, nullptr, dispatchTimer, nullptr, nullptr, nullptr};

// ---- class methods ----

id timerWithTimeInterval(id self, SEL, double seconds, id target, SEL selector, id userInfo, BOOL repeats)
{
    id timer = msgSend<id>(msgSend<id>(self, s_alloc), s_init);
    tTimer* timerState = state(timer);
    if (!timerState)
        return nil;
    // At least 0.1 ms, as on the platform; at most a few decades, which no wait outlives.
    const double microseconds = seconds > 0 ? std::min(seconds * 1e6, 1e15) : 0;
    timerState->intervalUs = std::max<gint64>(100, std::llround(microseconds));
    timerState->fireTime = g_get_monotonic_time() + timerState->intervalUs;
    timerState->repeats = repeats != NO;
    timerState->valid = true;
    timerState->target = objc_retain(target);
    timerState->selector = selector;
    timerState->userInfo = objc_retain(userInfo);
    return objc_autorelease(timer);
}

// ---- instance methods ----

// Drops what a valid timer holds; the run loop's reference goes last, as it may free the timer.
void invalidate(id self, SEL)
{
    tTimer* timerState = state(self);
    if (!timerState || !timerState->valid)
        return;
    timerState->valid = false;
    id target = timerState->target;
    id userInfo = timerState->userInfo;
    timerState->target = nil;
    timerState->userInfo = nil;
    GSource* source = timerState->source;
    timerState->source = nullptr;
    objc_release(target);
    objc_release(userInfo);
    if (source) {
        g_source_destroy(source);
        g_source_unref(source);
        objc_release(self);
    }
}

BOOL isValid(id self, SEL) { return state(self) && state(self)->valid ? YES : NO; }

double timeInterval(id self, SEL)
{
    const tTimer* timerState = state(self);
    return timerState && timerState->repeats ? static_cast<double>(timerState->intervalUs) / 1e6 : 0.0;
}

id userInfo(id self, SEL) { return state(self) ? state(self)->userInfo : nil; }

}  // namespace

namespace qvcompat::foundation {

Class NSTimerClass()
{
    static const Class s_class =
        ClassDefinition("NSTimer", NSObjectClass())
            .state<tTimer>()
            .classMethod("timerWithTimeInterval:target:selector:userInfo:repeats:", &timerWithTimeInterval, "@@:d@:@c")
            .method("invalidate", &invalidate, "v@:")
            .method("isValid", &isValid, "c@:")
            .method("timeInterval", &timeInterval, "d@:")
            .method("userInfo", &userInfo, "@@:")
            .registerClass();
    return s_class;
}

namespace detail {

bool scheduleTimer(id timer, _GMainContext* context)
{
    tTimer* timerState = timer && context ? state(timer) : nullptr;
    if (!timerState || !timerState->valid || timerState->source)
        return false;
    GSource* source = g_source_new(&s_timerFuncs, sizeof(tTimerSource));
    reinterpret_cast<tTimerSource*>(source)->timer = objc_retain(timer);
    g_source_set_ready_time(source, timerState->fireTime);
    timerState->source = source;
    g_source_attach(source, context);
    return true;
}

}  // namespace detail

}  // namespace qvcompat::foundation
