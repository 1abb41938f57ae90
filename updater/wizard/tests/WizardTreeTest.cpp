// The wizard's widget tree as built: every widget's place, id, class, style name, layout direction,
// text, enabled and shown flags, in insertion order; the attributes fixed at construction; the
// focus marks and the centring of the info text.
#include "WizardHarness.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::TEST;

constexpr int kAny = -1;  // a bar without a style operation: its direction is not the wizard's

struct tNode {
    int depth;
    std::string id;
    std::string cls;
    std::string style;  // empty: no style name
    int alignment;      // bars only; kAny otherwise
    std::string text;   // text widgets only
    bool enabled;       // the widget's own flag
    bool active;        // shown unless its parent is hidden
    bool noAlign;

    bool operator==(const tNode& o) const
    {
        return depth == o.depth && id == o.id && cls == o.cls && style == o.style &&
               (alignment == kAny || o.alignment == kAny || alignment == o.alignment) && text == o.text &&
               enabled == o.enabled && active == o.active && noAlign == o.noAlign;
    }
};

void PrintTo(const tNode& n, std::ostream* os)
{
    *os << n.depth << " " << n.id << " " << n.cls << " ." << n.style << " align " << n.alignment << " \"" << n.text
        << "\"" << (n.enabled ? "" : " disabled") << (n.active ? "" : " hidden") << (n.noAlign ? " no-align" : "");
}

std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

void walk(const PXT::Widget& widget, int depth, std::vector<tNode>& out)
{
    tNode node{depth,
               widget.getId(),
               widget.getClass(),
               widget.getStyle(),
               kAny,
               "",
               (widget.getFlags() & PXT::Widget::eFlagEnabled) != 0,
               widget.isActive(),
               widget.isNoAlign()};
    if (auto bar = dynamic_cast<const PXT::Bar*>(&widget))
        node.alignment = bar->getAlignment();
    if (auto text = dynamic_cast<const PXT::TextPanel*>(&widget))
        node.text = text->getText();
    if (auto text = dynamic_cast<const PXT::MultilineLabel*>(&widget))
        node.text = text->getText();
    out.push_back(node);
    for (const auto& child : widget.getChildren())
        walk(*child, depth + 1, out);
}

