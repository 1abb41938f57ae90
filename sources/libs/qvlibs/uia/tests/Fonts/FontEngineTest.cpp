// The engine behind fonts: files registered once per key, faces shared while fonts hold them,
// faces for other backing scales, and fonts that outlive their engine.
#include "FontFixture.h"

#include "Fonts/FreeType.h"
#include "GP/FileStream.h"
#include "UIA/ResourceFacade.h"

#include <map>

namespace {

using QV::UIA::Font;
using QV::UIA::DETAIL::FaceKey;
using QV::UIA::DETAIL::FontKey;
using qvtest::dejaVuBytes;
using qvtest::ReferenceFace;

class FontEngineTest : public qvtest::DejaVuTest {
protected:
    // The engine's live face for the font file named name, without registering anything.
    std::shared_ptr<QV::UIA::DETAIL::FTRenderCache> liveFace(const FontKey& key, int size, bool bHinting = false)
    {
        return m_engine.handle()->createRenderCache(key, FaceKey(size, bHinting), {});
    }
};

TEST_F(FontEngineTest, FontsOfOneFileSizeAndHintingShareAFace)
{
    const auto first = dejaVu(12);
    const auto second = dejaVu(12);
    const auto face = liveFace(FontKey(std::string("DejaVuSans.ttf")), 12);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->getGlyphCount(), 0u);

    // Glyphs rendered for one font serve the other.
    first->getStringWidth("abc");
    EXPECT_EQ(face->getGlyphCount(), 3u);
    second->getStringWidth("cab");
    EXPECT_EQ(face->getGlyphCount(), 3u);

    // Another hinting or size is another face.
    const auto hinted = dejaVu(12, Font::eStyleHinting);
    const auto hintedFace = liveFace(FontKey(std::string("DejaVuSans.ttf")), 12, true);
    ASSERT_NE(hintedFace, nullptr);
    EXPECT_NE(hintedFace, face);
    hinted->getStringWidth("abc");
    EXPECT_EQ(face->getGlyphCount(), 3u);
    EXPECT_EQ(hintedFace->getGlyphCount(), 3u);
    EXPECT_NE(liveFace(FontKey(std::string("DejaVuSans.ttf")), 13), face);

    // The bold, italic and family bits do not change the face.
    const auto bold = dejaVu(12, Font::eStyleBold | Font::eStyleItalic | Font::eStyleFamily);
    bold->getStringWidth("xyz");
    EXPECT_EQ(face->getGlyphCount(), 6u);
}

TEST_F(FontEngineTest, TheFirstFileUnderAKeyServesEveryLaterFont)
{
    const auto real = dejaVu(14);
    const std::vector<unsigned char> garbage(1000, 0x33);
    const auto sameName = qvtest::fontFromBytes(garbage, data(14));
    EXPECT_TRUE(sameName->isLoaded());
    EXPECT_EQ(sameName->getStringWidth("Shared"), real->getStringWidth("Shared"));
    // Also at sizes nobody asked for before: the file is kept, not only its faces.
    const auto otherSize = qvtest::fontFromBytes(garbage, data(30));
    EXPECT_EQ(otherSize->getCharHeight(), ReferenceFace(dejaVuBytes(), 30).lineHeight());

    const auto otherName = qvtest::fontFromBytes(garbage, data(14, 0, "Other.ttf"));
    EXPECT_FALSE(otherName->isLoaded());
    // A key the engine does not know gives nothing without bytes, and stays unknown.
    EXPECT_EQ(liveFace(FontKey(std::string("Unknown.ttf")), 14), nullptr);
    EXPECT_FALSE(m_engine.handle()->isKnown(FontKey(std::string("Unknown.ttf"))));
}

