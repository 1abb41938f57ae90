#include "AppKit/standin/Windowing.h"

#include <Foundation/ClassDefinition.h>

namespace qvcompat::appkit {

namespace {

struct tColor {
    CGFloat red = 0;
    CGFloat green = 0;
    CGFloat blue = 0;
    CGFloat alpha = 0;
};

using ColorState = foundation::InstanceState<tColor>;

id make(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    id color = objc::msgSend<id>(NSColorClass(), objc::sel("new"));
    ColorState::of(color) = tColor{red, green, blue, alpha};
    return objc_autorelease(color);
}

id colorWithRGBA(id, SEL, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return make(red, green, blue, alpha);
}
id clearColor(id, SEL) { return make(0, 0, 0, 0); }
// GTK's default window background (Adwaita's #f6f5f4).
id windowBackgroundColor(id, SEL) { return make(0xf6 / 255.0, 0xf5 / 255.0, 0xf4 / 255.0, 1); }
CGFloat red(id self, SEL) { return ColorState::of(self).red; }
CGFloat green(id self, SEL) { return ColorState::of(self).green; }
CGFloat blue(id self, SEL) { return ColorState::of(self).blue; }
CGFloat alpha(id self, SEL) { return ColorState::of(self).alpha; }

}  // namespace

Class NSColorClass()
{
    static const Class s_class = foundation::ClassDefinition("NSColor", foundation::NSObjectClass())
                                     .state<tColor>()
                                     .classMethod("colorWithCalibratedRed:green:blue:alpha:", &colorWithRGBA, "@@:dddd")
                                     .classMethod("clearColor", &clearColor, "@@:")
                                     .classMethod("windowBackgroundColor", &windowBackgroundColor, "@@:")
                                     .method("redComponent", &red, "d@:")
                                     .method("greenComponent", &green, "d@:")
                                     .method("blueComponent", &blue, "d@:")
                                     .method("alphaComponent", &alpha, "d@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
