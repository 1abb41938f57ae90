// Picture: size and limits, properties, frames, clip and origin, empty-area masks, scaled copies.
#include "PictureChecks.h"

#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using QV::GP::Point;
using QV::GP::Rect;
using QV::UIA::Picture;
using QV::UIA::PictureProperties;
using qvtest::makePicture;

TEST(PictureSize, FreshPictureRefusesZeroSizeAndSetSizeResetsOriginAndClip)
{
    Picture picture;
    EXPECT_FALSE(picture.setSize(0, 0));
    EXPECT_EQ(picture.getData(), nullptr);

    ASSERT_TRUE(picture.setSize(8, 4));
    picture.setOrigin(Point(2, 3));
    picture.setClipRect(Rect(0, 0, 2, 2));
    ASSERT_TRUE(picture.setSize(5, 6, true));
    EXPECT_EQ(picture.getWidth(), 5);
    EXPECT_EQ(picture.getHeight(), 6);
    EXPECT_EQ(picture.getOrigin(), Point(0, 0));
    EXPECT_FALSE(picture.isClipActive());
    EXPECT_EQ(picture.getClipRect(), Rect(0, 0, 5, 6));
}

TEST(PictureSize, SmallerSizeKeepsTheBufferUnlessForced)
{
    Picture picture;
    ASSERT_TRUE(picture.setSize(10, 10));
    const uint32_t* before = picture.getData();
    ASSERT_TRUE(picture.setSize(4, 4));
    EXPECT_EQ(picture.getData(), before);
    EXPECT_EQ(picture.getCapacity(), 400u);
    ASSERT_TRUE(picture.setSize(4, 4, true));
    EXPECT_EQ(picture.getCapacity(), 64u);
    // A 0 x 0 size with force still leaves an allocated picture.
    ASSERT_TRUE(picture.setSize(0, 0, true));
    EXPECT_NE(picture.getData(), nullptr);
}

TEST(PictureSize, OversizedOrNegativeSizesAreRefusedAndChangeNothing)
{
    struct Case {
        int width;
        int height;
    } const cases[] = {
        {32768, 32768},              // the size a hostile image header asks for
        {65535, 65535},              // 32-bit byte count would wrap
        {Picture::kMaxSide + 1, 1},  // one side too long
        {1, Picture::kMaxSide + 1},
        {Picture::kMaxSide, Picture::kMaxSide},  // each side allowed, the bytes are not
        {-1, 10},
        {10, -1},
    };
    Picture picture;
    ASSERT_TRUE(picture.setSize(3, 2));
    picture.clear(0x12345678);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_FALSE(picture.setSize(c.width, c.height, true));
        EXPECT_EQ(picture.getWidth(), 3);
        EXPECT_EQ(picture.getHeight(), 2);
        EXPECT_EQ(picture.getPixel(2, 1), 0x12345678u);
    }
    // The largest allowed size works.
    EXPECT_TRUE(picture.setSize(Picture::kMaxSide, int(Picture::kMaxBytes / 4 / Picture::kMaxSide), true));
}

// Buffers of every size class (from the heap, mapped with their pages, and from the heap again past
// the mapped range) hold their pixels, and each is given back the way it was taken as the picture
// moves from one class to another (the sanitizers report any mismatch).
TEST(PictureSize, EverySizeClassHoldsItsPixelsAndIsGivenBackItsOwnWay)
{
    const int sizes[][2] = {{16, 16}, {256, 256}, {627, 335}, {4096, 4096}, {4097, 4096}, {100, 100}, {512, 512}};
    Picture picture;
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        ASSERT_TRUE(picture.setSize(size[0], size[1], true));
        EXPECT_EQ(picture.getCapacity(), size_t(size[0]) * size_t(size[1]) * 4);
        picture.clear(0x80402010);
        picture.getData()[size_t(size[0]) * size_t(size[1]) - 1] = 0x01020304;
        EXPECT_EQ(picture.getPixel(0, 0), 0x80402010u);
        EXPECT_EQ(picture.getPixel(size[0] - 1, size[1] - 1), 0x01020304u);
    }
}

// Counts the notifications of the property setters.
class WatchedProperties : public PictureProperties {
public:
    void propertiesChanged() override { ++m_nChanges; }
    int m_nChanges = 0;
};

