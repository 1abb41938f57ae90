// The clipboard formats over private pasteboards of this process: what each format writes, how it
// reads items that other programs put there, and which internal payloads it trusts.
#include "UIA/ExchangeData.h"
#include "UIA/FileListClipBoardFormat.h"
#include "UIA/InternalClipBoardFormat.h"
#include "UIA/TextClipBoardFormat.h"

#include <GP/FileTypeManager.h>
#include <GP/StringCF.h>

#include "QVTest/TemporaryFolder.h"

#include <CoreServices/UTType.h>
#include <Foundation/NSObjCRuntime.h>
#include <objc/message.h>
#include <objc/runtime.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::GP::FileName;
using QV::GP::FileTypeManager;

// A pasteboard filled flavour by flavour, as another program (or a forger) would.
class ForeignPasteboard {
public:
    ForeignPasteboard()
    {
        EXPECT_EQ(PasteboardCreate(kPasteboardUniqueName, &m_pasteboard), 0);
        EXPECT_EQ(PasteboardClear(m_pasteboard), 0);
    }
    ~ForeignPasteboard() { CFRelease(m_pasteboard); }
    ForeignPasteboard(const ForeignPasteboard&) = delete;
    ForeignPasteboard& operator=(const ForeignPasteboard&) = delete;

    void put(unsigned item, CFStringRef type, const std::string& bytes)
    {
        CFDataRef data =
            CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()), static_cast<CFIndex>(bytes.size()));
        EXPECT_EQ(PasteboardPutItemFlavor(m_pasteboard, reinterpret_cast<PasteboardItemID>(uintptr_t{item}), type, data,
                                          kPasteboardFlavorNoFlags),
                  0);
        CFRelease(data);
    }
    void put(unsigned item, CFStringRef type, const std::u16string& units)
    {
        put(item, type, std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2));
    }

    PasteboardRef get() const { return m_pasteboard; }

private:
    PasteboardRef m_pasteboard = nullptr;
};

// The flavours of every item of a pasteboard: item -> (type, bytes).
std::vector<std::vector<std::pair<std::string, std::string>>> contentOf(PasteboardRef pasteboard)
{
    std::vector<std::vector<std::pair<std::string, std::string>>> items;
    ItemCount count = 0;
    EXPECT_EQ(PasteboardGetItemCount(pasteboard, &count), 0);
    for (CFIndex i = 1; i <= static_cast<CFIndex>(count); ++i) {
        PasteboardItemID item = nullptr;
        EXPECT_EQ(PasteboardGetItemIdentifier(pasteboard, i, &item), 0);
        CFArrayRef types = nullptr;
        EXPECT_EQ(PasteboardCopyItemFlavors(pasteboard, item, &types), 0);
        items.emplace_back();
        for (CFIndex t = 0; t < CFArrayGetCount(types); ++t) {
            auto type = static_cast<CFStringRef>(CFArrayGetValueAtIndex(types, t));
            CFDataRef data = nullptr;
            EXPECT_EQ(PasteboardCopyItemFlavorData(pasteboard, item, type, &data), 0);
            items.back().emplace_back(QV::GP::StringCF(type),
                                      std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                                                  static_cast<size_t>(CFDataGetLength(data))));
            CFRelease(data);
        }
        CFRelease(types);
    }
    return items;
}

TEST(TextClipBoardFormat, ReadsUnitsToTheFirstZeroWithCRLFAsCRAndWithoutByteOrderMark)
{
    struct Case {
        std::u16string raw;
        unsigned long size;  // bytes handed over
        std::u16string value;
    } cases[] = {
        {u"abc", 6, u"abc"},
        {u"a\r\nb\r\n", 12, u"a\rb\r"},
        {u"\r\r\n\n", 8, u"\r\r\n"},
        {u"\xFEFFx\xFEFF", 6, u"x\xFEFF"},  // only the leading mark goes
        {u"ab\0cd", 10, u"ab"},
        {u"abcd", 7, u"abc"},  // an odd byte is no unit
        {u"", 0, u""},
    };
    for (const Case& c : cases) {
        TextClipBoardFormat text;
        EXPECT_TRUE(text.readRawData(c.raw.data(), c.size));
        std::vector<char16_t> written(text.getRawDataSize() / 2);
        text.writeRawData(written.data());
        EXPECT_EQ(std::u16string(written.begin(), written.end()), c.value);
    }
}

