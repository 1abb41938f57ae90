// The volume name of a mount point for the mount notices. A mount notice names a mount point that
// is in the volume table; an unmount notice names one that has already left it, so the names the
// volume list last saw are remembered (a name may carry a " 2" that the mount point alone does not
// tell).
#pragma once

#include "GP/VolumeTable.h"

#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// The name of the volume mounted at `mountPoint`: from the installed volume table, else the name it
// had when last remembered, else the name the naming rule gives it alone (its last component).
std::string volumeNameOfMountPoint(const std::string& mountPoint);

// Remembers the names of these volumes (the volume list calls it after every scan).
void rememberVolumeNames(const std::vector<tMountedVolume>& volumes);
// Forgets every remembered name.
void forgetVolumeNames();

}  // namespace QV::GP::DETAIL
