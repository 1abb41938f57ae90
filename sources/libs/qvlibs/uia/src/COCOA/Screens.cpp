#include "COCOA/Screens.h"

#include "COCOA/WindowRules.h"

#include <Foundation/Foundation.h>

namespace QV::UIA::COCOA {

namespace {

const objc::Selector s_screens{"screens"};
const objc::Selector s_count{"count"};
const objc::Selector s_objectAtIndex{"objectAtIndex:"};
const objc::Selector s_frame{"frame"};

}  // namespace

CGFloat firstScreenTopEdge()
{
    // The screens are made anew for each question: they go with this pool.
    void* pool = objc_autoreleasePoolPush();
    id screens = objc::msgSend<id>(objc_getClass("NSScreen"), s_screens);
    CGFloat edge = 0;
    if (objc::msgSend<NSUInteger>(screens, s_count) > 0) {
        id first = objc::msgSend<id, NSUInteger>(screens, s_objectAtIndex, 0);
        edge = WindowRules::topEdge(objc::msgSend<CGRect>(first, s_frame));
    }
    objc_autoreleasePoolPop(pool);
    return edge;
}

}  // namespace QV::UIA::COCOA
