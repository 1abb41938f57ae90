#include "AppKit/standin/Windowing.h"

#include <Foundation/ClassDefinition.h>

namespace qvcompat::appkit {

namespace {

struct tPanel {
    bool worksWhenModal = false;
    bool floating = false;
    bool becomesKeyOnlyIfNeeded = false;
};

using PanelState = foundation::InstanceState<tPanel>;

BOOL worksWhenModal(id self, SEL) { return PanelState::of(self).worksWhenModal; }
void setWorksWhenModal(id self, SEL, BOOL on) { PanelState::of(self).worksWhenModal = on; }
BOOL isFloatingPanel(id self, SEL) { return PanelState::of(self).floating; }
void setFloatingPanel(id self, SEL, BOOL on)
{
    PanelState::of(self).floating = on;
    objc::msgSend<void, NSWindowLevel>(self, objc::sel("setLevel:"), on ? NSFloatingWindowLevel : NSNormalWindowLevel);
}
BOOL becomesKeyOnlyIfNeeded(id self, SEL) { return PanelState::of(self).becomesKeyOnlyIfNeeded; }
void setBecomesKeyOnlyIfNeeded(id self, SEL, BOOL on) { PanelState::of(self).becomesKeyOnlyIfNeeded = on; }
BOOL no(id, SEL) { return NO; }

}  // namespace

Class NSPanelClass()
{
    static const Class s_class = foundation::ClassDefinition("NSPanel", NSWindowClass())
                                     .state<tPanel>()
                                     .method("worksWhenModal", &worksWhenModal, "B@:")
                                     .method("setWorksWhenModal:", &setWorksWhenModal, "v@:B")
                                     .method("isFloatingPanel", &isFloatingPanel, "B@:")
                                     .method("setFloatingPanel:", &setFloatingPanel, "v@:B")
                                     .method("becomesKeyOnlyIfNeeded", &becomesKeyOnlyIfNeeded, "B@:")
                                     .method("setBecomesKeyOnlyIfNeeded:", &setBecomesKeyOnlyIfNeeded, "v@:B")
                                     .method("canBecomeMainWindow", &no, "B@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
