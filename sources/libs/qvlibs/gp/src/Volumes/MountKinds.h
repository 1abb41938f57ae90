// What the volume list and the volume names make of one mount of the mount table.
#pragma once

#include "Volumes/MountInfo.h"

#include <cstdint>
#include <string>

namespace QV::GP::DETAIL {

// Whether a mount is a volume of its own, one that a person sees in a file manager: the root file
// system, and the mounts below /media/, /run/media/, /mnt/ or the user's home folder (not inside a
// hidden folder there) that are not kernel or session pseudo file systems (proc, cgroup, autofs, ...).
// Everything else belongs to the volume around it. `homeFolder` is an absolute path without a
// trailing '/'; empty when unknown.
bool isUserVisibleMount(const tMountEntry& mount, const std::string& homeFolder);

// The volume kind that the volume list gives a mount (eVolumeType bits of GP/VolumeManager.h), or 0
// when its file system is not listed:
//   - local disks: the Linux disk file systems (ext2/3/4, btrfs, xfs, f2fs, ...), the FAT, NTFS,
//     HFS, UFS and APFS drivers and FUSE block devices (ntfs-3g); on a CD or DVD drive (device major
//     11) they count as optical discs, as the drive's media decides;
//   - optical discs: iso9660, udf;
//   - network volumes: nfs, nfs4, cifs, smb3, smbfs, afpfs, sshfs and davfs;
//   - the root file system is the system disk: a local disk also when its file system is none of
//     these (overlay or tmpfs roots of containers and live systems).
// Left out: every other file system (exFAT among them). An audio CD has
// no file system on Linux (it is not mounted), so that kind is never given.
std::int32_t volumeKindOf(const tMountEntry& mount);

}  // namespace QV::GP::DETAIL
