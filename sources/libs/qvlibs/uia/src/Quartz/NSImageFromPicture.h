// A picture as a platform image (NSImage), for cursors and drag images.
#pragma once

#include <objc/runtime.h>

namespace QV::UIA {
class Picture;
}

namespace QV::UIA::DETAIL {

// A new NSImage of the picture's size showing the picture (owned by the caller: release it). The
// picture's straight alpha is kept as it is meant: a pixel of alpha 0x80 is half transparent with its
// full colour. Without the alpha-channel property every pixel is opaque. Nil for an empty picture.
id createNSImageFromPicture(const Picture& picture);

}  // namespace QV::UIA::DETAIL
