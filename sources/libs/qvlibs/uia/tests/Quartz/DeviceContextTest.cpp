// Pictures drawn through the device context into a cairo image surface, the way a view's drawing
// context receives them (whole, or under the clip of a small dirty rectangle), and pictures made
// into platform images for cursors and drag images.
#include "Quartz/CGImageProvider.h"
#include "Quartz/NSImageFromPicture.h"
#include "UIA/DeviceContext.h"
#include "UIA/Picture.h"

#include <AppKit/AppKit.h>
#include <AppKit/standin/Graphics.h>
#include <CoreGraphics/standin/ImageSurface.h>
#include <Foundation/NSGeometry.h>
#include <cairo.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace QV::UIA {
namespace {

constexpr uint32_t kBackground = 0xFF0000FF;  // opaque blue, premultiplied ARGB like cairo's

// A cairo image surface standing for the view's drawing area, cleared to the background.
class Surface {
public:
    Surface(int width, int height)
        : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), m_cairo(cairo_create(m_surface))
    {
        cairo_set_source_rgba(m_cairo, 0, 0, 1, 1);
        cairo_paint(m_cairo);
    }
    ~Surface()
    {
        cairo_destroy(m_cairo);
        cairo_surface_destroy(m_surface);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    cairo_t* context() const { return m_cairo; }
    int width() const { return cairo_image_surface_get_width(m_surface); }
    int height() const { return cairo_image_surface_get_height(m_surface); }
    uint32_t pixel(int x, int y) const
    {
        cairo_surface_flush(m_surface);
        const unsigned char* data = cairo_image_surface_get_data(m_surface);
        return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(m_surface))[x];
    }

private:
    cairo_surface_t* m_surface;
    cairo_t* m_cairo;
};

std::string hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// Each component within one of the expected one (rounding of cairo's blending).
::testing::AssertionResult near(uint32_t actual, uint32_t expected)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 1)
            return ::testing::AssertionFailure() << hex(actual) << " instead of " << hex(expected);
    return ::testing::AssertionSuccess();
}

std::unique_ptr<Picture> makePicture(int width, int height, uint32_t colour, bool bAlpha)
{
    auto picture = std::make_unique<Picture>();
    EXPECT_TRUE(picture->setSize(width, height));
    picture->clear(colour);
    picture->setAlphaChannel(bAlpha);
    return picture;
}

void draw(const Surface& surface, const Picture& picture, bool bAlpha, float scale = 1.0f)
{
    DeviceContext dc(0, 0);
    dc.attachOSHandle(surface.context());
    dc.setBackingScale(scale, scale);
    dc.updateFromPicture(picture, bAlpha);
    dc.detachOSHandle();
}

TEST(DeviceContextTest, APictureIsDrawnUprightPixelForPixel)
{
    // Row 0 red, the last row green, the first column white below row 0.
    auto picture = makePicture(100, 50, 0xFF000000, false);
    picture->drawLineH(0, 0, 100, 0xFFFF0000);
    picture->drawLineH(0, 49, 100, 0xFF00FF00);
    picture->drawLineV(0, 1, 48, 0xFFFFFFFF);
    Surface surface(120, 70);
    draw(surface, *picture, false);

    EXPECT_EQ(surface.pixel(0, 0), 0xFFFF0000u) << "the first row is at the top";
    EXPECT_EQ(surface.pixel(99, 0), 0xFFFF0000u);
    EXPECT_EQ(surface.pixel(50, 49), 0xFF00FF00u) << "the last row is the 50th";
    EXPECT_EQ(surface.pixel(0, 25), 0xFFFFFFFFu) << "the first column is at the left";
    EXPECT_EQ(surface.pixel(50, 25), 0xFF000000u);
    EXPECT_EQ(surface.pixel(100, 0), kBackground) << "100 pixels wide";
    EXPECT_EQ(surface.pixel(0, 50), kBackground) << "50 pixels high";
}

