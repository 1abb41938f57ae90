#include "AppKit/NSGraphicsContext.h"

#include "AppKit/standin/Graphics.h"

#include <Foundation/ClassDefinition.h>

#include <cairo.h>

#include <utility>
#include <vector>

namespace qvcompat::appkit {

namespace {

struct tGraphicsContext {
    tGraphicsContext() = default;
    tGraphicsContext(const tGraphicsContext&) = delete;
    tGraphicsContext& operator=(const tGraphicsContext&) = delete;
    ~tGraphicsContext()
    {
        if (cairo)
            cairo_destroy(cairo);
    }
    cairo_t* cairo = nullptr;  // referenced
    bool flipped = false;
};

using GraphicsContextState = foundation::InstanceState<tGraphicsContext>;
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

// The thread's current context (retained) and the contexts saved by +saveGraphicsState.
struct tThreadContexts {
    ~tThreadContexts()
    {
        objc_release(current);
        for (id saved : stack)
            objc_release(saved);
    }
    id current = nil;
    std::vector<id> stack;
};

tThreadContexts& threadContexts()
{
    thread_local tThreadContexts t_contexts;
    return t_contexts;
}

id graphicsContextWithCGContext(id self, SEL, CGContextRef context, BOOL flipped)
{
    if (!context)
        return nil;
    id made = objc::msgSend<id>(objc::msgSend<id>(self, s_alloc), s_init);
    if (!made)
        return nil;
    tGraphicsContext& state = GraphicsContextState::of(made);
    state.cairo = cairo_reference(context);
    state.flipped = flipped != NO;
    return objc_autorelease(made);
}

id currentContext(id, SEL) { return threadContexts().current; }

void setCurrentContext(id, SEL, id context)
{
    objc_retain(context);
    objc_release(std::exchange(threadContexts().current, context));
}

void saveGraphicsState(id, SEL)
{
    tThreadContexts& contexts = threadContexts();
    contexts.stack.push_back(objc_retain(contexts.current));
    if (tGraphicsContext* state = GraphicsContextState::find(contexts.current))
        cairo_save(state->cairo);
}

void restoreGraphicsState(id, SEL)
{
    tThreadContexts& contexts = threadContexts();
    if (contexts.stack.empty())
        return;
    id saved = contexts.stack.back();
    contexts.stack.pop_back();
    objc_release(std::exchange(contexts.current, saved));
    if (tGraphicsContext* state = GraphicsContextState::find(saved))
        cairo_restore(state->cairo);
}

void* graphicsPort(id self, SEL) { return GraphicsContextState::of(self).cairo; }
CGContextRef cgContext(id self, SEL) { return GraphicsContextState::of(self).cairo; }
BOOL isFlipped(id self, SEL) { return GraphicsContextState::of(self).flipped ? YES : NO; }

}  // namespace

Class NSGraphicsContextClass()
{
    static const Class s_class =
        foundation::ClassDefinition("NSGraphicsContext", foundation::NSObjectClass())
            .state<tGraphicsContext>()
            .classMethod("graphicsContextWithCGContext:flipped:", &graphicsContextWithCGContext, "@@:^vc")
            .classMethod("currentContext", &currentContext, "@@:")
            .classMethod("setCurrentContext:", &setCurrentContext, "v@:@")
            .classMethod("saveGraphicsState", &saveGraphicsState, "v@:")
            .classMethod("restoreGraphicsState", &restoreGraphicsState, "v@:")
            .method("graphicsPort", &graphicsPort, "^v@:")
            .method("CGContext", &cgContext, "^v@:")
            .method("isFlipped", &isFlipped, "c@:")
            .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
