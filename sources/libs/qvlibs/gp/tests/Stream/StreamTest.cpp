#include "GP/MemoryStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using QV::GP::IStorage;
using QV::GP::MemoryStream;
namespace Endian = QV::GP::Endian;

MemoryStream& over(MemoryStream& stream, std::vector<unsigned char>& bytes, Endian::eByteOrder order,
                   IStorage::eAccessMode mode = IStorage::eAccessRead)
{
    stream.storage().init(mode, bytes.data(), bytes.size());
    stream.setByteOrder(order);
    return stream;
}

TEST(Stream, ReadsInEitherByteOrder)
{
    struct Case {
        std::vector<unsigned char> bytes;
        Endian::eByteOrder order;
        uint32_t u32;
        uint16_t u16;  // of the first two bytes
    } cases[] = {
        {{0x00, 0x00, 0x01, 0x02}, Endian::eBigEndian, 258, 0},
        {{0x02, 0x01, 0x00, 0x00}, Endian::eLittleEndian, 258, 258},
        {{0x01, 0x00, 0x00, 0x00}, Endian::eBigEndian, 0x01000000, 256},
        {{0x01, 0x00, 0x00, 0x00}, Endian::eLittleEndian, 1, 1},
    };
    for (Case& c : cases) {
        MemoryStream stream;
        EXPECT_EQ(over(stream, c.bytes, c.order).readU32(), c.u32);
        stream.storage().seek64(0, IStorage::eSeekFromStart);
        EXPECT_EQ(stream.readU16(), c.u16);
    }
}

TEST(Stream, SignedValuesAndBooleans)
{
    std::vector<unsigned char> bytes{0xFF, 0xFF, 0xFF, 0xFE, 0x02, 0x00, 0x80};
    MemoryStream stream;
    over(stream, bytes, Endian::eBigEndian);
    EXPECT_EQ(stream.readS32(), -2);
    EXPECT_TRUE(stream.readBoolean());
    EXPECT_FALSE(stream.readBoolean());
    EXPECT_EQ(stream.readS8(), -128);
    EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusEnd);
}

TEST(Stream, WritesInTheStreamsOrder)
{
    std::vector<unsigned char> bytes(9, 0xAA);
    MemoryStream stream;
    over(stream, bytes, Endian::eBigEndian, IStorage::eAccessWrite);
    EXPECT_EQ(stream.writeS32(-2), 4u);
    EXPECT_EQ(stream.writeBoolean(true), 1u);
    stream.setByteOrder(Endian::eLittleEndian);
    EXPECT_EQ(stream.writeU32(0x01020304), 4u);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFE, 0x01, 0x04, 0x03, 0x02, 0x01}));
}

TEST(Stream, AShortReadAnswersZeroForTheMissingBytesAndSetsTheStatus)
{
    std::vector<unsigned char> bytes{0x12, 0x34};
    MemoryStream stream;
    over(stream, bytes, Endian::eLittleEndian);
    EXPECT_EQ(stream.readU32(), 0x3412u);
    EXPECT_EQ(stream.getStorage()->getStatus(), IStorage::eStatusError);
    char raw[4];
    EXPECT_EQ(stream.readRaw(raw, 4), 0u);
}

}  // namespace
