#include "Quartz/NSImageFromPicture.h"

#include "Quartz/CGImageProvider.h"
#include "UIA/Picture.h"

#include <Foundation/NSGeometry.h>
#include <objc/message.h>

namespace QV::UIA::DETAIL {

namespace {

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_initWithSize{"initWithSize:"};
const objc::Selector s_lockFocus{"lockFocus"};
const objc::Selector s_unlockFocus{"unlockFocus"};
const objc::Selector s_currentContext{"currentContext"};
const objc::Selector s_graphicsPort{"graphicsPort"};

}  // namespace

id createNSImageFromPicture(const Picture& picture)
{
    // Pictures hold straight alpha: the image is made as such, so its colours are not taken for
    // premultiplied ones (which would brighten every translucent pixel).
    CGImageProvider provider(picture, false);
    if (!provider.getImage())
        return nil;
    const NSSize size = NSMakeSize(provider.getWidth(), provider.getHeight());
    id image = objc::msgSend<id, NSSize>(objc::msgSend<id>(objc_getClass("NSImage"), s_alloc), s_initWithSize, size);
    if (!image)
        return nil;
    objc::msgSend<void>(image, s_lockFocus);
    id context = objc::msgSend<id>(objc_getClass("NSGraphicsContext"), s_currentContext);
    auto port = static_cast<CGContextRef>(objc::msgSend<void*>(context, s_graphicsPort));
    CGContextDrawImage(port, CGRectMake(0, 0, size.width, size.height), provider.getImage());
    objc::msgSend<void>(image, s_unlockFocus);
    return image;
}

}  // namespace QV::UIA::DETAIL
