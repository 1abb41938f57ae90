// NSSavePanel: see NSSavePanel.h.
#include "AppKit/NSSavePanel.h"
#include "AppKit/standin/FilePanelState.h"

#include <CoreFoundation/CFRuntime.h>
#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

#include <climits>

namespace qvcompat::appkit {

namespace {

using PanelState = foundation::InstanceState<tFilePanel>;
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

std::string utf8(NSString* text)
{
    const char* bytes = text ? cf::stringUTF8(foundation::asCF<CFStringRef>(text)) : nullptr;
    return bytes ? bytes : "";
}

id savePanel(id self, SEL) { return objc_autorelease(objc::msgSend<id>(objc::msgSend<id>(self, s_alloc), s_init)); }

void setTitle(id self, SEL, NSString* title) { PanelState::of(self).title = utf8(title); }
void setPrompt(id self, SEL, NSString* prompt) { PanelState::of(self).prompt = utf8(prompt); }
void setNameFieldStringValue(id self, SEL, NSString* name) { PanelState::of(self).name = utf8(name); }
void setCanCreateDirectories(id self, SEL, BOOL flag) { PanelState::of(self).canCreateDirectories = flag; }
void setExtensionHidden(id self, SEL, BOOL flag) { PanelState::of(self).extensionHidden = flag; }
void setAllowsOtherFileTypes(id self, SEL, BOOL flag) { PanelState::of(self).allowsOtherFileTypes = flag; }

void setDirectoryURL(id self, SEL, id url)
{
    UInt8 path[PATH_MAX];
    tFilePanel& panel = PanelState::of(self);
    panel.directory.clear();
    if (url && CFURLGetFileSystemRepresentation(foundation::asCF<CFURLRef>(url), true, path, sizeof(path)))
        panel.directory = reinterpret_cast<const char*>(path);
}

// A CFArray of CFStrings (see NSSavePanel.h); nil allows every type.
void setAllowedFileTypes(id self, SEL, id types)
{
    tFilePanel& panel = PanelState::of(self);
    panel.allowedExtensions.clear();
    const auto array = foundation::asCF<CFArrayRef>(types);
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        auto type = static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, i));
        if (CFGetTypeID(type) == CFStringGetTypeID())
            panel.allowedExtensions.push_back(cf::stringUTF8(type));
    }
}

NSInteger runModal(id self, SEL)
{
    return runFilePanel(PanelState::of(self)) ? NSModalResponseOK : NSModalResponseCancel;
}

// The chosen URL (owned by the panel), or nil.
id URL(id self, SEL)
{
    const tFilePanel& panel = PanelState::of(self);
    return panel.chosen.empty() ? nil : foundation::asObject(panel.chosen.front());
}

}  // namespace

Class NSSavePanelClass()
{
    static const Class s_class = foundation::ClassDefinition("NSSavePanel", objc_getClass("NSObject"))
                                     .state<tFilePanel>()
                                     .classMethod("savePanel", &savePanel, "@#:")
                                     .method("setTitle:", &setTitle, "v@:@")
                                     .method("setPrompt:", &setPrompt, "v@:@")
                                     .method("setNameFieldStringValue:", &setNameFieldStringValue, "v@:@")
                                     .method("setCanCreateDirectories:", &setCanCreateDirectories, "v@:c")
                                     .method("setExtensionHidden:", &setExtensionHidden, "v@:c")
                                     .method("setAllowsOtherFileTypes:", &setAllowsOtherFileTypes, "v@:c")
                                     .method("setDirectoryURL:", &setDirectoryURL, "v@:@")
                                     .method("setAllowedFileTypes:", &setAllowedFileTypes, "v@:@")
                                     .method("runModal", &runModal, "q@:")
                                     .method("URL", &URL, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
