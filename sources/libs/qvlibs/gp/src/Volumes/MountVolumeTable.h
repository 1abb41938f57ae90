// The volume table over the system's mount table (GP/VolumeTable.h): the root and the user-visible
// mounts (MountKinds.h), read afresh on each call.
#pragma once

#include "GP/VolumeTable.h"
#include "Volumes/MountInfo.h"

#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// The user-visible mounts of a mount table in its order, one per mount point: where a mount point
// was mounted over, the last mount there (the one in sight) stands in the place of the first.
std::vector<tMountEntry> userVisibleMounts(const std::vector<tMountEntry>& table, const std::string& homeFolder);

class MountVolumeTable : public VolumeTable {
public:
    // `homeFolder`: absolute, without a trailing '/'; mounts below it are user-visible.
    explicit MountVolumeTable(std::string homeFolder) : m_homeFolder(std::move(homeFolder)) {}

    std::vector<std::string> mountPoints() const override;

private:
    const std::string m_homeFolder;
};

}  // namespace QV::GP::DETAIL
