#include "GP/FileContainer.h"
#include "GP/FileManager.h"
#include "GP/FileContainerItemStorage.h"
#include "GP/FileContainerStorage.h"

#include "../Storage/StorageTestSupport.h"
#include "ContainerWriter.h"

#include <string>
#include <vector>

namespace QV::GP::TEST {
namespace {

using Parser = FileContainerParser;

tItem item(const std::string& name, std::uint32_t id, std::uint32_t version, const std::string& data)
{
    tItem result;
    result.name = name;
    result.id = id;
    result.version = version;
    result.data = data;
    return result;
}

class ContainerTest : public FolderTest {
protected:
    // The bytes of the item that the subpath of `file` addresses, read through an item storage.
    std::string readItem(const std::string& file, const std::string& subpath)
    {
        FileContainerItemStorage storage;
        if (!storage.open(name(file, subpath), IStorage::eAccessRead, IStorage::eLockNone))
            return "<not opened>";
        return readAll(storage);
    }
};

TEST_F(ContainerTest, RecognisesContainerFilesByTheirFirstStructure)
{
    tLayout layout;
    const Bytes plain = ContainerWriter().table({{item("a", 1, 1, "x")}}).bytes(&layout);
    const Bytes large = ContainerWriter().table({{item("a", 1, 1, "x")}, false, 1}).bytes();
    struct Case {
        const char* what;
        Bytes bytes;
        bool container;
    } cases[] = {
        {"a table header first", plain, true},
        {"a 640-byte table header first", large, true},
        {"a meta header first", ContainerWriter().metaText("hi").table({{item("a", 1, 1, "x")}}).bytes(), true},
        {"256 zero bytes", Bytes(256, 0), false},
        {"a few bytes", Bytes{'/', '\\'}, false},
        {"non-zero word at 4", plain, false},
        {"a fill byte other than 0xF0", plain, false},
        {"a wrong magic", plain, false},
        {"a 640-byte header cut short", Bytes(large.begin(), large.begin() + 600), false},
    };
    cases[5].bytes[4] = 1;
    cases[6].bytes[12] = 0xF1;
    cases[7].bytes[40] = 'X';
    for (const Case& c : cases) {
        ContainerWriter::writeFile(path("c.bin"), c.bytes);
        EXPECT_EQ(FileContainer::isContainerFile(name("c.bin"), nullptr), c.container) << c.what;
        std::vector<FileContainer::tMetaHeader> headers;
        EXPECT_EQ(FileContainer::isContainerFile(name("c.bin"), &headers), c.container) << c.what;
    }
    EXPECT_FALSE(FileContainer::isContainerFile(name("missing.bin"), nullptr));
}

TEST_F(ContainerTest, KeepsTheMetaHeaders)
{
    ContainerWriter::writeFile(path("m.cnt"), ContainerWriter()
                                                  .metaText("Skin \xE2\x9C\x93", 100)
                                                  .partInfo(1, 0xCAFE)
                                                  .table({{item("a", 1, 1, "x")}})
                                                  .bytes());
    std::vector<FileContainer::tMetaHeader> headers;
    ASSERT_TRUE(FileContainer::isContainerFile(name("m.cnt"), &headers));
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0].getType(), FileContainer::eMetaHeaderText);
    EXPECT_EQ(headers[0].getText(), "Skin \xE2\x9C\x93");
    EXPECT_EQ(headers[0].getExtraBytes(), 100u);
    EXPECT_EQ(headers[1].getType(), FileContainer::eMetaHeaderPartInfo);
    EXPECT_EQ(headers[1].getPartCount(), 1u);
    EXPECT_EQ(headers[1].getPartInfoValue(), 0xCAFEu);
    EXPECT_EQ(readItem("m.cnt", "<a"), "x") << "the extra bytes are skipped";
}

