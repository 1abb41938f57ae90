// A bundle whose interface font (TTFd 1) is missing or broken still draws its texts: a copy of this
// program, started inside such a bundle, makes the font at two sizes and draws with it. The system
// font that stands in is named on standard error, once, and measures as that file does.
#include "FontFixture.h"

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace {

namespace fs = std::filesystem;
using QV::UIA::Font;

constexpr char kText[] = "Vardolin Studio";

// In the bundle: for sizes 12 and 15, whether the font loaded, its line height, the width of the
// text and how many pixels drawing it changed; one line each, then exit.
class ChildReport : public testing::Environment {
public:
    void SetUp() override
    {
        for (const int size : {12, 15}) {
            Font::CreateData data;
            data.resourceId = 1;
            data.size = size;
            const Font font(data);
            auto picture = qvtest::makePicture(200, 40, 0xFFFFFFFF);
            font.renderTextMultiline(*picture, QV::GP::Rect(0, 0, 200, 40), kText, 0xFF000000, Font::eAlignLeft, 0);
            int changed = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 200; ++x)
                    changed += picture->getPixel(x, y) != 0xFFFFFFFF ? 1 : 0;
            std::printf("size %d: %d %d %d %d\n", size, font.isLoaded() ? 1 : 0, font.getCharHeight(),
                        font.getStringWidth(kText), changed);
        }
        std::fflush(stdout);
        std::_Exit(0);
    }
};

[[maybe_unused]] testing::Environment* const s_childReport =
    std::getenv("QV_FONT_STAND_IN_CHILD") ? testing::AddGlobalTestEnvironment(new ChildReport) : nullptr;

TEST(FontStandIn, AMissingOrBrokenBundleFontIsDrawnWithASystemFont)
{
    const struct {
        const char* name;
        const char* fontFile;  // the bundle's TTFd/1.ttf; null: none
        const char* problem;
    } cases[] = {
        {"missing", nullptr, "is missing"},
        {"not a font", "this is no TrueType file\n", "is no font FreeType reads"},
        {"empty", "", "is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QV::TEST::TemporaryFolder folder("qv-font-stand-in");
        ASSERT_FALSE(folder.path().empty());
        const fs::path contents = folder.path() / "Test.app" / "Contents";
        fs::create_directories(contents / "MacOS");
        fs::create_directories(contents / "Resources");
        if (c.fontFile) {
            fs::create_directories(contents / "Resources" / "TTFd");
            std::ofstream(contents / "Resources" / "TTFd" / "1.ttf", std::ios::binary) << c.fontFile;
        }
        const fs::path program = contents / "MacOS" / "test";
        fs::copy_file(fs::read_symlink("/proc/self/exe"), program);

        const QV::TEST::tRun run = QV::TEST::runCommand("QV_FONT_STAND_IN_CHILD=1 '" + program.string() + "'");
        EXPECT_EQ(run.status, 0) << run.output;

        // One line for the resource, naming the stand-in, whatever the number of sizes made.
        const std::regex line("UIA::Font - the font resource TTFd 1 " + std::string(c.problem) +
                              ": drawing with the system font (/[^\n]+)\n");
        std::smatch found;
        ASSERT_TRUE(std::regex_search(run.output, found, line)) << run.output;
        const std::string standIn = found[1];
        EXPECT_EQ(run.output.find("UIA::Font", std::size_t(found.position(0)) + 1), std::string::npos) << run.output;

        // It measures as that file does, and the text leaves pixels.
        const std::vector<unsigned char> bytes = qvtest::readFile(standIn.c_str());
        ASSERT_FALSE(bytes.empty()) << standIn;
        std::u32string text(kText, kText + sizeof kText - 1);
        for (const int size : {12, 15}) {
            const qvtest::ReferenceFace reference(bytes, size);
            ASSERT_TRUE(reference.ok()) << standIn;
            const std::regex report("size " + std::to_string(size) + ": 1 " + std::to_string(reference.lineHeight()) +
                                    " " + std::to_string(reference.width(text)) + " ([0-9]+)\n");
            std::smatch measured;
            ASSERT_TRUE(std::regex_search(run.output, measured, report)) << run.output;
            EXPECT_GT(std::stoi(measured[1]), 100) << "pixels drawn at size " << size;
        }
    }
}

}  // namespace