TEST(TextClipBoardFormat, KeepsUTF8AsUTF16AndDropsInvalidSequences)
{
    TextClipBoardFormat text;
    text.setValue("Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x98\x80 \xC3");
    EXPECT_EQ(text.getValue(), "Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x98\x80 ");
    EXPECT_EQ(text.getRawDataSize(), 2u * 9u);  // the emoji takes two units
}

TEST(ExchangeData, TextAbcIsOneItemOfSixBytes)
{
    TextClipBoardFormat text;
    text.setValue("abc");
    ExchangeData data(text, false);
    ASSERT_NE(data.getPasteboard(), nullptr);
    const auto items = contentOf(data.getPasteboard());
    ASSERT_EQ(items.size(), 1u);
    ASSERT_EQ(items[0].size(), 1u);
    EXPECT_EQ(items[0][0].first, "public.utf16-plain-text");
    EXPECT_EQ(items[0][0].second, std::string("a\0b\0c\0", 6));

    TextClipBoardFormat back;
    EXPECT_TRUE(data.containsFormat(TextClipBoardFormat::FormatHandle()));
    EXPECT_FALSE(data.containsFormat(FileListClipBoardFormat::FormatHandle()));
    EXPECT_TRUE(data.getFormat(back));
    EXPECT_EQ(back.getValue(), "abc");
}

TEST(ExchangeData, TextPrefersTheUTF8FlavourAndReadsOnlyTheFirstTextItem)
{
    ForeignPasteboard foreign;
    foreign.put(1, kUTTypeUTF16PlainText, std::u16string(u"from utf-16"));
    foreign.put(1, kUTTypeUTF8PlainText, std::string("from utf-8\r\n\xC3\xA9\xFF"));
    foreign.put(2, kUTTypeUTF16PlainText, std::u16string(u"second item"));
    TextClipBoardFormat text;
    EXPECT_TRUE(ExchangeData(foreign.get()).getFormat(text));
    EXPECT_EQ(text.getValue(), "from utf-8\r\xC3\xA9");

    ForeignPasteboard utf16Only;
    utf16Only.put(1, kUTTypeUTF16PlainText, std::u16string(u"\xFEFFone\r\ntwo"));
    EXPECT_TRUE(ExchangeData(utf16Only.get()).getFormat(text));
    EXPECT_EQ(text.getValue(), "one\rtwo");
}

class FileLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        FileTypeManager::init();
    }
    void TearDown() override { FileTypeManager::deInit(); }

    std::string makeFile(const std::string& name)
    {
        const std::string path = (m_folder.path() / name).native();
        std::ofstream(path) << "x";
        return path;
    }

    QV::TEST::TemporaryFolder m_folder{"qv-clipboard"};
};

TEST_F(FileLists, EveryFileIsOneItemOfItsURLAndReadsBackTyped)
{
    const FileName png{std::filesystem::path(makeFile("picture one.png"))};
    const FileName folder{std::filesystem::path(m_folder.path().native() + "/")};
    ExchangeData data(FileListClipBoardFormat({png, folder}), false);
    ASSERT_NE(data.getPasteboard(), nullptr);
    const auto items = contentOf(data.getPasteboard());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0][0].first, "public.file-url");
    EXPECT_EQ(items[0][0].second, "file://" + m_folder.path().native() + "/picture%20one.png");

    FileListClipBoardFormat back;
    EXPECT_TRUE(data.getFormat(back));
    ASSERT_EQ(back.getFiles().size(), 2u);
    EXPECT_EQ(back.getFiles()[0].getFull(), png.getFull());
    EXPECT_EQ(back.getFiles()[0].getType(), FileTypeManager::getStdType(FileTypeManager::eStdFileTypePNG));
    EXPECT_EQ(back.getFiles()[1].getFull(), folder.getFull());
}

