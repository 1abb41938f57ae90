// Labels in a skin font: one-line labels painted on their panel, multi-line labels broken at
// spaces, hyphens and explicit line breaks, long words cut, control bytes dropped, line spacing,
// and auto-resize that keeps the last line inside the widget.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/Label.h"
#include "PXT/Lib.h"
#include "PXT/MultilineLabel.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/Font.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

constexpr std::uint32_t kGrey = 0xFF202020;

class Labels : public SkinFolderFixture {
protected:
    Labels() : SkinFolderFixture("qv-pxt-labels") {}
    void SetUp() override
    {
        SkinFolderFixture::SetUp();
        addSkinFont(QV_TEST_FONT_FILE);
        defaultSheet().createDirect(
            "Root { background-color: rgb(32, 32, 32); }\n"
            "Label, MultilineLabel { font-name: url(\"Sans.ttf\"); font-size: 14; foreground-color: rgb(255, 255, "
            "255); background-color: rgb(32, 32, 32); }\n"
            "Label.title { width: 120; height: 24; }\n"
            "MultilineLabel.text { width: 200; height: 40; }\n"
            "MultilineLabel.auto { width: 200; margin-top: 6; margin-bottom: 6; }\n"
            "MultilineLabel.spaced { width: 200; margin-top: 6; margin-bottom: 6; line-spacing: 3; }\n");
        m_pane.setSize(GP::Point(300, 200));
        m_pane.setRoot(m_root, "root");
        m_canvas.onSize(GP::Point(300, 200));
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        m_root.reset();
        SkinFolderFixture::TearDown();
    }
    MultilineLabel& addMultiline(const char* style, int width = 0)
    {
        auto label = std::make_shared<MultilineLabel>();
        label->setStyle(style);
        MultilineLabel& added = m_root->insertChild(label, "");
        added.setPos(GP::Point(10, 10));
        update();
        if (width > 0) {
            added.setMinSize(GP::Point(width, added.getMinSize().y));
            added.setMaxSize(GP::Point(width, added.getMaxSize().y));
            added.setSize(GP::Point(width, added.getSize().y));
            update();
        }
        return added;
    }
    void update()
    {
        GP::Region region;
        m_pane.update(region);
    }
    // One tick: only the region collected from the changes is painted, so a change that is not
    // invalidated leaves the old pixels.
    void paint()
    {
        GP::Region region;
        m_pane.update(region);
        if (!region.isEmpty())
            m_pane.paint(m_canvas, region, Pane::ePaintAll);
    }
    // Text width in widget units with the labels' font.
    int width(const std::string& text) const
    {
        const UIA::Font* font =
            m_root->getChildren().empty() ? nullptr : PanelDrawer().getFont(*m_root->getChildren()[0]);
        if (!font)
            return 0;
        font->setBackingScaleFactor(1.0f);
        return font->getStringWidth(text.data(), static_cast<int>(text.size()));
    }
    int lineHeight() const
    {
        const UIA::Font* font = PanelDrawer().getFont(*m_root->getChildren()[0]);
        font->setBackingScaleFactor(1.0f);
        return font->getCharHeight();
    }
    std::vector<std::string> lines(const MultilineLabel& label) const
    {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < label.getLineCount(); ++i)
            out.push_back(label.getLine(i));
        return out;
    }
    // Rows in [top, bottom) of the widget at x range [left, right) holding a pixel that is not background.
    bool inked(int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (m_canvas.getPicture()->getPixel(x, y) != kGrey)
                    return true;
        return false;
    }

    Pane m_pane;
    std::shared_ptr<PanelWidget> m_root = std::make_shared<PanelWidget>("Root");
    BackgroundDrawingCanvas m_canvas;
};

using Lines = std::vector<std::string>;

TEST_F(Labels, ALabelPaintsItsTextOnItsPanel)
{
    Label& label = m_root->insertChild(std::make_shared<Label>(), "title");
    label.style("Hello", "title");
    label.setPos(GP::Point(20, 20));
    paint();
    EXPECT_EQ(label.getSize(), GP::Point(120, 24));
    EXPECT_EQ(label.getText(), "Hello");
    EXPECT_TRUE(inked(20, 20, 140, 44));
    EXPECT_FALSE(inked(0, 0, 300, 20));
    // Left-aligned: a longer text reaches further right than "Hi".
    label.setText("Hi");
    paint();
    ASSERT_FALSE(inked(20 + width("Hi") + 2, 20, 140, 44));
    label.setText("Hello, world");
    paint();
    EXPECT_TRUE(inked(20 + width("Hi") + 2, 20, 140, 44));
    label.setText("");
    paint();
    EXPECT_FALSE(inked(20, 20, 140, 44));
}

TEST_F(Labels, AMultilineTextChangeIsRepainted)
{
    MultilineLabel& label = addMultiline("text");
    label.setText("first");
    paint();
    ASSERT_TRUE(inked(10, 10, 210, 50));
    label.setText("");
    paint();
    EXPECT_FALSE(inked(10, 10, 210, 50));
    label.setText("again");
    paint();
    EXPECT_TRUE(inked(10, 10, 210, 50));
}

