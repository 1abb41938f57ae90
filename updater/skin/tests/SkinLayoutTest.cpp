// The skin on the real wizard at the window's size, 627 x 335, on every page and with the About
// card: every shown widget lies inside its parent's content, no one-line text is cut, the pages
// (which only change texts, attributes and visibility) never move or resize a widget, and the
// pictures never change the layout the rules give.
#include "PXT/Button.h"
#include "PXT/Label.h"
#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"
#include "PXT/MultilineLabel.h"
#include "PXT/Pane.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "PXT/StyleSheetManager.h"

#include "GP/Region.h"
#include "GP/Stream.h"
#include "Updater/UpdateWizardMainWidget.h"
#include "Updater/WizardWidgetNames.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace QV::GP {
// Rectangles in failure messages.
void PrintTo(const Rect& r, std::ostream* out)
{
    *out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
}  // namespace QV::GP

namespace {

using namespace QV;
using namespace QV::PXT;

constexpr const char* kSheet = "FirmwareUpdaterStyles.txt";
constexpr GP::Point kWindow(627, 335);
constexpr int kAboutPage = 7;

// Where every shown widget is: its path of ids (with the place among its siblings, since the rows
// share their ids, and which of the siblings are shown) to its rectangle in the pane.
using tLayout = std::map<std::string, GP::Rect>;

GP::Rect rectOf(const Widget& widget)
{
    const GP::Point& at = widget.getAbsolutePos();
    return GP::Rect(at.x, at.y, at.x + widget.getSize().x, at.y + widget.getSize().y);
}

GP::Rect contentOf(const Widget& widget)
{
    const GP::Rect r = rectOf(widget);
    const Margin& m = widget.getMargin();
    return GP::Rect(r.left + m.left, r.top + m.top, r.right - m.right, r.bottom - m.bottom);
}

bool inside(const GP::Rect& inner, const GP::Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string describe(const GP::Rect& r)
{
    std::ostringstream text;
    GP::PrintTo(r, &text);
    return text.str();
}

class SkinLayout : public testing::Test {
protected:
    void SetUp() override
    {
        StyleSheetErrorsLogSource::m_logSinks.push_back([this](std::string line) { m_log.push_back(line); });
        Lib::init();
        StyleSheetManager::get()->loadDefault(kSheet);
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        m_wizard.reset();
        Lib::deInit();
        StyleSheetErrorsLogSource::m_logSinks.clear();
        for (const std::string& line : m_log)
            ADD_FAILURE() << line;
    }

    // A wizard on `page` (0 to 6, or kAboutPage: page 0 with the About card), reached through its
    // own steps with a scripted controller, in a pane of the window's size.
    void showPage(int page)
    {
        m_pane.setRoot(nullptr, "");
        m_wizard = std::make_shared<UpdateWizardMainWidget>(
            tWizardTexts{"Vardolin Studio",
                         "VDX",
                         "VDX Updater",
                         "VARDOLIN STUDIO UPDATER",
                         "Copyright (c) 2026 Orvendal. All rights reserved.",
                         "1.1.0 (R147)",
                         {"Contributor One", "Contributor Two", "Contributor Three", "Contributor Four", ""}});
        // The controller behind the page; the update's end reads it again.
        struct tScript {
            bool connected = false;
            bool updateNeeded = true;
        };
        auto script = std::make_shared<tScript>();
        script->connected = page != 0 && page != kAboutPage;
        script->updateNeeded = page != 1;
        auto info = [script](DVK2::USBDeviceInfo& record, std::string& installed, std::string& newest, bool& needed) {
            newest = "33 / 0x67";
            if (!script->connected)
                return;
            record.serialNumber = "VDX-000123";
            installed = script->updateNeeded ? "32 / 0x66" : newest;
            needed = script->updateNeeded;
        };
        m_wizard->run([script] { return script->connected; }, [page] { return page != 4; }, [] { return false; },
                      [this](std::atomic<int>& result) {
                          m_result = &result;
                          result = 0;
                          return true;
                      },
                      info);
        if (page >= 3 && page <= 6)
            m_wizard->onAction();  // UPDATE
        if (page == 5 || page == 6) {
            // The worker's end: written and verified, or a failed write.
            script->updateNeeded = page == 6;
            *m_result = page == 5 ? 1 : -2;
            m_wizard->onTimer();
        }
        m_pane.setSize(kWindow);
        m_pane.setRoot(m_wizard, WizardNames::kMainWidget);
        settle();
        if (page == kAboutPage) {
            m_wizard->showAbout();
            settle();
        }
    }
    void settle()
    {
        GP::Region region;
        for (int i = 0; i < 10 && m_pane.getDirty() != 0; ++i)
            m_pane.update(region);
    }

    // The layout of the shown widgets; on the way, every one must lie inside its parent's content
    // and show its one-line text uncut.
    tLayout layout(const std::string& page) const
    {
        tLayout all;
        collect(*m_wizard, "", page, all);
        return all;
    }
    static void collect(const Widget& widget, const std::string& path, const std::string& page, tLayout& all)
    {
        all[path] = rectOf(widget);
        const Widget* parent = widget.getParent();
        if (parent) {
            EXPECT_TRUE(inside(rectOf(widget), contentOf(*parent)))
                << page << ": " << path << " at " << describe(rectOf(widget)) << " leaves its parent's content "
                << describe(contentOf(*parent));
        } else {
            EXPECT_EQ(rectOf(widget), GP::Rect(0, 0, kWindow.x, kWindow.y)) << page;
        }
        if (auto text = dynamic_cast<const TextPanel*>(&widget)) {
            EXPECT_LE(text->getWidthForText(text->getText()), widget.getSize().x)
                << page << ": " << path << " cuts \"" << text->getText() << "\"";
        }
        // Which children are shown: a row lines up only its shown children, so a child's place
        // may change with its siblings' visibility, never with attributes.
        std::string shown;
        for (const auto& child : widget.getChildren())
            shown += child->isShown() ? '1' : '0';
        int place = 0;
        for (const auto& child : widget.getChildren()) {
            if (child->isShown())
                collect(*child, path + "/" + child->getId() + "#" + std::to_string(place) + "@" + shown, page, all);
            ++place;
        }
    }

    // The place of the widget at `path` (ids and places, without the visibility marks), when shown;
    // with `siblings`, only where exactly those of its siblings were shown.
    static std::optional<GP::Rect> find(const tLayout& all, const std::string& path, const std::string& siblings = "")
    {
        const std::string mark = "@" + siblings;
        for (const auto& [key, rect] : all) {
            const bool marked = siblings.empty() || (key.size() > mark.size() &&
                                                     key.compare(key.size() - mark.size(), mark.size(), mark) == 0);
            if (marked && std::regex_replace(key, std::regex("@[01]+"), "") == path)
                return rect;
        }
        return std::nullopt;
    }

    Pane m_pane;
    std::shared_ptr<UpdateWizardMainWidget> m_wizard;
    std::atomic<int>* m_result = nullptr;
    std::vector<std::string> m_log;
};

const std::string kInfoText =
    "/FirmwareUpdaterBodyPanel#1/FirmwareUpdaterInfoPanel#1/FirmwareUpdaterInfoPanelLabelBar#2/"
    "FirmwareUpdaterInfoPanelLabel#0";
const std::string kWheel =
    "/FirmwareUpdaterBodyPanel#1/FirmwareUpdaterInfoPanel#1/FirmwareUpdaterSpinningProgressWheel#1";

TEST_F(SkinLayout, EveryPageKeepsItsWidgetsAndTextsInsideTheirPanelsAndInPlace)
{
    tLayout all;  // the first place seen of every widget
    for (int page = 0; page <= kAboutPage; ++page) {
        showPage(page);
        const std::string name = page == kAboutPage ? "About" : "page " + std::to_string(page);
        ASSERT_EQ(int(m_wizard->getState()), page == kAboutPage ? 0 : page) << name;
        for (const auto& [path, rect] : layout(name)) {
            // The info text's height follows its text, which the wizard then centres.
            if (std::regex_replace(path, std::regex("@[01]+"), "") == kInfoText)
                continue;
            auto [seen, added] = all.emplace(path, rect);
            EXPECT_EQ(seen->second, rect) << name << ": " << path << " moved";
        }
    }
    // What the pages rely on was seen: the wheel, the card in the middle of the window, QUIT on
    // the right when it is alone and left of ACTION otherwise.
    EXPECT_TRUE(find(all, kWheel));
    EXPECT_EQ(find(all, "/FirmwareUpdaterOverlay#2/FirmwareUpdaterOverlayPanel#0"), GP::Rect(88, 30, 538, 304));
    const std::string quit = "/FirmwareUpdaterBodyPanel#1/FirmwareUpdaterButtonPanel#2/FirmwareUpdaterButtonQuit#1";
    const std::string action = "/FirmwareUpdaterBodyPanel#1/FirmwareUpdaterButtonPanel#2/FirmwareUpdaterButtonAction#0";
    const auto alone = find(all, quit, "01"), left = find(all, quit, "11"), right = find(all, action, "11");
    ASSERT_TRUE(alone && left && right);
    EXPECT_EQ(alone->right, right->right);
    EXPECT_LT(left->right, right->left);
}

TEST_F(SkinLayout, TheWheelKeepsItsPlaceThroughItsTwelveFrames)
{
    showPage(3);
    const tLayout first = layout("page 3");
    const auto wheel = find(first, kWheel);
    ASSERT_TRUE(wheel);
    EXPECT_EQ(wheel->width(), 32);
    std::vector<std::string> steps;
    for (int tick = 0; tick < 24; ++tick) {
        m_wizard->onTimer();
        settle();
        const auto& attributes = m_wizard->getChildren()[1]->getChildren()[1]->getChildren()[1]->getAttributes();
        steps.push_back(attributes.at("step"));
        EXPECT_EQ(layout("page 3, " + steps.back()), first) << steps.back();
    }
    EXPECT_EQ(steps.back(), "S0");
    EXPECT_EQ(steps[21], "S11");
}

TEST_F(SkinLayout, PicturesNeverChangeTheLayoutTheRulesGive)
{
    // The sheet as it stands against the same sheet without a single picture: a picture that is not
    // a nine-patch sizes its widget, so one drawn at another size than its rule's would show here.
    std::vector<tLayout> withPictures;
    for (int page = 0; page <= kAboutPage; ++page) {
        showPage(page);
        withPictures.push_back(layout("page " + std::to_string(page)));
    }
    const auto stream =
        Lib::getManagerContainer()->getResourceStream(kSheet, ManagerContainer::eResourceStyleSheets, true);
    ASSERT_TRUE(stream);
    std::string text(1 << 20, '\0');
    text.resize(stream->readRaw(text.data(), text.size()));
    const std::string bare = std::regex_replace(text, std::regex("image: *url\\([^)]*\\)"), "image: no");
    ASSERT_NE(bare, text);
    m_pane.setRoot(nullptr, "");
    StyleSheetManager::get()->getDefaultStyleSheet().createDirect(bare);
    for (int page = 0; page <= kAboutPage; ++page) {
        showPage(page);
        EXPECT_EQ(layout("page " + std::to_string(page) + " without pictures"), withPictures[page]) << page;
    }
}

}  // namespace