TEST(DeviceContextTest, AlphaCountsOnlyForTransparentWindows)
{
    struct tCase {
        uint32_t colour;  // straight alpha, as pictures hold it
        bool bAlpha;      // the window is transparent
        uint32_t shown;   // premultiplied, over the opaque blue background
    };
    const tCase cases[] = {
        {0x00FF0000, false, 0xFFFF0000},  // an opaque window ignores the alpha bytes
        {0x80FF0000, false, 0xFFFF0000},
        {0x00FF0000, true, kBackground},  // a transparent one lets the background through
        {0x80FF0000, true, 0xFF80007F},   // half red over blue
        {0xFF00FF00, true, 0xFF00FF00},
    };
    for (const tCase& c : cases) {
        auto picture = makePicture(4, 4, c.colour, true);
        Surface surface(8, 8);
        draw(surface, *picture, c.bAlpha);
        EXPECT_TRUE(near(surface.pixel(1, 1), c.shown)) << hex(c.colour) << " alpha " << c.bAlpha;
        EXPECT_EQ(surface.pixel(5, 5), kBackground);
    }
}

TEST(DeviceContextTest, TheBackingScaleShrinksThePicture)
{
    auto picture = makePicture(100, 50, 0xFFFF0000, false);
    Surface surface(120, 70);
    draw(surface, *picture, false, 2.0f);
    EXPECT_EQ(surface.pixel(49, 24), 0xFFFF0000u);
    EXPECT_EQ(surface.pixel(50, 10), kBackground);
    EXPECT_EQ(surface.pixel(10, 25), kBackground);
}

TEST(DeviceContextTest, DetachingRestoresTheContextAndStopsDrawing)
{
    Surface surface(8, 8);
    cairo_t* cairo = surface.context();
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_GRAY);
    DeviceContext dc(0, 0);
    dc.attachOSHandle(cairo);
    EXPECT_EQ(dc.getOSHandle(), cairo);
    EXPECT_EQ(cairo_get_antialias(cairo), CAIRO_ANTIALIAS_NONE) << "pixel-exact while attached";
    EXPECT_EQ(CGContextGetInterpolationQuality(cairo), kCGInterpolationNone);
    dc.detachOSHandle();
    EXPECT_EQ(dc.getOSHandle(), nullptr);
    EXPECT_EQ(cairo_get_antialias(cairo), CAIRO_ANTIALIAS_GRAY);
    EXPECT_EQ(CGContextGetInterpolationQuality(cairo), kCGInterpolationDefault);
    EXPECT_EQ(cairo_status(cairo), CAIRO_STATUS_SUCCESS);

    auto picture = makePicture(4, 4, 0xFFFF0000, false);
    dc.updateFromPicture(*picture, false);
    EXPECT_EQ(surface.pixel(1, 1), kBackground) << "nothing is drawn while detached";
}

// Every pixel different, so that a pixel taken from the wrong place shows.
std::unique_ptr<Picture> makePattern(int width, int height, bool bAlpha)
{
    auto picture = makePicture(width, height, 0, bAlpha);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->setPixelUC(x, y,
                                (bAlpha ? 0x80000000u : 0xFF000000u) | uint32_t(x * 5 & 0xFF) << 16 |
                                    uint32_t(y * 7 & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF));
    return picture;
}

// Where the first differences between two surfaces lie, as text; empty when they are equal.
std::string differences(const Surface& actual, const Surface& expected, const cairo_rectangle_int_t& within)
{
    std::string found;
    int count = 0;
    for (int y = within.y; y < within.y + within.height; ++y)
        for (int x = within.x; x < within.x + within.width; ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y) && count++ < 3)
                found += " (" + std::to_string(x) + "," + std::to_string(y) + ") " + hex(actual.pixel(x, y)) +
                         " instead of " + hex(expected.pixel(x, y));
    return count ? std::to_string(count) + " pixels differ:" + found : std::string();
}

