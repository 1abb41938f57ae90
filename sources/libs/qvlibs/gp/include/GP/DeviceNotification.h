// Mount and unmount notices for the parts of the platform core that care (the volume list).
//
// One observer object of a run-time Cocoa class receives the workspace's did-mount and did-unmount
// notifications on the main thread and hands each on to every listener with the volume's name: the
// name that file names give the mount point (GP/VolumeTable.h), "STICK" for /media/me/STICK.
#pragma once

#include <objc/runtime.h>

#include <string>
#include <vector>

namespace QV::GP {

class CriticalSection;

namespace OBJC {
class ClassFactory;
}

class DeviceNotificationListener {
public:
    enum eState : int {
        eStateMounted = 0,    // a device or volume appeared
        eStateUnmounted = 1,  // it went away
    };

    virtual void onDeviceChanged(eState) {}
    virtual void onDeviceChangedDetail(eState, const void*) {}
    virtual void onVolumeChanged(eState state, const std::string& volumeName) = 0;

protected:
    ~DeviceNotificationListener() = default;
};

class DeviceNotification {
public:
    // Starts the notices: makes the listener list's lock and the observer. True when started (also
    // when already started); false when the lock or the observer cannot be made.
    static bool init();
    // Stops them: releases the observer and destroys the lock. The listeners stay registered.
    static void deInit();
    static bool isInitialized() { return m_bInit; }

    // Makes the observer object, which registers with the workspace's notification centre.
    static bool initOS();
    static void deInitOS();

    // Appends a listener (any thread); ignored while stopped. The same listener may be added twice
    // and is then called twice.
    static void addListener(DeviceNotificationListener* listener);
    // Removes the listener's first registration (any thread); ignored while stopped or when it is not
    // registered. A listener removed during a broadcast is not called afterwards, and no other
    // listener is skipped.
    static void removeListener(DeviceNotificationListener* listener);

    // Tells every listener, in the order they were added, under the list's lock. A listener may add
    // or remove listeners from within its call; listeners added then are called in the same round.
    static void onVolumeChanged(DeviceNotificationListener::eState state, const std::string& volumeName);

private:
    static std::vector<DeviceNotificationListener*> m_collListeners;
    static CriticalSection* m_aListenerCS;
    static bool m_bInit;
};

// The run-time class of the observer ("ComOrvendalCocoaDeviceNotificationListener", NSObject) and
// the one observer object while the notices run.
class QVDeviceNotificationListener {
public:
    static objc_class* theClass;
    static OBJC::ClassFactory s_theClassFactory;
    static id s_pNSListener;
};

}  // namespace QV::GP
