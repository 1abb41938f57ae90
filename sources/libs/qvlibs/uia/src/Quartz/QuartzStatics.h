// The colour space that every image and drawing context of the UI layer uses: the main display's,
// else device RGB, else generic RGB. Made on first use, released at exit.
#pragma once

#include <CoreGraphics/CoreGraphics.h>

namespace QV::UIA::DETAIL {

class QuartzStatics {
public:
    // Not retained for the caller; null only when the platform has no RGB space at all.
    static CGColorSpaceRef getColorSpace();

private:
    QuartzStatics();
    ~QuartzStatics();

    CGColorSpaceRef m_colorSpace;
};

}  // namespace QV::UIA::DETAIL
