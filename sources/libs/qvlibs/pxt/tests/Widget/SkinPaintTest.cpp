// Painting from a skin folder: a panel's picture inside or over its margin or taken away in one
// state, a dye mask, and text in a font of the skin, checked pixel by pixel on the canvas.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/BackgroundDrawingCanvas.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

constexpr std::uint32_t kGrey = 0xFF202020, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

class SkinPainting : public SkinFolderFixture {
protected:
    SkinPainting() : SkinFolderFixture("qv-pxt-paint") {}
    void SetUp() override
    {
        SkinFolderFixture::SetUp();
        writeTGA(skin() / "pictures" / "red.tga", 10, 10, kRed);
        writeTGA(skin() / "pictures" / "mask.tga", 10, 10, 0xFF000000);
        addSkinFont(QV_TEST_FONT_FILE);
        defaultSheet().createDirect(
            "Panel { background-color: rgb(32, 32, 32); }\n"
            "Panel.pic { margin: 4; image: url(\"red.tga\"); }\n"
            "Panel.pic:down { image: no; }\n"
            "Panel.nopic { margin: 4; image: no; }\n"
            "Panel.over { margin: 4; image: url(\"red.tga\"); picture-includes-margin: yes; }\n"
            "Panel.dye { width: 10; height: 10; dye-mask: url(\"mask.tga\"); dye-color: rgb(0, 255, 0); }\n"
            "Panel.text { width: 80; height: 30; font-name: url(\"Sans.ttf\"); font-size: 14;\n"
            "             foreground-color: rgb(255, 255, 255); horizontal-alignment: right; }\n");
        m_pane.setSize(GP::Point(100, 60));
        m_pane.setRoot(m_root, "root");
        m_canvas.onSize(GP::Point(100, 60));
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        m_root.reset();
        SkinFolderFixture::TearDown();
    }
    std::shared_ptr<PanelWidget> add(const char* style, GP::Point pos)
    {
        auto widget = std::make_shared<PanelWidget>("Panel");
        widget->setStyle(style);
        m_root->insertChild(widget, "");
        widget->setPos(pos);
        return widget;
    }
    void paint()
    {
        GP::Region region;
        m_pane.update(region);
        m_pane.paint(m_canvas, region, Pane::ePaintAll);
    }
    std::uint32_t pixel(int x, int y) const { return m_canvas.getPicture()->getPixel(x, y); }
    // The box of the pixels inside `within` that are not `colour`.
    GP::Rect changed(const GP::Rect& within, std::uint32_t colour) const
    {
        GP::Rect box;
        for (int y = within.top; y < within.bottom; ++y)
            for (int x = within.left; x < within.right; ++x)
                if (pixel(x, y) != colour)
                    box = box.united(GP::Rect(x, y, x + 1, y + 1));
        return box;
    }

    Pane m_pane;
    std::shared_ptr<PanelWidget> m_root = std::make_shared<PanelWidget>("Panel");
    BackgroundDrawingCanvas m_canvas;
};

TEST_F(SkinPainting, APictureLiesInsideTheMarginUnlessItIncludesIt)
{
    auto inside = add("pic", GP::Point(10, 10));
    auto over = add("over", GP::Point(50, 10));
    paint();
    // The picture fixes the size: one frame, plus the margins unless it includes them.
    EXPECT_EQ(inside->getSize(), GP::Point(18, 18));
    EXPECT_EQ(over->getSize(), GP::Point(10, 10));
    EXPECT_EQ(changed(GP::Rect(0, 0, 45, 60), kGrey), GP::Rect(14, 14, 24, 24));
    EXPECT_EQ(changed(GP::Rect(45, 0, 100, 60), kGrey), GP::Rect(50, 10, 60, 20));
    EXPECT_EQ(pixel(14, 14), kRed);
    // A style whose rule says "no picture": none after the rebuild.
    inside->setStyle("nopic");
    inside->setStyleSheetChanged();
    paint();
    EXPECT_TRUE(changed(GP::Rect(0, 0, 45, 60), kGrey).isEmpty());
}

TEST_F(SkinPainting, AStateRuleWithoutPictureHidesThePictureOfThePlainRule)
{
    auto pic = add("pic", GP::Point(10, 10));
    paint();
    ASSERT_EQ(pixel(14, 14), kRed);
    m_pane.setPressedWidget(pic.get(), true);
    pic->setInvalid();
    paint();
    EXPECT_TRUE(changed(GP::Rect(0, 0, 100, 60), kGrey).isEmpty());
    m_pane.setPressedWidget(nullptr, false);
    pic->setInvalid();
    paint();
    EXPECT_EQ(pixel(14, 14), kRed);
}

TEST_F(SkinPainting, ADyeMaskPaintsItsColourThroughTheMask)
{
    add("dye", GP::Point(30, 20));
    paint();
    EXPECT_EQ(changed(GP::Rect(0, 0, 100, 60), kGrey), GP::Rect(30, 20, 40, 30));
    EXPECT_EQ(pixel(35, 25), kGreen);
}

TEST_F(SkinPainting, TextInASkinFontIsAlignedInItsWidget)
{
    auto text = add("text", GP::Point(10, 10));
    text->m_text = "Hi";
    paint();
    const GP::Rect ink = changed(GP::Rect(0, 0, 100, 60), kGrey);
    ASSERT_FALSE(ink.isEmpty());
    // Right-aligned, vertically centred in (10, 10)-(90, 40).
    EXPECT_TRUE(GP::Rect(10, 10, 90, 40).contains(ink));
    EXPECT_GE(ink.right, 87);
    EXPECT_LE(ink.left, 80);
    EXPECT_GT(ink.top, 12);
    EXPECT_LT(ink.bottom, 38);
}

}  // namespace
