// The skin's stylesheet as the program loads it from its bundle: it parses without a message, every
// declaration is one that the toolkit reads, with a value of the kind it reads, and every picture
// and font it names is in the bundle's skin and loads, and every wizard name it styles is a widget's.
#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"
#include "PXT/StyleParser2.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "PXT/StyleSheetManager.h"
#include "PXT/StyleProperties.h"

#include "GP/Stream.h"
#include "UIA/Font.h"
#include "UIA/Picture.h"
#include "Updater/WizardWidgetNames.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace QV::PXT;

constexpr const char* kSheet = "FirmwareUpdaterStyles.txt";

// The words of the properties whose value is one of a few words; their readers know them.
const std::map<std::string, std::set<std::string>>& knownWords()
{
    static const std::map<std::string, std::set<std::string>> words = {
        {"horizontal-alignment", {"left", "right", "center"}},
        {"vertical-alignment", {"top", "bottom", "center"}},
        {"font-style", {"bold", "italic", "underline"}},
    };
    return words;
}

// Why the toolkit would not use this declaration as written; empty when it would. The names and
// the kinds of their values are the toolkit's table of the properties it reads.
std::string judge(const Property& property)
{
    const std::string& name = property.getName().string();
    if (property.isNo())
        return {};
    static const std::regex palette("palette[0-9]+-color[0-9]+");
    eStyleValueKind kind;
    if (const tStyleProperty* known = findKnownStyleProperty(property.getName()))
        kind = known->kind;
    else if (std::regex_match(name, palette))
        kind = eValueColor;
    else
        return "unknown property";
    const auto& value = property.getValue();
    const auto unit = property.getUnit();
    const std::string* word = std::get_if<std::string>(&value);
    switch (kind) {
    case eValueColor:
        return std::holds_alternative<unsigned>(value) && unit == Property::eUnitColor ? "" : "not a colour";
    case eValueNumber:
        return std::holds_alternative<int>(value) && (unit == Property::eUnitNone || unit == Property::eUnitPx)
                   ? ""
                   : "not an integer (plain or px)";
    case eValuePlainInt:
        return std::holds_alternative<int>(value) && unit == Property::eUnitNone ? "" : "not a plain integer";
    case eValueURL:
    case eValuePictureURL: return word && unit == Property::eUnitURL && !word->empty() ? "" : "not a url(\"...\")";
    case eValueWord: {
        const auto words = knownWords().find(name);
        if (words == knownWords().end())
            return "no words listed for it in this test";
        return word && unit == Property::eUnitString && words->second.count(*word) ? "" : "not one of its words";
    }
    case eValueAnyWord: return word && unit == Property::eUnitString ? "" : "not a word";
    case eValueBool: return property.getBoolValue() ? "" : "not a yes/no";
    case eValueTrueFalse: return std::holds_alternative<bool>(value) ? "" : "not true/false";
    case eValueFont:
    case eValuePicture:
    case eValuePoint: return "made by the sheet, not written";
    }
    return "unchecked";
}

class SkinStyleSheet : public testing::Test {
protected:
    void SetUp() override
    {
        StyleSheetErrorsLogSource::m_logSinks.push_back([this](std::string line) { m_log.push_back(line); });
        Lib::init();
    }
    void TearDown() override
    {
        Lib::deInit();
        StyleSheetErrorsLogSource::m_logSinks.clear();
    }

    static ManagerContainer& container() { return *Lib::getManagerContainer(); }

    // The sheet's text as the program's resource lookup finds it.
    static std::string sheetText()
    {
        const auto stream = container().getResourceStream(kSheet, ManagerContainer::eResourceStyleSheets, true);
        if (!stream)
            return {};
        std::string text(1 << 20, '\0');
        text.resize(stream->readRaw(text.data(), text.size()));
        return text;
    }

    // The declarations of the sheet as the parser hands them over, with the line of their rule.
    static std::vector<std::pair<int, Property>> declarations()
    {
        StyleParser2 parser;
        EXPECT_TRUE(parser.processBuffer(sheetText(), kSheet));
        std::vector<std::pair<int, Property>> all;
        for (const auto& rule : parser.getRules())
            for (const auto& property : rule.properties)
                all.emplace_back(rule.line, property);
        return all;
    }

    std::vector<std::string> m_log;
};