TEST_F(FontEngineTest, ALaterFontOfAKnownFileLeavesItsStreamUnread)
{
    const auto first = dejaVu(14);
    std::vector<unsigned char> bytes = dejaVuBytes();
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, bytes.data(), bytes.size());
    const Font second(stream, data(20));
    EXPECT_TRUE(second.isLoaded());
    EXPECT_EQ(second.getCharHeight(), ReferenceFace(dejaVuBytes(), 20).lineHeight());
    EXPECT_EQ(stream.storage().getPos64(), 0);
}

TEST_F(FontEngineTest, AFontOfAFileKeepsTheFileItSharesAfterTheStreamIsGone)
{
    // A file stream hands the engine the file mapped, not a copy: the font must keep it.
    auto stream = std::make_unique<QV::GP::FileStream>();
    ASSERT_TRUE(stream->open(QV::GP::FileName(std::filesystem::path(qvtest::kDejaVuSans))));
    const Font font(*stream, data(18));
    stream.reset();
    ASSERT_TRUE(font.isLoaded());
    EXPECT_EQ(font.getStringWidth("Mapped file"), ReferenceFace(dejaVuBytes(), 18).width(U"Mapped file"));
    // Another size is a new face of the same kept file.
    font.setBackingScaleFactor(2.0f);
    EXPECT_EQ(font.getCharHeight(), ReferenceFace(dejaVuBytes(), 36).lineHeight());
}

TEST_F(FontEngineTest, FacesNobodyHoldsAreMadeAfresh)
{
    auto font = dejaVu(16);
    font->getStringWidth("abcd");
    EXPECT_EQ(liveFace(FontKey(std::string("DejaVuSans.ttf")), 16)->getGlyphCount(), 4u);
    font.reset();
    const auto again = liveFace(FontKey(std::string("DejaVuSans.ttf")), 16);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->getGlyphCount(), 0u);
}

TEST_F(FontEngineTest, BackingScaleMeasuresInDevicePixels)
{
    const auto font = dejaVu(12);
    const ReferenceFace twice(dejaVuBytes(), 24);
    const ReferenceFace once(dejaVuBytes(), 12);

    font->setBackingScaleFactor(2.0f);
    EXPECT_EQ(font->getBackingScaleFactor(), 2.0f);
    EXPECT_EQ(font->getCharHeight(), twice.lineHeight());
    EXPECT_EQ(font->getStringWidth("Scaled text"), twice.width(U"Scaled text"));

    font->setBackingScaleFactor(1.0f);
    EXPECT_EQ(font->getCharHeight(), once.lineHeight());
    EXPECT_EQ(font->getStringWidth("Scaled text"), once.width(U"Scaled text"));

    // 1.5 x 12 = 18 pixels.
    font->setBackingScaleFactor(1.5f);
    EXPECT_EQ(font->getStringWidth("Scaled text"), ReferenceFace(dejaVuBytes(), 18).width(U"Scaled text"));

    // A scale no face can be made for measures like a font without a face and draws nothing.
    font->setBackingScaleFactor(1000.0f);
    EXPECT_EQ(font->getCharHeight(), 10);
    EXPECT_EQ(font->getStringWidth("Scaled text"), 0);
    auto picture = qvtest::makePicture(50, 20, 0xFFFFFFFF);
    font->renderTextMultiline(*picture, QV::GP::Rect(0, 0, 50, 20), "Text", 0xFF000000,
                              Font::eAlignment(Font::eAlignCenter), 0);
    EXPECT_TRUE(qvtest::changedBox(*picture, 0xFFFFFFFF).isEmpty());
    font->setBackingScaleFactor(1.0f);
    EXPECT_EQ(font->getCharHeight(), once.lineHeight());
}

