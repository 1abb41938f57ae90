#include "AppKit/NSButton.h"

#include "AppKit/AppKitClasses.h"

#include <Foundation/ClassDefinition.h>

#include <utility>

namespace qvcompat::appkit {

namespace {

struct tButton {
    tButton() = default;
    tButton(const tButton&) = delete;
    tButton& operator=(const tButton&) = delete;
    ~tButton()
    {
        objc_release(title);
        objc_release(keyEquivalent);
    }

    NSString* title = nullptr;          // retained
    NSString* keyEquivalent = nullptr;  // retained
    NSInteger tag = 0;
};

using ButtonState = foundation::InstanceState<tButton>;

void replace(NSString*& field, NSString* text)
{
    objc_retain(text);
    objc_release(std::exchange(field, text));
}

NSString* title(id self, SEL) { return ButtonState::of(self).title; }
void setTitle(id self, SEL, NSString* text) { replace(ButtonState::of(self).title, text); }
NSString* keyEquivalent(id self, SEL) { return ButtonState::of(self).keyEquivalent; }
void setKeyEquivalent(id self, SEL, NSString* text) { replace(ButtonState::of(self).keyEquivalent, text); }
NSInteger tag(id self, SEL) { return ButtonState::of(self).tag; }
void setTag(id self, SEL, NSInteger value) { ButtonState::of(self).tag = value; }

}  // namespace

Class NSButtonClass()
{
    static const Class s_class = foundation::ClassDefinition("NSButton", foundation::NSObjectClass())
                                     .state<tButton>()
                                     .method("title", &title, "@@:")
                                     .method("setTitle:", &setTitle, "v@:@")
                                     .method("keyEquivalent", &keyEquivalent, "@@:")
                                     .method("setKeyEquivalent:", &setKeyEquivalent, "v@:@")
                                     .method("tag", &tag, "q@:")
                                     .method("setTag:", &setTag, "v@:q")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
