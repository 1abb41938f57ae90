// The resource manager: where resources are looked for (a skin folder in the current folder with
// the search on; the bundle otherwise), pictures decoded once per name and properties and
// remembered when missing, fonts made once and the default font standing in for a missing one.
#include "Support/ToolkitFixture.h"

#include "GP/Stream.h"
#include "PXT/LazyPicture.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

// The skin folder "skin" in a temporary current folder, with the search switched on.
class SkinFolder : public SkinFolderFixture {
protected:
    SkinFolder() : SkinFolderFixture("qv-pxt-skin") {}
    void SetUp() override
    {
        SkinFolderFixture::SetUp();
        fs::create_directories(skin() / "stylesheets");
    }
    static std::string contentOf(const std::shared_ptr<QV::GP::Stream>& stream)
    {
        std::string text(256, '\0');
        text.resize(stream->readRaw(text.data(), text.size()));
        return text;
    }
};

TEST_F(SkinFolder, ResourcesComeFromTheKindsFolderAndNowhereElse)
{
    std::ofstream(skin() / "stylesheets" / "main.txt") << "A { a: 1 }";
    fs::create_directories(skin() / "stylesheets" / "sub");
    std::ofstream(skin() / "stylesheets" / "sub" / "more.txt") << "more";
    std::ofstream(skin() / "outside.txt") << "outside";

    const auto stream = container().getResourceStream("main.txt", ManagerContainer::eResourceStyleSheets, true);
    ASSERT_TRUE(stream);
    EXPECT_EQ(contentOf(stream), "A { a: 1 }");
    EXPECT_EQ(container().getLocationMode(), ManagerContainer::eLocationSkinFolder);
    EXPECT_EQ(contentOf(container().getResourceStream("sub/more.txt", ManagerContainer::eResourceStyleSheets, true)),
              "more");

    const struct {
        const char* name;
        ManagerContainer::eResourceType kind;
    } missing[] = {
        {"main.txt", ManagerContainer::eResourcePictures},
        {"absent.txt", ManagerContainer::eResourceStyleSheets},
        {"../outside.txt", ManagerContainer::eResourceStyleSheets},
        {"sub//more.txt", ManagerContainer::eResourceStyleSheets},
        {"./main.txt", ManagerContainer::eResourceStyleSheets},
        {"", ManagerContainer::eResourceStyleSheets},
    };
    for (const auto& c : missing) {
        m_log.clear();
        EXPECT_FALSE(container().getResourceStream(c.name, c.kind, true)) << c.name;
        ASSERT_EQ(m_log.size(), 1u) << c.name;
        EXPECT_EQ(m_log[0].rfind("PXT::ManagerContainer::getResourceStream - can't find resource: ", 0), 0u);
        EXPECT_NE(m_log[0].find(":skin:"), std::string::npos) << m_log[0];
    }
    m_log.clear();
    EXPECT_FALSE(container().getResourceStream("absent.txt", ManagerContainer::eResourceStyleSheets, false));
    EXPECT_TRUE(m_log.empty());
}

TEST_F(SkinFolder, TheDefaultSheetLoadsWithItsRelativeImports)
{
    std::ofstream(skin() / "stylesheets" / "app.txt") << "@import url(\"colours.txt\");\nLabel { width: $w }\n"
                                                         "@import url(\"app.txt\");\n";
    std::ofstream(skin() / "stylesheets" / "colours.txt") << "@define $w 7;\n";
    StyleSheetManager::get()->loadDefault("app.txt");
    const auto& rules = defaultSheet().getRules();
    ASSERT_EQ(rules.count(qv::symbol("width")), 1u);
    EXPECT_EQ(std::get<int>(rules.at(qv::symbol("width"))[0].second.getValue()), 7);
    // The built-in rules are gone; the self-import is refused, with the file and line.
    EXPECT_EQ(rules.count(qv::symbol("background-color")), 0u);
    EXPECT_EQ(logged("Stylesheet error: app.txt:3 - PARSER ERROR at line 3: recursive import of stylesheet app.txt"),
              1u);
}

