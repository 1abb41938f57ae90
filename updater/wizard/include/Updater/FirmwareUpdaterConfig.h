// Everything device-specific that the generic wizard application needs: the texts it shows and the
// operations it calls. The application module fills it with the device's strings and with callbacks
// bound to the update logic; the application keeps it by reference and hands strings and callbacks
// on to the wizard. It does not own the logic and does not change after construction.
#pragma once

#include "DVK2/USBDeviceInfo.h"
#include "Updater/WizardTexts.h"

#include <boost/function.hpp>

#include <atomic>
#include <string>

namespace QV {

class FirmwareUpdaterConfig {
public:
    // One scan or reset; true when the controller is connected (in the mode asked for) afterwards.
    using tConnectFunction = boost::function<bool()>;
    // Starts the flashing worker with the caller's result: 0 while it runs, then 1, -1 or -2.
    // True when the worker was started; false with -1 when not connected in update mode.
    using tPerformUpdateFunction = boost::function<bool(std::atomic<int>&)>;
    // The device record, the installed-version text, the newest-version text and whether an update
    // is needed; the newest text is filled even without a connected controller.
    using tGetDeviceInfoFunction = boost::function<void(DVK2::USBDeviceInfo&, std::string&, std::string&, bool&)>;
    // True while the worker runs; waits up to 500 ms.
    using tIsUpdateRunningFunction = boost::function<bool()>;
    // Gives the worker up to 500 ms more, then asks it to stop.
    using tCloseRequestFunction = boost::function<void()>;
    // After a scan that connected nothing: true when a controller is connected that this user may
    // not open.
    using tRefusedFunction = boost::function<bool()>;

    // The version becomes the bundle's when it has one; the window title is the program name.
    FirmwareUpdaterConfig(std::string deviceName, std::string deviceImageKey, std::string deviceCode,
                          std::string programName, std::string applicationTitle, std::string noticeLine,
                          std::string version, std::string contributorLine1, std::string contributorLine2,
                          std::string contributorLine3, std::string contributorLine4, std::string contributorLine5,
                          std::string singleInstanceId, tConnectFunction connectInNormalMode,
                          tConnectFunction resetIntoUpdateMode, tConnectFunction connectInUpdateMode,
                          tPerformUpdateFunction performUpdate, tGetDeviceInfoFunction getDeviceInfo,
                          tIsUpdateRunningFunction isUpdateRunning, tCloseRequestFunction applicationCloseRequest);
    // The callbacks go first, then the strings (reverse order of the fields).
    ~FirmwareUpdaterConfig();
    FirmwareUpdaterConfig(const FirmwareUpdaterConfig&) = delete;
    FirmwareUpdaterConfig& operator=(const FirmwareUpdaterConfig&) = delete;

    // The display texts that the wizard shows.
    tWizardTexts wizardTexts() const;

    std::string m_deviceName;        // the wizard's placeholder %1%
    std::string m_deviceImageKey;    // the device picture's attribute "product"
    std::string m_deviceCode;        // kept with the device's strings; nothing shows it
    std::string m_programName;       // placeholder %3%, the About version line
    std::string m_applicationTitle;  // the application title, the headline and the About title
    std::string m_noticeLine;        // the About panel's legal notice
    std::string m_version;           // the About version line
    std::string m_contributorLine1;
    std::string m_contributorLine2;
    std::string m_contributorLine3;
    std::string m_contributorLine4;
    std::string m_contributorLine5;
    std::string m_windowTitle;       // a copy of the program name
    std::string m_singleInstanceId;  // the single-instance check's identifier
    tConnectFunction m_connectInNormalMode;
    tConnectFunction m_resetIntoUpdateMode;
    tConnectFunction m_connectInUpdateMode;
    tPerformUpdateFunction m_performUpdate;
    tGetDeviceInfoFunction m_getDeviceInfo;
    tIsUpdateRunningFunction m_isUpdateRunning;
    tCloseRequestFunction m_applicationCloseRequest;
    tRefusedFunction m_isControllerRefused;  // set after construction; empty: never refused
};

}  // namespace QV
