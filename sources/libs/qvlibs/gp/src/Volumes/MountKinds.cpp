#include "Volumes/MountKinds.h"

#include "GP/VolumeManager.h"

#include <algorithm>
#include <iterator>

namespace QV::GP::DETAIL {

namespace {

// The block major number of SCSI CD-ROM drives (/dev/sr*).
constexpr unsigned kCdRomMajor = 11;

const char* const kLocalDiskTypes[] = {
    "ext2",     "ext3", "ext4",  "btrfs", "xfs",  "f2fs",  "jfs", "reiserfs", "nilfs2", "zfs",
    "bcachefs", "vfat", "msdos", "fat",   "ntfs", "ntfs3", "hfs", "hfsplus",  "ufs",    "apfs",
    "fuseblk",  // FUSE on a block device: ntfs-3g
};
const char* const kOpticalTypes[] = {"iso9660", "udf"};
const char* const kNetworkTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "afpfs", "fuse.sshfs", "davfs"};

// Kernel, session and automounter file systems: never a volume of their own.
const char* const kPseudoTypes[] = {
    "autofs",    "proc",     "sysfs",      "devtmpfs", "devpts",   "cgroup",    "cgroup2",     "securityfs",
    "debugfs",   "tracefs",  "pstore",     "bpf",      "configfs", "fusectl",   "binfmt_misc", "mqueue",
    "hugetlbfs", "efivarfs", "rpc_pipefs", "nfsd",     "nsfs",     "selinuxfs", "fuse.portal", "fuse.gvfsd-fuse",
};

template <size_t N>
bool isOneOf(const std::string& type, const char* const (&types)[N])
{
    return std::any_of(std::begin(types), std::end(types), [&](const char* t) { return type == t; });
}

// True when `path` lies strictly below `folder` (component-wise).
bool isBelow(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0)
        return false;
    return folder == "/" || path[folder.size()] == '/';
}

bool hasHiddenComponent(const std::string& relative)
{
    return !relative.empty() && (relative[0] == '.' || relative.find("/.") != std::string::npos);
}

}  // namespace

bool isUserVisibleMount(const tMountEntry& mount, const std::string& homeFolder)
{
    if (mount.mountPoint == "/")
        return true;
    if (isOneOf(mount.fsType, kPseudoTypes))
        return false;
    for (const char* place : {"/media", "/run/media", "/mnt"})
        if (isBelow(mount.mountPoint, place))
            return true;
    return homeFolder != "/" && isBelow(mount.mountPoint, homeFolder) &&
           !hasHiddenComponent(mount.mountPoint.substr(homeFolder.size() + 1));
}

std::int32_t volumeKindOf(const tMountEntry& mount)
{
    if (isOneOf(mount.fsType, kLocalDiskTypes))
        return mount.devMajor == kCdRomMajor ? eVolumeTypeOptical : eVolumeTypeLocalDisk;
    if (isOneOf(mount.fsType, kOpticalTypes))
        return eVolumeTypeOptical;
    if (isOneOf(mount.fsType, kNetworkTypes))
        return eVolumeTypeNetwork;
    return mount.mountPoint == "/" ? eVolumeTypeLocalDisk : 0;
}

}  // namespace QV::GP::DETAIL