TEST(FontEngineLifetime, FontsOutliveTheirEngine)
{
    ASSERT_FALSE(dejaVuBytes().empty());
    auto engine = std::make_unique<QV::UIA::FontEngine>();
    Font::CreateData data;
    data.name = "DejaVuSans.ttf";
    data.size = 18;
    data.engine = engine->handle();
    const auto font = qvtest::fontFromBytes(dejaVuBytes(), data);
    ASSERT_TRUE(font->isLoaded());
    const int width = font->getStringWidth("Before");

    engine.reset();
    // The face keeps its file and the library: measuring and drawing go on.
    EXPECT_EQ(font->getStringWidth("Before"), width);
    EXPECT_GT(font->getStringWidth("After, with new glyphs"), 0);
    auto picture = qvtest::makePicture(200, 30, 0xFFFFFFFF);
    font->renderTextMultiline(*picture, QV::GP::Rect(0, 0, 200, 30), "Still drawn", 0xFF000000,
                              Font::eAlignment(Font::eAlignCenter), 0);
    EXPECT_FALSE(qvtest::changedBox(*picture, 0xFFFFFFFF).isEmpty());
}

TEST(FontEngineLifetime, ANullEngineMeansTheSystemEngine)
{
    ASSERT_FALSE(dejaVuBytes().empty());
    Font::CreateData data;
    data.name = "qv-test-system-engine-font";
    data.size = 12;
    const auto font = qvtest::fontFromBytes(dejaVuBytes(), data);
    EXPECT_TRUE(font->isLoaded());
    EXPECT_TRUE(QV::UIA::getSystemFontEngine()->handle()->isKnown(FontKey(data.name)));
    EXPECT_EQ(QV::UIA::getSystemFontEngine(), QV::UIA::getSystemFontEngine());
}

// Fonts with a resource id come from the "TTFd" resource of that id; the map's entries come first.
class FontFromResource : public qvtest::DejaVuTest {
protected:
    void TearDown() override { QV::UIA::ResourceFacade::clearResourceMap(); }
};

TEST_F(FontFromResource, LoadsTheResourceOfItsId)
{
    const std::vector<unsigned char>& bytes = dejaVuBytes();
    QV::UIA::ResourceFacade::g_theResourceMap.add("TTFd", 7, bytes.data(), bytes.size());
    Font::CreateData resource = data(15, 0, "");
    resource.resourceId = 7;
    const Font font(resource);
    ASSERT_TRUE(font.isLoaded());
    EXPECT_EQ(font.getResourceId(), 7u);
    EXPECT_EQ(font.getStringWidth("From a resource"), ReferenceFace(bytes, 15).width(U"From a resource"));
    // The file is registered under the id, not under a name: a font named "" is another key.
    EXPECT_TRUE(m_engine.handle()->isKnown(FontKey(uint32_t(7))));
    EXPECT_FALSE(m_engine.handle()->isKnown(FontKey(std::string())));

    // Loading again does nothing.
    Font again(resource);
    EXPECT_FALSE(again.create(resource));

    // An id that neither the map nor a bundle holds, and a type the font does not ask for.
    resource.resourceId = 8;
    EXPECT_FALSE(Font(resource).isLoaded());
    QV::UIA::ResourceFacade::g_theResourceMap.add("PICT", 9, bytes.data(), bytes.size());
    resource.resourceId = 9;
    EXPECT_FALSE(Font(resource).isLoaded());
}

TEST(FontCreateData, OrdersEveryField)
{
    QV::UIA::FontEngine other;
    Font::CreateData const base{"a", 1, 12, 0, QV::UIA::getSystemFontEngine()->handle()};
    std::vector<Font::CreateData> variants(5, base);
    variants[0].name = "b";
    variants[1].resourceId = 2;
    variants[2].size = 13;
    variants[3].style = Font::eStyleHinting;
    variants[4].engine = other.handle();
    std::map<Font::CreateData, int> cache{{base, -1}};
    for (std::size_t i = 0; i < variants.size(); ++i) {
        EXPECT_NE(variants[i], base) << i;
        EXPECT_NE(variants[i] < base, base < variants[i]) << i;
        cache.emplace(variants[i], int(i));
    }
    EXPECT_EQ(cache.size(), 6u);
    EXPECT_EQ(cache.at(Font::CreateData(base)), -1);
}

}  // namespace
