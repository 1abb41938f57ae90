// The drag-and-drop delegates: what the windowing delegate reads from a drag's pasteboard (text,
// files, the in-process payload, only when this process put it there), and the no-op one.
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventData.h"
#include "UIA/ExchangeData.h"
#include "UIA/FileListClipBoardFormat.h"
#include "UIA/InternalClipBoardFormat.h"
#include "UIA/TextClipBoardFormat.h"

#include <GP/FileName.h>

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using namespace QV::UIA;

class DragDropDelegateTest : public ::testing::Test {
protected:
    void SetUp() override { setDragDropDelegate(makeWindowingDragDropDelegate()); }
    void TearDown() override { setDragDropDelegate(nullptr); }

    const IDragDropDelegate& delegate() const { return DNDDelegate::get(); }
};

TEST_F(DragDropDelegateTest, TextAndFilesReadFromTheDragsPasteboard)
{
    TextClipBoardFormat text;
    text.setValue("grüße");
    ExchangeData textData(text, false);
    DragEventData textDrag;
    textDrag.data = &textData;
    EXPECT_TRUE(delegate().isExternalText(textDrag));
    EXPECT_FALSE(delegate().isExternalFileList(textDrag));
    EXPECT_EQ(delegate().getExternalText(textDrag), std::optional<std::string>("grüße"));
    EXPECT_EQ(delegate().getExternalFileList(textDrag), std::nullopt);
    EXPECT_EQ(delegate().getInternalDragDropData(textDrag), nullptr);
    EXPECT_EQ(delegate().getOSHandle(textDrag), textData.getPasteboard());
    // The record's own queries ask the installed delegate.
    TextClipBoardFormat read;
    EXPECT_TRUE(textDrag.getFormat(read));
    EXPECT_EQ(read.getValue(), "grüße");
    EXPECT_TRUE(textDrag.containsFormat(TextClipBoardFormat::FormatHandle()));

    QV::TEST::TemporaryFolder folder{"qv-dragdrop"};
    const std::string path = folder.path().native() + "/dropped file.txt";
    std::ofstream(path) << "x";
    FileListClipBoardFormat files({QV::GP::FileName(std::filesystem::path(path))});
    ExchangeData fileData(files, false);
    DragEventData fileDrag;
    fileDrag.data = &fileData;
    EXPECT_TRUE(delegate().isExternalFileList(fileDrag));
    EXPECT_FALSE(delegate().isExternalText(fileDrag));
    const auto list = delegate().getExternalFileList(fileDrag);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].getFilesystemPath(), path);

    DragEventData empty;
    EXPECT_EQ(delegate().getExternalText(empty), std::nullopt);
    EXPECT_EQ(delegate().getOSHandle(empty), nullptr);
}

TEST_F(DragDropDelegateTest, TheInProcessPayloadComesOnlyFromThePasteboardThisProcessFilledForTheDrag)
{
    const unsigned formatId = DragDropManager::registerFormat("vardolin.test.payload");
    const DragDropData payload(formatId);
    const InternalClipBoardFormat internal(&payload, nullptr);
    {
        ExchangeData data(internal, false);
        DragEventData drag;
        drag.data = &data;
        EXPECT_EQ(delegate().getInternalDragDropData(drag), &payload);
        EXPECT_EQ(DNDDelegate::getInternalDragDropData(drag), &payload);
        EXPECT_EQ(delegate().getFormat(drag, DragDropFormat{formatId}), &payload);
        EXPECT_TRUE(delegate().containsFormat(drag, DragDropFormat{formatId}));
        EXPECT_EQ(delegate().getFormat(drag, DragDropFormat{formatId + 1}), nullptr);
        EXPECT_FALSE(delegate().containsFormat(drag, DragDropFormat{formatId + 1}));
        EXPECT_FALSE(delegate().isExternalText(drag));

        // The same bytes on another pasteboard, as anybody could put them there: not a payload.
        PasteboardRef forged = nullptr;
        ASSERT_EQ(PasteboardCreate(kPasteboardUniqueName, &forged), 0);
        ASSERT_EQ(PasteboardClear(forged), 0);
        std::vector<CFDataRef> items;
        internal.writeOSData(items);
        ASSERT_EQ(items.size(), 1u);
        ASSERT_EQ(PasteboardPutItemFlavor(forged, reinterpret_cast<PasteboardItemID>(1),
                                          InternalClipBoardFormat::FormatHandle().typeIdentifier, items[0], 0),
                  0);
        CFRelease(items[0]);
        ExchangeData forgedData(forged);
        CFRelease(forged);
        DragEventData forgedDrag;
        forgedDrag.data = &forgedData;
        EXPECT_EQ(delegate().getInternalDragDropData(forgedDrag), nullptr);
        EXPECT_FALSE(delegate().containsFormat(forgedDrag, DragDropFormat{formatId}));
    }
}

TEST(NOPDragDropDelegate, IsInstalledByDefaultAndForAnEmptyDelegateAndKnowsNothing)
{
    setDragDropDelegate(makeWindowingDragDropDelegate());
    setDragDropDelegate(nullptr);
    const IDragDropDelegate& nop = DNDDelegate::get();
    EXPECT_NE(dynamic_cast<const NOPDragDropDelegate*>(&nop), nullptr);

    TextClipBoardFormat text;
    text.setValue("abc");
    ExchangeData data(text, false);
    DragEventData drag;
    drag.data = &data;
    TextClipBoardFormat read;
    EXPECT_FALSE(drag.getFormat(read));
    EXPECT_FALSE(drag.containsFormat(TextClipBoardFormat::FormatHandle()));
    EXPECT_EQ(nop.getExternalText(drag), std::nullopt);
    EXPECT_EQ(nop.getExternalFileList(drag), std::nullopt);
    EXPECT_EQ(nop.getOSHandle(drag), nullptr);
    EXPECT_EQ(nop.registerDNDFormat("vardolin.test.nop"), 0u);
}

}  // namespace
