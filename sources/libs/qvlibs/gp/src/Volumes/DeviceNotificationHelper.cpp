#include "Volumes/DeviceNotificationHelper.h"

#include "GP/VolumeManager.h"
#include "Volumes/MountedVolumes.h"

namespace QV::GP {

void DeviceNotificationHelper::onVolumeChanged(eState state, const std::string& volumeName)
{
    const std::vector<DETAIL::tVolumeRef> volumes = DETAIL::mountedVolumes(DETAIL::readMountTable());
    const DETAIL::tVolumeRef* volume = DETAIL::findVolume(volumes, volumeName);
    if (state == eStateMounted && volume)
        VolumeManager::onVolumeChange(eVolumeAdded, VolumeInfo{volumeName, 0, volume->refNum});
    else if (state == eStateUnmounted && !volume)
        VolumeManager::onVolumeChange(eVolumeRemoved, VolumeInfo{volumeName, 0, 0});
}

}  // namespace QV::GP
