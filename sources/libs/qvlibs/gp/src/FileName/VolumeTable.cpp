// The volume naming rule and the installed volume table.
#include "GP/VolumeTable.h"

#include "FileName/PathComponents.h"
#include "GP/StringUtil.h"

#include <mutex>

namespace QV::GP::DETAIL {

namespace {

bool nameTaken(const std::vector<tMountedVolume>& volumes, const std::string& name)
{
    for (const tMountedVolume& volume : volumes) {
        if (wstrcmpc(volume.name.c_str(), name.c_str(), false) == 0)
            return true;
    }
    return false;
}

// The table and its lock live in a function so that static initialisers may already convert paths.
struct InstalledTable {
    std::mutex mutex;
    std::shared_ptr<const VolumeTable> table;
};

InstalledTable& installedTable()
{
    static InstalledTable* installed = new InstalledTable{{}, std::make_shared<FixedVolumeTable>()};
    return *installed;
}

}  // namespace

std::vector<tMountedVolume> nameVolumes(const std::vector<std::string>& mountPoints)
{
    std::vector<tMountedVolume> volumes{{kRootVolumeName, "/"}};
    for (const std::string& mountPoint : mountPoints) {
        if (mountPoint.empty() || mountPoint.front() != '/' || mountPoint.find('\0') != std::string::npos)
            continue;
        const std::vector<std::string> components = splitPosixComponents(mountPoint);
        if (components.empty())
            continue;  // the root, always first
        bool canonical = true;
        for (const std::string& component : components)
            canonical = canonical && component != "..";
        if (!canonical)
            continue;
        const std::string path = joinPosixComponents(components, components.size());
        bool repeated = false;
        for (const tMountedVolume& volume : volumes)
            repeated = repeated || volume.mountPoint == path;
        if (repeated)
            continue;

        const std::string base = swapSeparators(components.back());
        std::string name = base;
        for (int suffix = 2; nameTaken(volumes, name); ++suffix)
            name = base + " " + std::to_string(suffix);
        volumes.push_back({name, path});
    }
    return volumes;
}

std::vector<tMountedVolume> VolumeTable::volumes() const { return nameVolumes(mountPoints()); }

std::shared_ptr<const VolumeTable> VolumeTable::current()
{
    InstalledTable& installed = installedTable();
    std::lock_guard<std::mutex> lock(installed.mutex);
    return installed.table;
}

std::shared_ptr<const VolumeTable> VolumeTable::install(std::shared_ptr<const VolumeTable> table)
{
    if (!table)
        table = std::make_shared<FixedVolumeTable>();
    InstalledTable& installed = installedTable();
    std::lock_guard<std::mutex> lock(installed.mutex);
    installed.table.swap(table);
    return table;
}

}  // namespace QV::GP::DETAIL
