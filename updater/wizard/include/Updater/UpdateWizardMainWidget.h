// The whole content of the updater's window: a small state machine that walks the user from
// connecting the controller to a controller with updated firmware, shown as seven pages of one
// widget tree. It reaches the update logic only through the five wizard callbacks of
// FirmwareUpdaterConfig. Main thread only, except the result integer, which the update worker
// writes while the wizard polls it every 40 ms tick.
//
// States and steps (ACTION is the page's action button; "timer" is the 40 ms poll in state 3):
//
//   state                       | ACTION / timer                       | result
//   ----------------------------+--------------------------------------+------------------------------
//   0 no device connected       | connectInNormalMode                  | false: 0 (the text says whether
//                               |                                      | access is missing); up to
//                               |                                      | date: 1; update needed: 2
//   1 no update available       | -                                    | final
//   2 update available          | resetIntoUpdateMode                  | true: 3 (update starts);
//                               |                                      | false: 4
//   3 updating                  | ACTION: performUpdate(result)        | not started: 6 (error -1)
//                               | timer: result 0 spins the wheel,     | < 0: 6 (that error);
//                               |        result != 0 ends the update   | > 0: verified 5, else 6 (1)
//   4 failed to enter update    | connectInUpdateMode, else            | connected: 3; else 4
//     mode                      | connectInNormalMode+resetIntoUpdate  |
//   5 update successful         | -                                    | final
//   6 update failed             | -                                    | final
//
// The verification after a written update scans once more after a 5 s wait (through the USB
// library's sleep) when the first scan misses the controller. QUIT quits at once except in state 3.
#pragma once

#include "PXT/Bar.h"
#include "Updater/FirmwareUpdaterConfig.h"
#include "Updater/WizardTexts.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace QV::PXT {
class Button;
class Label;
class MultilineLabel;
}  // namespace QV::PXT

namespace QV {

class SpinningProgressWheel;

class UpdateWizardMainWidget : public PXT::Bar {
public:
    enum eWizardState : int {
        eStateNoDeviceConnected = 0,
        eStateNoUpdateAvailable = 1,
        eStateUpdateAvailable = 2,
        eStateUpdating = 3,
        eStateNoUpdateMode = 4,
        eStateUpdateSuccessful = 5,
        eStateUpdateFailed = 6,
    };
    static constexpr std::size_t kStateCount = eStateUpdateFailed + 1;

    // The area the About panel takes in the middle of the overlay.
    static constexpr int kAboutWidth = 450;
    static constexpr int kAboutHeight = 274;

    // Builds the whole tree with the configuration's display texts.
    explicit UpdateWizardMainWidget(tWizardTexts texts);
    ~UpdateWizardMainWidget() override;

    // Stores the callbacks, shows the first page and scans for the controller at once. With
    // isControllerRefused, the first page says so when the controller is connected but this user
    // may not open it.
    void run(FirmwareUpdaterConfig::tConnectFunction connectInNormalMode,
             FirmwareUpdaterConfig::tConnectFunction resetIntoUpdateMode,
             FirmwareUpdaterConfig::tConnectFunction connectInUpdateMode,
             FirmwareUpdaterConfig::tPerformUpdateFunction performUpdate,
             FirmwareUpdaterConfig::tGetDeviceInfoFunction getDeviceInfo,
             FirmwareUpdaterConfig::tRefusedFunction isControllerRefused = {});

    // The ACTION button's click: the step of the current state.
    void onAction();
    // The QUIT (FINISH) button's click: quits without a question, except while updating.
    void onQuit();
    // The poll of a running update.
    void onTimer() override;
    // Centres the info text vertically in the info panel.
    void onChildsAligned() override;

    // Installed version and serial number "-", the newest version from the logic.
    void resetFirmwareRevisionsAndSerialNumber();

    // Shows the state's page and makes it the current state; `error` is the number that the
    // failure page names.
    void enter(eWizardState state, int error = 0);

