// The volume list's listener of the mount notices.
#pragma once

#include "GP/DeviceNotification.h"

namespace QV::GP {

class DeviceNotificationHelper : public DeviceNotificationListener {
public:
    // A mount notice for a volume that is mounted, or an unmount notice for one that is not (any
    // more), goes to VolumeManager::onVolumeChange; anything else (an unmount that failed, a notice
    // that came too late) is ignored.
    void onVolumeChanged(eState state, const std::string& volumeName) override;
};

}  // namespace QV::GP
