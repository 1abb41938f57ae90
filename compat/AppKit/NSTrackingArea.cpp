#include "AppKit/standin/Windowing.h"

#include <Foundation/ClassDefinition.h>

namespace qvcompat::appkit {

namespace {

const objc::Selector s_init{"init"};

struct tTrackingArea {
    tTrackingArea() = default;
    tTrackingArea(const tTrackingArea&) = delete;
    tTrackingArea& operator=(const tTrackingArea&) = delete;
    ~tTrackingArea() { objc_release(userInfo); }

    NSRect rect{};
    NSTrackingAreaOptions options = 0;
    id owner = nil;     // not retained, as on the platform
    id userInfo = nil;  // retained
};

using AreaState = foundation::InstanceState<tTrackingArea>;

id initWithRect(id self, SEL, NSRect rect, NSTrackingAreaOptions options, id owner, id userInfo)
{
    objc_super here{self, NSTrackingAreaClass()};
    self = objc::msgSendSuper<id>(&here, s_init);
    if (!self)
        return nil;
    tTrackingArea& area = AreaState::of(self);
    area.rect = rect;
    area.options = options;
    area.owner = owner;
    area.userInfo = objc_retain(userInfo);
    return self;
}

NSRect rect(id self, SEL) { return AreaState::of(self).rect; }
NSTrackingAreaOptions options(id self, SEL) { return AreaState::of(self).options; }
id owner(id self, SEL) { return AreaState::of(self).owner; }
id userInfo(id self, SEL) { return AreaState::of(self).userInfo; }

}  // namespace

Class NSTrackingAreaClass()
{
    static const Class s_class =
        foundation::ClassDefinition("NSTrackingArea", foundation::NSObjectClass())
            .state<tTrackingArea>()
            .method("initWithRect:options:owner:userInfo:", &initWithRect, "@@:{CGRect={CGPoint=dd}{CGSize=dd}}Q@@")
            .method("rect", &rect, "{CGRect={CGPoint=dd}{CGSize=dd}}@:")
            .method("options", &options, "Q@:")
            .method("owner", &owner, "@@:")
            .method("userInfo", &userInfo, "@@:")
            .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
