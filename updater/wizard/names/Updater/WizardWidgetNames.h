// The names of the wizard's widgets: each is the widget's id in the tree and, where the skin styles
// it by class, its style name. The skin's rules, the tests and the end-to-end harness find the
// widgets by these names, so a name changes here and in the skin's sheet only.
#pragma once

namespace QV::WizardNames {

inline constexpr const char kMainWidget[] = "FirmwareUpdaterMainWidget";

inline constexpr const char kTitlePanel[] = "FirmwareUpdaterTitlePanel";
inline constexpr const char kTitlePanelHeadline[] = "FirmwareUpdaterTitlePanelHeadline";
inline constexpr const char kAboutButton[] = "FirmwareUpdaterTitlePanelAbout";

inline constexpr const char kBodyPanel[] = "FirmwareUpdaterBodyPanel";
inline constexpr const char kFirmwarePanel[] = "FirmwareUpdaterFirmwarePanel";
inline constexpr const char kFirmwarePanelBody[] = "FirmwareUpdaterFirmwarePanelBody";
inline constexpr const char kRevisions[] = "FirmwareUpdaterFirmwarePanelRevisions";
// The three rows: newest version, installed version, serial number; each holds a kRowValue and a
// kRowLabel.
inline constexpr const char kRevisionsRow[] = "FirmwareUpdaterFirmwarePanelRevisionsRow";
inline constexpr const char kRowValue[] = "Value";
inline constexpr const char kRowLabel[] = "Label";
inline constexpr const char kNewestRevisionValue[] = "FirmwareUpdaterNewestFirmwareRevisionValue";
inline constexpr const char kNewestRevisionLabel[] = "FirmwareUpdaterNewestFirmwareRevisionLabel";
inline constexpr const char kInstalledRevisionValue[] = "FirmwareUpdaterInstalledFirmwareRevisionValue";
inline constexpr const char kInstalledRevisionLabel[] = "FirmwareUpdaterInstalledFirmwareRevisionLabel";
inline constexpr const char kSerialNumberValue[] = "FirmwareUpdaterSerialNumberValue";
inline constexpr const char kSerialNumberLabel[] = "FirmwareUpdaterSerialNumberLabel";
inline constexpr const char kDeviceImage[] = "FirmwareUpdaterFirmwarePanelDeviceImage";
inline constexpr const char kDeviceImageOverlay[] = "FirmwareUpdaterFirmwarePanelDeviceImageOverlay";

inline constexpr const char kInfoPanel[] = "FirmwareUpdaterInfoPanel";
inline constexpr const char kInfoPanelIcon[] = "FirmwareUpdaterInfoPanelIcon";
inline constexpr const char kSpinningWheel[] = "FirmwareUpdaterSpinningProgressWheel";
inline constexpr const char kInfoPanelLabelBar[] = "FirmwareUpdaterInfoPanelLabelBar";
inline constexpr const char kInfoPanelLabel[] = "FirmwareUpdaterInfoPanelLabel";

inline constexpr const char kButtonPanel[] = "FirmwareUpdaterButtonPanel";
inline constexpr const char kActionButton[] = "FirmwareUpdaterButtonAction";
inline constexpr const char kQuitButton[] = "FirmwareUpdaterButtonQuit";

inline constexpr const char kOverlay[] = "FirmwareUpdaterOverlay";
inline constexpr const char kOverlayPanel[] = "FirmwareUpdaterOverlayPanel";
inline constexpr const char kAboutTitle[] = "FirmwareUpdaterAboutTitle";
inline constexpr const char kAboutInfos[] = "FirmwareUpdaterAboutInfos";
inline constexpr const char kAboutVersion[] = "FirmwareUpdaterAboutVersion";
inline constexpr const char kAboutCopyright[] = "FirmwareUpdaterAboutCopyright";
inline constexpr const char kAboutFirmwareRevision[] = "FirmwareUpdaterAboutFirmwareRevision";
inline constexpr const char kAboutContributors[] = "FirmwareUpdaterAboutContributors";
inline constexpr const char kAboutContributorsLine[] = "FirmwareUpdaterAboutContributorsLine";

// Every name above.
inline constexpr const char* kAll[] = {
    kMainWidget,
    kTitlePanel,
    kTitlePanelHeadline,
    kAboutButton,
    kBodyPanel,
    kFirmwarePanel,
    kFirmwarePanelBody,
    kRevisions,
    kRevisionsRow,
    kRowValue,
    kRowLabel,
    kNewestRevisionValue,
    kNewestRevisionLabel,
    kInstalledRevisionValue,
    kInstalledRevisionLabel,
    kSerialNumberValue,
    kSerialNumberLabel,
    kDeviceImage,
    kDeviceImageOverlay,
    kInfoPanel,
    kInfoPanelIcon,
    kSpinningWheel,
    kInfoPanelLabelBar,
    kInfoPanelLabel,
    kButtonPanel,
    kActionButton,
    kQuitButton,
    kOverlay,
    kOverlayPanel,
    kAboutTitle,
    kAboutInfos,
    kAboutVersion,
    kAboutCopyright,
    kAboutFirmwareRevision,
    kAboutContributors,
    kAboutContributorsLine,
};

}  // namespace QV::WizardNames
