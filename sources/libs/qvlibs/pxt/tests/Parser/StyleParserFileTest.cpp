// The parser front end over files: byte-order marks, imports relative to the importing file,
// missing, recursive, repeated (diamond) imports, and the messages that name file and line.
#include "PXT/StyleParser2.h"
#include "PXT/StyleSheetErrorsLogSource.h"

#include "GP/FileName.h"
#include "GP/MemoryStorage.h"
#include "GP/Stream.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using QV::GP::FileName;
using QV::PXT::StyleParser2;
using QV::PXT::StyleSheetErrorsLogSource;

class StyleParserFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        StyleSheetErrorsLogSource::m_logSinks.push_back([this](std::string line) { m_log.push_back(line); });
    }
    void TearDown() override { StyleSheetErrorsLogSource::m_logSinks.clear(); }

    fs::path write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = m_folder.path() / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static FileName nameOf(const fs::path& path) { return FileName(path); }

    // The names (first property) of the parsed rules, in order.
    static std::vector<std::string> ruleNames(const StyleParser2& parser)
    {
        std::vector<std::string> names;
        for (const auto& rule : parser.getRules())
            names.push_back(rule.properties.at(0).getName().string());
        return names;
    }
    // Every message of every file, "file-name:line: text", the file as its last component.
    static std::vector<std::string> messages(const StyleParser2& parser)
    {
        std::vector<std::string> result;
        for (const auto& [file, lines] : parser.getErrors())
            for (const auto& [line, text] : lines)
                result.push_back(file.substr(file.find_last_of(':') + 1) + ":" + std::to_string(line) + ": " + text);
        return result;
    }

    QV::TEST::TemporaryFolder m_folder{"qv-pxt-parser"};
    std::vector<std::string> m_log;
};

TEST_F(StyleParserFiles, ByteOrderMarks)
{
    const struct {
        const char* name;
        std::string bytes;
        bool success;
        StyleParser2::eEncoding encoding;
        std::size_t rules;
    } cases[] = {
        {"utf8-mark", std::string("\xEF\xBB\xBF") + "A { a: 1 }", true, StyleParser2::eEncodingUTF8, 1},
        {"no-mark", "A { a: 1 }", true, StyleParser2::eEncodingNone, 1},
        {"utf16le",
         std::string("\xFF\xFE"
                     "A\0",
                     4),
         false, StyleParser2::eEncodingUTF16LE, 0},
        {"utf16be", std::string("\xFE\xFF\0A", 4), false, StyleParser2::eEncodingUTF16BE, 0},
        {"utf32le", std::string("\xFF\xFE\0\0", 4) + std::string("A\0\0\0", 4), false, StyleParser2::eEncodingUTF32LE,
         0},
        {"utf32be", std::string("\0\0\xFE\xFF", 4) + std::string("\0\0\0A", 4), false, StyleParser2::eEncodingUTF32BE,
         0},
        // FF FE with only one of the next two bytes 0 is UTF-16, not UTF-32.
        {"utf16le-zero-then-letter", std::string("\xFF\xFE\0A", 4), false, StyleParser2::eEncodingUTF16LE, 0},
        // Three bytes or fewer carry no mark: parsed as text (and refused by the grammar).
        {"short", "\xFF\xFE", true, StyleParser2::eEncodingNone, 0},
        {"utf8-mark-alone", "\xEF\xBB\xBF", true, StyleParser2::eEncodingNone, 0},
    };
    for (const auto& c : cases) {
        StyleParser2 parser;
        EXPECT_EQ(parser.processFile(nameOf(write(c.name, c.bytes))), c.success) << c.name;
        EXPECT_EQ(parser.getEncoding(), c.encoding) << c.name;
        EXPECT_EQ(parser.getRules().size(), c.rules) << c.name;
        if (c.encoding > StyleParser2::eEncodingUTF8) {
            EXPECT_EQ(messages(parser),
                      std::vector<std::string>{std::string(c.name) + ":0: Unsupported buffer encoding"});
        }
    }
}

TEST_F(StyleParserFiles, MissingFilesAndEmptyTexts)
{
    StyleParser2 parser;
    EXPECT_FALSE(parser.processFile(nameOf(m_folder.path() / "missing.txt")));
    EXPECT_TRUE(parser.getErrors().empty());
    EXPECT_TRUE(parser.processString(""));
    EXPECT_TRUE(parser.getRules().empty());
}

TEST_F(StyleParserFiles, MessagesNameTheFileAndLineAndAreLogged)
{
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(write("main.txt", "A { a: 1 }\n\nB { b }\n"))));
    EXPECT_EQ(messages(parser), std::vector<std::string>{"main.txt:3: PARSER ERROR at line 3: Expecting :"});
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_EQ(m_log[0].rfind("Stylesheet error: "), 0u);
    EXPECT_NE(m_log[0].find("main.txt:3 - PARSER ERROR at line 3: Expecting :"), std::string::npos) << m_log[0];
}

TEST_F(StyleParserFiles, ImportsRelativeToTheImportingFileWithTheirConstants)
{
    write("styles/colours.txt", "@define $red #FF0000;\nColours { colours: 1 }\n");
    write("styles/more/deep.txt", "Deep { deep: 1 }");
    const fs::path main = write("styles/main.txt", "Before { before: $red }\n@import url(\"colours.txt\");\n"
                                                   "After { after: $red }\n@import url('more/deep.txt');\n");
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(main)));
    EXPECT_EQ(ruleNames(parser), (std::vector<std::string>{"before", "colours", "after", "deep"}));
    // The constant is known only after the import.
    EXPECT_EQ(messages(parser),
              std::vector<std::string>{"main.txt:1: PARSER ERROR at line 1: use of undefined constant red"});
    EXPECT_EQ(std::get<unsigned>(parser.getRules()[2].properties[0].getValue()), 0xFFFF0000u);
    EXPECT_EQ(parser.getImports().size(), 3u);
}