// clang-format off
const std::vector<tNode> kTree = {
    // depth id                                                  class             style name                                       align  text                       enabled active noAlign
    {0, "",                                                 "Bar",            "FirmwareUpdaterMainWidget",                        16, "",                           true,  true,  false},
    {1, "FirmwareUpdaterTitlePanel",                        "Bar",            "FirmwareUpdaterTitlePanel",                      4096, "",                           true,  true,  false},
    {2, "FirmwareUpdaterTitlePanelHeadline",                "Label",          "",                                             kAny, "VARDOLIN STUDIO UPDATER",    true,  true,  false},
    {2, "FirmwareUpdaterTitlePanelAbout",                   "Button",         "FirmwareUpdaterTitlePanelAbout",               kAny, "About",                      true,  true,  false},
    {1, "FirmwareUpdaterBodyPanel",                         "Bar",            "FirmwareUpdaterBodyPanel",                       16, "",                           true,  true,  false},
    {2, "FirmwareUpdaterFirmwarePanel",                     "Bar",            "FirmwareUpdaterFirmwarePanel",                   16, "",                           true,  true,  false},
    {3, "FirmwareUpdaterFirmwarePanelBody",                 "Bar",            "FirmwareUpdaterFirmwarePanelBody",                1, "",                           true,  true,  false},
    {4, "FirmwareUpdaterFirmwarePanelRevisions",            "Bar",            "FirmwareUpdaterFirmwarePanelRevisions",          16, "",                           true,  true,  false},
    {5, "FirmwareUpdaterFirmwarePanelRevisionsRow",         "Bar",            "",                                                1, "",                           true,  true,  false},
    {6, "Value",                                            "Label",          "FirmwareUpdaterNewestFirmwareRevisionValue",   kAny, "",                           true,  true,  false},
    {6, "Label",                                            "Label",          "FirmwareUpdaterNewestFirmwareRevisionLabel",   kAny, "Newest Firmware",            true,  true,  false},
    {5, "FirmwareUpdaterFirmwarePanelRevisionsRow",         "Bar",            "",                                                1, "",                           true,  true,  false},
    {6, "Value",                                            "Label",          "FirmwareUpdaterInstalledFirmwareRevisionValue", kAny, "",                          true,  true,  false},
    {6, "Label",                                            "Label",          "FirmwareUpdaterInstalledFirmwareRevisionLabel", kAny, "Installed Firmware",        true,  true,  false},
    {5, "FirmwareUpdaterFirmwarePanelRevisionsRow",         "Bar",            "",                                                1, "",                           true,  true,  false},
    {6, "Value",                                            "Label",          "FirmwareUpdaterSerialNumberValue",             kAny, "",                           true,  true,  false},
    {6, "Label",                                            "Label",          "FirmwareUpdaterSerialNumberLabel",             kAny, "Serial Number",              true,  true,  false},
    {4, "FirmwareUpdaterFirmwarePanelDeviceImage",          "Bar",            "FirmwareUpdaterFirmwarePanelDeviceImage",        16, "",                           true,  true,  false},
    {5, "FirmwareUpdaterFirmwarePanelDeviceImageOverlay",   "Label",          "",                                             kAny, "",                           true,  true,  false},
    {2, "FirmwareUpdaterInfoPanel",                         "Bar",            "Panel",                                           1, "",                           true,  true,  false},
    {3, "FirmwareUpdaterInfoPanelIcon",                     "Label",          "",                                             kAny, "",                           true,  true,  false},
    {3, "FirmwareUpdaterSpinningProgressWheel",             "Bar",            "Panel",                                           1, "",                           true,  false, false},
    {3, "FirmwareUpdaterInfoPanelLabelBar",                 "Bar",            "",                                             kAny, "",                           true,  true,  false},
    {4, "FirmwareUpdaterInfoPanelLabel",                    "MultilineLabel", "",                                             kAny, "",                           true,  true,  false},
    {2, "FirmwareUpdaterButtonPanel",                       "Bar",            "Panel",                                        4096, "",                           true,  true,  false},
    {3, "FirmwareUpdaterButtonAction",                      "Button",         "",                                             kAny, "?ACTION?",                   true,  true,  false},
    {3, "FirmwareUpdaterButtonQuit",                        "Button",         "",                                             kAny, "QUIT",                       true,  true,  false},
    {1, "FirmwareUpdaterOverlay",                           "Button",         "",                                             kAny, "",                           true,  false, true},
    {2, "FirmwareUpdaterOverlayPanel",                      "Bar",            "Panel",                                          16, "",                           false, true,  false},
    {3, "FirmwareUpdaterAboutTitle",                        "Label",          "",                                             kAny, "VARDOLIN STUDIO UPDATER",    false, true,  false},
    {3, "FirmwareUpdaterAboutInfos",                        "Bar",            "Panel",                                           1, "",                           false, true,  false},
    {4, "FirmwareUpdaterAboutVersion",                      "Label",          "",                                             kAny, "VDX Updater 1.1.0 (R147)",   false, true,  false},
    {4, "FirmwareUpdaterAboutCopyright",                    "Label",          "",                                             kAny, "(c) 2026 Orvendal",          false, true,  false},
    {3, "FirmwareUpdaterAboutFirmwareRevision",             "Label",          "",                                             kAny, "",                           false, true,  false},
    {3, "FirmwareUpdaterAboutContributors",                 "Bar",            "Panel",                                          16, "",                           true,  true,  false},
    {4, "FirmwareUpdaterAboutContributorsLine",             "Label",          "",                                             kAny, "Ann",                        false, true,  false},
    {4, "FirmwareUpdaterAboutContributorsLine",             "Label",          "",                                             kAny, "Bo",                         false, true,  false},
    {4, "FirmwareUpdaterAboutContributorsLine",             "Label",          "",                                             kAny, "Cy",                         false, true,  false},
    {4, "FirmwareUpdaterAboutContributorsLine",             "Label",          "",                                             kAny, "Di",                         false, true,  false},
    {4, "FirmwareUpdaterAboutContributorsLine",             "Label",          "",                                             kAny, "",                           false, true,  false},
};
// clang-format on

