// NSThread (see NSThread.h).
//
// Implements: +isMainThread over the stand-in's own test of the thread id.
// Lacks: see NSThread.h.
// Deviations: see NSThread.h.
#include "Foundation/NSThread.h"

#include "Foundation/ClassDefinition.h"
#include "Foundation/FoundationClasses.h"

namespace {

BOOL answerIsMainThread(id, SEL) { return qvcompat::foundation::isMainThread() ? YES : NO; }

}  // namespace

namespace qvcompat::foundation {

Class NSThreadClass()
{
    static const Class s_class = ClassDefinition("NSThread", NSObjectClass())
                                     .classMethod("isMainThread", &answerIsMainThread, "c@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
