#include "Volumes/MountInfo.h"

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using QV::GP::DETAIL::parseMountInfo;
using QV::GP::DETAIL::tMountEntry;

TEST(MountInfo, ReadsEveryFieldOfALine)
{
    const auto entries = parseMountInfo(
        "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 shared:7 - ext3 /dev/root rw,errors=continue\n");
    ASSERT_EQ(entries.size(), 1u);
    const tMountEntry& entry = entries[0];
    EXPECT_EQ(entry.mountId, 36);
    EXPECT_EQ(entry.parentId, 35);
    EXPECT_EQ(entry.devMajor, 98u);
    EXPECT_EQ(entry.devMinor, 0u);
    EXPECT_EQ(entry.root, "/mnt1");
    EXPECT_EQ(entry.mountPoint, "/mnt/parent");
    EXPECT_EQ(entry.fsType, "ext3");
    EXPECT_EQ(entry.source, "/dev/root");
}

TEST(MountInfo, MountPointsKeepTheirBytes)
{
    struct Case {
        const char* field;
        std::string mountPoint;
    } cases[] = {
        {"/media/me/MY\\040STICK", "/media/me/MY STICK"},            // space
        {"/media/me/a\\011b\\012c", "/media/me/a\tb\nc"},            // tab and line feed
        {"/media/me/back\\134slash", "/media/me/back\\slash"},       // the backslash itself
        {"/media/me/Fotos\xC3\x9C", "/media/me/Fotos\xC3\x9C"},      // UTF-8 as it is, not normalised
        {"/media/me/Caf\x65\xCC\x81", "/media/me/Caf\x65\xCC\x81"},  // decomposed stays decomposed
        {"/media/me/raw\xFF\xFE", "/media/me/raw\xFF\xFE"},          // not UTF-8 at all
        {"/media/me/x\\04", "/media/me/x\\04"},                      // a cut escape is text
        {"/media/me/x\\08", "/media/me/x\\08"},                      // not octal
    };
    for (const Case& c : cases) {
        const auto entries = parseMountInfo(std::string("40 28 8:17 / ") + c.field + " rw - vfat /dev/sdb1 rw\n");
        ASSERT_EQ(entries.size(), 1u) << c.field;
        EXPECT_EQ(entries[0].mountPoint, c.mountPoint) << c.field;
    }
}

TEST(MountInfo, SkipsMalformedLinesAndKeepsTheOthersInOrder)
{
    const auto entries = parseMountInfo("28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
                                        "\n"
                                        "29 28 0:26 / /no/separator rw ext4 /dev/x rw\n"  // no " - "
                                        "x 28 0:26 / /bad/id rw - ext4 /dev/x rw\n"       // id not a number
                                        "30 28 0-26 / /bad/device rw - ext4 /dev/x rw\n"  // device not major:minor
                                        "31 28 0:27 / relative rw - ext4 /dev/x rw\n"     // mount point not absolute
                                        "32 28 0:28 / /short\n"                           // cut short
                                        "33 28 0:29 / /no/type rw -\n"                    // nothing after the separator
                                        "34 28 0:30 / /media/me/STICK rw - vfat /dev/sdb1 rw\n"
                                        "35 28 0:31 / /no/source rw - tmpfs\n");  // the source may be missing
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].mountPoint, "/");
    EXPECT_EQ(entries[1].mountPoint, "/media/me/STICK");
    EXPECT_EQ(entries[2].mountPoint, "/no/source");
    EXPECT_EQ(entries[2].source, "");
}

TEST(MountInfo, ReadsTheTableFileThatIsSet)
{
    QV::TEST::TemporaryFolder folder;
    const std::string path = (folder.path() / "mountinfo").string();
    std::ofstream(path)
        << "28 1 254:0 / / rw - ext4 /dev/vda rw\n41 28 8:17 / /media/me/STICK rw - vfat /dev/sdb1 rw\n";

    QV::GP::DETAIL::setMountTablePath(path);
    EXPECT_EQ(QV::GP::DETAIL::mountTablePath(), path);
    const auto injected = QV::GP::DETAIL::readMountTable();
    QV::GP::DETAIL::setMountTablePath("");
    ASSERT_EQ(injected.size(), 2u);
    EXPECT_EQ(injected[1].mountPoint, "/media/me/STICK");

    QV::GP::DETAIL::setMountTablePath((folder.path() / "missing").string());
    EXPECT_TRUE(QV::GP::DETAIL::readMountTable().empty());
    QV::GP::DETAIL::setMountTablePath("");

    // The process's own table always holds its root.
    EXPECT_EQ(QV::GP::DETAIL::mountTablePath(), "/proc/self/mountinfo");
    bool root = false;
    for (const tMountEntry& entry : QV::GP::DETAIL::readMountTable())
        root = root || entry.mountPoint == "/";
    EXPECT_TRUE(root);
}

}  // namespace