TEST(WizardTree, EveryWidgetInInsertionOrder)
{
    auto wizard = makeWizard();
    std::vector<tNode> tree;
    walk(*wizard, 0, tree);
    ASSERT_EQ(tree.size(), kTree.size());
    for (std::size_t i = 0; i < tree.size(); ++i)
        EXPECT_EQ(tree[i], kTree[i]) << "widget " << i;
}

TEST(WizardTree, ConstructionSetsOnlyTheDeviceImageKey)
{
    auto wizard = makeWizard();
    std::vector<std::string> attributes;
    std::vector<const PXT::Widget*> pending{wizard.get()};
    while (!pending.empty()) {
        const PXT::Widget* widget = pending.back();
        pending.pop_back();
        for (const auto& [name, value] : widget->getAttributes())
            attributes.push_back(widget->getId() + " " + name + "=" + value);
        for (const auto& child : widget->getChildren())
            pending.push_back(child.get());
    }
    EXPECT_EQ(attributes, std::vector<std::string>{"FirmwareUpdaterFirmwarePanelDeviceImage product=VDX"});
}

TEST(WizardTree, OnlyTitlesLongerThan36BytesAreLarge)
{
    struct {
        std::string title;
        const char* titleLength;
    } const cases[] = {
        {std::string(36, 'T'), "(unset)"},
        {std::string(37, 'T'), "large"},
        // Bytes, not characters: 19 two-byte letters are 38 bytes.
        {repeat("\xC3\x84", 19), "large"},
    };
    for (const auto& c : cases) {
        auto wizard = makeWizard(c.title);
        EXPECT_EQ(attribute(WizardView(*wizard).get<PXT::Label>("FirmwareUpdaterAboutTitle"), "titleLength"),
                  c.titleLength)
            << c.title.size() << " bytes";
    }
}

TEST(WizardTree, FocusMarksOneButtonOrNeither)
{
    auto wizard = makeWizard();
    WizardView view(*wizard);
    auto actionButton = std::static_pointer_cast<PXT::Button>(view.action().shared_from_this());
    auto quitButton = std::static_pointer_cast<PXT::Button>(view.quit().shared_from_this());
    auto otherButton = std::make_shared<PXT::Button>();
    struct {
        std::shared_ptr<PXT::Button> button;
        const char* action;
        const char* quit;
    } const cases[] = {
        {actionButton, "true", "false"},
        {quitButton, "false", "true"},
        {otherButton, "false", "false"},
        {nullptr, "false", "false"},
    };
    for (const auto& c : cases) {
        wizard->setFocusOnButton(c.button);
        EXPECT_EQ(attribute(view.action(), "hasFocus"), c.action);
        EXPECT_EQ(attribute(view.quit(), "hasFocus"), c.quit);
    }
}

TEST(WizardTree, TheInfoTextIsCentredInTheInfoPanelOnceItHasAHeight)
{
    auto wizard = makeWizard();
    WizardView view(*wizard);
    PXT::MultilineLabel& text = view.infoText();
    view.infoPanel().setSize(GP::Point(400, 81));
    text.setPos(GP::Point(7, 9));

    // No height yet: left where it is.
    text.setSize(GP::Point(200, 0));
    wizard->onChildsAligned();
    EXPECT_EQ(text.getPos(), GP::Point(7, 9));

    // (81 - 30) >> 1 = 25, less the text's top margin.
    text.setSize(GP::Point(200, 30));
    text.setMargin(PXT::Margin{2, 4, 2, 0});
    wizard->onChildsAligned();
    EXPECT_EQ(text.getPos(), GP::Point(0, 21));

    // Taller than the panel: it moves up, by half of the excess rounded down.
    text.setSize(GP::Point(200, 90));
    wizard->onChildsAligned();
    EXPECT_EQ(text.getPos(), GP::Point(0, -5 - 4));
}

}  // namespace
