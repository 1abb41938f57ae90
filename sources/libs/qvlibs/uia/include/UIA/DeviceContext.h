// A drawing destination of the platform for the length of one paint: the window back end attaches
// it to the graphics context that the view is drawn with, the window copies its off-screen picture
// into it, and the back end detaches it again.
//
// Main thread only.
#pragma once

#include <CoreGraphics/CGContext.h>

#include <memory>

namespace QV::UIA {

class Picture;

class DeviceContext {
public:
    DeviceContext(int width, int height);
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Draws into `context` from now on: saves its graphics state and sets up pixel-exact drawing (no
    // anti-aliasing, no interpolation, the shared colour space, line width 0.1, normal blending).
    void attachOSHandle(CGContextRef context);
    // Restores the context's graphics state and forgets it.
    void detachOSHandle();
    CGContextRef getOSHandle() const { return m_context; }

    // Draws the picture upright with its top-left corner at the context's origin, at one unit per
    // pixel divided by the backing scale. With bAlpha the picture's alpha is kept (a transparent
    // window); without, its alpha bytes are ignored and every pixel is opaque. Nothing while detached.
    void updateFromPicture(const Picture& picture, bool bAlpha);

    void setBackingScale(float scaleX, float scaleY)
    {
        m_scaleX = scaleX;
        m_scaleY = scaleY;
    }
    float getBackingScaleX() const { return m_scaleX; }
    float getBackingScaleY() const { return m_scaleY; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }

private:
    struct tPlatform;

    CGContextRef m_context = nullptr;
    int m_width;
    int m_height;
    std::unique_ptr<tPlatform> m_pPlatform;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
};

}  // namespace QV::UIA
