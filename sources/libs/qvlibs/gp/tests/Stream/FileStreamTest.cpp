#include "GP/FileStream.h"
#include "GP/ResourceStream.h"

#include "../Container/ContainerWriter.h"
#include "../Storage/BundleFixture.h"

#include <memory>

namespace QV::GP::TEST {
namespace {

using FileStreamTest = FolderTest;

TEST_F(FileStreamTest, ReadsAFileOrAContainerItem)
{
    write("plain.bin", std::string("\x01\x00\x00\x00\x01\x02", 6));
    tItem value;
    value.name = "value";
    value.data = std::string("\x00\x00\x01\x02\x07", 5);
    ContainerWriter::writeFile(path("pack.cnt"), ContainerWriter().table({{value}}).bytes());

    FileStream plain;
    ASSERT_TRUE(plain.open(name("plain.bin")));
    EXPECT_EQ(plain.getStorage(), &plain.fileStorage());
    EXPECT_EQ(plain.readU32(), 1u);
    plain.setByteOrder(Endian::eBigEndian);
    EXPECT_EQ(plain.readU16(), 0x0102u);

    FileStream item;
    ASSERT_TRUE(item.open(name("pack.cnt", "<value")));
    EXPECT_EQ(item.getStorage(), &item.itemStorage());
    item.setByteOrder(Endian::eBigEndian);
    EXPECT_EQ(item.readU32(), 258u);
    EXPECT_EQ(item.readU8(), 7u);
    EXPECT_EQ(item.getStorage()->getStatus(), IStorage::eStatusEnd);
    item.readU32();
    EXPECT_EQ(item.getStorage()->getStatus(), IStorage::eStatusError) << "a read past the item's end";
}

TEST_F(FileStreamTest, AnUnresolvedSubpathLeavesTheClosedFileStorage)
{
    tItem value;
    value.name = "value";
    value.data = "data";
    ContainerWriter::writeFile(path("pack.cnt"), ContainerWriter().table({{value}}).bytes());
    // Deleted through the base, as its owners hold it.
    std::unique_ptr<Stream> stream = std::make_unique<FileStream>();
    FileStream& file = static_cast<FileStream&>(*stream);
    EXPECT_FALSE(file.open(name("pack.cnt", "<other")));
    EXPECT_EQ(file.getStorage(), &file.fileStorage());
    EXPECT_EQ(file.getStorage()->getStatus(), IStorage::eStatusClosed);
    EXPECT_FALSE(file.open(name("missing.bin")));
    EXPECT_TRUE(file.open(name("pack.cnt", "<value")));
}

using ResourceStreamTest = BundleTest;

TEST_F(ResourceStreamTest, ReadsABundleResourceInEitherByteOrder)
{
    std::unique_ptr<Stream> owned = std::make_unique<ResourceStream>();
    ResourceStream& stream = static_cast<ResourceStream&>(*owned);
    ASSERT_TRUE(stream.init(bundle(), 1u, "BIGE"));
    stream.setByteOrder(Endian::eBigEndian);
    EXPECT_EQ(stream.readU32(), 258u);
    stream.getStorage()->seek64(0, IStorage::eSeekFromStart);
    stream.setByteOrder(Endian::eLittleEndian);
    EXPECT_EQ(stream.readU32(), 0x02010000u);
}

}  // namespace
}  // namespace QV::GP::TEST
