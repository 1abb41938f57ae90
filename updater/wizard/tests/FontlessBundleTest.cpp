// A bundle without its interface font still shows every text of every page: the page render tool,
// copied into a bundle that holds no "TTFd" 1, draws each page with the program's skin, and under
// every text that a page shows there are pixels that the same page without texts does not have.
#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using QVTest::readPNG;
using QVTest::tImage;

// A text the tool's dump lists on a page: the widget, its rectangle in the pane, its text.
struct tText {
    std::string page;
    std::string widget;
    int left, top, right, bottom;
    std::string text;
};

// The texts of shown widgets whose ancestors are all shown, from the tool's --dump output.
std::vector<tText> shownTexts(const std::string& dump)
{
    static const std::regex line(
        R"re(( *)(\S+) \S+ \((-?\d+),(-?\d+)\)-\((-?\d+),(-?\d+)\)( hidden)?.*?(?: "(.*)")?)re");
    std::vector<tText> texts;
    std::string page;
    std::vector<bool> shown;  // by depth
    std::istringstream in(dump);
    for (std::string text; std::getline(in, text);) {
        if (text.rfind("page ", 0) == 0) {
            page = text.substr(5);
            shown.assign(1, true);
            continue;
        }
        std::smatch m;
        if (page.empty() || !std::regex_match(text, m, line))
            continue;
        const std::size_t depth = m[1].length() / 2;
        shown.resize(depth + 1, true);
        shown[depth] = shown[depth - 1] && !m[7].matched;
        if (shown[depth] && m[8].matched && m[8].str().find_first_not_of(' ') != std::string::npos)
            texts.push_back({page, m[2], std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]), std::stoi(m[6]), m[8]});
    }
    return texts;
}

TEST(FontlessBundle, EveryTextOfEveryPageIsDrawn)
{
    QV::TEST::TemporaryFolder folder("qv-fontless-bundle");
    ASSERT_FALSE(folder.path().empty());
    const fs::path contents = folder.path() / "Fontless.app" / "Contents";
    fs::create_directories(contents / "MacOS");
    fs::create_directories(contents / "Resources");
    const fs::path tool = contents / "MacOS" / "qv_wizard_page_render";
    fs::copy_file(QV_PAGE_RENDER, tool);

    // The same skin with every text colour transparent: the pages as they look without texts.
    const fs::path textless = folder.path() / "textless";
    fs::copy(QV_SKIN_DIR, textless, fs::copy_options::recursive);
    const fs::path sheet = textless / "stylesheets" / "FirmwareUpdaterStyles.txt";
    std::string text;
    {
        std::ifstream in(sheet, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text = std::regex_replace(text, std::regex(R"(foreground-color:[^;}]*)"), "foreground-color: rgba(0, 0, 0, 0)");
    std::ofstream(sheet, std::ios::binary | std::ios::trunc) << text;

    const std::string pages = " 0 1 2 3 4 5 6 about";
    const QV::TEST::tRun drawn = QV::TEST::runCommand("'" + tool.string() + "' --dump '" + QV_SKIN_DIR + "' '" +
                                                      (folder.path() / "drawn").string() + "'" + pages);
    ASSERT_EQ(drawn.status, 0) << drawn.output;
    EXPECT_NE(drawn.output.find("UIA::Font - the font resource TTFd 1 is missing: drawing with the system font "),
              std::string::npos)
        << drawn.output;
    const QV::TEST::tRun bare = QV::TEST::runCommand("'" + tool.string() + "' '" + textless.string() + "' '" +
                                                     (folder.path() / "bare").string() + "'" + pages);
    ASSERT_EQ(bare.status, 0) << bare.output;

    const std::vector<tText> texts = shownTexts(drawn.output);
    ASSERT_GT(texts.size(), 40u) << drawn.output;
    for (const tText& t : texts) {
        const std::string file = t.page == "about" ? "about.png" : "page" + t.page + ".png";
        const tImage withTexts = readPNG(folder.path() / "drawn" / file);
        const tImage without = readPNG(folder.path() / "bare" / file);
        ASSERT_EQ(withTexts.width, 627) << file;
        ASSERT_EQ(without.width, 627) << file;
        int changed = 0;
        for (int y = std::max(t.top, 0); y < std::min(t.bottom, withTexts.height); ++y)
            for (int x = std::max(t.left, 0); x < std::min(t.right, withTexts.width); ++x)
                changed += withTexts.at(x, y) != without.at(x, y) ? 1 : 0;
        EXPECT_GT(changed, 0) << "page " << t.page << ", " << t.widget << " \"" << t.text << "\"";
    }
}

}  // namespace