TEST_F(FileLists, ItemsThatNameNoFileAreSkippedAndTheReadStillSucceeds)
{
    const std::string file = makeFile("a.txt");
    ForeignPasteboard foreign;
    foreign.put(1, kUTTypeFileURL, std::string("no url at all"));
    foreign.put(2, kUTTypeFileURL, std::string("http://example.org/a.txt"));
    foreign.put(3, kUTTypeFileURL, "file://" + file);
    FileListClipBoardFormat files;
    EXPECT_TRUE(ExchangeData(foreign.get()).getFormat(files));
    ASSERT_EQ(files.getFiles().size(), 1u);
    EXPECT_EQ(files.getFiles()[0].getFilesystemPath(), file);

    ForeignPasteboard nothingUsable;
    nothingUsable.put(1, kUTTypeFileURL, std::string("::"));
    FileListClipBoardFormat none;
    EXPECT_TRUE(ExchangeData(nothingUsable.get()).getFormat(none));
    EXPECT_TRUE(none.getFiles().empty());
}

TEST_F(FileLists, EachFileIsTypedByItsExtensionOrWhatItIsOnDisk)
{
    // File managers name a folder without the closing slash: the disk tells it is one.
    const std::string folder = (m_folder.path() / "sub").native();
    std::filesystem::create_directory(folder);
    const std::string picture = makeFile("picture.png");
    const std::string bare = makeFile("notes");
    ForeignPasteboard foreign;
    foreign.put(1, kUTTypeFileURL, "file://" + folder);
    foreign.put(2, kUTTypeFileURL, "file://" + picture);
    foreign.put(3, kUTTypeFileURL, "file://" + bare);
    FileListClipBoardFormat files;
    ASSERT_TRUE(ExchangeData(foreign.get()).getFormat(files));
    ASSERT_EQ(files.getFiles().size(), 3u);
    EXPECT_EQ(files.getFiles()[0].getType(), FileTypeManager::getStdType(FileTypeManager::eStdFileTypeDirectory));
    EXPECT_EQ(files.getFiles()[1].getType(), FileTypeManager::getStdType(FileTypeManager::eStdFileTypePNG));
    const QV::GP::FileTypeDescr* bareType = files.getFiles()[2].getType();
    EXPECT_TRUE(bareType == nullptr || bareType == FileTypeManager::getStdType(FileTypeManager::eStdFileTypeUnknown))
        << "nothing tells the type of a plain file without extension";
}

TEST_F(FileLists, AnEmptyListPutsNothingAndLeavesNoPasteboard)
{
    EXPECT_EQ(ExchangeData(FileListClipBoardFormat(), false).getPasteboard(), nullptr);
    FileListClipBoardFormat files;
    EXPECT_FALSE(ExchangeData(nullptr).getFormat(files));
    EXPECT_FALSE(ExchangeData(nullptr).containsFormat(FileListClipBoardFormat::FormatHandle()));
}

// Stand-ins for the payload and the window: only their addresses travel.
struct tPayload {
    int value = 7;
} g_payload;
char g_window;

WindowBase* window() { return reinterpret_cast<WindowBase*>(&g_window); }
const DragDropData* payload() { return reinterpret_cast<const DragDropData*>(&g_payload); }

TEST(InternalClipBoardFormat, TheTypeIsUniqueToThisProcessRun)
{
    const std::string type = QV::GP::StringCF(InternalClipBoardFormat::FormatHandle().typeIdentifier);
    EXPECT_EQ(type.rfind("orvendal.application.internalclipboardformat.0x", 0), 0u) << type;
    EXPECT_EQ(type.find_first_not_of("0123456789abcdef", 47), std::string::npos) << type;
}

