#include "CoreFoundation/CFRunLoopTimer.h"

#include "CoreFoundation/CFRuntime.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

const CFRunLoopMode kCFRunLoopCommonModes =
    CFStringCreateWithCString(nullptr, "kCFRunLoopCommonModes", kCFStringEncodingUTF8);

namespace {

// Seconds between the Unix epoch and 1 January 2001, the platform's reference date.
constexpr double kReferenceDateOffset = 978307200.0;

struct tTimerSource {
    GSource source;
    CFRunLoopTimerRef timer;
};

gint64 microseconds(double seconds) { return std::llround(std::clamp(seconds, 0.0, 1e9) * 1e6); }

}  // namespace

struct __CFRunLoopTimer final : qvcompat::cf::Object {
    __CFRunLoopTimer(CFAbsoluteTime fireDate, CFTimeInterval interval, CFRunLoopTimerCallBack callout, void* info)
        : Object(CFRunLoopTimerGetTypeID(), &qvcompat::cf::destroyAs<__CFRunLoopTimer>), m_fireDate(fireDate),
          m_interval(interval), m_callout(callout), m_info(info)
    {}

    const CFAbsoluteTime m_fireDate;
    const CFTimeInterval m_interval;
    const CFRunLoopTimerCallBack m_callout;
    void* const m_info;
    bool m_valid = true;
    GSource* m_source = nullptr;  // while a run loop holds the timer (with a reference)
};

namespace {

// Detaches the source and drops the run loop's reference, which may be the last one.
void detach(CFRunLoopTimerRef timer)
{
    GSource* source = timer->m_source;
    if (!source)
        return;
    timer->m_source = nullptr;
    g_source_destroy(source);
    g_source_unref(source);
    CFRelease(timer);
}

gboolean dispatchTimer(GSource* source, GSourceFunc, gpointer)
{
    CFRunLoopTimerRef timer = reinterpret_cast<tTimerSource*>(source)->timer;
    // The callout may release the creator's reference or invalidate the timer: keep it until done.
    CFRetain(timer);
    timer->m_callout(timer, timer->m_info);
    if (timer->m_valid && timer->m_source == source) {
        if (timer->m_interval > 0)
            g_source_set_ready_time(source,
                                    g_get_monotonic_time() + std::max<gint64>(100, microseconds(timer->m_interval)));
        else
            CFRunLoopTimerInvalidate(timer);
    }
    CFRelease(timer);
    return G_SOURCE_CONTINUE;  // a detached source is destroyed already
}

GSourceFuncs s_timerFuncs = {nullptr, nullptr, dispatchTimer, nullptr, nullptr, nullptr};

}  // namespace

CFAbsoluteTime CFAbsoluteTimeGetCurrent() { return g_get_real_time() / 1e6 - kReferenceDateOffset; }

CFTypeID CFRunLoopTimerGetTypeID()
{
    static const CFTypeID s_type = qvcompat::cf::registerType();
    return s_type;
}

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval, CFOptionFlags,
                                       CFIndex, CFRunLoopTimerCallBack callout, CFRunLoopTimerContext* context)
{
    if (!callout)
        return nullptr;
    return new __CFRunLoopTimer(fireDate, interval, callout, context ? context->info : nullptr);
}

void CFRunLoopAddTimer(CFRunLoopRef runLoop, CFRunLoopTimerRef timer, CFRunLoopMode)
{
    if (!runLoop || !timer || !timer->m_valid || timer->m_source)
        return;
    GSource* source = g_source_new(&s_timerFuncs, sizeof(tTimerSource));
    reinterpret_cast<tTimerSource*>(source)->timer = timer;
    const double delay = timer->m_fireDate - CFAbsoluteTimeGetCurrent();
    g_source_set_ready_time(source, g_get_monotonic_time() + microseconds(delay));
    CFRetain(timer);
    timer->m_source = source;
    GMainContext* context = g_main_context_ref_thread_default();
    g_source_attach(source, context);
    g_main_context_unref(context);
}

void CFRunLoopRemoveTimer(CFRunLoopRef runLoop, CFRunLoopTimerRef timer, CFRunLoopMode)
{
    if (runLoop && timer)
        detach(timer);
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef runLoop, CFRunLoopTimerRef timer, CFRunLoopMode)
{
    return runLoop && timer && timer->m_source != nullptr;
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer)
{
    if (!timer)
        return;
    timer->m_valid = false;
    detach(timer);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer) { return timer && timer->m_valid; }