TEST_F(Labels, ALabelCropsItsTextWithTheCropTypeOfItsDrawer)
{
    const std::string text = "The quick brown fox jumps over the lazy dog";
    Label& label = m_root->insertChild(std::make_shared<Label>(), "title");
    label.style(text, "title");
    label.setPos(GP::Point(20, 20));
    paint();
    const int room = label.getSize().x - label.getMargin().left - label.getMargin().right;
    ASSERT_GT(width(text), room);
    struct tCase {
        int type;
        bool keepsStart, keepsEnd;
    };
    for (const tCase& c : {tCase{1, true, false}, tCase{2, false, true}, tCase{7, true, false}, tCase{8, true, false},
                           tCase{10, true, true}, tCase{11, true, true}}) {
        SCOPED_TRACE(c.type);
        label.getDrawer().cropper().cropper().setCropType(c.type);
        const std::string shown = label.getDrawer().getCroppedString(label, 1.0f, text, room);
        EXPECT_NE(shown, text);
        EXPECT_LE(width(shown), room) << shown;
        EXPECT_EQ(shown.rfind("Th", 0) == 0, c.keepsStart) << shown;
        EXPECT_EQ(shown.size() >= 3 && shown.compare(shown.size() - 3, 3, "dog") == 0, c.keepsEnd) << shown;
        label.setInvalid();
        paint();
        EXPECT_TRUE(inked(20, 20, 140, 44));
    }
    label.getDrawer().cropper().cropper().setCropType(0);
    EXPECT_EQ(label.getDrawer().getCroppedString(label, 1.0f, text, room), text);
}

TEST_F(Labels, WordWrapTable)
{
    MultilineLabel& label = addMultiline("text");
    struct tCase {
        const char* name;
        std::string text;
        std::string fits;  // the label's content width is this text's width + 1
        Lines expected;
    };
    const std::vector<tCase> cases = {
        {"break after the last space that fits", "aaa bbb ccc", "aaa bbb ", {"aaa bbb ", "ccc"}},
        {"break after a hyphen", "well-known fact", "well-kn", {"well-", "known ", "fact"}},
        {"explicit line breaks, an empty last line", "one\ntwo\n", "one two three", {"one\n", "two\n", ""}},
        {"control bytes other than the line break dropped", "a\tb\rc\x01", "abc def", {"abc"}},
        {"invalid UTF-8 dropped",
         "ab\xFF\xFE"
         "c",
         "abc def",
         {"abc"}},
        {"empty text", "", "x", {""}},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int contentWidth = width(c.fits) + 1;
        label.setMinSize(GP::Point(contentWidth, 0));
        label.setMaxSize(GP::Point(contentWidth, 0));
        label.setSize(GP::Point(contentWidth, 40));
        update();
        label.setText(c.text);
        EXPECT_EQ(lines(label), c.expected);
    }
}

TEST_F(Labels, AWordLongerThanTheLineIsCutBeforeTheFirstCodePointThatDoesNotFit)
{
    MultilineLabel& label = addMultiline("text");
    const std::string word = "abcdefghijklmnopqrstuvwxyzäöü";
    const int available = width("abcdefgh") + 1;
    label.setMinSize(GP::Point(available, 0));
    label.setMaxSize(GP::Point(available, 0));
    label.setSize(GP::Point(available, 40));
    update();
    label.setText(word);
    const Lines out = lines(label);
    ASSERT_GT(out.size(), 2u);
    std::string joined;
    for (const std::string& line : out) {
        joined += line;
        EXPECT_LE(width(line), available) << line;
    }
    EXPECT_EQ(joined, word);  // no code point split or lost
    // Each line but the last is as long as fits.
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        const std::string next = out[i + 1].substr(0, out[i + 1][0] & 0x80 ? 2 : 1);
        EXPECT_GT(width(out[i] + next), available) << out[i];
    }
}

// The line starts are byte positions into the current text: a text replaced while the label is
// in no pane leaves one unbroken line, and the label breaks it anew once it is in a pane.
TEST_F(Labels, TextReplacedOutsideAPaneIsBrokenAgainInOne)
{
    auto label = std::make_shared<MultilineLabel>();
    label->setText("a first text that is long enough to need several lines in a narrow label");
    label->setText("short words in a row");
    EXPECT_EQ(lines(*label), (Lines{"short words in a row"}));
    label->setStyle("text");
    m_root->insertChild(label, "");
    update();
    const int available = width("short words ") + 1;
    label->setMinSize(GP::Point(available, 0));
    label->setMaxSize(GP::Point(available, 0));
    label->setSize(GP::Point(available, 40));
    update();
    EXPECT_EQ(lines(*label), (Lines{"short words ", "in a row"}));
}

TEST_F(Labels, AutoResizeCountsTheMarginsSoTheLastLineIsPainted)
{
    for (const char* style : {"auto", "spaced"}) {
        SCOPED_TRACE(style);
        m_root->clearChildren();
        MultilineLabel& label = addMultiline(style);
        label.setAutoResize(true);
        label.setText("first line\nsecond line\nthird line");
        paint();
        const int spacing = label.getLineSpacing();
        const int line = lineHeight() + spacing;
        EXPECT_EQ(label.getSize().y, 3 * line + 12);
        EXPECT_EQ(label.toPositionInPixel({0, 2}).y, 6 + 2 * line);
        // Ink of the third line, inside the widget at (10, 10).
        const int top = 10 + 6 + 2 * line;
        EXPECT_TRUE(inked(10, top, 210, top + lineHeight()));
        EXPECT_FALSE(inked(10, 10 + label.getSize().y, 210, 200));
    }
}

TEST_F(Labels, AutoResizeStaysWithinTheMaximumHeight)
{
    MultilineLabel& label = addMultiline("auto");
    label.setMaxSize(GP::Point(0, 30));
    label.setAutoResize(true);
    label.setText("1\n2\n3\n4\n5");
    update();
    EXPECT_EQ(label.getSize().y, 30);
}

}  // namespace
