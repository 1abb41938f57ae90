#include "Volumes/MountVolumeTable.h"

#include "Volumes/MountKinds.h"

namespace QV::GP::DETAIL {

std::vector<tMountEntry> userVisibleMounts(const std::vector<tMountEntry>& table, const std::string& homeFolder)
{
    std::vector<tMountEntry> visible;
    for (const tMountEntry& mount : table) {
        if (!isUserVisibleMount(mount, homeFolder))
            continue;
        bool replaced = false;
        for (tMountEntry& earlier : visible) {
            if (earlier.mountPoint == mount.mountPoint) {
                earlier = mount;
                replaced = true;
            }
        }
        if (!replaced)
            visible.push_back(mount);
    }
    return visible;
}

std::vector<std::string> MountVolumeTable::mountPoints() const
{
    std::vector<std::string> mountPoints;
    for (const tMountEntry& mount : userVisibleMounts(readMountTable(), m_homeFolder))
        mountPoints.push_back(mount.mountPoint);
    return mountPoints;
}

}  // namespace QV::GP::DETAIL
