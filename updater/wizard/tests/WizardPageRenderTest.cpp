// The page render tool: each page it writes is the page asked for, drawn with the given skin.
#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using QVTest::readPNG;
using QVTest::tImage;

class PageRender : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        fs::create_directories(skin() / "stylesheets");
        // The info panel's colour tells the page's kind; the About overlay is yellow.
        std::ofstream(skin() / "stylesheets" / "FirmwareUpdaterStyles.txt")
            << "Bar#FirmwareUpdaterBodyPanel { height: 300; }\n"
               "Bar#FirmwareUpdaterInfoPanel { height: 100; }\n"
               "Bar#FirmwareUpdaterInfoPanel[background=info] { background-color: rgb(0, 0, 255); }\n"
               "Bar#FirmwareUpdaterInfoPanel[background=ok] { background-color: rgb(0, 255, 0); }\n"
               "Bar#FirmwareUpdaterInfoPanel[background=error] { background-color: rgb(255, 0, 0); }\n"
               "Button#FirmwareUpdaterOverlay { background-color: rgb(255, 255, 0); }\n";
    }
    fs::path skin() const { return m_folder.path() / "theskin"; }
    fs::path out() const { return m_folder.path() / "out"; }

    QV::TEST::TemporaryFolder m_folder{"qv-wizard-render"};
};

TEST_F(PageRender, EachPageAsAskedWithTheSkin)
{
    const QV::TEST::tRun run = QV::TEST::runCommand(std::string("'") + QV_PAGE_RENDER + "' '" + skin().string() +
                                                    "' '" + out().string() + "' 0 1 3 4 5 6 about");
    ASSERT_EQ(run.status, 0) << run.output;
    // The info panel's middle, right of its icon.
    const int x = 600, y = 36 + 50;
    struct {
        const char* file;
        std::uint32_t infoPanel;
    } const cases[] = {
        {"page0.png", 0xFF0000FF}, {"page1.png", 0xFF00FF00}, {"page3.png", 0xFF0000FF}, {"page4.png", 0xFFFF0000},
        {"page5.png", 0xFF00FF00}, {"page6.png", 0xFFFF0000}, {"about.png", 0xFFFFFF00},
    };
    for (const auto& c : cases) {
        const tImage image = readPNG(out() / c.file);
        ASSERT_EQ(image.width, 627) << c.file;
        ASSERT_EQ(image.height, 335) << c.file;
        EXPECT_EQ(image.at(x, y), c.infoPanel) << c.file;
        EXPECT_NE(run.output.find((out() / c.file).string()), std::string::npos) << "its path printed";
    }
    EXPECT_FALSE(fs::exists(out() / "page2.png")) << "only the pages asked for";
}

TEST_F(PageRender, AWrongCommandLineWritesNothing)
{
    for (const std::string& arguments :
         {std::string("'") + skin().string() + "' '" + out().string() + "' 7", std::string("'") + skin().string() + "'",
          std::string("'") + m_folder.path().string() + "/none' '" + out().string() + "'"}) {
        const QV::TEST::tRun run = QV::TEST::runCommand(std::string("'") + QV_PAGE_RENDER + "' " + arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_FALSE(fs::exists(out() / "page0.png"));
    }
}

}  // namespace
