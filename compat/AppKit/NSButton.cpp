#include "AppKit/NSButton.h"

#include <Foundation/ClassDefinition.h>

namespace qvcompat::appkit {

namespace {

NSString* copyOf(NSString* text) { return text ? objc::msgSend<NSString*>(text, objc::sel("retain")) : nullptr; }

void replace(id self, const char* ivarName, NSString* text)
{
    Ivar ivar = class_getInstanceVariable(object_getClass(self), ivarName);
    id old = object_getIvar(self, ivar);
    object_setIvar(self, ivar, copyOf(text));
    objc::msgSend<void>(old, objc::sel("release"));
}

NSString* get(id self, const char* ivarName)
{
    return static_cast<NSString*>(object_getIvar(self, class_getInstanceVariable(object_getClass(self), ivarName)));
}

NSString* title(id self, SEL) { return get(self, "m_title"); }
void setTitle(id self, SEL, NSString* text) { replace(self, "m_title", text); }
NSString* keyEquivalent(id self, SEL) { return get(self, "m_keyEquivalent"); }
void setKeyEquivalent(id self, SEL, NSString* text) { replace(self, "m_keyEquivalent", text); }

NSInteger* tagOf(id self)
{
    Ivar ivar = class_getInstanceVariable(object_getClass(self), "m_tag");
    return reinterpret_cast<NSInteger*>(reinterpret_cast<char*>(self) + ivar_getOffset(ivar));
}

NSInteger tag(id self, SEL) { return *tagOf(self); }
void setTag(id self, SEL, NSInteger value) { *tagOf(self) = value; }

void dealloc(id self, SEL)
{
    replace(self, "m_title", nullptr);
    replace(self, "m_keyEquivalent", nullptr);
    objc_super up{self, foundation::NSObjectClass()};
    objc::msgSendSuper<void>(&up, objc::sel("dealloc"));
}

}  // namespace

Class NSButtonClass()
{
    static const Class s_class = foundation::ClassDefinition("NSButton", foundation::NSObjectClass())
                                     .ivar("m_title", sizeof(id), 3, "@")
                                     .ivar("m_keyEquivalent", sizeof(id), 3, "@")
                                     .ivar("m_tag", sizeof(NSInteger), 3, "q")
                                     .method("title", &title, "@@:")
                                     .method("setTitle:", &setTitle, "v@:@")
                                     .method("keyEquivalent", &keyEquivalent, "@@:")
                                     .method("setKeyEquivalent:", &setKeyEquivalent, "v@:@")
                                     .method("tag", &tag, "q@:")
                                     .method("setTag:", &setTag, "v@:q")
                                     .method("dealloc", &dealloc, "v@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
