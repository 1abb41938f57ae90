// NSPasteboard: see NSPasteboard.h.
#include "AppKit/NSPasteboard.h"

#include "Carbon/standin/PasteboardStore.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>
#include <Foundation/standin/Arrays.h>

#include <CoreFoundation/CFRuntime.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qvcompat::appkit {

namespace {

using carbon::PasteboardStore;

struct tPasteboard {
    std::shared_ptr<PasteboardStore> store;
};

using PasteboardState = foundation::InstanceState<tPasteboard>;
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_arrayWithObjects{"arrayWithObjects:count:"};

id make(id cls, const std::string& name)
{
    id pasteboard = objc::msgSend<id>(objc::msgSend<id>(cls, s_alloc), s_init);
    if (!pasteboard)
        return nil;
    PasteboardState::of(pasteboard).store = PasteboardStore::named(name);
    return objc_autorelease(pasteboard);
}

id generalPasteboard(id self, SEL) { return make(self, PasteboardStore::kClipboardName); }

id pasteboardWithName(id self, SEL, NSString* name)
{
    const char* text = name ? cf::stringUTF8(foundation::asCF<CFStringRef>(name)) : nullptr;
    return make(self, text ? text : "");
}

NSString* name(id self, SEL)
{
    NSString* string = foundation::newString(PasteboardState::of(self).store->name().c_str());
    return static_cast<NSString*>(objc_autorelease(string));
}

id types(id self, SEL)
{
    std::vector<std::string> names;
    for (const auto& item : PasteboardState::of(self).store->items())
        for (const auto& flavor : item.flavors)
            if (std::find(names.begin(), names.end(), flavor.type) == names.end())
                names.push_back(flavor.type);
    std::vector<id> strings;
    for (const std::string& type : names)
        strings.push_back(foundation::newString(type.c_str()));
    strings.erase(std::remove(strings.begin(), strings.end(), nil), strings.end());
    id array = objc::msgSend<id, const id*, NSUInteger>(foundation::NSArrayClass(), s_arrayWithObjects, strings.data(),
                                                        strings.size());
    for (id string : strings)
        objc_release(string);
    return array;
}

}  // namespace

Class NSPasteboardClass()
{
    static const Class s_class = foundation::ClassDefinition("NSPasteboard", objc_getClass("NSObject"))
                                     .state<tPasteboard>()
                                     .classMethod("generalPasteboard", &generalPasteboard, "@#:")
                                     .classMethod("pasteboardWithName:", &pasteboardWithName, "@#:@")
                                     .method("name", &name, "@@:")
                                     .method("types", &types, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
