// The interface font the build puts into the bundle: a copy of this program, started inside a
// bundle whose resources are the build's, loads the toolkit's default font (TTFd 1, 12 pixels).
#include "FontFixture.h"

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using QV::UIA::Font;

constexpr char kMeasuredText[] = "Vardolin Studio";

// In the bundle: whether the font loaded, its line height and the width of the text; one line,
// then exit, as the test program starts its tests.
class ChildReport : public testing::Environment {
public:
    void SetUp() override
    {
        Font::CreateData data;
        data.resourceId = 1;
        data.size = 12;
        const Font font(data);
        std::printf("%d %d %d\n", font.isLoaded() ? 1 : 0, font.getCharHeight(), font.getStringWidth(kMeasuredText));
        std::fflush(stdout);
        std::_Exit(0);
    }
};

[[maybe_unused]] testing::Environment* const s_childReport =
    std::getenv("QV_BUNDLE_FONT_TEST_CHILD") ? testing::AddGlobalTestEnvironment(new ChildReport) : nullptr;

TEST(BundleFont, TheBundleShipsTheDefaultFont)
{
    fs::path const resources = QV_TEST_BUNDLE_RESOURCES;
    const std::vector<unsigned char> shipped = qvtest::readFile((resources / "TTFd" / "1.ttf").c_str());
    ASSERT_FALSE(shipped.empty()) << "no TTFd 1 in " << resources;

    QV::TEST::TemporaryFolder folder("qv-bundle-font");
    ASSERT_FALSE(folder.path().empty());
    fs::path const contents = folder.path() / "Test.app" / "Contents";
    fs::create_directories(contents / "MacOS");
    fs::create_directory_symlink(resources, contents / "Resources");
    fs::path const program = contents / "MacOS" / "test";
    fs::copy_file(fs::read_symlink("/proc/self/exe"), program);

    QV::TEST::tRun const run = QV::TEST::runCommand("QV_BUNDLE_FONT_TEST_CHILD=1 '" + program.string() + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    qvtest::ReferenceFace const reference(shipped, 12);
    ASSERT_TRUE(reference.ok());
    std::u32string text;
    for (const char* p = kMeasuredText; *p; ++p)
        text.push_back(char32_t(*p));
    std::string const expected =
        "\n1 " + std::to_string(reference.lineHeight()) + " " + std::to_string(reference.width(text)) + "\n";
    EXPECT_NE(run.output.find(expected), std::string::npos) << run.output;
}

}  // namespace
