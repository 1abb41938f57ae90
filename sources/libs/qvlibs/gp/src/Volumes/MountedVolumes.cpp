#include "Volumes/MountedVolumes.h"

#include "GP/VolumeTable.h"

namespace QV::GP::DETAIL {

std::vector<tVolumeRef> mountedVolumes(const std::vector<tMountEntry>& table)
{
    std::vector<tVolumeRef> volumes;
    for (const tMountedVolume& volume : VolumeTable::current()->volumes()) {
        tVolumeRef ref{volume.name, volume.mountPoint, 0};
        for (const tMountEntry& mount : table)  // the last mount at a mount point is the one in sight
            if (mount.mountPoint == volume.mountPoint)
                ref.refNum = mount.mountId;
        volumes.push_back(std::move(ref));
    }
    return volumes;
}

const tVolumeRef* findVolume(const std::vector<tVolumeRef>& volumes, const std::string& name)
{
    for (const tVolumeRef& volume : volumes)
        if (!volume.name.empty() && volume.refNum != 0 && volume.name == name)
            return &volume;
    return nullptr;
}

}  // namespace QV::GP::DETAIL