// A view's paint for a small dirty rectangle: the pixels inside it are exactly those of a whole
// paint, the pixels outside are left as they were, and only the part of the picture that the
// rectangle shows is read and converted, not the whole window's picture.
TEST(DeviceContextTest, ADrawUnderAClipChangesAndConvertsOnlyTheClip)
{
    struct tCase {
        const char* what;
        cairo_rectangle_int_t clip;  // surface pixels
        bool bAlpha;
        float scale;
    };
    const tCase cases[] = {
        {"inside, opaque", {30, 10, 40, 30}, false, 1.0f},
        {"inside, translucent", {30, 10, 40, 30}, true, 1.0f},
        {"one pixel", {99, 49, 1, 1}, true, 1.0f},
        {"across the picture's corner", {90, 40, 30, 20}, true, 1.0f},
        {"beside the picture", {105, 10, 10, 10}, true, 1.0f},
        {"shrunk by the backing scale", {10, 5, 10, 10}, true, 2.0f},
    };
    for (const tCase& c : cases) {
        auto picture = makePattern(100, 50, c.bAlpha);
        Surface whole(120, 70);
        draw(whole, *picture, c.bAlpha, c.scale);

        Surface clipped(120, 70);
        cairo_rectangle(clipped.context(), c.clip.x, c.clip.y, c.clip.width, c.clip.height);
        cairo_clip(clipped.context());
        const uint64_t convertedBefore = qvcompat::coregraphics::convertedPixelCount();
        draw(clipped, *picture, c.bAlpha, c.scale);
        const uint64_t converted = qvcompat::coregraphics::convertedPixelCount() - convertedBefore;

        const cairo_rectangle_int_t all{0, 0, clipped.width(), clipped.height()};
        Surface expected(120, 70);
        cairo_set_source_surface(expected.context(), cairo_get_target(whole.context()), 0, 0);
        cairo_rectangle(expected.context(), c.clip.x, c.clip.y, c.clip.width, c.clip.height);
        cairo_fill(expected.context());
        EXPECT_EQ(differences(clipped, expected, all), "") << c.what;
        // The clip's own pixels of the picture, and at most one more on each side.
        const uint64_t side = uint64_t(std::ceil(c.scale));
        EXPECT_LE(converted, (c.clip.width * side + 2) * (c.clip.height * side + 2)) << c.what;
    }
}

// An image scaled by any factor, with or without a smoothing filter: the clip's pixels are those
// of a whole draw (the pixels a filter reaches beside the clip count too).
TEST(DeviceContextTest, AScaledDrawUnderAClipMatchesAWholeDraw)
{
    const struct {
        CGInterpolationQuality quality;
        double scale;  // surface pixels per image pixel
    } cases[] = {
        {kCGInterpolationNone, 0.7},    {kCGInterpolationNone, 1.3},    {kCGInterpolationNone, 2.5},
        {kCGInterpolationDefault, 0.5}, {kCGInterpolationDefault, 1.7}, {kCGInterpolationLow, 0.3},
        {kCGInterpolationHigh, 0.4},    {kCGInterpolationHigh, 2.5},
    };
    auto picture = makePattern(100, 80, true);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGDataProviderRef provider =
        CGDataProviderCreateWithData(nullptr, picture->getData(), size_t(100) * 4 * 80, nullptr);
    CGImageRef image = CGImageCreate(100, 80, 8, 32, 400, space, kCGBitmapByteOrder32Little | kCGImageAlphaFirst,
                                     provider, nullptr, false, kCGRenderingIntentDefault);
    ASSERT_NE(image, nullptr);
    const cairo_rectangle_int_t clip{23, 17, 9, 11};
    for (const auto& c : cases) {
        const CGRect rect = CGRectMake(0, 0, 100 * c.scale, 80 * c.scale);
        Surface whole(260, 210);
        CGContextSetInterpolationQuality(whole.context(), c.quality);
        CGContextDrawImage(whole.context(), rect, image);

        Surface clipped(260, 210);
        CGContextSetInterpolationQuality(clipped.context(), c.quality);
        cairo_rectangle(clipped.context(), clip.x, clip.y, clip.width, clip.height);
        cairo_clip(clipped.context());
        CGContextDrawImage(clipped.context(), rect, image);
        EXPECT_EQ(differences(clipped, whole, clip), "") << "quality " << c.quality << " scale " << c.scale;
        EXPECT_EQ(clipped.pixel(clip.x - 1, clip.y), kBackground);
    }
    CGImageRelease(image);
    CGDataProviderRelease(provider);
    CGColorSpaceRelease(space);
}

