// The delegate of a window without content view (QVCocoaWindowDelegateClass, built at run time from
// NSObject): it turns the window's notices into window events of its implementation. Every window
// of this system has a view, which is its own delegate (View.h); this class serves the others.
#pragma once

#include <objc/runtime.h>

namespace QV::UIA::COCOA {

class WindowImpl;

class WindowDelegate {
public:
    // A new delegate (one reference, the caller's) serving `impl`.
    static id create(WindowImpl* impl);
    // The delegate lets go of its implementation and answers every notice as without window.
    static void clearImpl(id delegate);

    static objc_class* s_pClass;
};

}  // namespace QV::UIA::COCOA
