// The kernel's mount table as this process sees it (/proc/self/mountinfo), one record per mount in
// the kernel's order. Reading it never touches the mounted file systems, so an unresponsive network
// mount cannot make it wait.
#pragma once

#include <string>
#include <vector>

namespace QV::GP::DETAIL {

struct tMountEntry {
    int mountId = 0;  // unique while mounted; the volume's reference number
    int parentId = 0;
    unsigned devMajor = 0;  // the device of the file system (major 0: no block device)
    unsigned devMinor = 0;
    std::string root;        // the folder of the file system mounted here
    std::string mountPoint;  // byte-exact, escapes undone
    std::string fsType;      // "ext4", "fuse.sshfs", ...
    std::string source;      // "/dev/sdb1", "server:/export", ...
};

// Parses mountinfo text. Lines that do not have the layout are skipped; a mount point keeps its bytes
// exactly (the kernel's octal escapes \040, \011, \012 and \134 are undone, nothing else changes).
std::vector<tMountEntry> parseMountInfo(const std::string& text);

// Reads and parses the mount table file (by default /proc/self/mountinfo); empty when it cannot be
// read. Thread-safe. The process's own table is kept between calls and read again only after the
// kernel flags a change; a file set by setMountTablePath is read on every call.
std::vector<tMountEntry> readMountTable();

// The file that readMountTable() reads; tests point it at a table of their own. An empty path
// restores /proc/self/mountinfo.
void setMountTablePath(const std::string& path);
std::string mountTablePath();

}  // namespace QV::GP::DETAIL
