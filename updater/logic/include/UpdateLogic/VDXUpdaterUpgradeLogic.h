// The device-specific part of the updater: the Vardolin Studio's filter, the two firmware images
// it carries, the versions they bring and the order in which they are written. It owns the DFU
// device and the update worker. Every operation but the flashing runs on the caller's (main)
// thread; performUpdate hands the device to the worker until the worker ends.
#pragma once

#include "DVK2/DFUDevice.h"
#include "DVK2/USBDeviceFilter.h"
#include "DVK2/USBDeviceInfo.h"

#include <boost/function.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace QV {

class VDXUpdaterUpgradeLogic {
public:
    // The update's result, written by performUpdate and, once, by the worker at its end. Shared
    // with the poller on the main thread, hence atomic.
    enum eUpdateResult : int {
        eUpdateRunning = 0,
        eUpdateDone = 1,              // both images written (the return to application mode is not checked)
        eUpdateNotInUpdateMode = -1,  // not connected in firmware-update mode, or no worker could be started
        eUpdateWriteFailed = -2,      // writing an image failed; DFU_ABORT was sent
    };
    using UpdateResult = std::atomic<int>;

    static constexpr uint16_t kFirmwareVersion = 33;     // bcdDevice that the main image brings
    static constexpr unsigned kAuxiliaryVersion = 0x67;  // version that the auxiliary image brings
    static constexpr uint8_t kAuxiliaryImageIndex = 1;

    // A logic over a real DFU device.
    VDXUpdaterUpgradeLogic();
    // A logic over the given device (never null).
    explicit VDXUpdaterUpgradeLogic(std::unique_ptr<DVK2::DFUDevice> device);
    // Interrupts a running worker and waits until it has ended, so that the worker never uses the
    // logic or its device after they are gone.
    virtual ~VDXUpdaterUpgradeLogic();
    VDXUpdaterUpgradeLogic(const VDXUpdaterUpgradeLogic&) = delete;
    VDXUpdaterUpgradeLogic& operator=(const VDXUpdaterUpgradeLogic&) = delete;

    // One scan for the controller in application mode; true when the device is connected. Until
    // this logic starts an update, a controller that answers only in firmware-update mode (left
    // there by an interrupted update) is taken when none answers in application mode. The first
    // controller connected is picked: from then on every scan of this logic takes only the
    // controller with its serial number, whatever else is on the bus.
    bool connectInNormalMode();
    // True when the last connectInNormalMode found no controller it could use, but one (in either
    // mode) that this user may not open: it is connected, and access to it is missing.
    bool isControllerRefused() const { return m_refusedForLackOfRights; }
    // Resets a connected controller into firmware-update mode and finds it again there.
    bool resetIntoUpdateMode();
    // Finds a controller that is already in firmware-update mode; sends nothing.
    bool connectInUpdateMode();
    // Starts the worker that writes both images. False with -1 when the controller is not connected
    // in update mode, when an earlier worker still runs, or when no thread could be created.
    // `result` is 0 while the worker runs and then 1 or -2. It must stay valid until the worker
    // has ended (isUpdateRunning() false), applicationCloseRequest() has returned or the logic is
    // destroyed: after either of the last two the worker no longer writes it.
    bool performUpdate(UpdateResult& result);
    // The controller's identity and its installed and newest versions as display texts; for a
    // controller in firmware-update mode the installed version is unknown ("-") and an update due.
    void getDeviceInfo(DVK2::USBDeviceInfo& info, std::string& installed, std::string& newest, bool& updateNeeded);
    // False when no worker is running; otherwise waits up to 500 ms for it to end.
    bool isUpdateRunning();
    // Gives a running worker 500 ms to end, then asks it to stop at its final wait and releases
    // the caller's result integer.
    void applicationCloseRequest();

    DVK2::DFUDevice& device() { return *m_device; }

protected:
    // Starts a thread running `body`; boost::thread_resource_error when it cannot.
    virtual boost::thread startWorker(boost::function<void()> body);

private:
    void scan(const DVK2::USBDeviceFilter& filter);
    void onDeviceFound(const DVK2::USBDeviceOSHandle& handle, const DVK2::USBDeviceFilter& filter);
    void flashFirmwares();
    void finishUpdate(int outcome);
    void releaseResult();

    std::unique_ptr<DVK2::DFUDevice> m_device;
    std::optional<std::string> m_pickedSerialNumber;  // the controller this logic updates, once found
    bool m_foundInUpdateMode = false;                 // the last scan took a controller already in firmware-update mode
    bool m_updateStarted = false;                     // a worker was started: from then on application mode only
    bool m_refusedForLackOfRights = false;            // see isControllerRefused
    boost::thread m_updateThread;
    std::mutex m_resultLock;
    UpdateResult* m_result = nullptr;  // the running update's result; null once released
};

}  // namespace QV
