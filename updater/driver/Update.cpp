#include "Update.h"

#include "Interruption.h"

#include <DVK2/DFUDevice.h>
#include <DVK2/Sleep.h>
#include <UpdateLogic/VDXUpdaterUpgradeLogic.h>

#include <boost/format.hpp>

#include <chrono>

namespace QV::Driver {

namespace {

using namespace std::chrono_literals;

// The wizard polls the worker's result on every 40 ms tick.
constexpr auto kPollInterval = 40ms;
// A controller that is not back at the first verification scan gets one more chance after this.
constexpr auto kVerificationRetryWait = 5s;

// The device and version lines; true when the installed firmware is the newest.
bool reportVersions(VDXUpdaterUpgradeLogic& logic, std::ostream& out, bool& updateNeeded)
{
    DVK2::USBDeviceInfo info;
    std::string installed, newest;
    updateNeeded = false;
    logic.getDeviceInfo(info, installed, newest, updateNeeded);
    if (logic.device().mode() == DVK2::DFUDevice::eModeUpdate) {
        out << boost::format("Controller %s: in firmware-update mode, left there by an interrupted update; "
                             "finishing the update\n") %
                   info.serialNumber;
        return false;
    }
    unsigned auxiliary = 0;
    logic.device().getCustomImageVersion(VDXUpdaterUpgradeLogic::kAuxiliaryImageIndex, auxiliary);
    out << boost::format("Controller %s: firmware %d / 0x%X (shown as \"%s\", newest \"%s\"), %s\n") %
               info.serialNumber % info.version % auxiliary % installed % newest %
               (updateNeeded ? "update needed" : "no update needed");
    return installed == newest;
}

}  // namespace

const char* const kNoAccessLine =
    "A controller is connected, but this user may not open it: install the udev rule 60-vardolin-studio.rules "
    "from the updater's bundle (README, \"Access to the controller\").";

eUpdateOutcome update(VDXUpdaterUpgradeLogic& logic, std::ostream& out,
                      std::chrono::steady_clock::duration resultDeadline)
{
    out << "Looking for the controller in application mode..." << std::endl;
    if (!logic.connectInNormalMode()) {
        if (logic.isControllerRefused()) {
            out << kNoAccessLine << std::endl;
            return eUpdateNoAccess;
        }
        out << "No controller found." << std::endl;
        return eUpdateNoController;
    }
    bool updateNeeded = false;
    reportVersions(logic, out, updateNeeded);
    if (!updateNeeded) {
        out << "Nothing to do: the firmware is up to date." << std::endl;
        return eUpdateNotNeeded;
    }

    // From the reset on, an interruption leaves the controller in firmware-update mode.
    setControllerInUpdateMode(true);
    if (logic.device().mode() != DVK2::DFUDevice::eModeUpdate)
        out << "Resetting the controller into firmware-update mode..." << std::endl;
    if (!logic.resetIntoUpdateMode()) {
        out << "The controller did not come back in firmware-update mode. Power-cycle it and try again." << std::endl;
        return eUpdateNoUpdateMode;
    }

    out << "Writing both firmware images..." << std::endl;
    VDXUpdaterUpgradeLogic::UpdateResult result{VDXUpdaterUpgradeLogic::eUpdateRunning};
    if (!logic.performUpdate(result)) {
        out << "The update could not start (error " << result.load() << ")." << std::endl;
        return eUpdateFailed;
    }
    const auto deadline = std::chrono::steady_clock::now() + resultDeadline;
    while (result.load() == VDXUpdaterUpgradeLogic::eUpdateRunning && std::chrono::steady_clock::now() < deadline)
        DVK2::sleepFor(kPollInterval);
    if (result.load() == VDXUpdaterUpgradeLogic::eUpdateRunning) {
        // Gives the worker a last moment, then stops it at its final wait: from here on it no
        // longer writes `result`.
        logic.applicationCloseRequest();
        if (result.load() == VDXUpdaterUpgradeLogic::eUpdateRunning) {
            out << "The update did not finish in time." << std::endl;
            return eUpdateFailed;
        }
    }
    // The worker has returned the controller to application mode (or tried to).
    setControllerInUpdateMode(false);
    if (result.load() < 0) {
        out << "The update failed (error " << result.load() << ")." << std::endl;
        return eUpdateFailed;
    }
    out << "Both images written; the controller restarts in application mode." << std::endl;

    out << "Verifying..." << std::endl;
    bool connected = logic.connectInNormalMode();
    if (!connected) {
        DVK2::sleepFor(kVerificationRetryWait);
        connected = logic.connectInNormalMode();
    }
    if (!connected) {
        out << "The controller did not come back after the update (error 1)." << std::endl;
        return eUpdateFailed;
    }
    if (!reportVersions(logic, out, updateNeeded)) {
        out << "The controller does not report the new firmware (error 1)." << std::endl;
        return eUpdateFailed;
    }
    out << "Update verified." << std::endl;
    return eUpdateVerified;
}

}  // namespace QV::Driver
