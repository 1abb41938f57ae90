// The mounted volumes with their reference numbers, as the volume list enumerates them.
#pragma once

#include "Volumes/MountInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

struct tVolumeRef {
    std::string name;  // as the installed volume table names it
    std::string mountPoint;
    std::int32_t refNum = 0;  // the mount id of the mount in sight at the mount point; 0 when unknown
};

// The installed volume table's volumes in its order, each with the mount id that `table` gives
// its mount point.
std::vector<tVolumeRef> mountedVolumes(const std::vector<tMountEntry>& table);

// The first volume with a non-empty name and a reference number whose name is exactly `name`; null
// when there is none.
const tVolumeRef* findVolume(const std::vector<tVolumeRef>& volumes, const std::string& name);

}  // namespace QV::GP::DETAIL