TEST_F(SkinStyleSheet, LoadsFromTheBundleWithoutAMessage)
{
    StyleSheetManager::get()->loadDefault(kSheet);
    EXPECT_EQ(container().getLocationMode(), ManagerContainer::eLocationBundle);
    for (const std::string& line : m_log)
        ADD_FAILURE() << line;
    // The sheet replaced the built-in one (which has no picture at all).
    const auto& rules = StyleSheetManager::get()->getDefaultStyleSheet().getRules();
    ASSERT_TRUE(rules.count(qv::symbol("picture")));
    EXPECT_GT(rules.at(qv::symbol("picture")).size(), 20u);
}

TEST_F(SkinStyleSheet, EveryDeclarationIsReadByTheToolkitWithItsKindOfValue)
{
    const auto all = declarations();
    ASSERT_GT(all.size(), 50u);
    for (const auto& [line, property] : all) {
        const std::string why = judge(property);
        EXPECT_EQ(why, "") << kSheet << ", rule at line " << line << ": " << property.getName().string();
    }
}

TEST_F(SkinStyleSheet, TheJudgeRefusesWhatTheToolkitWouldIgnore)
{
    // The check above is only as good as its judge: declarations the toolkit drops or misreads.
    StyleParser2 parser;
    ASSERT_TRUE(parser.processString("A { colour: #FFFFFF; width: 12.5; height: 50%; background-color: 3;"
                                     " horizontal-alignment: middle; font-resid: 1px; font-hinting: yes;"
                                     " palette2-color0: #112233; margin: no; font: 3; image: \"x.png\" }"));
    std::map<std::string, std::string> verdicts;
    for (const Property& property : parser.getRules().at(0).properties)
        verdicts[property.getName().string()] = judge(property);
    const std::map<std::string, std::string> expected = {{"colour", "unknown property"},
                                                         {"width", "not an integer (plain or px)"},
                                                         {"height", "not an integer (plain or px)"},
                                                         {"background-color", "not a colour"},
                                                         {"horizontal-alignment", "not one of its words"},
                                                         {"font-resid", "not a plain integer"},
                                                         {"font-hinting", "not true/false"},
                                                         {"palette2-color0", ""},
                                                         {"margin", ""},
                                                         {"font", "made by the sheet, not written"}};
    for (const auto& [name, verdict] : expected)
        EXPECT_EQ(verdicts[name], verdict) << name;
    // "x.png" without url(...) is not a value at all: the parser reports it.
    EXPECT_FALSE(parser.getErrors().empty());
}

TEST_F(SkinStyleSheet, EveryWizardNameItStylesIsAWidgetOfTheWizard)
{
    // A rule for a name no widget carries any more styles nothing, silently.
    const std::set<std::string> known(std::begin(QV::WizardNames::kAll), std::end(QV::WizardNames::kAll));
    const std::string text = sheetText();
    const std::regex name("FirmwareUpdater[A-Za-z0-9]*");
    std::set<std::string> used;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), name); it != std::sregex_iterator(); ++it)
        used.insert(it->str());
    ASSERT_FALSE(used.empty());
    for (const std::string& word : used)
        EXPECT_TRUE(known.count(word)) << kSheet << " styles " << word << ", which no widget of the wizard is named";
    EXPECT_TRUE(used.count(QV::WizardNames::kMainWidget)) << "the window's background";
}

TEST_F(SkinStyleSheet, EveryPictureAndFontItNamesIsInTheBundleAndLoads)
{
    std::set<std::string> pictures, fonts;
    for (const auto& [line, property] : declarations()) {
        const std::string& name = property.getName().string();
        const auto* url = std::get_if<std::string>(&property.getValue());
        if (!url || property.getUnit() != Property::eUnitURL)
            continue;
        (name == "font-name" ? fonts : pictures).insert(*url);
    }
    EXPECT_GE(pictures.size(), 30u);
    for (const std::string& picture : pictures) {
        const QV::UIA::Picture* loaded = container().getImage(picture, QV::UIA::PictureProperties()).resolve(1.0f);
        ASSERT_NE(loaded, nullptr) << picture;
        EXPECT_GT(loaded->getWidth(), 0) << picture;
    }
    ASSERT_FALSE(fonts.empty());
    for (const std::string& font : fonts) {
        QV::UIA::Font::CreateData data = ManagerContainer::getDefaultFontData();
        data.name = font;
        data.resourceId = 0;
        const QV::UIA::Font* made = container().getFont(data);
        ASSERT_NE(made, nullptr) << font;
        EXPECT_TRUE(made->isLoaded()) << font;
    }
    // The regular face: the bundle's "TTFd" 1.
    EXPECT_TRUE(container().getFont(ManagerContainer::getDefaultFontData())->isLoaded());
    for (const std::string& line : m_log)
        ADD_FAILURE() << line;
}

}  // namespace