TEST(InternalClipBoardFormat, ThePayloadThisProcessPutReadsBack)
{
    ExchangeData data(InternalClipBoardFormat(payload(), window()), false);
    ASSERT_NE(data.getPasteboard(), nullptr);
    const auto items = contentOf(data.getPasteboard());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0][0].second.size(), 16u);

    InternalClipBoardFormat back;
    EXPECT_TRUE(data.containsFormat(InternalClipBoardFormat::FormatHandle()));
    EXPECT_TRUE(data.getFormat(back));
    EXPECT_EQ(back.getData(), payload());
    EXPECT_EQ(back.getSource(), window());

    // Another view of the same pasteboard (as a drag destination opens it by name) reads it too.
    ExchangeData view(data.getPasteboard());
    InternalClipBoardFormat viewed;
    EXPECT_TRUE(view.getFormat(viewed));
    EXPECT_EQ(viewed.getData(), payload());
}

TEST(InternalClipBoardFormat, APayloadThisProcessDidNotPutThereIsAbsent)
{
    const CFStringRef type = InternalClipBoardFormat::FormatHandle().typeIdentifier;
    std::string pointers(16, '\0');
    const DragDropData* data = payload();
    WindowBase* source = window();
    std::memcpy(pointers.data(), &data, 8);
    std::memcpy(pointers.data() + 8, &source, 8);

    // Forged: the right type and size, but written by someone else.
    ForeignPasteboard forged;
    forged.put(1, type, pointers);
    // The sizes around 16, even on a pasteboard that holds a genuine payload.
    ExchangeData genuine(InternalClipBoardFormat(payload(), window()), false);
    for (const std::string& bytes : {pointers.substr(0, 15), pointers + "x", std::string()}) {
        ForeignPasteboard wrongSize;
        wrongSize.put(1, type, bytes);
        InternalClipBoardFormat read;
        EXPECT_FALSE(ExchangeData(wrongSize.get()).getFormat(read)) << bytes.size();
        EXPECT_FALSE(read.readRawData(bytes.data(), bytes.size())) << bytes.size();
    }
    InternalClipBoardFormat read;
    EXPECT_FALSE(ExchangeData(forged.get()).containsFormat(InternalClipBoardFormat::FormatHandle()));
    EXPECT_FALSE(ExchangeData(forged.get()).getFormat(read));
    EXPECT_EQ(read.getData(), nullptr);
}

TEST(ExchangeData, APrivatePasteboardIsTheNSPasteboardOfItsName)
{
    // A drag hands the platform the NSPasteboard of the name its ExchangeData wrote.
    ExchangeData drag(InternalClipBoardFormat(payload(), window()), false);
    CFStringRef name = nullptr;
    ASSERT_EQ(PasteboardCopyName(drag.getPasteboard(), &name), 0);
    void* pool = objc_autoreleasePoolPush();
    const auto asObject = [](CFTypeRef ref) { return static_cast<id>(const_cast<void*>(ref)); };
    id pasteboard = objc::msgSend<id, id>(asObject(objc_getClass("NSPasteboard")), objc::sel("pasteboardWithName:"),
                                          asObject(name));
    ASSERT_NE(pasteboard, nullptr);
    const std::string named =
        objc::msgSend<const char*>(objc::msgSend<id>(pasteboard, objc::sel("name")), objc::sel("UTF8String"));
    EXPECT_EQ(named, QV::GP::StringCF(name));
    id types = objc::msgSend<id>(pasteboard, objc::sel("types"));
    ASSERT_EQ(objc::msgSend<NSUInteger>(types, objc::sel("count")), 1u);
    const std::string type = objc::msgSend<const char*>(
        objc::msgSend<id, NSUInteger>(types, objc::sel("objectAtIndex:"), 0), objc::sel("UTF8String"));
    EXPECT_EQ(type, QV::GP::StringCF(InternalClipBoardFormat::FormatHandle().typeIdentifier));
    objc_autoreleasePoolPop(pool);
    CFRelease(name);
}

TEST(InternalClipBoardFormat, APayloadIsAbsentOnceItsDragIsOver)
{
    PasteboardRef pasteboard = nullptr;
    {
        ExchangeData drag(InternalClipBoardFormat(payload(), window()), false);
        pasteboard = drag.getPasteboard();
        CFRetain(pasteboard);
    }
    InternalClipBoardFormat read;
    EXPECT_FALSE(ExchangeData(pasteboard).getFormat(read));
    CFRelease(pasteboard);
}

}  // namespace
