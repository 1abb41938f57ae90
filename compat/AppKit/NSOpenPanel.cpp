// NSOpenPanel: see NSOpenPanel.h.
#include "AppKit/NSOpenPanel.h"
#include "AppKit/standin/FilePanelState.h"

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

namespace qvcompat::appkit {

namespace {

using PanelState = foundation::InstanceState<tFilePanel>;
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

id openPanel(id self, SEL)
{
    id panel = objc::msgSend<id>(objc::msgSend<id>(self, s_alloc), s_init);
    if (panel)
        PanelState::of(panel).open = true;
    return objc_autorelease(panel);
}

void setCanChooseFiles(id self, SEL, BOOL flag) { PanelState::of(self).canChooseFiles = flag; }
void setCanChooseDirectories(id self, SEL, BOOL flag) { PanelState::of(self).canChooseDirectories = flag; }
void setAllowsMultipleSelection(id self, SEL, BOOL flag) { PanelState::of(self).allowsMultipleSelection = flag; }

// The chosen URLs as a CFArray owned by the panel (see NSSavePanel.h).
id URLs(id self, SEL) { return foundation::asObject(PanelState::of(self).chosenArray()); }

}  // namespace

Class NSOpenPanelClass()
{
    static const Class s_class = foundation::ClassDefinition("NSOpenPanel", NSSavePanelClass())
                                     .classMethod("openPanel", &openPanel, "@#:")
                                     .method("setCanChooseFiles:", &setCanChooseFiles, "v@:c")
                                     .method("setCanChooseDirectories:", &setCanChooseDirectories, "v@:c")
                                     .method("setAllowsMultipleSelection:", &setAllowsMultipleSelection, "v@:c")
                                     .method("URLs", &URLs, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
