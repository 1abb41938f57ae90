#include "FakeMachine.h"

#include "GP/SystemInfo2.h"
#include "SystemInfo/ComputerName.h"
#include "SystemInfo/KeyValueFile.h"
#include "SystemInfo/OSVersion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace QV::GP;
using qv::commons::VersionNumber;
using QV::TEST::FakeMachine;

std::string text(const VersionNumber& v)
{
    return std::to_string(v.m_major) + "." + std::to_string(v.m_minor) + "." + std::to_string(v.m_micro) + "." +
           std::to_string(v.m_fourth);
}

TEST(OSVersion, ParsedFromReleaseTexts)
{
    struct tCase {
        const char* release;
        const char* version;
    } const cases[] = {
        {"12", "12.0.0.0"},
        {"22.04", "22.4.0.0"},
        {"6.1.0-13-amd64", "6.1.0.0"},
        {"6.18.44-fc-v1523", "6.18.44.0"},
        {"10.0.19045.1", "10.0.19045.0"},
        {"3.x", "3.0.0.0"},
        {"5.", "5.0.0.0"},
        {"rolling", "0.0.0.0"},
        {"", "0.0.0.0"},
        {"99999999999.1", "0.0.0.0"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(text(DETAIL::parseVersionNumber(c.release)), c.version) << c.release;
}

TEST(OSVersion, KeyValueFile)
{
    const auto values = DETAIL::parseKeyValueFile("# written by the distribution\n"
                                                  "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                                  "\n"
                                                  "VERSION_ID=\"12\"\n"
                                                  "VERSION_CODENAME=bookworm\n"
                                                  "  ID = debian  \n"
                                                  "ESCAPED=\"say \\\"hi\\\" \\\\ \\$HOME\"\n"
                                                  "SINGLE='it \\ stays'\n"
                                                  "UNTERMINATED=\"open\n"
                                                  "no assignment here\n"
                                                  "=orphan\n"
                                                  "ID=ubuntu\n");
    const std::map<std::string, std::string> expected = {
        {"PRETTY_NAME", "Debian GNU/Linux 12 (bookworm)"},
        {"VERSION_ID", "12"},
        {"VERSION_CODENAME", "bookworm"},
        {"ID", "ubuntu"},
        {"ESCAPED", "say \"hi\" \\ $HOME"},
        {"SINGLE", "it \\ stays"},
        {"UNTERMINATED", "open"},
    };
    EXPECT_EQ(values, expected);
}

class OSInfo : public ::testing::Test {
protected:
    VersionNumber retrieved()
    {
        m_machine.install();
        SystemInfo2::retrieveOSInfo();
        return SystemInfo2::s_osVersion;
    }

    FakeMachine m_machine;
};

TEST_F(OSInfo, DistributionReleaseFirst)
{
    m_machine.write("/etc/os-release", "NAME=\"Ubuntu\"\nVERSION_ID=\"22.04\"\n");
    m_machine.write("/usr/lib/os-release", "VERSION_ID=\"99\"\n");
    EXPECT_EQ(text(retrieved()), "22.4.0.0");
}

TEST_F(OSInfo, UsrLibOsReleaseWhenEtcHasNone)
{
    m_machine.write("/usr/lib/os-release", "VERSION_ID=12\n");
    EXPECT_EQ(text(retrieved()), "12.0.0.0");
}

TEST_F(OSInfo, KernelReleaseWhenTheDistributionNamesNone)
{
    // A rolling release has no VERSION_ID; another writes one that is no number.
    for (const char* osRelease :
         {"PRETTY_NAME=\"Debian GNU/Linux trixie/sid\"\nID=debian\n", "VERSION_ID=\"rolling\"\n"}) {
        m_machine.write("/etc/os-release", osRelease);
        EXPECT_EQ(text(retrieved()), "6.1.0.0") << osRelease;
    }
}

TEST_F(OSInfo, NothingKnown)
{
    m_machine.m_uname.reset();
    EXPECT_EQ(text(retrieved()), "0.0.0.0");
    EXPECT_EQ(SystemInfo2::s_osTargetISA, SystemInfo2::eISAOther);
}

TEST_F(OSInfo, InstructionSet)
{
    for (auto [machine, isa] :
         {std::pair{"x86_64", SystemInfo2::eISAx86_64}, std::pair{"aarch64", SystemInfo2::eISAOther},
          std::pair{"i686", SystemInfo2::eISAOther}}) {
        m_machine.m_uname->machine = machine;
        retrieved();
        EXPECT_EQ(SystemInfo2::s_osTargetISA, isa) << machine;
    }
}

TEST_F(OSInfo, ComputerName)
{
    EXPECT_EQ(DETAIL::readComputerName(m_machine.root(), "host"), "host") << "no machine-info";
    m_machine.write("/etc/machine-info", "PRETTY_HOSTNAME=\"Anna's \\\"Laptop\\\"\"\nCHASSIS=laptop\n");
    EXPECT_EQ(DETAIL::readComputerName(m_machine.root(), "host"), "Anna's \"Laptop\"");
    m_machine.write("/etc/machine-info", "PRETTY_HOSTNAME=\nCHASSIS=laptop\n");
    EXPECT_EQ(DETAIL::readComputerName(m_machine.root(), "host"), "host") << "an empty pretty name";
}

}  // namespace
