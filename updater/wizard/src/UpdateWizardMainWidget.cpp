// The wizard's widget tree, its info-panel and focus marks, and the About overlay. The pages and
// their steps are in UpdateWizardStates.cpp.
#include "Updater/UpdateWizardMainWidget.h"

#include "GP/Format.h"
#include "PXT/Button.h"
#include "PXT/Label.h"
#include "PXT/MultilineLabel.h"
#include "Updater/CreateControlWithLabel.h"
#include "Updater/SpinningProgressWheel.h"

#include <utility>

namespace QV {

namespace {

// About titles longer than this many bytes get the attribute "titleLength" "large".
constexpr std::size_t kLongTitleBytes = 36;

// A click that ends a double-click is the second click of one gesture: the first one acted already.
template <class F>
auto ignoringDoubleClicks(F action)
{
    return [action](const PXT::Button::tSignalData* data) {
        if (data && data->doubleClick)
            return;
        action();
    };
}

std::shared_ptr<PXT::Label> makeLabel(const std::string& text, const char* styleName = nullptr)
{
    auto label = std::make_shared<PXT::Label>();
    label->style(text, styleName);
    return label;
}

std::shared_ptr<PXT::Bar> makeBar(PXT::eWidgetAlignment alignment, const char* styleName)
{
    auto bar = std::make_shared<PXT::Bar>();
    bar->style(alignment, styleName);
    return bar;
}

}  // namespace

UpdateWizardMainWidget::UpdateWizardMainWidget(const std::string& deviceName, std::string deviceImageKey,
                                               std::string deviceCode, std::string programName,
                                               std::string applicationTitle, std::string noticeLine,
                                               std::string version, std::string contributorLine1,
                                               std::string contributorLine2, std::string contributorLine3,
                                               std::string contributorLine4, std::string contributorLine5)
    : m_deviceName(deviceName), m_deviceImageKey(std::move(deviceImageKey)), m_deviceCode(std::move(deviceCode)),
      m_programName(std::move(programName)), m_applicationTitle(std::move(applicationTitle)),
      m_noticeLine(std::move(noticeLine)), m_version(std::move(version)),
      m_contributorLine1(std::move(contributorLine1)), m_contributorLine2(std::move(contributorLine2)),
      m_contributorLine3(std::move(contributorLine3)), m_contributorLine4(std::move(contributorLine4)),
      m_contributorLine5(std::move(contributorLine5))
{
    style(PXT::eArrangeTopToBottom, "FirmwareUpdaterMainWidget");
    createTitle();
    createBody();
    createAboutOverlay();
}

UpdateWizardMainWidget::~UpdateWizardMainWidget() = default;

void UpdateWizardMainWidget::createTitle()
{
    m_titlePanel = makeBar(PXT::eArrangeRightToLeft, "FirmwareUpdaterTitlePanel");
    insertChild(m_titlePanel, "FirmwareUpdaterTitlePanel");
    m_titlePanel->insertChild(makeLabel(m_applicationTitle), "FirmwareUpdaterTitlePanelHeadline");
    m_aboutButton = std::make_shared<PXT::Button>();
    m_titlePanel->insertChild(m_aboutButton, "FirmwareUpdaterTitlePanelAbout");
    m_aboutButton->style("About", "FirmwareUpdaterTitlePanelAbout");
    m_aboutButton->m_sigClicked.connect(ignoringDoubleClicks([this] { showAbout(); }));
}

void UpdateWizardMainWidget::createBody()
{
    m_bodyPanel = makeBar(PXT::eArrangeTopToBottom, "FirmwareUpdaterBodyPanel");
    insertChild(m_bodyPanel, "FirmwareUpdaterBodyPanel");
    createFirmwarePanel();
    createInfoPanel();
    createButtonPanel();
}

void UpdateWizardMainWidget::createFirmwarePanel()
{
    m_firmwarePanel = makeBar(PXT::eArrangeTopToBottom, "FirmwareUpdaterFirmwarePanel");
    m_bodyPanel->insertChild(m_firmwarePanel, "FirmwareUpdaterFirmwarePanel");

    auto body = makeBar(PXT::eArrangeLeftToRight, "FirmwareUpdaterFirmwarePanelBody");
    m_firmwarePanel->insertChild(body, "FirmwareUpdaterFirmwarePanelBody");

    auto revisions = makeBar(PXT::eArrangeTopToBottom, "FirmwareUpdaterFirmwarePanelRevisions");
    body->insertChild(revisions, "FirmwareUpdaterFirmwarePanelRevisions");
    revisions->insertChild(GUI::createControlWithLabel(m_newestRevisionValue,
                                                       "FirmwareUpdaterNewestFirmwareRevisionValue",
                                                       "FirmwareUpdaterNewestFirmwareRevisionLabel", "Newest Firmware"),
                           "FirmwareUpdaterFirmwarePanelRevisionsRow");
    revisions->insertChild(
        GUI::createControlWithLabel(m_installedRevisionValue, "FirmwareUpdaterInstalledFirmwareRevisionValue",
                                    "FirmwareUpdaterInstalledFirmwareRevisionLabel", "Installed Firmware"),
        "FirmwareUpdaterFirmwarePanelRevisionsRow");
    revisions->insertChild(GUI::createControlWithLabel(m_serialNumberValue, "FirmwareUpdaterSerialNumberValue",
                                                       "FirmwareUpdaterSerialNumberLabel", "Serial Number"),
                           "FirmwareUpdaterFirmwarePanelRevisionsRow");

    m_deviceImage = makeBar(PXT::eArrangeTopToBottom, "FirmwareUpdaterFirmwarePanelDeviceImage");
    body->insertChild(m_deviceImage, "FirmwareUpdaterFirmwarePanelDeviceImage");
    m_deviceImage->setAttribute("product", m_deviceImageKey);
    m_deviceImageOverlay = makeLabel("");
    m_deviceImage->insertChild(m_deviceImageOverlay, "FirmwareUpdaterFirmwarePanelDeviceImageOverlay");
}

void UpdateWizardMainWidget::createInfoPanel()
{
    m_infoPanel = makeBar(PXT::eArrangeLeftToRight, "Panel");
    m_bodyPanel->insertChild(m_infoPanel, "FirmwareUpdaterInfoPanel");

    m_infoIcon = makeLabel("");
    m_infoPanel->insertChild(m_infoIcon, "FirmwareUpdaterInfoPanelIcon");

    m_spinningWheel = std::make_shared<SpinningProgressWheel>();
    m_infoPanel->insertChild(m_spinningWheel, "FirmwareUpdaterSpinningProgressWheel");
    m_spinningWheel->style(PXT::eArrangeLeftToRight, "Panel");
    m_spinningWheel->setActive(false);

    auto labelBar = std::make_shared<PXT::Bar>();
    m_infoPanel->insertChild(labelBar, "FirmwareUpdaterInfoPanelLabelBar");
    m_infoText = std::make_shared<PXT::MultilineLabel>();
    m_infoText->setAutoResize(true);
    labelBar->insertChild(m_infoText, "FirmwareUpdaterInfoPanelLabel");
    labelBar->setBreadthMax();
}

void UpdateWizardMainWidget::createButtonPanel()
{
    m_buttonPanel = makeBar(PXT::eArrangeRightToLeft, "Panel");
    m_bodyPanel->insertChild(m_buttonPanel, "FirmwareUpdaterButtonPanel");

    m_actionButton = std::make_shared<PXT::Button>();
    m_buttonPanel->insertChild(m_actionButton, "FirmwareUpdaterButtonAction");
    m_actionButton->style("?ACTION?", nullptr);
    m_actionButton->m_sigClicked.connect(ignoringDoubleClicks([this] { onAction(); }));

    m_quitButton = std::make_shared<PXT::Button>();
    m_buttonPanel->insertChild(m_quitButton, "FirmwareUpdaterButtonQuit");
    m_quitButton->style("QUIT", nullptr);
    m_quitButton->m_sigClicked.connect(ignoringDoubleClicks([this] { onQuit(); }));
}

void UpdateWizardMainWidget::createAboutOverlay()
{
    m_overlay = std::make_shared<PXT::Button>();
    insertChild(m_overlay, "FirmwareUpdaterOverlay");
    m_overlay->style("", nullptr);
    m_overlay->setNoAlign(true);
    m_overlay->setActive(false);
    // The panel's children are disabled, so a click anywhere on the overlay reaches it.
    m_overlay->m_sigClicked.connect(ignoringDoubleClicks([this] { hideAbout(); }));

    m_overlayPanel = makeBar(PXT::eArrangeTopToBottom, "Panel");
    m_overlay->insertChild(m_overlayPanel, "FirmwareUpdaterOverlayPanel");
    m_overlayPanel->setEnabled(false);

    m_aboutTitle = makeLabel(m_applicationTitle);
    m_overlayPanel->insertChild(m_aboutTitle, "FirmwareUpdaterAboutTitle");
    m_aboutTitle->setEnabled(false);
    if (m_applicationTitle.size() > kLongTitleBytes)
        m_aboutTitle->setAttribute("titleLength", "large");

    m_aboutInfos = makeBar(PXT::eArrangeLeftToRight, "Panel");
    m_overlayPanel->insertChild(m_aboutInfos, "FirmwareUpdaterAboutInfos");
    m_aboutInfos->setEnabled(false);

    m_aboutVersion =
        makeLabel(GP::DETAIL::FormatApply<char>::apply(boost::format("%1% %2%"), m_programName, m_version));
    m_aboutInfos->insertChild(m_aboutVersion, "FirmwareUpdaterAboutVersion");
    m_aboutVersion->setEnabled(false);
    m_aboutCopyright = makeLabel(m_noticeLine);
    m_aboutInfos->insertChild(m_aboutCopyright, "FirmwareUpdaterAboutCopyright");
    m_aboutCopyright->setEnabled(false);

    m_aboutFirmwareRevision = makeLabel("");
    m_overlayPanel->insertChild(m_aboutFirmwareRevision, "FirmwareUpdaterAboutFirmwareRevision");
    m_aboutFirmwareRevision->setEnabled(false);

    auto contributors = makeBar(PXT::eArrangeTopToBottom, "Panel");
    m_overlayPanel->insertChild(contributors, "FirmwareUpdaterAboutContributors");
    for (const std::string* line :
         {&m_contributorLine1, &m_contributorLine2, &m_contributorLine3, &m_contributorLine4, &m_contributorLine5})
        addContributorLine(contributors, *line);
}

void UpdateWizardMainWidget::addContributorLine(const std::shared_ptr<PXT::Bar>& bar, const std::string& text)
{
    auto line = std::make_shared<PXT::Label>();
    bar->insertChild(line, "FirmwareUpdaterAboutContributorsLine");
    line->style(text, nullptr);
    line->setEnabled(false);
}

void UpdateWizardMainWidget::setInfoPanelInfo(const std::string& text)
{
    // The informational pages show the same icon as the failure pages.
    m_infoPanel->setAttribute("background", "info");
    m_infoIcon->setAttribute("icon", "error");
    m_infoText->setText(text);
}

void UpdateWizardMainWidget::setInfoPanelSuccess(const std::string& text)
{
    m_infoPanel->setAttribute("background", "ok");
    m_infoIcon->setAttribute("icon", "ok");
    m_infoText->setText(text);
}

void UpdateWizardMainWidget::setInfoPanelFailure(const std::string& text)
{
    m_infoPanel->setAttribute("background", "error");
    m_infoIcon->setAttribute("icon", "error");
    m_infoText->setText(text);
}

void UpdateWizardMainWidget::setFocusOnButton(const std::shared_ptr<PXT::Button>& button)
{
    m_actionButton->setAttribute("hasFocus", button == m_actionButton ? "true" : "false");
    m_quitButton->setAttribute("hasFocus", button == m_quitButton ? "true" : "false");
}

void UpdateWizardMainWidget::onChildsAligned()
{
    Bar::onChildsAligned();
    const int textHeight = m_infoText->getSize().y;
    if (textHeight == 0)
        return;
    m_infoText->setPos(GP::Point(0, ((m_infoPanel->getSize().y - textHeight) >> 1) - m_infoText->getMargin().top));
}

void UpdateWizardMainWidget::showAbout()
{
    m_overlay->setPos(getPos());
    m_overlay->setSize(getSize());
    const int dx = getSize().x - kAboutWidth;
    const int dy = getSize().y - kAboutHeight;
    m_overlay->setMargin(PXT::Margin{dx / 2, dy / 2, dx - dx / 2, dy - dy / 2});
    m_overlay->arrangeChilds(PXT::eArrangeLeftToRight, 0);
    m_overlay->setActive(true);
}

void UpdateWizardMainWidget::hideAbout() { m_overlay->setActive(false); }

}  // namespace QV
