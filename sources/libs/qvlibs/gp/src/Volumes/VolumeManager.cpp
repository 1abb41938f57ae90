#include "GP/VolumeManager.h"

#include "GP/CriticalSection.h"
#include "GP/DeviceNotification.h"
#include "GP/FileName.h"
#include "GP/SystemFolders.h"
#include "Volumes/DeviceNotificationHelper.h"
#include "Volumes/MountKinds.h"
#include "Volumes/MountVolumeTable.h"
#include "Volumes/MountedVolumes.h"
#include "Volumes/VolumeNames.h"

#include <algorithm>
#include <memory>

namespace QV::GP {

namespace {

// The volume list and the listener list, each with its own lock; never both held at once.
CriticalSection s_csVolInfos;
std::vector<VolumeInfo> s_collVolumeInfos;
CriticalSection s_csListeners;
std::vector<VolumeManager::ListenerEntry> s_collListeners;
bool s_bInitialized = false;
DeviceNotificationHelper s_aDeviceNotificationHelper;
std::shared_ptr<const DETAIL::VolumeTable> s_previousTable;  // restored by deInit

// The listener rounds under way on the thread that holds the listener lock (a listener may cause
// another round): for each, how many listeners at the front of the list are still to be called.
// Removing one of those moves the count back, so that no other listener is skipped.
std::vector<size_t*> s_listenerRounds;

class ListenerRound {
public:
    explicit ListenerRound(size_t count) : m_remaining(count) { s_listenerRounds.push_back(&m_remaining); }
    ~ListenerRound() { s_listenerRounds.pop_back(); }
    ListenerRound(const ListenerRound&) = delete;
    ListenerRound& operator=(const ListenerRound&) = delete;

    size_t m_remaining;
};

bool matches(const VolumeManager::ListenerEntry& entry, const VolumeInfo& volume)
{
    return (entry.volumeName.empty() || entry.volumeName == volume.name) &&
           (entry.type == 0 || (entry.type & volume.type) != 0) && (entry.refNum == 0 || entry.refNum == volume.refNum);
}

std::string withoutTrailingColon(std::string text)
{
    if (!text.empty() && text.back() == FileName::DIR_SEPARATOR)
        text.pop_back();
    return text;
}

}  // namespace

bool VolumeManager::init()
{
    if (s_bInitialized)
        return true;
    if (!s_csVolInfos.init() || !s_csListeners.init())
        return false;
    s_previousTable =
        DETAIL::VolumeTable::install(std::make_shared<DETAIL::MountVolumeTable>(DETAIL::currentFolderSources().home));
    s_bInitialized = true;
    rescan();
    DeviceNotification::addListener(&s_aDeviceNotificationHelper);
    return true;
}

void VolumeManager::deInit()
{
    if (!s_bInitialized)
        return;
    DeviceNotification::removeListener(&s_aDeviceNotificationHelper);
    s_bInitialized = false;
    {
        const CriticalSection::Guard guard(s_csVolInfos);
        s_collVolumeInfos.clear();
    }
    {
        const CriticalSection::Guard guard(s_csListeners);
        s_collListeners.clear();
    }
    DETAIL::VolumeTable::install(std::move(s_previousTable));
    s_previousTable = nullptr;
    DETAIL::forgetVolumeNames();
    s_csVolInfos.deInit();
    s_csListeners.deInit();
}

bool VolumeManager::isInitialized() { return s_bInitialized; }

bool VolumeManager::rescan()
{
    if (!s_bInitialized)
        return false;
    const CriticalSection::Guard guard(s_csVolInfos);
    return rescanInternal();
}

bool VolumeManager::rescanInternal()
{
    s_collVolumeInfos.clear();

    FileName home;
    if (getSystemFolder(kOnAppropriateDisk, kCurrentUserFolderType, home, false))
        s_collVolumeInfos.push_back(VolumeInfo{withoutTrailingColon(home.getFull()), eVolumeTypeHomeFolder, 0});

    const std::vector<DETAIL::tMountEntry> table = DETAIL::readMountTable();
    const std::vector<DETAIL::tVolumeRef> volumes = DETAIL::mountedVolumes(table);
    std::vector<DETAIL::tMountedVolume> names;
    for (const DETAIL::tVolumeRef& volume : volumes)
        names.push_back({volume.name, volume.mountPoint});
    DETAIL::rememberVolumeNames(names);

    for (const DETAIL::tVolumeRef& volume : volumes) {
        // The mount in sight at the volume's mount point decides its kind.
        const auto mount = std::find_if(table.rbegin(), table.rend(), [&](const DETAIL::tMountEntry& entry) {
            return entry.mountPoint == volume.mountPoint;
        });
        if (mount == table.rend())
            continue;
        const std::int32_t kind = DETAIL::volumeKindOf(*mount);
        if (kind == 0)
            continue;
        const std::string name = withoutTrailingColon(FileName::POSIX2HFSPath(volume.mountPoint));
        if (const DETAIL::tVolumeRef* found = DETAIL::findVolume(volumes, name))
            s_collVolumeInfos.push_back(VolumeInfo{name, kind, found->refNum});
    }
    return !s_collVolumeInfos.empty();
}

void VolumeManager::onVolumeChange(eVolumeChange change, const VolumeInfo& volume)
{
    if (!s_bInitialized)
        return;
    VolumeInfo reported = volume;
    {
        const CriticalSection::Guard guard(s_csVolInfos);
        if (change == eVolumeAdded)
            rescanInternal();
        const auto entry = std::find_if(s_collVolumeInfos.begin(), s_collVolumeInfos.end(),
                                        [&](const VolumeInfo& info) { return info.name == volume.name; });
        if (entry != s_collVolumeInfos.end()) {
            reported.type = entry->type;
            if (reported.refNum == 0)
                reported.refNum = entry->refNum;  // a removed volume's notice carries none
            if (change == eVolumeRemoved)
                s_collVolumeInfos.erase(entry);
        }
    }
    const CriticalSection::Guard guard(s_csListeners);
    // The last registered first; the list is read again after every call.
    ListenerRound round(s_collListeners.size());
    while (round.m_remaining > 0) {
        const ListenerEntry entry = s_collListeners[--round.m_remaining];
        if (matches(entry, reported))
            entry.listener->onVolumeChange(change, reported);
    }
}

std::vector<VolumeInfo> VolumeManager::getVolumes()
{
    if (!s_bInitialized)
        return {};
    const CriticalSection::Guard guard(s_csVolInfos);
    return s_collVolumeInfos;
}

bool VolumeManager::addListener(VolumeListener* listener, const std::string& volumeName, std::int32_t type,
                                std::int32_t refNum)
{
    if (!s_bInitialized || !listener)
        return false;
    const CriticalSection::Guard guard(s_csListeners);
    s_collListeners.push_back(ListenerEntry{volumeName, type, refNum, listener});
    return true;
}

void VolumeManager::removeListener(VolumeListener* listener)
{
    if (!s_bInitialized)
        return;
    const CriticalSection::Guard guard(s_csListeners);
    const auto found = std::find_if(s_collListeners.begin(), s_collListeners.end(),
                                    [&](const ListenerEntry& entry) { return entry.listener == listener; });
    if (found == s_collListeners.end())
        return;
    const size_t removed = static_cast<size_t>(found - s_collListeners.begin());
    s_collListeners.erase(found);
    for (size_t* remaining : s_listenerRounds)
        if (removed < *remaining)
            --*remaining;
}

}  // namespace QV::GP
