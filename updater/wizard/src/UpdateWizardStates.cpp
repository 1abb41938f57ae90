// The wizard's pages and the steps between them (the state table is in the header).
#include "DVK2/Sleep.h"
#include "GP/Format.h"
#include "PXT/Button.h"
#include "PXT/Label.h"
#include "PXT/MultilineLabel.h"
#include "UIA/Application.h"
#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"
#include "Updater/SpinningProgressWheel.h"
#include "Updater/UpdateWizardMainWidget.h"

#include <chrono>
#include <iterator>
#include <utility>

namespace QV {

namespace {

// The wait before the one repeated scan of the verification.
constexpr std::chrono::seconds kVerifyRetryDelay(5);

const char* const kTextNoDeviceConnected = "Please connect your %1% and click RESCAN.";
const char* const kTextNoAccess =
    "Your %1% is connected, but this user may not open it. Install the udev rule 60-vardolin-studio.rules from the "
    "updater's Contents/Resources folder (README, \"Access to the controller\"), reconnect the %1% and click RESCAN.";
const char* const kTextNoUpdateAvailable = "Currently there is no newer firmware for your %1%.";
const char* const kTextUpdateAvailable = "A firmware update is available for your %1%. To update the firmware now, "
                                         "click UPDATE. To update the firmware later, click QUIT.";
const char* const kTextUpdating = "Please stand by while your %1% is being updated and do not disconnect it from USB.";
const char* const kTextNoUpdateMode =
    "Your %1% failed to boot into firmware update mode and could not be properly updated. To boot your %1% into "
    "firmware update mode, please power-cycle it and click RETRY.";
const char* const kTextUpdateSuccessful = "The firmware of your %1% was successfully updated.";
const char* const kTextUpdateFailed =
    "An error occurred while updating your %1% (error %2%). Please disconnect the %1%, unpower it and quit the %3%. "
    "Then reconnect the %1%, restart %3% and try performing the update again. Alternatively contact the QV "
    "Technical Support.";

// The ACTION text of the pages without an action (the button is hidden there).
const char* const kNoActionText = "<disabled>";

}  // namespace

struct UpdateWizardMainWidget::tPage {
    enum eKind {
        eInfo,
        eSuccess,
        eFailure
    };
    enum eFocus {
        eFocusAction,
        eFocusQuit,
        eFocusUnchanged
    };

