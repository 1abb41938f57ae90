// The wizard's widget tree, its info-panel and focus marks, and the About overlay. The pages and
// their steps are in UpdateWizardStates.cpp.
#include "Updater/UpdateWizardMainWidget.h"

#include "GP/Format.h"
#include "PXT/Button.h"
#include "PXT/Label.h"
#include "PXT/MultilineLabel.h"
#include "Updater/CreateControlWithLabel.h"
#include "Updater/SpinningProgressWheel.h"
#include "Updater/WizardWidgetNames.h"

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

UpdateWizardMainWidget::UpdateWizardMainWidget(tWizardTexts texts) : m_texts(std::move(texts))
{
    style(PXT::eArrangeTopToBottom, WizardNames::kMainWidget);
    createTitle();
    createBody();
    createAboutOverlay();
}

UpdateWizardMainWidget::~UpdateWizardMainWidget() = default;

void UpdateWizardMainWidget::createTitle()
{
    m_titlePanel = makeBar(PXT::eArrangeRightToLeft, WizardNames::kTitlePanel);
    insertChild(m_titlePanel, WizardNames::kTitlePanel);
    m_titlePanel->insertChild(makeLabel(m_texts.applicationTitle), WizardNames::kTitlePanelHeadline);
    m_aboutButton = std::make_shared<PXT::Button>();
    m_titlePanel->insertChild(m_aboutButton, WizardNames::kAboutButton);
    m_aboutButton->style("About", WizardNames::kAboutButton);
    m_aboutButton->m_sigClicked.connect(ignoringDoubleClicks([this] { showAbout(); }));
}

void UpdateWizardMainWidget::createBody()
{
    m_bodyPanel = makeBar(PXT::eArrangeTopToBottom, WizardNames::kBodyPanel);
    insertChild(m_bodyPanel, WizardNames::kBodyPanel);
    createFirmwarePanel();
    createInfoPanel();
    createButtonPanel();
}

void UpdateWizardMainWidget::createFirmwarePanel()
{
    m_firmwarePanel = makeBar(PXT::eArrangeTopToBottom, WizardNames::kFirmwarePanel);
    m_bodyPanel->insertChild(m_firmwarePanel, WizardNames::kFirmwarePanel);

    auto body = makeBar(PXT::eArrangeLeftToRight, WizardNames::kFirmwarePanelBody);
    m_firmwarePanel->insertChild(body, WizardNames::kFirmwarePanelBody);

    auto revisions = makeBar(PXT::eArrangeTopToBottom, WizardNames::kRevisions);
    body->insertChild(revisions, WizardNames::kRevisions);
    revisions->insertChild(GUI::createControlWithLabel(m_newestRevisionValue, WizardNames::kNewestRevisionValue,
                                                       WizardNames::kNewestRevisionLabel, "Newest Firmware"),
                           WizardNames::kRevisionsRow);
    revisions->insertChild(GUI::createControlWithLabel(m_installedRevisionValue, WizardNames::kInstalledRevisionValue,
                                                       WizardNames::kInstalledRevisionLabel, "Installed Firmware"),
                           WizardNames::kRevisionsRow);
    revisions->insertChild(GUI::createControlWithLabel(m_serialNumberValue, WizardNames::kSerialNumberValue,
                                                       WizardNames::kSerialNumberLabel, "Serial Number"),
                           WizardNames::kRevisionsRow);

    m_deviceImage = makeBar(PXT::eArrangeTopToBottom, WizardNames::kDeviceImage);
    body->insertChild(m_deviceImage, WizardNames::kDeviceImage);
    m_deviceImage->setAttribute("product", m_texts.deviceImageKey);
    m_deviceImageOverlay = makeLabel("");
    m_deviceImage->insertChild(m_deviceImageOverlay, WizardNames::kDeviceImageOverlay);
}

