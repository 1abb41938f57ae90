#include "GP/AlertRunner.h"
#include "GP/Application.h"
#include "GP/Message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using QV::GP::Message;
using namespace QV::GP::DETAIL;

// Records the alerts it is asked to show and presses a chosen button (the default one when none is
// chosen, else the first).
class RecordingRunner final : public AlertRunner {
public:
    Message::eButton run(const tAlert& alert) override
    {
        m_alerts.push_back(alert);
        if (m_press)
            return *m_press;
        return alert.m_defaultButton ? *alert.m_defaultButton : alert.m_buttons.front().m_tag;
    }

    std::vector<tAlert> m_alerts;
    std::optional<Message::eButton> m_press;
};

class MessageTest : public testing::Test {
protected:
    MessageTest() : m_previous(setAlertRunner(&m_runner))
    {
        std::memcpy(m_savedName, QV::GP::Application::s_pAppName, sizeof m_savedName);
    }
    ~MessageTest() override
    {
        setAlertRunner(m_previous);
        Message::s_showMessageFunctor = nullptr;
        std::memcpy(QV::GP::Application::s_pAppName, m_savedName, sizeof m_savedName);
    }

    const tAlert& onlyAlert()
    {
        EXPECT_EQ(m_runner.m_alerts.size(), 1u);
        return m_runner.m_alerts.back();
    }

    RecordingRunner m_runner;
    AlertRunner* m_previous;
    char m_savedName[sizeof QV::GP::Application::s_pAppName];
};

std::vector<std::string> titlesOf(const tAlert& alert)
{
    std::vector<std::string> titles;
    for (const tAlertButton& button : alert.m_buttons)
        titles.push_back(button.m_title);
    return titles;
}

std::vector<Message::eButton> tagsOf(const tAlert& alert)
{
    std::vector<Message::eButton> tags;
    for (const tAlertButton& button : alert.m_buttons)
        tags.push_back(button.m_tag);
    return tags;
}

TEST_F(MessageTest, ButtonSetsTagsAndDefaults)
{
    using M = Message;
    struct Case {
        M::eType type;
        std::vector<std::string> titles;
        std::vector<M::eButton> tags;
    } cases[] = {
        {M::eTypeOK, {"OK"}, {M::eButtonOK}},
        {M::eTypeOKCancel, {"OK", "Cancel"}, {M::eButtonOK, M::eButtonCancel}},
        {M::eTypeYesNo, {"Yes", "No"}, {M::eButtonYes, M::eButtonNo}},
        {M::eTypeYesNoCancel, {"Yes", "No", "Cancel"}, {M::eButtonYes, M::eButtonNo, M::eButtonCancel}},
        {M::eTypeRetryCancel, {"Retry", "Cancel"}, {M::eButtonRetry, M::eButtonCancel}},
        {M::eTypeAbortRetryIgnore, {"Abort", "Retry", "Ignore"}, {M::eButtonAbort, M::eButtonRetry, M::eButtonIgnore}},
    };
    for (const Case& c : cases) {
        // Every tag of the set as the default, then a tag outside it, then none: only a member becomes
        // the default button.
        std::vector<M::eButton> defaults = c.tags;
        defaults.push_back(c.type == M::eTypeOK ? M::eButtonCancel : M::eButtonOK);
        defaults.push_back(M::eButtonNone);
        for (M::eButton defaultButton : defaults) {
            m_runner.m_alerts.clear();
            // Press each button in turn: show() answers the tag of the one pressed.
            for (M::eButton pressed : c.tags) {
                m_runner.m_press = pressed;
                EXPECT_EQ(Message::show("text", c.type, defaultButton, M::eIconInformation, "title"), pressed);
            }
            ASSERT_EQ(m_runner.m_alerts.size(), c.tags.size());
            const tAlert& alert = m_runner.m_alerts.back();
            EXPECT_EQ(titlesOf(alert), c.titles) << "type " << c.type;
            EXPECT_EQ(tagsOf(alert), c.tags) << "type " << c.type;
            const bool inSet = std::find(c.tags.begin(), c.tags.end(), defaultButton) != c.tags.end();
            if (inSet)
                EXPECT_EQ(alert.m_defaultButton, defaultButton) << "type " << c.type;
            else
                EXPECT_FALSE(alert.m_defaultButton.has_value()) << "type " << c.type << " default " << defaultButton;
        }
    }
}

TEST_F(MessageTest, YesNoWithNoAsDefault)
{
    m_runner.m_press = Message::eButtonYes;
    EXPECT_EQ(Message::show("Quit?", Message::eTypeYesNo, Message::eButtonNo, Message::eIconQuestion, nullptr),
              Message::eButtonYes);
    EXPECT_EQ(onlyAlert().m_defaultButton, Message::eButtonNo);
    EXPECT_EQ(onlyAlert().m_text, "Quit?");
}

