#include "COCOA/WindowClasses.h"

#include "GP/ClassFactory.h"

#include <AppKit/AppKit.h>

namespace QV::UIA::COCOA {

objc_class* WindowClasses::s_pWindow = nullptr;
objc_class* WindowClasses::s_pPanel = nullptr;
objc_class* WindowClasses::s_pOverlayPanel = nullptr;

namespace {

BOOL answerYes(id, SEL) { return YES; }

// Makes one class; with canBecomeKeyAndMain it answers YES to both questions.
void defineClass(GP::OBJC::ClassFactory& factory, const char* name, const char* superclass, bool canBecomeKeyAndMain)
{
    if (!factory.generateUniqueClass(name, superclass))
        return;
    if (canBecomeKeyAndMain) {
        factory.addMethod(sel_registerName("canBecomeKeyWindow"), reinterpret_cast<IMP>(&answerYes), "B@:@:");
        factory.addMethod(sel_registerName("canBecomeMainWindow"), reinterpret_cast<IMP>(&answerYes), "B@:@:");
    }
    factory.doRegister();
}

struct ClassMaker {
    ClassMaker()
    {
        defineClass(m_window, "QVCocoaWindow", "NSWindow", true);
        defineClass(m_panel, "QVCocoaPanel", "NSPanel", true);
        defineClass(m_overlayPanel, "QVOverlayPanel", "NSPanel", false);
    }

    GP::OBJC::ClassFactory m_window{WindowClasses::s_pWindow};
    GP::OBJC::ClassFactory m_panel{WindowClasses::s_pPanel};
    GP::OBJC::ClassFactory m_overlayPanel{WindowClasses::s_pOverlayPanel};
};

const ClassMaker s_classMaker;

}  // namespace

}  // namespace QV::UIA::COCOA