// An opaque picture is shown from its own memory: a target that records the draw (a cairo
// recording surface) must have kept the pixels as drawn, not the memory that changes after.
TEST(DeviceContextTest, ARecordedDrawKeepsThePixelsItWasGiven)
{
    auto picture = makePicture(16, 16, 0xFFFF0000, false);
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo_t* cairo = cairo_create(recording);
    DeviceContext dc(0, 0);
    dc.attachOSHandle(cairo);
    dc.updateFromPicture(*picture, false);
    dc.detachOSHandle();
    cairo_destroy(cairo);
    picture->clear(0xFF00FF00);

    Surface replay(16, 16);
    cairo_set_source_surface(replay.context(), recording, 0, 0);
    cairo_paint(replay.context());
    EXPECT_EQ(replay.pixel(8, 8), 0xFFFF0000u) << "the replay shows what was drawn";
    cairo_surface_destroy(recording);
}

TEST(ImageProviderTest, ThePicturesAlphaPropertyAndStorageChooseTheImageFormat)
{
    auto opaque = makePicture(3, 2, 0x80FFFFFF, false);
    auto translucent = makePicture(3, 2, 0x80FFFFFF, true);
    const struct {
        const Picture* picture;
        bool bPremultiplied;
        CGBitmapInfo info;
    } cases[] = {
        {opaque.get(), false, kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst},
        {opaque.get(), true, kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst},
        {translucent.get(), false, kCGBitmapByteOrder32Little | kCGImageAlphaFirst},
        {translucent.get(), true, kCGBitmapByteOrder32Little | kCGImageAlphaPremultipliedFirst},
    };
    for (const auto& c : cases) {
        DETAIL::CGImageProvider provider(*c.picture, c.bPremultiplied);
        ASSERT_NE(provider.getImage(), nullptr);
        EXPECT_EQ(CGImageGetBitmapInfo(provider.getImage()), c.info);
        EXPECT_EQ(CGImageGetWidth(provider.getImage()), 3u);
        EXPECT_EQ(CGImageGetBytesPerRow(provider.getImage()), 12u);
    }
    Picture empty;
    EXPECT_EQ(DETAIL::CGImageProvider(empty, false).getImage(), nullptr);
}

// Cursor and drag images: a picture's straight alpha must not be taken for premultiplied colour,
// which would make every translucent pixel brighter than drawn.
TEST(ImageProviderTest, PlatformImagesOfPicturesKeepStraightAlpha)
{
    qvcompat::appkit::load();  // AppKit's classes, as the application has them
    auto picture = makePicture(16, 8, 0x00000000, true);
    picture->setPixelUC(0, 0, 0x80402010);  // half transparent dark orange
    picture->setPixelUC(15, 7, 0xFFFFFFFF);
    id image = DETAIL::createNSImageFromPicture(*picture);
    ASSERT_NE(image, nil);
    const NSSize size = objc::msgSend<NSSize>(image, objc::sel("size"));
    EXPECT_EQ(size.width, 16);
    EXPECT_EQ(size.height, 8);
    cairo_surface_t* surface = qvcompat::appkit::imageSurface(image);
    ASSERT_NE(surface, nullptr);
    cairo_surface_flush(surface);
    auto pixel = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface) +
                                                 y * cairo_image_surface_get_stride(surface))[x];
    };
    EXPECT_TRUE(near(pixel(0, 0), 0x80201008)) << "premultiplied once, from straight alpha";
    EXPECT_EQ(pixel(15, 7), 0xFFFFFFFFu) << "upright: the last row at the bottom";
    EXPECT_EQ(pixel(15, 0), 0x00000000u);
    EXPECT_EQ(pixel(0, 7), 0x00000000u);
    objc::msgSend<void>(image, objc::sel("release"));

    auto opaque = makePicture(2, 2, 0x00336699, false);
    image = DETAIL::createNSImageFromPicture(*opaque);
    ASSERT_NE(image, nil);
    cairo_surface_t* opaqueSurface = qvcompat::appkit::imageSurface(image);
    cairo_surface_flush(opaqueSurface);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(opaqueSurface)), 0xFF336699u)
        << "without the alpha-channel property every pixel is opaque";
    objc::msgSend<void>(image, objc::sel("release"));

    Picture empty;
    EXPECT_EQ(DETAIL::createNSImageFromPicture(empty), nil);
}

}  // namespace
}  // namespace QV::UIA