TEST_F(StyleParserFiles, AMissingImportIsReportedAndTriedAgain)
{
    const fs::path main = write("main.txt", "@import url(\"gone.txt\");\n@import url(\"gone.txt\");\nA { a: 1 }\n");
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(main)));
    EXPECT_EQ(ruleNames(parser), std::vector<std::string>{"a"});
    const std::vector<std::string> found = messages(parser);
    ASSERT_EQ(found.size(), 2u);
    for (int line = 1; line <= 2; ++line) {
        const std::string& message = found[static_cast<std::size_t>(line - 1)];
        EXPECT_EQ(message.rfind("main.txt:" + std::to_string(line) + ": PARSER ERROR at line " + std::to_string(line) +
                                    ": Failed to import stylesheet ",
                                0),
                  0u)
            << message;
        // The completed name of the missing file.
        EXPECT_NE(message.find(":gone.txt"), std::string::npos) << message;
    }
}

TEST_F(StyleParserFiles, ASelfImportIsRefusedOnceAndNothingIsReadTwice)
{
    const fs::path main = write("self.txt", "A { a: 1 }\n@import url(\"self.txt\");\nB { b: 1 }\n");
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(main)));
    EXPECT_EQ(ruleNames(parser), (std::vector<std::string>{"a", "b"}));
    const std::vector<std::string> found = messages(parser);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].rfind("self.txt:2: PARSER ERROR at line 2: recursive import of stylesheet ", 0), 0u) << found[0];
}

TEST_F(StyleParserFiles, RecursionThroughAnotherFileIsRefused)
{
    write("b.txt", "B { b: 1 }\n@import url(\"a.txt\");\n");
    const fs::path a = write("a.txt", "@import url(\"b.txt\");\nA { a: 1 }\n");
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(a)));
    EXPECT_EQ(ruleNames(parser), (std::vector<std::string>{"b", "a"}));
    const std::vector<std::string> found = messages(parser);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].rfind("b.txt:2: PARSER ERROR at line 2: recursive import of stylesheet ", 0), 0u) << found[0];
}

TEST_F(StyleParserFiles, ADiamondImportsTheSharedFileOnce)
{
    write("shared.txt", "Shared { shared: 1 }\n");
    write("left.txt", "@import url(\"shared.txt\");\nLeft { left: 1 }\n");
    write("right.txt", "@import url(\"shared.txt\");\nRight { right: 1 }\n");
    const fs::path top = write("top.txt", "@import url(\"left.txt\");\n@import url(\"right.txt\");\n");
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(top)));
    EXPECT_EQ(ruleNames(parser), (std::vector<std::string>{"shared", "left", "right"}));
    const std::vector<std::string> found = messages(parser);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].rfind("right.txt:1: PARSER ERROR at line 1: stylesheet already imported, skipped: ", 0), 0u)
        << found[0];
    EXPECT_EQ(found[0].find("recursive"), std::string::npos);
}

TEST_F(StyleParserFiles, ImportsNestOnlySoDeep)
{
    const int files = static_cast<int>(StyleParser2::kMaxImportDepth) + 8;
    for (int i = 1; i < files; ++i)
        write("f" + std::to_string(i) + ".txt",
              "@import url(\"f" + std::to_string(i + 1) + ".txt\");\nR" + std::to_string(i) + " { r: 1 }\n");
    write("f" + std::to_string(files) + ".txt", "Last { r: 1 }\n");
    StyleParser2 parser;
    EXPECT_TRUE(parser.processFile(nameOf(m_folder.path() / "f1.txt")));
    EXPECT_EQ(parser.getRules().size(), StyleParser2::kMaxImportDepth);
    const std::vector<std::string> found = messages(parser);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find(": PARSER ERROR at line 1: imports nested too deeply: "), std::string::npos) << found[0];
}

// A storage that claims more bytes than any stylesheet has.
class HugeStorage final : public QV::GP::IStorage {
public:
    HugeStorage() { m_status = eStatusOK; }
    size_t read(void*, size_t) override { return 0; }
    size_t write(const void*, size_t) override { return 0; }
    long long getPos64() const override { return m_position; }
    void seek64(long long offset, eSeekMode mode) override
    {
        m_position = mode == eSeekFromEnd ? (1ll << 40) + offset : offset;
    }

private:
    long long m_position = 0;
};

TEST_F(StyleParserFiles, AnOversizedTextIsRefused)
{
    HugeStorage storage;
    QV::GP::Stream stream;
    stream.setStorage(&storage);
    StyleParser2 parser;
    EXPECT_FALSE(parser.processStream(stream, "huge.txt"));
    const std::vector<std::string> found = messages(parser);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "huge.txt:0: stylesheet too large (1099511627776 bytes)");
}

TEST_F(StyleParserFiles, StreamsAreReadWholeUnderTheirName)
{
    std::string text = "\xEF\xBB\xBF"
                       "A { a: 1 }\nB { b }";
    QV::GP::MemoryStorage storage;
    storage.init(QV::GP::IStorage::eAccessRead, text.data(), text.size());
    QV::GP::Stream stream;
    stream.setStorage(&storage);
    StyleParser2 parser;
    EXPECT_TRUE(parser.processStream(stream, "memory.txt"));
    EXPECT_EQ(ruleNames(parser), std::vector<std::string>{"a"});
    EXPECT_EQ(messages(parser), std::vector<std::string>{"memory.txt:2: PARSER ERROR at line 2: Expecting :"});
}

}  // namespace