TEST(PictureProperties, SettersStoreTheirValueAndNotify)
{
    WatchedProperties p;
    EXPECT_FALSE(p.hasAlphaChannel());
    EXPECT_EQ(p.getAnimationOrientation(), 1u);
    EXPECT_EQ(p.getNumAnimations(), 0u);
    EXPECT_EQ(p.getResizeFlags(), 0u);

    p.setAlphaChannel(true);
    p.setHorizontalAnimation(true);
    EXPECT_EQ(p.getAnimationOrientation(), 2u);
    p.setVertResizable(true);
    p.setHorzResizable(true);
    EXPECT_EQ(p.getResizeFlags(), 3u);
    p.setVertResizable(false);
    EXPECT_EQ(p.getResizeFlags(), 2u);
    p.setFixedTop(1);
    p.setFixedBottom(2);
    p.setFixedLeft(3);
    p.setFixedRight(4);
    p.setNumAnimations(5);
    p.setAnimationOrientation(PictureProperties::eOrientationVertical);
    EXPECT_EQ(p.m_nChanges, 11);
    EXPECT_TRUE(p.hasAlphaChannel());
    EXPECT_EQ(p.getFixedTop() * 1000 + p.getFixedBottom() * 100 + p.getFixedLeft() * 10 + p.getFixedRight(), 1234);
    EXPECT_EQ(p.getNumAnimations(), 5u);
    EXPECT_FALSE(p.hasHorizontalAnimation());
}

TEST(PictureFrames, FrameSizeAndOffsetFollowTheOrientation)
{
    auto sheet = makePicture(12, 10, 0);
    sheet->setNumAnimations(3);
    EXPECT_EQ(sheet->getAnimationWidth(), 12);
    EXPECT_EQ(sheet->getAnimationHeight(), 3);
    EXPECT_EQ(sheet->getAnimationOffset(2), Point(0, 6));
    EXPECT_EQ(sheet->getAnimationOffset(7), Point(0, 6));  // clamped to the last frame
    sheet->setHorizontalAnimation(true);
    EXPECT_EQ(sheet->getAnimationWidth(), 4);
    EXPECT_EQ(sheet->getAnimationHeight(), 10);
    EXPECT_EQ(sheet->getAnimationOffset(1), Point(4, 0));
    sheet->setNumAnimations(0);
    EXPECT_EQ(sheet->getAnimationWidth(), 12);
    EXPECT_EQ(sheet->getAnimationOffset(1), Point(0, 0));
}

TEST(PictureClip, ClipIsLimitedToThePictureAndRightOfTheOrigin)
{
    auto picture = makePicture(10, 8, 0);
    picture->setClipRect(Rect(-5, 2, 20, 6));
    EXPECT_TRUE(picture->isClipActive());
    EXPECT_EQ(picture->getClipRect(), Rect(0, 2, 10, 6));

    picture->setClipRect(Rect(20, 20, 30, 30));
    EXPECT_EQ(picture->getClipRect(), Rect());
    picture->fillArea(0, 0, 10, 8, 0xFFFFFFFF);
    EXPECT_TRUE(qvtest::changedPixels(*picture, 0).empty());

    picture->resetClipRect();
    EXPECT_FALSE(picture->isClipActive());
    EXPECT_EQ(picture->getClipRect(), Rect(0, 0, 10, 8));
    picture->fillArea(0, 0, 10, 8, 0xFFFFFFFF);
    EXPECT_TRUE(qvtest::changedPixels(*picture, 0xFFFFFFFF).empty());

    picture->setOrigin(Point(3, 2));
    picture->setClipRect(Rect(-5, -5, 100, 100));
    EXPECT_EQ(picture->getClipRect(), Rect(0, 0, 7, 6));
}

TEST(PictureClip, MovingTheOriginKeepsTheSamePixelsClipped)
{
    struct Case {
        Point origin;
    } const cases[] = {{Point(10, 10)}, {Point(-10, -10)}, {Point(5, -3)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.origin.x << ", " << c.origin.y);
        auto picture = makePicture(40, 40, 0);
        picture->setClipRect(Rect(0, 0, 40, 40));
        picture->setClipRect(Rect(12, 14, 30, 33));
        picture->setOrigin(c.origin);
        EXPECT_EQ(picture->getDrawableRect(), Rect(12, 14, 30, 33));
        // A clip that covered the whole picture still does after a move to the left.
        picture->setOrigin(Point(0, 0));
        picture->setClipRect(Rect(0, 0, 40, 40));
        picture->setOrigin(c.origin);
        EXPECT_EQ(picture->getDrawableRect(), Rect(std::max(0, c.origin.x), std::max(0, c.origin.y), 40, 40));
    }
}

