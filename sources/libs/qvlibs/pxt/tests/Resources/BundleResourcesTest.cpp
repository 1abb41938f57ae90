// Where the resource manager looks inside and beside the application bundle: a copy of this
// program, started inside a bundle made for the test, reports what it finds. With the skin search
// off: the bundle's Resources/skin/<kind>/ first, then the bundle resource of the kind's type. With
// the search on and a "skin" folder beside the bundle: that folder only.
#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"
#include "PXT/StyleSheetManager.h"

#include "GP/Stream.h"
#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/Font.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace QV::PXT;

std::string contentOf(ManagerContainer& container, const char* name)
{
    const auto stream = container.getResourceStream(name, ManagerContainer::eResourceStyleSheets, false);
    if (!stream)
        return "(none)";
    std::string text(64, '\0');
    text.resize(stream->readRaw(text.data(), text.size()));
    return text;
}

// In the bundle: the stylesheets found, the location mode, whether the default font loaded and the
// size of the font a rule asks for; one line, then exit, as the test program starts its tests.
class ChildReport : public testing::Environment {
public:
    void SetUp() override
    {
        Lib::init();
        Lib::setSearchSkinDirectory(std::strcmp(std::getenv("QV_PXT_BUNDLE_TEST_CHILD"), "search") == 0);
        ManagerContainer& container = *Lib::getManagerContainer();
        std::string report;
        for (const char* name : {"inbundle.txt", "sub/deep.txt", "linked.txt", "beside.txt"})
            report += contentOf(container, name) + "|";
        const QV::UIA::Font* font = container.getFont(ManagerContainer::getDefaultFontData());
        StyleSheet& sheet = StyleSheetManager::get()->getDefaultStyleSheet();
        sheet.createDirect("Label { font-size: 14px }");
        const auto& fonts = sheet.getRules().at(qv::symbol("font"));
        const auto* sized = std::get<const QV::UIA::Font*>(fonts.at(0).second.getValue());
        std::printf("%smode %d font %d size %d\n", report.c_str(), container.getLocationMode(),
                    font->isLoaded() ? 1 : 0, sized->isLoaded() ? sized->getSize() : 0);
        std::fflush(stdout);
        std::_Exit(0);
    }
};

[[maybe_unused]] testing::Environment* const s_childReport =
    std::getenv("QV_PXT_BUNDLE_TEST_CHILD") ? testing::AddGlobalTestEnvironment(new ChildReport) : nullptr;

class BundleResources : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        const fs::path resources = m_folder.path() / "Test.app" / "Contents" / "Resources";
        fs::create_directories(m_folder.path() / "Test.app" / "Contents" / "MacOS");
        fs::create_directories(resources / "skin" / "stylesheets" / "sub");
        fs::create_directories(resources / "STYL");
        fs::create_directories(resources / "TTFd");
        std::ofstream(resources / "skin" / "stylesheets" / "inbundle.txt") << "bundle skin";
        std::ofstream(resources / "skin" / "stylesheets" / "sub" / "deep.txt") << "deep";
        std::ofstream(resources / "STYL" / "linked.txt") << "linked";
        fs::copy_file(QV_TEST_FONT_FILE, resources / "TTFd" / "1.ttf");
        // A copy, not a link: the kernel names a linked program by its target.
        m_program = m_folder.path() / "Test.app" / "Contents" / "MacOS" / "test";
        fs::copy_file(fs::read_symlink("/proc/self/exe"), m_program);
    }
    std::string run(const char* mode)
    {
        // The child starts in the temporary folder, which holds no "skin" of its own.
        const QV::TEST::tRun run =
            QV::TEST::runCommand("cd '" + m_folder.path().string() + "' && QV_PXT_BUNDLE_TEST_CHILD=" + mode + " '" +
                                 m_program.string() + "'");
        EXPECT_EQ(run.status, 0) << run.output;
        // The report is the last line (GoogleTest's banner and the resource lookups' notes come first).
        const std::size_t start = run.output.rfind('\n', run.output.size() >= 2 ? run.output.size() - 2 : 0);
        return start == std::string::npos ? run.output : run.output.substr(start + 1);
    }

    QV::TEST::TemporaryFolder m_folder{"qv-pxt-bundle"};
    fs::path m_program;
};

TEST_F(BundleResources, WithoutTheSearchTheBundleSkinThenItsResources)
{
    EXPECT_EQ(run("bundle"), "bundle skin|deep|linked|(none)|mode 1 font 1 size 14\n");
}

TEST_F(BundleResources, WithTheSearchOnlyTheSkinBesideTheBundle)
{
    // Without a skin beside the bundle (and none in the current folder) the bundle serves.
    EXPECT_EQ(run("search"), "bundle skin|deep|linked|(none)|mode 1 font 1 size 14\n");
    fs::create_directories(m_folder.path() / "skin" / "stylesheets");
    std::ofstream(m_folder.path() / "skin" / "stylesheets" / "beside.txt") << "beside";
    EXPECT_EQ(run("search"), "(none)|(none)|(none)|beside|mode 2 font 1 size 14\n");
}

}  // namespace