TEST_F(SkinFolder, PicturesAreDecodedOncePerNameAndProperties)
{
    writeTGA(skin() / "pictures" / "logo.tga", 4, 2);
    QV::UIA::PictureProperties plain;
    QV::UIA::PictureProperties alpha = plain;
    alpha.setAlphaChannel(true);
    QV::UIA::PictureProperties fixed = plain;
    fixed.setFixedLeft(1);
    fixed.setHorzResizable(true);

    const QV::UIA::Picture* first = container().getImage("logo.tga", plain).resolve(1.0f);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getWidth(), 4);
    EXPECT_EQ(container().getImage("logo.tga", plain).resolve(1.0f), first);
    EXPECT_EQ(container().getImage("logo.tga", alpha).resolve(1.0f), first);
    const QV::UIA::Picture* other = container().getImage("logo.tga", fixed).resolve(1.0f);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(other->getFixedLeft(), 1);
    EXPECT_TRUE(other->isHorzResizable());
}

TEST_F(SkinFolder, EachPropertyOfThePictureKeyGivesAPictureOfItsOwn)
{
    using Properties = QV::UIA::PictureProperties;
    writeTGA(skin() / "pictures" / "strip.tga", 8, 8);
    const Properties plain;
    const QV::UIA::Picture* first = container().getImage("strip.tga", plain).resolve(1.0f);
    ASSERT_NE(first, nullptr);
    // One field changed at a time; `check` reads it back from the picture made for it.
    const struct {
        const char* name;
        void (*change)(Properties&);
        bool (*check)(const Properties&);
    } cases[] = {
        {"animations", [](Properties& p) { p.setNumAnimations(2); },
         [](const Properties& p) { return p.getNumAnimations() == 2; }},
        {"fixed top", [](Properties& p) { p.setFixedTop(1); },
         [](const Properties& p) { return p.getFixedTop() == 1; }},
        {"fixed bottom", [](Properties& p) { p.setFixedBottom(1); },
         [](const Properties& p) { return p.getFixedBottom() == 1; }},
        {"fixed left", [](Properties& p) { p.setFixedLeft(1); },
         [](const Properties& p) { return p.getFixedLeft() == 1; }},
        {"fixed right", [](Properties& p) { p.setFixedRight(1); },
         [](const Properties& p) { return p.getFixedRight() == 1; }},
        {"orientation", [](Properties& p) { p.setAnimationOrientation(Properties::eOrientationHorizontal); },
         [](const Properties& p) { return p.getAnimationOrientation() == Properties::eOrientationHorizontal; }},
        {"vertically resizable", [](Properties& p) { p.setVertResizable(true); },
         [](const Properties& p) { return p.isVertResizable() && !p.isHorzResizable(); }},
        {"horizontally resizable", [](Properties& p) { p.setHorzResizable(true); },
         [](const Properties& p) { return p.isHorzResizable() && !p.isVertResizable(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Properties changed = plain;
        c.change(changed);
        const QV::UIA::Picture* picture = container().getImage("strip.tga", changed).resolve(1.0f);
        ASSERT_NE(picture, nullptr);
        EXPECT_NE(picture, first);
        EXPECT_TRUE(c.check(*picture));
        EXPECT_FALSE(c.check(*first));
        EXPECT_EQ(container().getImage("strip.tga", changed).resolve(1.0f), picture);
    }
}

TEST_F(SkinFolder, AMissingPictureIsLookedForOnce)
{
    const LazyPicture missing = container().getImage("gone.png", QV::UIA::PictureProperties());
    const LazyPicture copy = missing;
    for (int repaint = 0; repaint < 3; ++repaint) {
        EXPECT_EQ(missing.resolve(1.0f), nullptr);
        EXPECT_EQ(copy.resolve(1.0f), nullptr);
    }
    EXPECT_EQ(container().getImage("gone.png", QV::UIA::PictureProperties()).resolve(1.0f), nullptr);
    EXPECT_EQ(logged("gone.png"), 1u);
    // A file that is no picture: one message, then remembered too.
    fs::create_directories(skin() / "pictures");
    std::ofstream(skin() / "pictures" / "broken.png") << "not a picture";
    const LazyPicture broken = container().getImage("broken.png", QV::UIA::PictureProperties());
    EXPECT_EQ(broken.resolve(1.0f), nullptr);
    EXPECT_EQ(broken.resolve(1.0f), nullptr);
    EXPECT_EQ(logged("can't decode picture broken.png"), 1u) << testing::PrintToString(m_log);
}

TEST_F(SkinFolder, FontsAreMadeOnceAndAMissingFontFileFallsBack)
{
    fs::create_directories(skin() / "fonts");
    fs::copy_file(QV_TEST_FONT_FILE, skin() / "fonts" / "Sans.ttf");
    QV::UIA::Font::CreateData data = ManagerContainer::getDefaultFontData();
    data.resourceId = 0;
    data.name = "Sans.ttf";
    data.size = 14;
    const QV::UIA::Font* font = container().getFont(data);
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->isLoaded());
    EXPECT_EQ(font->getSize(), 14);
    EXPECT_EQ(container().getFont(data), font);

    data.name = "Missing.ttf";
    const QV::UIA::Font* fallback = container().getFont(data);
    EXPECT_EQ(fallback, container().getFont(ManagerContainer::getDefaultFontData()));
    EXPECT_EQ(container().getFont(data), fallback);
    EXPECT_EQ(logged("can't load font Missing.ttf, using the default font"), 1u);
    EXPECT_EQ(logged("Missing.ttf"), 2u);  // the lookup's own warning, then the fallback

    // Through a stylesheet: the font-name compound.
    defaultSheet().createDirect("Label { font-name: url(\"Sans.ttf\"); font-size: 14 }");
    const auto& rules = defaultSheet().getRules().at(qv::symbol("font"));
    EXPECT_EQ(std::get<const QV::UIA::Font*>(rules.at(0).second.getValue()), font);
}

TEST_F(ToolkitFixture, WithoutTheSearchResourcesComeFromTheBundle)
{
    // The test program lies in no bundle: the linked resource is asked for and is missing.
    EXPECT_FALSE(container().getResourceStream("x.txt", ManagerContainer::eResourceStyleSheets, true));
    EXPECT_EQ(container().getLocationMode(), ManagerContainer::eLocationBundle);
    EXPECT_EQ(logged("PXT::ManagerContainer::getResourceStream - can't load linked resource x.txt"), 1u);
}

TEST(LazyPicture, ResolvesKeptAndScaledPictures)
{
    EXPECT_TRUE(LazyPicture().empty());
    const LazyPicture none{std::shared_ptr<const QV::UIA::Picture>()};
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.resolve(1.0f), nullptr);
    EXPECT_EQ(none.resolve(2.0f), nullptr);

    auto picture = std::make_shared<QV::UIA::Picture>();
    ASSERT_TRUE(picture->setSize(3, 2));
    const LazyPicture kept{std::shared_ptr<const QV::UIA::Picture>(picture)};
    EXPECT_EQ(kept.resolve(1.0f), picture.get());
    const QV::UIA::Picture* doubled = kept.resolve(2.0f);
    ASSERT_NE(doubled, nullptr);
    EXPECT_EQ(doubled->getWidth(), 6);
    EXPECT_EQ(doubled->getHeight(), 4);
    EXPECT_EQ(kept.resolve(2.0f), doubled);

    int calls = 0;
    const LazyPicture loaded([&](float) -> std::shared_ptr<const QV::UIA::Picture> {
        ++calls;
        return nullptr;
    });
    EXPECT_EQ(loaded.resolve(1.0f), nullptr);
    EXPECT_EQ(loaded.resolve(1.0f), nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(loaded.resolve(2.0f), nullptr);  // the 2x variant is asked for once, the base is known missing
    EXPECT_EQ(loaded.resolve(2.0f), nullptr);
    EXPECT_EQ(calls, 2);
}

TEST(ManagerContainerData, TheDefaultFontData)
{
    const QV::UIA::Font::CreateData& data = ManagerContainer::getDefaultFontData();
    EXPECT_EQ(data.name, "");
    EXPECT_EQ(data.resourceId, 1u);
    EXPECT_EQ(data.size, 12);
    EXPECT_EQ(data.style, 0u);
}

}  // namespace
