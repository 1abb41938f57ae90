// The compound properties read back from what they make: the picture's fixed edges, resizable
// directions and frames from the picture the sheet resolves, and the font's data from the font.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/StyleSheet.h"
#include "UIA/Font.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

using namespace QV::PXT;
using namespace QV::PXT::TEST;

class CompoundProperties : public SkinFolderFixture {
protected:
    CompoundProperties() : SkinFolderFixture("qv-pxt-compounds") {}
    void SetUp() override
    {
        SkinFolderFixture::SetUp();
        writeTGA(skin() / "pictures" / "frames.tga", 8, 8);
        addSkinFont(QV_TEST_FONT_FILE);
    }
    void TearDown() override
    {
        m_chain = tChain();
        SkinFolderFixture::TearDown();
    }
    // The compound `name` of the single rule `Button { <declarations> }`, or null.
    const Property* compound(const std::string& declarations, const char* name)
    {
        defaultSheet().createDirect("Button { " + declarations + " }");
        m_chain = makeChain("Button", &m_pane);
        return defaultSheet().findProperty(m_chain.leaf(), qv::symbol(name));
    }
    const QV::UIA::Font* font(const std::string& declarations)
    {
        const Property* property = compound(declarations, "font");
        return property ? std::get<const QV::UIA::Font*>(property->getValue()) : nullptr;
    }

    Pane m_pane;
    tChain m_chain;
};

TEST_F(CompoundProperties, PictureEdgesAndResizableDirections)
{
    const struct {
        const char* declarations;
        int top, bottom, left, right;
        bool vertical, horizontal;
        unsigned frames;
    } cases[] = {
        {"fixed-left: 3", 0, 0, 3, 0, false, true, 0},  {"fixed-right: 2px", 0, 0, 0, 2, false, true, 0},
        {"fixed-top: 3", 3, 0, 0, 0, true, false, 0},   {"fixed-bottom: 2", 0, 2, 0, 0, true, false, 0},
        {"fixed: 4", 4, 4, 4, 4, true, true, 0},        {"fixed: 4; fixed-left: 6", 4, 4, 6, 4, true, true, 0},
        {"animations: 2", 0, 0, 0, 0, false, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.declarations);
        const Property* property = compound(std::string("image: url(\"frames.tga\"); ") + c.declarations, "picture");
        ASSERT_NE(property, nullptr);
        const QV::UIA::Picture* picture = std::get<LazyPicture>(property->getValue()).resolve(1.0f);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->getFixedTop(), c.top);
        EXPECT_EQ(picture->getFixedBottom(), c.bottom);
        EXPECT_EQ(picture->getFixedLeft(), c.left);
        EXPECT_EQ(picture->getFixedRight(), c.right);
        EXPECT_EQ(picture->isVertResizable(), c.vertical);
        EXPECT_EQ(picture->isHorzResizable(), c.horizontal);
        EXPECT_EQ(picture->getNumAnimations(), c.frames);
    }
}

TEST_F(CompoundProperties, FontStylesAndTheResourceId)
{
    // Named fonts load from the skin, so each style is a font of its own.
    const std::string named = "font-name: url(\"Sans.ttf\"); ";
    const QV::UIA::Font* plain = font(named);
    const QV::UIA::Font* bold = font(named + "font-style: bold");
    const QV::UIA::Font* italic = font(named + "font-style: italic");
    const QV::UIA::Font* underline = font(named + "font-style: underline");
    const QV::UIA::Font* both = font(named + "font-style: bold; font-style: italic");
    const QV::UIA::Font* fonts[] = {plain, bold, italic, underline, both};
    for (const QV::UIA::Font* f : fonts) {
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(f->isLoaded());
        EXPECT_EQ(f->getName(), "Sans.ttf");
    }
    for (std::size_t i = 0; i < std::size(fonts); ++i)
        for (std::size_t j = i + 1; j < std::size(fonts); ++j)
            EXPECT_NE(fonts[i], fonts[j]) << i << " " << j;
    EXPECT_TRUE(underline->isUnderline());
    EXPECT_FALSE(italic->isUnderline());
    EXPECT_FALSE(bold->isUnderline());
    EXPECT_EQ(font(named + "font-style: italic; font-style: bold"), both);

    // A name wins over a resource id: the font still comes from the skin.
    EXPECT_EQ(font(named + "font-resid: 5"), plain);
    // The resource id alone differs from the default font data: a font is asked for (and, with
    // no such resource here, the default one stands in).
    EXPECT_NE(compound("font-resid: 5", "font"), nullptr);
    EXPECT_EQ(logged("can't load font resource 5"), 1u);
    EXPECT_EQ(compound("font-resid: 1", "font"), nullptr);
    EXPECT_EQ(compound("font-size: 12", "font"), nullptr);
}

}  // namespace
