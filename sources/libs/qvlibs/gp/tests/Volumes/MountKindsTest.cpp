#include "GP/VolumeManager.h"
#include "Volumes/MountKinds.h"
#include "Volumes/MountVolumeTable.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::GP;
using QV::GP::DETAIL::tMountEntry;

tMountEntry mount(const std::string& mountPoint, const std::string& fsType, unsigned major = 0, int id = 50)
{
    tMountEntry entry;
    entry.mountId = id;
    entry.mountPoint = mountPoint;
    entry.fsType = fsType;
    entry.devMajor = major;
    return entry;
}

TEST(MountKinds, KindFollowsTheFileSystem)
{
    struct Case {
        const char* mountPoint;
        const char* fsType;
        unsigned major;
        std::int32_t kind;
    } cases[] = {
        {"/", "ext4", 254, eVolumeTypeLocalDisk},
        {"/", "overlay", 0, eVolumeTypeLocalDisk},  // a container's root is still the system disk
        {"/", "iso9660", 11, eVolumeTypeOptical},   // a live system from a DVD
        {"/media/me/STICK", "vfat", 8, eVolumeTypeLocalDisk},
        {"/media/me/WIN", "ntfs3", 8, eVolumeTypeLocalDisk},
        {"/media/me/WIN", "fuseblk", 8, eVolumeTypeLocalDisk},  // ntfs-3g
        {"/media/me/MAC", "hfsplus", 8, eVolumeTypeLocalDisk},
        {"/media/me/MACCD", "hfsplus", 11, eVolumeTypeOptical},  // on a CD drive: the media decides
        {"/media/me/DVD", "udf", 11, eVolumeTypeOptical},
        {"/media/me/CD", "iso9660", 11, eVolumeTypeOptical},
        {"/mnt/nas", "nfs4", 0, eVolumeTypeNetwork},
        {"/mnt/nas", "nfs", 0, eVolumeTypeNetwork},
        {"/media/me/share", "cifs", 0, eVolumeTypeNetwork},
        {"/home/me/remote", "fuse.sshfs", 0, eVolumeTypeNetwork},
        {"/media/me/CAM", "exfat", 8, 0},  // not listed
        {"/media/me/RAM", "tmpfs", 0, 0},
        {"/proc", "proc", 0, 0},
        {"/media/me/auto", "autofs", 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DETAIL::volumeKindOf(mount(c.mountPoint, c.fsType, c.major)), c.kind)
            << c.mountPoint << " " << c.fsType;
}

TEST(MountKinds, UserVisibleMountsAreTheRootAndThePlacesPeopleMountThings)
{
    struct Case {
        const char* mountPoint;
        const char* fsType;
        bool visible;
    } cases[] = {
        {"/", "ext4", true},
        {"/media/me/STICK", "vfat", true},
        {"/media/STICK", "vfat", true},
        {"/run/media/me/STICK", "vfat", true},
        {"/mnt/nas", "nfs4", true},
        {"/mnt/ram", "tmpfs", true},  // a RAM disk is a volume, though not a listed kind
        {"/home/me/remote", "fuse.sshfs", true},
        {"/home/me/.cache/doc", "fuse.portal", false},
        {"/home/me/.gvfs", "fuse.gvfsd-fuse", false},
        {"/home/me/a/.hidden/x", "ext4", false},
        {"/home/meX/disk", "ext4", false},  // not inside the home folder
        {"/home", "ext4", false},           // part of the system's volume
        {"/boot", "ext4", false},
        {"/media", "ext4", false},
        {"/mediax/STICK", "vfat", false},
        {"/media/me/auto", "autofs", false},
        {"/proc", "proc", false},
        {"/sys/fs/cgroup", "tmpfs", false},
        {"/run/user/1000", "tmpfs", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DETAIL::isUserVisibleMount(mount(c.mountPoint, c.fsType), "/home/me"), c.visible) << c.mountPoint;
    EXPECT_FALSE(DETAIL::isUserVisibleMount(mount("/home/me/disk", "ext4"), ""));
}

TEST(MountKinds, AMountedOverMountPointIsOneVolumeWithTheMountInSight)
{
    const std::vector<tMountEntry> table = {
        mount("/", "ext4", 254, 28),      mount("/media/me/STICK", "vfat", 8, 40), mount("/proc", "proc", 0, 22),
        mount("/mnt/nas", "nfs4", 0, 41), mount("/media/me/STICK", "ext4", 8, 42),  // mounted over the first
    };
    const auto visible = DETAIL::userVisibleMounts(table, "/home/me");
    ASSERT_EQ(visible.size(), 3u);
    EXPECT_EQ(visible[0].mountPoint, "/");
    EXPECT_EQ(visible[1].mountPoint, "/media/me/STICK");
    EXPECT_EQ(visible[1].mountId, 42);
    EXPECT_EQ(visible[1].fsType, "ext4");
    EXPECT_EQ(visible[2].mountPoint, "/mnt/nas");
}

}  // namespace
