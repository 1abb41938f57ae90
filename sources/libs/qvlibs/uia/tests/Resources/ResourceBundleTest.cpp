// The resource facade inside a bundle: a copy of this program, started inside a bundle made for
// the test, reports what the facade serves. Resources are files under Contents/Resources/<type>/.
#include "UIA/ResourceFacade.h"

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using QV::GP::Endian::eLittleEndian;
using QV::UIA::ResourceFacade;

// The whole content of a resource as text, or "(none)".
std::string contentOf(unsigned id, const char* type)
{
    const auto stream = ResourceFacade::getResource(id, type, eLittleEndian);
    if (!stream)
        return "(none)";
    std::string text(64, '\0');
    text.resize(stream->readRaw(text.data(), text.size()));
    return text;
}

// In the bundle: what the bundle serves, what the map serves ahead of it, what the bundle serves
// again after the map is cleared, and what a missing resource gives; one line, then exit. It runs
// as the test program starts its tests, once every static object of the libraries exists.
class ChildReport : public testing::Environment {
public:
    void SetUp() override
    {
        std::string const bundle = contentOf(5, "TTFd");
        static const char memory[] = "from memory";
        ResourceFacade::g_theResourceMap.add("TTFd", 5, memory, sizeof memory - 1);
        std::string const map = contentOf(5, "TTFd");
        std::string const otherId = contentOf(6, "TTFd");
        ResourceFacade::clearResourceMap();
        std::string const cleared = contentOf(5, "TTFd");
        std::printf("%s|%s|%s|%s\n", bundle.c_str(), map.c_str(), otherId.c_str(), cleared.c_str());
        std::fflush(stdout);
        std::_Exit(0);
    }
};

[[maybe_unused]] testing::Environment* const s_childReport =
    std::getenv("QV_RESOURCE_FACADE_TEST_CHILD") ? testing::AddGlobalTestEnvironment(new ChildReport) : nullptr;

TEST(ResourceFacadeInBundle, TheMapComesFirstThenTheBundle)
{
    QV::TEST::TemporaryFolder folder("qv-resource-facade");
    ASSERT_FALSE(folder.path().empty());
    fs::path const contents = folder.path() / "Test.app" / "Contents";
    fs::create_directories(contents / "MacOS");
    fs::create_directories(contents / "Resources" / "TTFd");
    std::ofstream(contents / "Resources" / "TTFd" / "5") << "from the bundle";
    // A copy, not a link: the kernel names a linked program by its target.
    fs::path const program = contents / "MacOS" / "test";
    fs::copy_file(fs::read_symlink("/proc/self/exe"), program);

    QV::TEST::tRun const run = QV::TEST::runCommand("QV_RESOURCE_FACADE_TEST_CHILD=1 '" + program.string() + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    // TTFd 6 is in neither: the resource storage says so on standard error.
    EXPECT_NE(run.output.find("cannot resolve resource: TTFd 6\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("from the bundle|from memory|(none)|from the bundle\n"), std::string::npos) << run.output;
}

}  // namespace
