#include "GP/Application.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using QV::GP::Application;

class ApplicationTest : public testing::Test {
protected:
    ApplicationTest() : m_signature(Application::s_appSignature)
    {
        std::memcpy(m_name, Application::s_pAppName, sizeof m_name);
    }
    ~ApplicationTest() override
    {
        std::memcpy(Application::s_pAppName, m_name, sizeof m_name);
        Application::s_appSignature = m_signature;
    }

    char m_name[sizeof Application::s_pAppName];
    QV::GP::FileTypeMacMagic m_signature;
};

TEST_F(ApplicationTest, IdentityAtLoad)
{
    EXPECT_STREQ(Application::s_pAppName, "Orvendal");
    EXPECT_EQ(Application::s_appSignature, 0x3F3F3F3Fu);  // '????'
}

TEST_F(ApplicationTest, NameIsCutTo255Characters)
{
    struct Case {
        std::string name;
        std::string stored;
    } cases[] = {
        {"VARDOLIN STUDIO UPDATER", "VARDOLIN STUDIO UPDATER"},
        {"", ""},
        {std::string(255, 'x'), std::string(255, 'x')},
        {std::string(256, 'y'), std::string(255, 'y')},
        {std::string(300, 'z'), std::string(300, 'z').substr(0, 255)},
    };
    for (const Case& c : cases) {
        Application::setName(c.name.c_str());
        EXPECT_EQ(std::string(Application::s_pAppName), c.stored) << c.name.size() << " characters";
    }
}

TEST_F(ApplicationTest, ShorterNameLeavesNoTailOfTheLongerOne)
{
    Application::setName(std::string(300, 'a').c_str());
    Application::setName("b");
    EXPECT_STREQ(Application::s_pAppName, "b");
}

TEST_F(ApplicationTest, NullNameIsIgnored)
{
    Application::setName("Kept");
    Application::setName(nullptr);
    EXPECT_STREQ(Application::s_pAppName, "Kept");
}

TEST_F(ApplicationTest, SignatureIsAFourCharacterCode)
{
    EXPECT_EQ(QV::GP::fourCharCode("QVDX"), 0x51564458u);
    EXPECT_EQ(QV::GP::fourCharCodeText(0x51564458u), "QVDX");
    Application::setSignature(QV::GP::fourCharCode("QVDX"));
    EXPECT_EQ(Application::s_appSignature, 0x51564458u);
}

}  // namespace