TEST_F(ContainerTest, FindsItemsByNameAndById)
{
    ContainerWriter::writeFile(
        path("skin.cnt"),
        ContainerWriter()
            .table({{item("logo.png", 7, 1, "PNG-DATA"), item("K\xC3\xA4se", 9, 1, "cheese")}})
            .table({{item("styles.txt", 12, 1, "body {}"), item("empty", 13, 1, ""), item("font.ttf", 3, 1, "glyphs")},
                    true})
            .bytes());
    struct Case {
        const char* subpath;
        const char* data;
    } cases[] = {
        {"<logo.png", "PNG-DATA"}, {"<K\xC3\xA4se", "cheese"}, {"<styles.txt", "body {}"}, {"<<7>", "PNG-DATA"},
        {"<<12>", "body {}"},      {"<<3>", "glyphs"},         {"<font.ttf", "glyphs"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readItem("skin.cnt", c.subpath), c.data) << c.subpath;
    EXPECT_EQ(readItem("skin.cnt", "<empty"), "<not opened>") << "an item without data cannot be opened";
    EXPECT_EQ(readItem("skin.cnt", ""), "<not opened>") << "no subpath";

    EXPECT_TRUE(FileContainer::isContainerFileContent(name("skin.cnt"), "<<9>"));
    EXPECT_FALSE(FileContainer::isContainerFileContent(name("skin.cnt"), "<<10>"));
    EXPECT_EQ(FileContainer::getContentSize(name("skin.cnt", "<styles.txt")), 7u);
    EXPECT_EQ(FileContainer::getContentSize(name("skin.cnt")), 0u);

    // The file manager answers for container items through the container reader.
    EXPECT_TRUE(FileManager::existsFile(name("skin.cnt", "<styles.txt")));
    EXPECT_FALSE(FileManager::existsFile(name("skin.cnt", "<missing.txt")));
    EXPECT_EQ(FileManager::getFileSize(name("skin.cnt", "<styles.txt")), 7u);
}

TEST_F(ContainerTest, TheHighestVersionWinsUnlessOneIsAskedFor)
{
    for (const bool idMap : {false, true}) {
        ContainerWriter::writeFile(path("v.cnt"),
                                   ContainerWriter()
                                       .table({{item("pic", 4, 3, "three")}, idMap})
                                       .table({{item("other", 5, 9, "nine"), item("pic", 4, 5, "five")}, idMap})
                                       .table({{item("pic", 4, 4, "four")}, idMap})
                                       .bytes());
        FileContainerStorage storage;
        ASSERT_TRUE(storage.open(name("v.cnt"), IStorage::eAccessRead, false, 0));
        struct Case {
            unsigned version;
            bool found;
            std::uint32_t foundVersion;
            long long length;
        } cases[] = {
            {Parser::kAnyVersion, true, 5, 4}, {3, true, 3, 5}, {4, true, 4, 4}, {5, true, 5, 4}, {6, false, 0, 0},
        };
        for (const Case& c : cases) {
            Parser::tContentParseInfo byName, byId;
            EXPECT_EQ(storage.getContentInfoOfItem(std::string("pic"), c.version, byName), c.found) << c.version;
            EXPECT_EQ(storage.getContentInfoOfItem(4u, c.version, byId), c.found) << c.version;
            if (c.found) {
                EXPECT_EQ(byName.version, c.foundVersion);
                EXPECT_EQ(byName.length, c.length);
                EXPECT_EQ(byId.version, c.foundVersion);
                EXPECT_EQ(byId.dataStart, byName.dataStart);
                EXPECT_EQ(byId.name, "pic");
            }
        }
    }
}

// Records of one name (and id) with the same version: the first one in the file is the item, in
// the same table or across tables, by name or by id, with an id map or without; an id map that
// names several records of one id leads to all of them.
TEST_F(ContainerTest, AmongEqualVersionsTheFirstRecordWins)
{
    for (const bool idMap : {false, true}) {
        SCOPED_TRACE(idMap ? "with an id map" : "without an id map");
        ContainerWriter::writeFile(
            path("eq.cnt"),
            ContainerWriter()
                .table({{item("other", 2, 3, "x"), item("pic", 4, 3, "one"), item("pic", 4, 3, "second")}, idMap})
                .table({{item("pic", 4, 3, "third table"), item("pic", 4, 7, "seven")}, idMap})
                .bytes());
        struct Case {
            const char* subpath;
            std::uint32_t version;
            const char* data;
        } const cases[] = {
            {"<pic", 3, "one"},  // exactly version 3: the first record of it
            {"<<4>", 3, "one"},
            {"<pic", Parser::kAnyVersion, "seven"},  // the highest version, later in the file
            {"<<4>", Parser::kAnyVersion, "seven"},  // the map names two records of id 4
            {"<pic", 7, "seven"},
            {"<<4>", 7, "seven"},
        };
        for (const Case& c : cases) {
            FileContainerStorage storage;
            ASSERT_TRUE(storage.open(name("eq.cnt"), IStorage::eAccessRead, false, 0));
            ASSERT_TRUE(storage.openContentFromSubpath(c.subpath, c.version)) << c.subpath << " v" << c.version;
            FileContentRange range;
            ASSERT_TRUE(storage.getOpenedContentRange(range));
            std::string data(static_cast<std::size_t>(range.length), '\0');
            storage.seek64(range.start, IStorage::eSeekFromStart);
            ASSERT_EQ(storage.read(data.data(), data.size()), data.size());
            EXPECT_EQ(data, c.data) << c.subpath << " v" << c.version;
        }
    }

    // Without a higher version anywhere, any version means the first of the equal ones.
    ContainerWriter::writeFile(path("same.cnt"), ContainerWriter()
                                                     .table({{item("pic", 4, 3, "one"), item("pic", 4, 3, "two!")}})
                                                     .table({{item("pic", 4, 3, "three")}, true})
                                                     .bytes());
    EXPECT_EQ(readItem("same.cnt", "<pic"), "one");
    EXPECT_EQ(readItem("same.cnt", "<<4>"), "one");
}

TEST_F(ContainerTest, SubpathsResolveOneLevelOfNameOrId)
{
    ContainerWriter::writeFile(path("s.cnt"),
                               ContainerWriter().table({{item("a", 12, 1, "AAA"), item("b", 4, 1, "BBBB")}}).bytes());
    FileContainerStorage storage;
    ASSERT_TRUE(storage.open(name("s.cnt"), IStorage::eAccessRead, false, 0));
    struct Case {
        const char* subpath;
        bool opens;
        long long length;
    } cases[] = {
        {"<a", true, 3},
        {"<<12>", true, 3},
        {"<<4>", true, 4},
        {"<<0012>", true, 3},
        {"<<12", false, 0},  // no closing '>'
        {"<<x>", false, 0},  // no number
        {"<<>", false, 0},
        {"<<4294967308>", false, 0},  // 12 + 2^32: not taken modulo
        {"<<-4>", false, 0},
        {"<<+4>", false, 0},  // no sign
        {"<< 4>", false, 0},
        {"<<4 >", false, 0},  // no blanks
        {"<<4x>", false, 0},
        {"<<0x4>", false, 0},                   // decimal digits only
        {"<<18446744073709551620>", false, 0},  // 4 + 2^64
        {"<<12>x", false, 0},
        {"<a<b", false, 0},  // a second level never resolves
        {"<<12><b", false, 0},
        {"<c", false, 0},
        {"<", false, 0},
        {"a", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(storage.openContentFromSubpath(c.subpath, Parser::kAnyVersion), c.opens) << c.subpath;
        EXPECT_TRUE(storage.isOpen()) << "a failed subpath leaves the container open: " << c.subpath;
        FileContentRange range;
        EXPECT_EQ(storage.getOpenedContentRange(range), c.opens) << c.subpath;
        if (c.opens) {
            EXPECT_EQ(range.length, c.length) << c.subpath;
            EXPECT_EQ(storage.getCurrentSubpath(), c.subpath);
            std::string full;
            storage.getInnermostLevel().getContentFullSubpath(full);
            EXPECT_EQ(full, c.subpath);
            Parser::tContentParseInfo info;
            EXPECT_FALSE(storage.getContentInfoOfItem(std::string("a"), Parser::kAnyVersion, info))
                << "no lookups while an item is open";
        } else {
            EXPECT_EQ(storage.getCurrentSubpath(), "");
            EXPECT_EQ(storage.getChild(), nullptr);
            EXPECT_FALSE(storage.getLastError().empty()) << c.subpath;
        }
    }
}

TEST_F(ContainerTest, LargeRecordsWithAnIdMap)
{
    tLayout layout;
    ContainerWriter::writeFile(
        path("big.cnt"),
        ContainerWriter()
            .table({{item("one", 30, 1, "1"), item("two", 20, 1, "22"), item("three", 10, 1, "333")}, true, 1})
            .bytes(&layout));
    ASSERT_EQ(layout.recordSize, 640u);
    FileContainerStorage storage;
    ASSERT_TRUE(storage.open(name("big.cnt"), IStorage::eAccessRead, false, 0));
    EXPECT_EQ(storage.getRecordSize(), 640u);
    ASSERT_EQ(storage.getTables().size(), 1u);
    EXPECT_EQ(storage.getTables()[0].idMap.size(), 3u);
    Parser::tContentParseInfo info;
    ASSERT_TRUE(storage.getContentInfoOfItem(10u, Parser::kAnyVersion, info));
    // T + 640 * (C + 2) + 8 * C, then the item's offset.
    EXPECT_EQ(info.dataStart, 640 * 5 + 8 * 3 + 3);
    EXPECT_EQ(static_cast<size_t>(info.dataStart), layout.tables[0].data + 3);
    EXPECT_EQ(info.name, "three");
    EXPECT_EQ(readItem("big.cnt", "<<20>"), "22");
    EXPECT_EQ(readItem("big.cnt", "<three"), "333");
}

TEST_F(ContainerTest, AnEmptyEndRecordMeansTheEndOfTheData)
{
    tLayout layout;
    Bytes bytes = ContainerWriter().table({{item("a", 1, 1, "AAAA"), item("b", 2, 1, "BBBBBB")}}).bytes(&layout);
    putU64(bytes, layout.tables[0].records + 2 * layout.recordSize, 0);
    ContainerWriter::writeFile(path("e.cnt"), bytes);
    EXPECT_EQ(readItem("e.cnt", "<b"), "BBBBBB");
    EXPECT_EQ(readItem("e.cnt", "<a"), "AAAA");
}

TEST_F(ContainerTest, AnItemIsAStorageOfItsOwn)
{
    ContainerWriter::writeFile(
        path("i.cnt"), ContainerWriter().table({{item("a", 1, 1, "0123456789"), item("b", 2, 1, "next")}}).bytes());
    FileContainerItemStorage storage;
    ASSERT_TRUE(storage.open(name("i.cnt", "<a"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(storage.getPos64(), 0);
    char out[16] = {};
    storage.seek64(0, IStorage::eSeekFromEnd);
    EXPECT_EQ(storage.getPos64(), 10) << "the item's size";
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusEnd);

    storage.seek64(6, IStorage::eSeekFromStart);
    EXPECT_EQ(storage.read(out, 4), 4u);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusEnd);
    storage.seek64(6, IStorage::eSeekFromStart);
    EXPECT_EQ(storage.read(out, 8), 4u) << "never the next item's bytes";
    EXPECT_EQ(std::string(out, 4), "6789");
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError) << "a read that runs short of the item";

    EXPECT_FALSE(storage.open(name("i.cnt"), IStorage::eAccessRead, IStorage::eLockNone)) << "no subpath";
    EXPECT_FALSE(storage.isOpen());
    EXPECT_FALSE(storage.open(name("i.cnt", "<b"), IStorage::eAccessWrite, IStorage::eLockNone)) << "read-only";
}

TEST_F(ContainerTest, PlainFilesOpenWithoutASubpathOnly)
{
    write("plain.txt", "just text, no tables");
    FileContainerStorage storage;
    ASSERT_TRUE(storage.open(name("plain.txt"), IStorage::eAccessRead, false, 0));
    EXPECT_EQ(storage.getTotalSize(), 20);
    EXPECT_EQ(readAll(storage), "just text, no tables");
    EXPECT_FALSE(storage.openContentFromSubpath("<text", Parser::kAnyVersion));
    EXPECT_FALSE(storage.open(name("plain.txt", "<text"), IStorage::eAccessRead, false, 0));
    EXPECT_FALSE(storage.isOpen());
    write("empty.txt", "");
    EXPECT_FALSE(storage.open(name("empty.txt"), IStorage::eAccessRead, false, 0));
}

// pack.cnt, pack.part1 and pack.part2: items cross the part boundaries.
class SplitContainerTest : public ContainerTest {
protected:
    void SetUp() override
    {
        ContainerTest::SetUp();
        const std::string big(700, 'b');
        m_bytes = ContainerWriter()
                      .partInfo(3)
                      .table({{item("first", 1, 1, "across-the-boundary"), item("big", 2, 1, big),
                               item("last", 3, 1, "in-the-last-part")}})
                      .bytes(&m_layout);
        // Part 0 ends inside "first", part 1 inside "big".
        m_part0 = m_layout.tables[0].data + 6;
        ContainerWriter::writeParts(m_folder.path(), "pack", ".cnt", m_bytes, {m_part0, 500});
    }

    Bytes m_bytes;
    tLayout m_layout;
    size_t m_part0 = 0;
};

TEST_F(SplitContainerTest, ReadsItemsAcrossParts)
{
    EXPECT_EQ(readItem("pack.cnt", "<first"), "across-the-boundary");
    EXPECT_EQ(readItem("pack.cnt", "<big"), std::string(700, 'b'));
    EXPECT_EQ(readItem("pack.cnt", "<last"), "in-the-last-part");

    FileContainerStorage storage;
    ASSERT_TRUE(storage.open(name("pack.cnt"), IStorage::eAccessRead, false, 0));
    EXPECT_EQ(storage.getPartCount(), 3);
    EXPECT_EQ(storage.getPartName(0), "pack.cnt");
    EXPECT_EQ(storage.getPartName(2), "pack.part2");
    EXPECT_EQ(storage.getTotalSize(), static_cast<long long>(m_bytes.size()));
    FileContentRange range;
    ASSERT_TRUE(storage.getContentRangeOfItem(std::string("first"), Parser::kAnyVersion, range));
    EXPECT_EQ(range.firstPartIndex, 0);
    EXPECT_EQ(range.bytesInFirstPart, 6);
    EXPECT_EQ(range.nextPartIndex, 1);
    ASSERT_TRUE(storage.getContentRangeOfItem(std::string("last"), Parser::kAnyVersion, range));
    EXPECT_EQ(range.firstPartIndex, 2);
}

TEST_F(SplitContainerTest, APartsEndBelongsToTheNextPart)
{
    FileContainerStorage storage;
    ASSERT_TRUE(storage.open(name("pack.cnt"), IStorage::eAccessRead, false, 0));
    const long long end0 = static_cast<long long>(m_part0);
    struct Case {
        long long position;
        bool found;
        long long index;
        long long start;
    } cases[] = {
        {0, true, 0, 0},
        {end0 - 1, true, 0, 0},
        {end0, true, 1, end0},
        {end0 + 500, true, 2, end0 + 500},
        {static_cast<long long>(m_bytes.size()), true, 2, end0 + 500},  // the end of the last part
        {static_cast<long long>(m_bytes.size()) + 1, false, 0, 0},
        {-1, false, 0, 0},
    };
    for (const Case& c : cases) {
        long long index = -7, start = -7;
        EXPECT_EQ(storage.getPartIndexForPosition(c.position, index, start), c.found) << c.position;
        if (c.found) {
            EXPECT_EQ(index, c.index) << c.position;
            EXPECT_EQ(start, c.start) << c.position;
        }
    }
}

TEST_F(SplitContainerTest, EveryPartMustBeThere)
{
    std::filesystem::remove(path("pack.part2"));
    FileContainerStorage storage;
    EXPECT_FALSE(storage.open(name("pack.cnt"), IStorage::eAccessRead, false, 0));
    EXPECT_FALSE(storage.isOpen());
    EXPECT_FALSE(storage.getLastError().empty());
}

TEST_F(ContainerTest, AFileThatShrinksUnderneathFailsTheItemsRead)
{
    const std::string big(64 * 1024, 'b');
    ContainerWriter::writeFile(path("shrinks.cnt"), ContainerWriter().table({{item("big", 1, 1, big)}}).bytes());
    FileContainerItemStorage storage;
    ASSERT_TRUE(storage.open(name("shrinks.cnt", "<big"), IStorage::eAccessRead, IStorage::eLockNone));
    std::filesystem::resize_file(path("shrinks.cnt"), 32 * 1024);
    const std::string got = readAll(storage, 1024);
    EXPECT_LT(got.size(), big.size());
    EXPECT_EQ(got, big.substr(0, got.size()));
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError);
}

TEST_F(ContainerTest, ItemsBeyondFourGiB)
{
    // One table whose data block is 5 GiB, mostly a hole ("gap"), with "far" at its end.
    const long long gap = 5 * kGiB;
    tLayout layout;
    Bytes bytes = ContainerWriter()
                      .table({{item("near", 1, 1, "abc"), item("gap", 2, 1, "-"), item("far", 3, 1, "xyz")}})
                      .bytes(&layout);
    const size_t records = layout.tables[0].records;
    putU64(bytes, layout.tables[0].header + 24, gap + 3);
    putU64(bytes, records + 2 * layout.recordSize, gap);
    putU64(bytes, records + 3 * layout.recordSize, gap + 3);
    bytes.resize(layout.tables[0].data);
    writeAt("huge.cnt", 0, std::string(bytes.begin(), bytes.end()));
    writeAt("huge.cnt", static_cast<long long>(layout.tables[0].data), "abc");
    writeAt("huge.cnt", static_cast<long long>(layout.tables[0].data) + gap, "xyz");

    EXPECT_EQ(readItem("huge.cnt", "<near"), "abc");
    EXPECT_EQ(readItem("huge.cnt", "<far"), "xyz");
    FileContainerItemStorage storage;
    ASSERT_TRUE(storage.open(name("huge.cnt", "<far"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(storage.getStart(), static_cast<long long>(layout.tables[0].data) + gap);
    storage.seek64(1, IStorage::eSeekFromStart);
    EXPECT_EQ(storage.getPos64(), 1);
    char out[2] = {};
    EXPECT_EQ(storage.read(out, 2), 2u);
    EXPECT_EQ(std::string(out, 2), "yz");
}

TEST_F(ContainerTest, SplitItemsBeyondFourGiB)
{
    const long long gap = 5 * kGiB;
    tLayout layout;
    Bytes bytes = ContainerWriter().partInfo(2).table({{item("far", 2, 1, "xyz")}}).bytes(&layout);
    const size_t records = layout.tables[0].records;
    putU64(bytes, layout.tables[0].header + 24, gap + 3);
    putU64(bytes, records, gap);
    putU64(bytes, records + layout.recordSize, gap + 3);
    bytes.resize(layout.tables[0].data);
    const long long data = static_cast<long long>(layout.tables[0].data);
    writeAt("huge.cnt", 0, std::string(bytes.begin(), bytes.end()));
    writeAt("huge.cnt", data + gap, "x");  // part 0 ends after the "x"
    write("huge.part1", "yz");

    EXPECT_EQ(readItem("huge.cnt", "<far"), "xyz");
    FileContainerStorage storage;
    ASSERT_TRUE(storage.open(name("huge.cnt"), IStorage::eAccessRead, false, 0));
    long long index = 0, start = 0;
    ASSERT_TRUE(storage.getPartIndexForPosition(data + gap + 1, index, start));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(start, data + gap + 1);
}

}  // namespace
}  // namespace QV::GP::TEST
