// The wizard's pages and the steps between them (the state table is in the header).
#include "DVK2/Sleep.h"
#include "GP/Format.h"
#include "PXT/Button.h"
#include "PXT/Label.h"
#include "PXT/MultilineLabel.h"
#include "UIA/Application.h"
#include "Updater/SpinningProgressWheel.h"
#include "Updater/UpdateWizardMainWidget.h"

#include <chrono>
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

// clang-format off
//                                      kind             ACTION    QUIT   QUIT text installed  busy   overlay off focus
const tPage kPageNoDeviceConnected   = {tPage::eInfo,    "RESCAN", true,  nullptr,  nullptr,   false, false, tPage::eFocusAction};
const tPage kPageNoUpdateAvailable   = {tPage::eSuccess, nullptr,  true,  nullptr,  "success", false, true,  tPage::eFocusQuit};
const tPage kPageUpdateAvailable     = {tPage::eInfo,    "UPDATE", true,  nullptr,  "fail",    false, true,  tPage::eFocusAction};
const tPage kPageUpdating            = {tPage::eInfo,    nullptr,  false, nullptr,  "neutral", true,  false, tPage::eFocusUnchanged};
const tPage kPageNoUpdateMode        = {tPage::eFailure, "RETRY",  true,  nullptr,  "neutral", false, false, tPage::eFocusAction};
const tPage kPageUpdateSuccessful    = {tPage::eSuccess, nullptr,  true,  "FINISH", "success", false, false, tPage::eFocusQuit};
const tPage kPageUpdateFailed        = {tPage::eFailure, nullptr,  true,  nullptr,  nullptr,   false, false, tPage::eFocusQuit};
// clang-format on

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
    showPageNoDeviceConnected();
    m_state = eStateNoDeviceConnected;
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
        if (showDeviceInfo(installed, newest)) {
            showPageUpdateAvailable();
            m_state = eStateUpdateAvailable;
        } else {
            showPageNoUpdateAvailable();
            m_state = eStateNoUpdateAvailable;
        }
        return;
    }
    case eStateUpdateAvailable:
        if (m_resetIntoUpdateMode()) {
            goToUpdating();
        } else {
            showPageNoUpdateMode();
            m_state = eStateNoUpdateMode;
        }
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
    showPageUpdating();
    m_state = eStateUpdating;
    startUpdate();
}

void UpdateWizardMainWidget::startUpdate()
{
    m_result = 0;
    if (m_performUpdate(m_result)) {
        setTimer(1);
        return;
    }
    showPageUpdateFailed(m_result);
    m_state = eStateUpdateFailed;
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
    if (result == 0) {
        m_spinningWheel->onTimer();
        setTimer(1);
    } else if (result < 0) {
        showPageUpdateFailed(result);
        m_state = eStateUpdateFailed;
    } else {
        verifyUpdate();
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
        showPageUpdateFailed(1);
        m_state = eStateUpdateFailed;
        return;
    }
    std::string installed, newest;
    showDeviceInfo(installed, newest);
    if (installed == newest) {
        showPageUpdateSuccessful();
        m_state = eStateUpdateSuccessful;
    } else {
        showPageUpdateFailed(1);
        m_state = eStateUpdateFailed;
    }
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
    return GP::DETAIL::FormatApply<char>::apply(boost::format(format), m_deviceName);
}

std::string UpdateWizardMainWidget::pageText(const char* format, int error) const
{
    return GP::DETAIL::FormatApply<char>::apply(boost::format(format), m_deviceName, error, m_programName);
}

void UpdateWizardMainWidget::showPage(const tPage& page, const std::string& text)
{
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

void UpdateWizardMainWidget::showPageNoDeviceConnected()
{
    resetFirmwareRevisionsAndSerialNumber();
    m_showsRefusal = false;
    showPage(kPageNoDeviceConnected, pageText(kTextNoDeviceConnected));
}

void UpdateWizardMainWidget::showPageNoUpdateAvailable()
{
    showPage(kPageNoUpdateAvailable, pageText(kTextNoUpdateAvailable));
}

void UpdateWizardMainWidget::showPageUpdateAvailable()
{
    showPage(kPageUpdateAvailable, pageText(kTextUpdateAvailable));
}

void UpdateWizardMainWidget::showPageUpdating() { showPage(kPageUpdating, pageText(kTextUpdating)); }

void UpdateWizardMainWidget::showPageNoUpdateMode() { showPage(kPageNoUpdateMode, pageText(kTextNoUpdateMode)); }

void UpdateWizardMainWidget::showPageUpdateSuccessful()
{
    showPage(kPageUpdateSuccessful, pageText(kTextUpdateSuccessful));
}

void UpdateWizardMainWidget::showPageUpdateFailed(int error)
{
    showPage(kPageUpdateFailed, pageText(kTextUpdateFailed, error));
}

}  // namespace QV
