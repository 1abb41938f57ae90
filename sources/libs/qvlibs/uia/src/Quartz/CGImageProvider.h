// A picture as a platform image (CGImage) over the picture's own pixels, without a copy: the picture
// must outlive the provider and keep its size. For cursors and drag images.
#pragma once

#include <CoreGraphics/CoreGraphics.h>

namespace QV::UIA {
class Picture;
}

namespace QV::UIA::DETAIL {

class CGImageProvider {
public:
    // bPremultiplied tells how the picture's alpha is stored; pictures of the UI layer hold straight
    // alpha (false). Without the picture's alpha-channel property the alpha bytes are ignored.
    CGImageProvider(const Picture& picture, bool bPremultiplied);
    ~CGImageProvider();
    CGImageProvider(const CGImageProvider&) = delete;
    CGImageProvider& operator=(const CGImageProvider&) = delete;

    // Null for an empty picture.
    CGImageRef getImage() const { return m_image; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }

private:
    int m_width;
    int m_height;
    CGDataProviderRef m_provider = nullptr;
    CGImageRef m_image = nullptr;
};

}  // namespace QV::UIA::DETAIL