    const char* text;  // %1% the device name; on the failure page %2% the error, %3% the program name
    eKind kind;
    const char* actionText;  // null: no action, the button hidden
    bool quitShown;
    const char* quitText;        // null: unchanged
    const char* installedState;  // the installed version's "state"; null: unchanged
    bool busy;                   // the wheel spins in place of the icon
    bool hideDeviceOverlay;
    eFocus focus;
};

namespace {

using tPage = UpdateWizardMainWidget::tPage;
using tResult = VDXUpdaterUpgradeLogic::eUpdateResult;

// A written update that the controller does not confirm shows the worker's own result.
constexpr int kErrorNotVerified = VDXUpdaterUpgradeLogic::eUpdateDone;

// One page per state, in the order of the states.
// clang-format off
//                            text                     kind             ACTION    QUIT   QUIT text installed  busy   overlay off focus
const tPage kPages[] = {
    /* no device connected */ {kTextNoDeviceConnected, tPage::eInfo,    "RESCAN", true,  nullptr,  nullptr,   false, false, tPage::eFocusAction},
    /* no update available */ {kTextNoUpdateAvailable, tPage::eSuccess, nullptr,  true,  nullptr,  "success", false, true,  tPage::eFocusQuit},
    /* update available */    {kTextUpdateAvailable,   tPage::eInfo,    "UPDATE", true,  nullptr,  "fail",    false, true,  tPage::eFocusAction},
    /* updating */            {kTextUpdating,          tPage::eInfo,    nullptr,  false, nullptr,  "neutral", true,  false, tPage::eFocusUnchanged},
    /* no update mode */      {kTextNoUpdateMode,      tPage::eFailure, "RETRY",  true,  nullptr,  "neutral", false, false, tPage::eFocusAction},
    /* update successful */   {kTextUpdateSuccessful,  tPage::eSuccess, nullptr,  true,  "FINISH", "success", false, false, tPage::eFocusQuit},
    /* update failed */       {kTextUpdateFailed,      tPage::eFailure, nullptr,  true,  nullptr,  nullptr,   false, false, tPage::eFocusQuit},
};
// clang-format on
static_assert(std::size(kPages) == UpdateWizardMainWidget::kStateCount, "one page per state");

}  // namespace

void UpdateWizardMainWidget::run(FirmwareUpdaterConfig::tConnectFunction connectInNormalMode,
                                 FirmwareUpdaterConfig::tConnectFunction resetIntoUpdateMode,
                                 FirmwareUpdaterConfig::tConnectFunction connectInUpdateMode,
                                 FirmwareUpdaterConfig::tPerformUpdateFunction performUpdate,
                                 FirmwareUpdaterConfig::tGetDeviceInfoFunction getDeviceInfo,
                                 FirmwareUpdaterConfig::tRefusedFunction isControllerRefused)
{
    m_isControllerRefused = std::move(isControllerRefused);
    m_connectInNormalMode = std::move(connectInNormalMode);
    m_resetIntoUpdateMode = std::move(resetIntoUpdateMode);
    m_connectInUpdateMode = std::move(connectInUpdateMode);
    m_performUpdate = std::move(performUpdate);
    m_getDeviceInfo = std::move(getDeviceInfo);
    enter(eStateNoDeviceConnected);
    onAction();
}

void UpdateWizardMainWidget::onAction()
{
    switch (m_state) {
    case eStateNoDeviceConnected: {
        if (!m_connectInNormalMode()) {
            showNoDeviceText();
            return;
        }
        std::string installed, newest;
        enter(showDeviceInfo(installed, newest) ? eStateUpdateAvailable : eStateNoUpdateAvailable);
        return;
    }
    case eStateUpdateAvailable:
        if (m_resetIntoUpdateMode())
            goToUpdating();
        else
            enter(eStateNoUpdateMode);
        return;
    case eStateUpdating: startUpdate(); return;
    case eStateNoUpdateMode:
        // A controller left in update mode by the failed attempt first, then the whole reset again.
        if (m_connectInUpdateMode() || (m_connectInNormalMode() && m_resetIntoUpdateMode()))
            goToUpdating();
        return;
    case eStateNoUpdateAvailable:
    case eStateUpdateSuccessful:
    case eStateUpdateFailed: return;
    }
}

void UpdateWizardMainWidget::showNoDeviceText()
{
    const bool refused = m_isControllerRefused && m_isControllerRefused();
    if (refused == m_showsRefusal)
        return;  // the page stays as it is
    m_showsRefusal = refused;
    setInfoPanelInfo(pageText(refused ? kTextNoAccess : kTextNoDeviceConnected));
}

void UpdateWizardMainWidget::goToUpdating()
{
    enter(eStateUpdating);
    startUpdate();
}

void UpdateWizardMainWidget::startUpdate()
{
    m_result = tResult::eUpdateRunning;
    if (m_performUpdate(m_result)) {
        setTimer(1);
        return;
    }
    enter(eStateUpdateFailed, m_result);
}

void UpdateWizardMainWidget::onQuit()
{
    // No update runs outside the updating page, so nothing needs asking.
    if (m_state == eStateUpdating)
        return;
    if (UIA::Application* application = UIA::Application::getApplication())
        application->postQuit();
}

void UpdateWizardMainWidget::onTimer()
{
    if (m_state != eStateUpdating)
        return;
    const int result = m_result;
    if (result == tResult::eUpdateRunning) {
        m_spinningWheel->onTimer();
        setTimer(1);
    } else if (result == tResult::eUpdateDone) {
        verifyUpdate();
    } else {
        enter(eStateUpdateFailed, result);
    }
}

void UpdateWizardMainWidget::verifyUpdate()
{
    // The controller restarts after the update; it may need a while to come back.
    bool connected = m_connectInNormalMode();
    if (!connected) {
        DVK2::sleepFor(kVerifyRetryDelay);
        connected = m_connectInNormalMode();
    }
    if (!connected) {
        enter(eStateUpdateFailed, kErrorNotVerified);
        return;
    }
    std::string installed, newest;
    showDeviceInfo(installed, newest);
    if (installed == newest)
        enter(eStateUpdateSuccessful);
    else
        enter(eStateUpdateFailed, kErrorNotVerified);
}

bool UpdateWizardMainWidget::showDeviceInfo(std::string& installed, std::string& newest)
{
    DVK2::USBDeviceInfo info;
    bool updateNeeded = false;
    m_getDeviceInfo(info, installed, newest, updateNeeded);
    m_serialNumberValue->setText(info.serialNumber);
    m_installedRevisionValue->setText(installed);
    m_newestRevisionValue->setText(newest);
    return updateNeeded;
}

void UpdateWizardMainWidget::resetFirmwareRevisionsAndSerialNumber()
{
    DVK2::USBDeviceInfo info;
    std::string installed, newest;
    bool updateNeeded = false;
    m_getDeviceInfo(info, installed, newest, updateNeeded);
    m_installedRevisionValue->setText("-");
    m_serialNumberValue->setText("-");
    m_newestRevisionValue->setText(newest);
}

std::string UpdateWizardMainWidget::pageText(const char* format) const
{
    return GP::formatText(format, m_texts.deviceName);
}

std::string UpdateWizardMainWidget::pageText(const char* format, int error) const
{
    return GP::formatText(format, m_texts.deviceName, error, m_texts.programName);
}

void UpdateWizardMainWidget::enter(eWizardState state, int error)
{
    m_state = state;
    const tPage& page = kPages[state];
    if (state == eStateNoDeviceConnected) {
        resetFirmwareRevisionsAndSerialNumber();
        m_showsRefusal = false;
    }
    const std::string text = state == eStateUpdateFailed ? pageText(page.text, error) : pageText(page.text);
    switch (page.kind) {
    case tPage::eInfo: setInfoPanelInfo(text); break;
    case tPage::eSuccess: setInfoPanelSuccess(text); break;
    case tPage::eFailure: setInfoPanelFailure(text); break;
    }
    m_actionButton->setText(page.actionText ? page.actionText : kNoActionText);
    m_actionButton->setActive(page.actionText != nullptr);
    if (page.quitText)
        m_quitButton->setText(page.quitText);
    m_quitButton->setActive(page.quitShown);
    if (page.installedState)
        m_installedRevisionValue->setAttribute("state", page.installedState);
    m_infoIcon->setActive(!page.busy);
    m_spinningWheel->setActive(page.busy);
    m_spinningWheel->setSpinning(page.busy);
    if (page.hideDeviceOverlay)
        m_deviceImageOverlay->setActive(false);
    switch (page.focus) {
    case tPage::eFocusAction: setFocusOnButton(m_actionButton); break;
    case tPage::eFocusQuit: setFocusOnButton(m_quitButton); break;
    case tPage::eFocusUnchanged: break;
    }
}

}  // namespace QV
