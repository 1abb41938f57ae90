#include "Volumes/VolumeNames.h"

#include <map>
#include <mutex>

namespace QV::GP::DETAIL {

namespace {

std::mutex s_lock;
std::map<std::string, std::string> s_names;  // mount point -> volume name

bool findName(const std::vector<tMountedVolume>& volumes, const std::string& mountPoint, std::string& name)
{
    for (const tMountedVolume& volume : volumes) {
        if (volume.mountPoint == mountPoint) {
            name = volume.name;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string volumeNameOfMountPoint(const std::string& mountPoint)
{
    // The table keeps mount points without a trailing '/'.
    std::string path = mountPoint;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();

    std::string name;
    if (findName(VolumeTable::current()->volumes(), path, name))
        return name;
    {
        const std::lock_guard<std::mutex> lock(s_lock);
        const auto remembered = s_names.find(path);
        if (remembered != s_names.end())
            return remembered->second;
    }
    if (findName(nameVolumes({path}), path, name))
        return name;
    return mountPoint;  // not a path the rule can name: reported as it came
}

void rememberVolumeNames(const std::vector<tMountedVolume>& volumes)
{
    const std::lock_guard<std::mutex> lock(s_lock);
    for (const tMountedVolume& volume : volumes)
        s_names[volume.mountPoint] = volume.name;
}

void forgetVolumeNames()
{
    const std::lock_guard<std::mutex> lock(s_lock);
    s_names.clear();
}

}  // namespace QV::GP::DETAIL