TEST(PictureClip, CheckClipRectCutsAndReportsTheAmountCutAway)
{
    auto picture = makePicture(20, 20, 0);
    picture->setClipRect(Rect(5, 6, 15, 16));

    Rect r(2, 3, 10, 12);
    int dx = 1, dy = 1;
    EXPECT_TRUE(picture->checkClipRect(r, &dx, &dy));
    EXPECT_EQ(r, Rect(5, 6, 10, 12));
    EXPECT_EQ(dx, -3);
    EXPECT_EQ(dy, -3);

    Rect turned(12, 14, 2, 3);  // right < left, bottom < top
    EXPECT_TRUE(picture->checkClipRect(turned, &dx, &dy));
    EXPECT_EQ(turned, Rect(12, 14, 5, 6));
    EXPECT_EQ(dx, -3);
    EXPECT_EQ(dy, -3);

    Rect inside(7, 8, 9, 9);
    EXPECT_TRUE(picture->checkClipRect(inside, &dx, &dy));
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);

    Rect outside(30, 30, 40, 40);
    EXPECT_FALSE(picture->checkClipRect(outside));
    EXPECT_EQ(outside, Rect());

    // With clipping off the picture itself bounds the rectangle.
    picture->resetClipRect();
    Rect large(-4, -4, 100, 100);
    EXPECT_TRUE(picture->checkClipRect(large));
    EXPECT_EQ(large, Rect(0, 0, 20, 20));
}

// A sheet of two stacked 6 x 6 frames with borders 2: the masks tell which of the nine regions of
// each frame hold a pixel with alpha.
TEST(PictureMasks, EmptyAreaFlagsMarkTransparentRegionsPerFrame)
{
    auto sheet = makePicture(6, 12, 0x00FFFFFF);  // colour without alpha counts as empty
    sheet->setAlphaChannel(true);
    sheet->setNumAnimations(2);
    sheet->setVertResizable(true);
    sheet->setHorzResizable(true);
    sheet->setFixedTop(2);
    sheet->setFixedBottom(2);
    sheet->setFixedLeft(2);
    sheet->setFixedRight(2);

    sheet->initEmptyAreaFlags();
    EXPECT_EQ(sheet->getEmptyAreaFlags(), (std::vector<uint32_t>{0x1FF, 0x1FF}));

    sheet->getData()[1 * 6 + 3] = 0x01000000;  // frame 0, top edge
    sheet->getData()[5 * 6 + 5] = 0x80000000;  // frame 0, bottom-right corner
    sheet->getData()[9 * 6 + 0] = 0xFF000000;  // frame 1, left edge (row 3 of the frame)
    sheet->initEmptyAreaFlags();
    EXPECT_EQ(sheet->getEmptyAreaFlags(), (std::vector<uint32_t>{0x1FF & ~0x2u & ~0x100u, 0x1FF & ~0x8u}));

    // Without alpha, or not resizable, there are no masks.
    sheet->setAlphaChannel(false);
    sheet->initEmptyAreaFlags();
    EXPECT_TRUE(sheet->getEmptyAreaFlags().empty());
    sheet->setAlphaChannel(true);
    sheet->setVertResizable(false);
    sheet->setHorzResizable(false);
    sheet->initEmptyAreaFlags();
    EXPECT_TRUE(sheet->getEmptyAreaFlags().empty());
}

TEST(PictureScale, ReplicatedCopyRepeatsEachPixelAndScalesTheBorders)
{
    auto picture = qvtest::makeCoordinatePicture(3, 2);
    picture->setAlphaChannel(true);
    picture->setFixedLeft(1);
    picture->setFixedTop(1);
    picture->setOrigin(Point(1, 1));
    auto scaled = picture->cloneAndScale(2.0f, Picture::Sampling::eReplicate);
    ASSERT_EQ(scaled->getWidth(), 6);
    ASSERT_EQ(scaled->getHeight(), 4);
    EXPECT_TRUE(scaled->hasAlphaChannel());
    EXPECT_EQ(scaled->getFixedLeft(), 2);
    EXPECT_EQ(scaled->getFixedTop(), 2);
    EXPECT_EQ(scaled->getOrigin(), Point(0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(scaled->getPixel(x, y), picture->getPixel(x / 2, y / 2)) << x << ", " << y;

    // Smooth scaling of a uniform picture keeps its colour; factor 0 gives no pixels.
    auto uniform = makePicture(4, 4, 0x80402010);
    auto smooth = uniform->cloneAndScale(1.5f, Picture::Sampling::eSmooth);
    ASSERT_EQ(smooth->getWidth(), 6);
    EXPECT_TRUE(qvtest::changedPixels(*smooth, 0x80402010).empty());
    EXPECT_EQ(uniform->cloneAndScale(0.0f, Picture::Sampling::eSmooth)->getData(), nullptr);
}

}  // namespace
