// Opaque images drawn through CGContextDrawImage into an X pixmap under a table of transforms and
// clips: wherever the draw maps the image 1:1 on whole pixels it goes straight to the server and
// leaves the pixels that cairo leaves in memory; any other draw is cairo's.
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/standin/XDrawablePut.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qvcompat::coregraphics {
namespace {

constexpr int kImageWidth = 40;
constexpr int kImageHeight = 30;
constexpr int kTargetWidth = 120;
constexpr int kTargetHeight = 90;

struct tClip {
    double x, y, width, height;  // in the target's device space
};

struct tCase {
    const char* name;
    double offsetX, offsetY;   // the target surface's device offset
    double originX, originY;   // where the view's drawing starts, in device space
    double scale;              // the image drawn at this multiple of its size
    std::vector<tClip> clips;  // none: the whole target
    cairo_operator_t op;
    bool straight;  // expected to go to the server without cairo
};

// Distinct pixels, with the byte that RGB24 skips set, which the drawable must not show.
std::vector<uint32_t> imagePixels()
{
    std::vector<uint32_t> pixels(size_t(kImageWidth) * kImageHeight);
    for (int y = 0; y < kImageHeight; ++y)
        for (int x = 0; x < kImageWidth; ++x)
            pixels[size_t(y) * kImageWidth + x] = 0xA5000000u | uint32_t(x * 6) << 16 | uint32_t(y * 8) << 8 | 0x40u;
    return pixels;
}

// The way a view hands its picture over: y flipped to the image's first row at the top.
void draw(cairo_t* cr, const tCase& c, CGImageRef image)
{
    cairo_translate(cr, c.originX, c.originY);
    for (const tClip& clip : c.clips)
        cairo_rectangle(cr, clip.x - c.originX, clip.y - c.originY, clip.width, clip.height);
    if (!c.clips.empty())
        cairo_clip(cr);
    cairo_set_operator(cr, c.op);
    const double width = kImageWidth * c.scale;
    const double height = kImageHeight * c.scale;
    cairo_translate(cr, 0, height);
    cairo_scale(cr, 1, -1);
    CGContextDrawImage(cr, CGRectMake(0, 0, width, height), image);
}

// The target's pixels after the draw, as 0x00RRGGBB.
std::vector<uint32_t> drawnInMemory(const tCase& c, CGImageRef image)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kTargetWidth, kTargetHeight);
    cairo_surface_set_device_offset(surface, c.offsetX, c.offsetY);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_paint(cr);
    draw(cr, c, image);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::vector<uint32_t> result;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < kTargetHeight; ++y)
        for (int x = 0; x < kTargetWidth; ++x)
            result.push_back(reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x] &
                             0xFFFFFF);
    cairo_surface_destroy(surface);
    return result;
}

class XDrawablePut : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_display = XOpenDisplay(nullptr);
        if (!m_display)
            GTEST_SKIP() << "no X display";
        if (DefaultDepth(m_display, DefaultScreen(m_display)) != 24)
            GTEST_SKIP() << "the display is not 24 bits deep";
    }
    void TearDown() override
    {
        if (m_display)
            XCloseDisplay(m_display);
    }

    std::vector<uint32_t> drawnOnServer(const tCase& c, CGImageRef image, uint64_t& straight)
    {
        const int screen = DefaultScreen(m_display);
        const Pixmap pixmap = XCreatePixmap(m_display, RootWindow(m_display, screen), kTargetWidth, kTargetHeight, 24);
        cairo_surface_t* surface =
            cairo_xlib_surface_create(m_display, pixmap, DefaultVisual(m_display, screen), kTargetWidth, kTargetHeight);
        cairo_surface_set_device_offset(surface, c.offsetX, c.offsetY);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_paint(cr);
        const uint64_t before = putOpaqueImageCount();
        draw(cr, c, image);
        straight = putOpaqueImageCount() - before;
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        XImage* shown = XGetImage(m_display, pixmap, 0, 0, kTargetWidth, kTargetHeight, AllPlanes, ZPixmap);
        std::vector<uint32_t> result;
        for (int y = 0; y < kTargetHeight; ++y)
            for (int x = 0; x < kTargetWidth; ++x)
                result.push_back(uint32_t(XGetPixel(shown, x, y)) & 0xFFFFFF);
        XDestroyImage(shown);
        cairo_surface_destroy(surface);
        XFreePixmap(m_display, pixmap);
        return result;
    }

    Display* m_display = nullptr;
};

std::string at(size_t index)
{
    char text[48];
    std::snprintf(text, sizeof text, "(%zu, %zu)", index % kTargetWidth, index / kTargetWidth);
    return text;
}

TEST_F(XDrawablePut, EachDrawShowsWhatCairoDrawsInMemory)
{
    const tCase cases[] = {
        {"unclipped, at the origin", 0, 0, 0, 0, 1, {}, CAIRO_OPERATOR_OVER, true},
        {"clipped to one rectangle", 0, 0, 0, 0, 1, {{0, 0, 120, 90}}, CAIRO_OPERATOR_OVER, true},
        {"two dirty rectangles, moved view",
         0,
         0,
         30,
         20,
         1,
         {{25, 15, 20, 12}, {50, 30, 60, 40}},
         CAIRO_OPERATOR_OVER,
         true},
        {"device offset of the double buffer", -10, 7, 12, 3, 1, {{0, 0, 100, 80}}, CAIRO_OPERATOR_SOURCE, true},
        {"clip partly off the image", 0, 0, 70, 50, 1, {{60, 40, 60, 50}}, CAIRO_OPERATOR_OVER, true},
        {"clip missing the image", 0, 0, 70, 50, 1, {{0, 0, 20, 20}}, CAIRO_OPERATOR_OVER, true},
        {"half-pixel origin", 0, 0, 10.5, 4, 1, {{0, 0, 120, 90}}, CAIRO_OPERATOR_OVER, false},
        {"half-pixel clip", 0, 0, 10, 4, 1, {{10.5, 4, 30, 20}}, CAIRO_OPERATOR_OVER, false},
        {"scaled up", 0, 0, 5, 5, 2, {{0, 0, 120, 90}}, CAIRO_OPERATOR_OVER, false},
        {"an operator that blends", 0, 0, 5, 5, 1, {{0, 0, 120, 90}}, CAIRO_OPERATOR_ADD, false},
    };
    const std::vector<uint32_t> pixels = imagePixels();
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size() * 4, nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGImageRef image = CGImageCreate(kImageWidth, kImageHeight, 8, 32, kImageWidth * 4, space,
                                     kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst, provider, nullptr, false,
                                     kCGRenderingIntentDefault);
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        uint64_t straight = 0;
        const std::vector<uint32_t> shown = drawnOnServer(c, image, straight);
        const std::vector<uint32_t> expected = drawnInMemory(c, image);
        EXPECT_EQ(straight, c.straight ? 1u : 0u);
        if (!c.straight)
            continue;  // the server's rendering then, whose edge blending may round otherwise
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            if (shown[i] != expected[i] && differing++ < 3)
                ADD_FAILURE() << "pixel " << at(i) << ": " << std::hex << shown[i] << " instead of " << expected[i];
        EXPECT_EQ(differing, 0u);
    }
    CGImageRelease(image);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
}

}  // namespace
}  // namespace qvcompat::coregraphics
