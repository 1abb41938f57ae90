// The list of mounted volumes with their kinds, kept up to date by the mount notices
// (GP/DeviceNotification.h), and the listeners that hear when a volume comes or goes.
//
// The list begins with the user's home folder (kind eVolumeTypeHomeFolder, reference 0), followed
// by the volumes of the mount table in its order whose file system has a kind (see
// DETAIL::volumeKindOf in src/Volumes/MountKinds.h). Volumes are named as file names name them
// (GP/VolumeTable.h); the reference number is the kernel's mount id.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QV::GP {

// Volume kinds, bit values.
enum eVolumeType : std::int32_t {
    eVolumeTypeLocalDisk = 1,
    eVolumeTypeOptical = 2,
    eVolumeTypeNetwork = 16,
    eVolumeTypeAudioCD = 32,  // never given on Linux: an audio CD is not mounted
    eVolumeTypeHomeFolder = 64,
};

enum eVolumeChange : std::int32_t {
    eVolumeAdded = 0,
    eVolumeRemoved = 1,
};

struct VolumeInfo {
    std::string name;         // colon-style volume name; for the home folder its colon-style path
    std::int32_t type = 0;    // eVolumeType
    std::int32_t refNum = 0;  // the mount id; 0 for the home folder
};

// Hears of volumes that were added or removed. Called on the thread that delivers the mount notices
// (the main thread), without the volume list's lock held.
class VolumeListener {
public:
    virtual void onVolumeChange(eVolumeChange change, const VolumeInfo& volume) = 0;

protected:
    ~VolumeListener() = default;
};

class VolumeManager {
public:
    // Filters of a listener: an empty name, a type of 0 or a reference of 0 match any volume; a type
    // matches a volume that shares a bit with it.
    struct ListenerEntry {
        std::string volumeName;
        std::int32_t type = 0;
        std::int32_t refNum = 0;
        VolumeListener* listener = nullptr;
    };

    // Library start: creates the two locks (first call), installs the volume table over the
    // system's mount table (GP/VolumeTable.h), scans the volumes and registers for mount notices.
    // True.
    static bool init();
    // Library stop: unregisters from the mount notices, empties both lists, destroys the locks and
    // restores the volume table that was installed before init. Nothing when not started.
    static void deInit();
    static bool isInitialized();

    // Scans the volumes afresh; true when the list is not empty (it always holds the home folder
    // when the home folder is known).
    static bool rescan();
    // The scan; the caller holds the volume list's lock.
    static bool rescanInternal();

    // A volume came or went (from the mount notices): updates the list and tells the matching
    // listeners, the last registered first. Nothing when not started.
    static void onVolumeChange(eVolumeChange change, const VolumeInfo& volume);

    // A copy of the list; empty when not started.
    static std::vector<VolumeInfo> getVolumes();

    // Registers a listener with its filters (any thread); false when not started. A listener may be
    // registered more than once; each registration is called.
    static bool addListener(VolumeListener* listener, const std::string& volumeName = std::string(),
                            std::int32_t type = 0, std::int32_t refNum = 0);
    // Removes the listener's earliest registration; a listener removed while the listeners are being
    // told is not called afterwards, and no other listener is skipped.
    static void removeListener(VolumeListener* listener);
};

}  // namespace QV::GP