    void setInfoPanelInfo(const std::string& text);
    void setInfoPanelSuccess(const std::string& text);
    void setInfoPanelFailure(const std::string& text);
    // Marks `button` with "hasFocus" "true" when it is ACTION or QUIT, the others "false".
    void setFocusOnButton(const std::shared_ptr<PXT::Button>& button);

    void showAbout();
    void hideAbout();
    void addContributorLine(const std::shared_ptr<PXT::Bar>& bar, const std::string& text);

    eWizardState getState() const { return m_state; }
    // The worker's result; it must stay valid while the worker runs.
    const std::atomic<int>& getResult() const { return m_result; }

    // What a page shows: one row per state.
    struct tPage;

private:
    void createTitle();
    void createBody();
    void createFirmwarePanel();
    void createInfoPanel();
    void createButtonPanel();
    void createAboutOverlay();

    // The step of state 3: starts the worker.
    void startUpdate();
    void goToUpdating();
    // Reads the device's identity and versions into the page; the update-needed flag.
    bool showDeviceInfo(std::string& installed, std::string& newest);
    // The first page's text: connect the controller, or give this user access to it.
    void showNoDeviceText();
    // After a written update: is the newest firmware installed now?
    void verifyUpdate();
    // Page texts with %1% the device name, %2% the error number, %3% the program name.
    std::string pageText(const char* format) const;
    std::string pageText(const char* format, int error) const;

    const tWizardTexts m_texts;

    FirmwareUpdaterConfig::tConnectFunction m_connectInNormalMode;
    FirmwareUpdaterConfig::tConnectFunction m_resetIntoUpdateMode;
    FirmwareUpdaterConfig::tConnectFunction m_connectInUpdateMode;
    FirmwareUpdaterConfig::tPerformUpdateFunction m_performUpdate;
    FirmwareUpdaterConfig::tGetDeviceInfoFunction m_getDeviceInfo;
    FirmwareUpdaterConfig::tRefusedFunction m_isControllerRefused;
    bool m_showsRefusal = false;  // the first page's text is the one about access

    eWizardState m_state = eStateNoDeviceConnected;
    // Written by the update worker, read by the poll.
    std::atomic<int> m_result{0};

    std::shared_ptr<PXT::Bar> m_titlePanel;
    std::shared_ptr<PXT::Button> m_aboutButton;
    std::shared_ptr<PXT::Bar> m_bodyPanel;
    std::shared_ptr<PXT::Bar> m_firmwarePanel;
    std::shared_ptr<PXT::Bar> m_deviceImage;
    std::shared_ptr<PXT::Label> m_deviceImageOverlay;
    std::shared_ptr<PXT::Label> m_newestRevisionValue;
    std::shared_ptr<PXT::Label> m_installedRevisionValue;
    std::shared_ptr<PXT::Label> m_serialNumberValue;
    std::shared_ptr<PXT::Bar> m_infoPanel;
    std::shared_ptr<PXT::Label> m_infoIcon;
    std::shared_ptr<PXT::MultilineLabel> m_infoText;
    std::shared_ptr<PXT::Bar> m_buttonPanel;
    std::shared_ptr<PXT::Button> m_actionButton;
    std::shared_ptr<PXT::Button> m_quitButton;
    std::shared_ptr<PXT::Button> m_overlay;
    std::shared_ptr<PXT::Bar> m_overlayPanel;
    std::shared_ptr<PXT::Bar> m_aboutInfos;
    std::shared_ptr<PXT::Label> m_aboutTitle;
    std::shared_ptr<PXT::Label> m_aboutVersion;
    std::shared_ptr<PXT::Label> m_aboutCopyright;
    std::shared_ptr<PXT::Label> m_aboutFirmwareRevision;
    std::shared_ptr<SpinningProgressWheel> m_spinningWheel;
};

}  // namespace QV
