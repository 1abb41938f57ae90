#include "FoundationTestSupport.h"

#include <glib.h>

namespace qvcompat::test {

namespace {

tLog* logOf(id self)
{
    return reinterpret_cast<tLog*>(object_getIvar(self, class_getInstanceVariable(recorderClass(), "log")));
}

void record(id self, SEL op, id argument)
{
    tLog* log = logOf(self);
    {
        std::lock_guard<std::mutex> guard(log->lock);
        log->received.push_back(
            {sel_getName(op), argument, foundation::isMainThread(), std::chrono::steady_clock::now()});
    }
    if (log->onReceive)
        log->onReceive(self, argument);
}

gboolean wake(gpointer) { return G_SOURCE_CONTINUE; }

}  // namespace

Class recorderClass()
{
    static const Class s_class = [] {
        Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "QVTestRecorder", 0);
        class_addIvar(cls, "log", sizeof(tLog*), 3, "^v");
        objc::addMethod(cls, objc::sel("note:"), &record, "v@:@");
        objc::addMethod(cls, objc::sel("other:"), &record, "v@:@");
        objc_registerClassPair(cls);
        return cls;
    }();
    return s_class;
}

id makeRecorder(tLog* log)
{
    id recorder = objc::msgSend<id>(recorderClass(), objc::sel("new"));
    object_setIvar(recorder, class_getInstanceVariable(recorderClass(), "log"), reinterpret_cast<id>(log));
    return recorder;
}

bool runMainLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Wakes the blocking iteration now and then, so that the deadline is seen.
    const guint waker = g_timeout_add(10, &wake, nullptr);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(waker);
    return done();
}

void runMainLoopFor(std::chrono::milliseconds duration)
{
    runMainLoopUntil([] { return false; }, duration);
}

unsigned long retainCount(id object) { return objc::msgSend<NSUInteger>(object, objc::sel("retainCount")); }

bool hasText(id string, const char* text)
{
    void* pool = objc_autoreleasePoolPush();
    id other = objc::msgSend<id, const char*>(foundation::NSStringClass(), objc::sel("stringWithUTF8String:"), text);
    const bool same = objc::msgSend<BOOL, id>(string, objc::sel("isEqualToString:"), other) == YES;
    objc_autoreleasePoolPop(pool);
    return same;
}

}  // namespace qvcompat::test
