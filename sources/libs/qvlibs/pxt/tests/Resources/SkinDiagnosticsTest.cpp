// A damaged skin is never silent: with no sink registered (as in the program), every message of the
// stylesheet parser and of the resource manager is one line on standard error naming the file (and
// the line, for a sheet), a sheet that gives no rule says so, and a picture that cannot be decoded
// says which file and why. Loading goes on after each.
#include "Support/ToolkitFixture.h"

#include "PXT/LazyPicture.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace QV::PXT;
using namespace QV::PXT::TEST;
using Lines = std::vector<std::string>;

class SkinDiagnostics : public SkinFolderFixture {
protected:
    SkinDiagnostics() : SkinFolderFixture("qv-pxt-damaged-skin") {}
    void SetUp() override
    {
        SkinFolderFixture::SetUp();
        // As in the program: nobody listens.
        StyleSheetErrorsLogSource::m_logSinks.clear();
        fs::create_directories(skin() / "stylesheets");
    }

    // What standard error received while `step` ran, line by line.
    template <class Step>
    static Lines stderrOf(Step step)
    {
        testing::internal::CaptureStderr();
        step();
        std::istringstream text(testing::internal::GetCapturedStderr());
        Lines lines;
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    void writeSheet(const std::string& name, const std::string& text) const
    {
        std::ofstream(skin() / "stylesheets" / name, std::ios::binary) << text;
    }
};

constexpr const char* kGood = "* { foreground-color: #102030; }\n"
                              "Bar#Title { height: 44; background-color: #405060; }\n"
                              "Button.Quit { width: 80; height: 26; }\n"
                              "Button.Update { width: 90; height: 26; }\n";

TEST_F(SkinDiagnostics, EachDamagedSheetIsReportedLineByLine)
{
    const std::string good = kGood;
    const struct {
        const char* name;
        std::string text;
        Lines expected;  // regular expressions, one per line of standard error
    } cases[] = {
        {"empty.txt", "", {"Stylesheet error: empty\\.txt - no usable rules, the skin is empty"}},
        {"garbage.txt",
         "%%%% not a stylesheet\n\x01\x02\x03 {{{\n",
         {"Stylesheet error: garbage\\.txt:1 - PARSER ERROR at line 1: Expecting .*",
          "Stylesheet error: garbage\\.txt:2 - PARSER ERROR at line 2: Expecting .*",
          "Stylesheet error: garbage\\.txt - no usable rules, the skin is empty"}},
        {"truncated.txt",
         good.substr(0, good.find("26; }\nButton.Update") + 3),
         {"Stylesheet error: truncated\\.txt:3 - PARSER ERROR at line 3: Expecting \\} or ;"}},
        {"brace.txt",
         "Bar#Title { height: 44;\nButton.Quit { width: 80; }\nButton.Update { width: 90; }\n",
         {"Stylesheet error: brace\\.txt:2 - PARSER ERROR at line 2: Expecting :"}},
        {"selector.txt",
         good + "Bar Button: over { background-color: #FF0000; }\n",
         {"Stylesheet error: selector\\.txt:5 - PARSER ERROR at line 5: Expecting Identifier"}},
    };
    for (const auto& c : cases) {
        writeSheet(c.name, c.text);
        const Lines lines = stderrOf([&] { StyleSheetManager::get()->loadDefault(c.name); });
        ASSERT_EQ(lines.size(), c.expected.size()) << c.name << ":\n" << testing::PrintToString(lines);
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(std::regex_match(lines[i], std::regex(c.expected[i]))) << c.name << ": " << lines[i];
    }
    // Loading goes on: a sound sheet after the damaged ones is read without a word.
    writeSheet("good.txt", good);
    EXPECT_EQ(stderrOf([] { StyleSheetManager::get()->loadDefault("good.txt"); }), Lines{});
    EXPECT_EQ(defaultSheet().getRules().count(qv::symbol("height")), 1u);
}

// The CRC-32 of PNG chunks.
std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string bigEndian(std::uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

TEST_F(SkinDiagnostics, APictureThatCannotBeDecodedNamesItsFileAndWhy)
{
    // A PNG cut off after its header: signature and a sound IHDR of 4 x 4 RGB, no image data.
    const std::string ihdr = "IHDR" + bigEndian(4) + bigEndian(4) + std::string("\x08\x02\x00\x00\x00", 5);
    const std::string png =
        std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13) + ihdr + bigEndian(crc32(ihdr)) + bigEndian(0x1000) + "ID";
    fs::create_directories(skin() / "pictures");
    std::ofstream(skin() / "pictures" / "Title.png", std::ios::binary) << png;
    std::ofstream(skin() / "pictures" / "Empty.png", std::ios::binary);

    const struct {
        const char* name;
        const char* why;
    } cases[] = {
        {"Title.png", "PNG: unexpected end of data"},
        {"Empty.png", "empty file"},
    };
    for (const auto& c : cases) {
        const LazyPicture picture = container().getImage(c.name, QV::UIA::PictureProperties());
        const Lines lines = stderrOf([&] { EXPECT_EQ(picture.resolve(1.0f), nullptr) << c.name; });
        const std::string path = fs::weakly_canonical(skin() / "pictures" / c.name).string();
        EXPECT_EQ(lines, Lines{"PXT::ManagerContainer::loadImage - can't decode picture " + std::string(c.name) + " (" +
                               path + "): " + c.why});
        // Remembered as missing: said once, not at every paint.
        EXPECT_EQ(stderrOf([&] { picture.resolve(1.0f); }), Lines{}) << c.name;
    }
    // A missing picture: the resource manager's own line.
    const LazyPicture missing = container().getImage("Absent.png", QV::UIA::PictureProperties());
    const Lines lines = stderrOf([&] { missing.resolve(1.0f); });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("can't find resource: "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("Absent.png"), std::string::npos) << lines[0];
}

}  // namespace