void UpdateWizardMainWidget::createInfoPanel()
{
    m_infoPanel = makeBar(PXT::eArrangeLeftToRight, "Panel");
    m_bodyPanel->insertChild(m_infoPanel, WizardNames::kInfoPanel);

    m_infoIcon = makeLabel("");
    m_infoPanel->insertChild(m_infoIcon, WizardNames::kInfoPanelIcon);

    m_spinningWheel = std::make_shared<SpinningProgressWheel>();
    m_infoPanel->insertChild(m_spinningWheel, WizardNames::kSpinningWheel);
    m_spinningWheel->style(PXT::eArrangeLeftToRight, "Panel");
    m_spinningWheel->setActive(false);

    auto labelBar = std::make_shared<PXT::Bar>();
    m_infoPanel->insertChild(labelBar, WizardNames::kInfoPanelLabelBar);
    m_infoText = std::make_shared<PXT::MultilineLabel>();
    m_infoText->setAutoResize(true);
    labelBar->insertChild(m_infoText, WizardNames::kInfoPanelLabel);
    labelBar->setBreadthMax();
}

void UpdateWizardMainWidget::createButtonPanel()
{
    m_buttonPanel = makeBar(PXT::eArrangeRightToLeft, "Panel");
    m_bodyPanel->insertChild(m_buttonPanel, WizardNames::kButtonPanel);

    m_actionButton = std::make_shared<PXT::Button>();
    m_buttonPanel->insertChild(m_actionButton, WizardNames::kActionButton);
    m_actionButton->style("?ACTION?", nullptr);
    m_actionButton->m_sigClicked.connect(ignoringDoubleClicks([this] { onAction(); }));

    m_quitButton = std::make_shared<PXT::Button>();
    m_buttonPanel->insertChild(m_quitButton, WizardNames::kQuitButton);
    m_quitButton->style("QUIT", nullptr);
    m_quitButton->m_sigClicked.connect(ignoringDoubleClicks([this] { onQuit(); }));
}

void UpdateWizardMainWidget::createAboutOverlay()
{
    m_overlay = std::make_shared<PXT::Button>();
    insertChild(m_overlay, WizardNames::kOverlay);
    m_overlay->style("", nullptr);
    m_overlay->setNoAlign(true);
    m_overlay->setActive(false);
    // The panel's children are disabled, so a click anywhere on the overlay reaches it.
    m_overlay->m_sigClicked.connect(ignoringDoubleClicks([this] { hideAbout(); }));

    m_overlayPanel = makeBar(PXT::eArrangeTopToBottom, "Panel");
    m_overlay->insertChild(m_overlayPanel, WizardNames::kOverlayPanel);
    m_overlayPanel->setEnabled(false);

    m_aboutTitle = makeLabel(m_texts.applicationTitle);
    m_overlayPanel->insertChild(m_aboutTitle, WizardNames::kAboutTitle);
    m_aboutTitle->setEnabled(false);
    if (m_texts.applicationTitle.size() > kLongTitleBytes)
        m_aboutTitle->setAttribute("titleLength", "large");

    m_aboutInfos = makeBar(PXT::eArrangeLeftToRight, "Panel");
    m_overlayPanel->insertChild(m_aboutInfos, WizardNames::kAboutInfos);
    m_aboutInfos->setEnabled(false);

    m_aboutVersion = makeLabel(GP::formatText("%1% %2%", m_texts.programName, m_texts.version));
    m_aboutInfos->insertChild(m_aboutVersion, WizardNames::kAboutVersion);
    m_aboutVersion->setEnabled(false);
    m_aboutCopyright = makeLabel(m_texts.noticeLine);
    m_aboutInfos->insertChild(m_aboutCopyright, WizardNames::kAboutCopyright);
    m_aboutCopyright->setEnabled(false);

    m_aboutFirmwareRevision = makeLabel("");
    m_overlayPanel->insertChild(m_aboutFirmwareRevision, WizardNames::kAboutFirmwareRevision);
    m_aboutFirmwareRevision->setEnabled(false);

    auto contributors = makeBar(PXT::eArrangeTopToBottom, "Panel");
    m_overlayPanel->insertChild(contributors, WizardNames::kAboutContributors);
    for (const std::string& line : m_texts.contributorLines)
        addContributorLine(contributors, line);
}

void UpdateWizardMainWidget::addContributorLine(const std::shared_ptr<PXT::Bar>& bar, const std::string& text)
{
    auto line = std::make_shared<PXT::Label>();
    bar->insertChild(line, WizardNames::kAboutContributorsLine);
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
