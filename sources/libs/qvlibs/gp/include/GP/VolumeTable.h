// The mounted volumes as file names see them, and the one rule that names them.
//
// Colon-style file names begin with a volume name ("Linux:home:me:notes.txt"). On Linux:
//   - the root file system is the volume "Linux" (kRootVolumeName), mounted at "/";
//   - every other user-visible mount is a volume named by the last component of its mount point
//     (/media/me/STICK -> "STICK"), a ':' in it written as '/' (colon-style names cannot hold ':');
//   - names are unique, letter case ignored: a name already taken by an earlier volume gets " 2",
//     " 3", ... appended (the root comes first, so a mount at /mnt/Linux becomes "Linux 2");
//   - a path belongs to the volume with the longest mount point that contains it, component-wise
//     (/media/me/STICK2 is not on STICK); mounts that are not listed belong to the volume around them.
// The conversions between POSIX paths and colon-style names (GP/FileName.h), the volume list and the
// mount notices all name volumes through the installed table, so they agree.
//
// The file manager installs a table over the system's mount table at start-up; until then (and in
// tests) the default table knows only the root. Tests install a FixedVolumeTable.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// The volume name of the root file system.
inline constexpr const char kRootVolumeName[] = "Linux";

struct tMountedVolume {
    std::string name;        // colon-style volume name, unique in its table (letter case ignored)
    std::string mountPoint;  // absolute POSIX path, byte-exact, without a trailing '/' ("/" for the root)
};

// Names a list of mount points by the rule above: the root first (also when "/" is not listed), then
// the others in their order. Entries that are not absolute paths, repeat an earlier mount point, or
// hold a NUL byte are left out; a trailing '/' is ignored.
std::vector<tMountedVolume> nameVolumes(const std::vector<std::string>& mountPoints);

class VolumeTable {
public:
    virtual ~VolumeTable() = default;

    // The mount points of the user-visible volumes in mount-table order: absolute POSIX paths,
    // byte-exact (escapes of the mount table decoded). "/" may be left out; it is always a volume.
    // Called on every path conversion, from any thread: must be thread-safe, should be quick and must
    // not wait for an unresponsive file system.
    virtual std::vector<std::string> mountPoints() const = 0;

    // The named volumes: nameVolumes(mountPoints()).
    std::vector<tMountedVolume> volumes() const;

    // The installed table (never null). Thread-safe.
    static std::shared_ptr<const VolumeTable> current();
    // Installs a table for the whole process and returns the previous one; null restores the default,
    // which knows only the root.
    static std::shared_ptr<const VolumeTable> install(std::shared_ptr<const VolumeTable> table);
};

// A table of mount points given up front: the default (root only) and the tests' tables.
class FixedVolumeTable : public VolumeTable {
public:
    explicit FixedVolumeTable(std::vector<std::string> mountPoints = {}) : m_mountPoints(std::move(mountPoints)) {}
    std::vector<std::string> mountPoints() const override { return m_mountPoints; }

private:
    std::vector<std::string> m_mountPoints;
};

}  // namespace QV::GP::DETAIL