TEST_F(MessageTest, TypeOutsideTheSetShowsNothing)
{
    for (int type : {-1, 6, 100}) {
        EXPECT_EQ(Message::show("x", static_cast<Message::eType>(type), Message::eButtonRetry, Message::eIconWarning,
                                nullptr),
                  Message::eButtonRetry);
        EXPECT_EQ(
            Message::show("x", static_cast<Message::eType>(type), Message::eButtonNone, Message::eIconWarning, nullptr),
            Message::eButtonNone);
    }
    EXPECT_TRUE(m_runner.m_alerts.empty());
}

TEST_F(MessageTest, TitleIsTheApplicationNameWhenNoneIsGiven)
{
    Message::show("text", Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, nullptr);
    EXPECT_EQ(onlyAlert().m_title, "Orvendal");

    QV::GP::Application::setName("VARDOLIN STUDIO UPDATER");
    Message::show("text", Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, nullptr);
    EXPECT_EQ(m_runner.m_alerts.back().m_title, "VARDOLIN STUDIO UPDATER");

    Message::show("text", Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, "Given");
    EXPECT_EQ(m_runner.m_alerts.back().m_title, "Given");

    Message::show("text", Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, "");
    EXPECT_EQ(m_runner.m_alerts.back().m_title, "") << "an empty title is a title";
}

TEST_F(MessageTest, InvalidUtf8IsDroppedFromTitleAndText)
{
    const std::string text = "Error a.cpp:1\n\nbad \xFF\xC3 byte \xC3\xA9";
    Message::show(text, Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, "T\xE2\x82itle");
    EXPECT_EQ(onlyAlert().m_title, "Title");
    EXPECT_EQ(onlyAlert().m_text, "Error a.cpp:1\n\nbad  byte \xC3\xA9");
}

TEST_F(MessageTest, IconsChooseTheAlertStyle)
{
    struct Case {
        int icon;
        eAlertStyle style;
    } cases[] = {
        {0, eAlertStyleInformational}, {1, eAlertStyleCritical},      {2, eAlertStyleWarning},
        {3, eAlertStyleInformational}, {4, eAlertStyleInformational}, {5, eAlertStyleDefault},
        {-1, eAlertStyleDefault},
    };
    for (const Case& c : cases) {
        Message::show("x", Message::eTypeOK, Message::eButtonOK, static_cast<Message::eIcon>(c.icon), nullptr);
        EXPECT_EQ(m_runner.m_alerts.back().m_style, c.style) << "icon " << c.icon;
    }
}

TEST_F(MessageTest, FunctorReplacesTheAlert)
{
    struct Seen {
        std::string text;
        Message::eType type;
        Message::eButton defaultButton;
        Message::eIcon icon;
        const char* title;
    } seen{};
    Message::s_showMessageFunctor = [&seen](const QV::GP::CharSequence<char>& text, Message::eType type,
                                            Message::eButton defaultButton, Message::eIcon icon, const char* title) {
        seen = Seen{text.str(), type, defaultButton, icon, title};
        return Message::eButtonIgnore;
    };
    const char* title = "t";
    // Even a type outside the set goes to the functor untouched.
    EXPECT_EQ(Message::show("hello", static_cast<Message::eType>(9), Message::eButtonNo, Message::eIconCritical, title),
              Message::eButtonIgnore);
    EXPECT_EQ(seen.text, "hello");
    EXPECT_EQ(seen.type, 9);
    EXPECT_EQ(seen.defaultButton, Message::eButtonNo);
    EXPECT_EQ(seen.icon, Message::eIconCritical);
    EXPECT_EQ(seen.title, title);
    EXPECT_TRUE(m_runner.m_alerts.empty());
}

TEST(AlertRunner, PlatformRunnerIsInstalledUntilReplaced)
{
    PlatformAlertRunner* platform = dynamic_cast<PlatformAlertRunner*>(&alertRunner());
    EXPECT_NE(platform, nullptr);

    class Fixed final : public AlertRunner {
        Message::eButton run(const tAlert&) override { return Message::eButtonCancel; }
    } fixed;
    EXPECT_EQ(setAlertRunner(&fixed), nullptr);
    EXPECT_EQ(&alertRunner(), &fixed);
    EXPECT_EQ(Message::show("x", Message::eTypeOKCancel, Message::eButtonOK, Message::eIconInformation, nullptr),
              Message::eButtonCancel);
    EXPECT_EQ(setAlertRunner(nullptr), &fixed);
    EXPECT_EQ(&alertRunner(), platform);
}

}  // namespace
