// PictureProperties as a stream record: its layout in either byte order, and records that do not
// arrive or do not fit.
#include "UIA/PictureProperties.h"

#include "GP/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

namespace Endian = QV::GP::Endian;
using QV::GP::IStorage;
using QV::GP::MemoryStream;
using QV::UIA::PictureProperties;

// Counts the notifications, as a subclass that watches the properties would.
class WatchedProperties : public PictureProperties {
public:
    void propertiesChanged() override { ++m_nChanges; }
    int m_nChanges = 0;
};

// Every field set to a value that tells it apart, the borders negative among them.
PictureProperties sample()
{
    PictureProperties p;
    p.setAlphaChannel(true);
    p.setAnimationOrientation(PictureProperties::eOrientationHorizontal);
    p.setNumAnimations(0x01020304);
    p.setVertResizable(true);
    p.setHorzResizable(true);
    p.setFixedTop(-2);
    p.setFixedBottom(0x11223344);
    p.setFixedLeft(7);
    p.setFixedRight(-0x100);
    return p;
}

void expectSameProperties(const PictureProperties& a, const PictureProperties& b)
{
    EXPECT_EQ(a.hasAlphaChannel(), b.hasAlphaChannel());
    EXPECT_EQ(a.getAnimationOrientation(), b.getAnimationOrientation());
    EXPECT_EQ(a.getNumAnimations(), b.getNumAnimations());
    EXPECT_EQ(a.getResizeFlags(), b.getResizeFlags());
    EXPECT_EQ(a.getFixedTop(), b.getFixedTop());
    EXPECT_EQ(a.getFixedBottom(), b.getFixedBottom());
    EXPECT_EQ(a.getFixedLeft(), b.getFixedLeft());
    EXPECT_EQ(a.getFixedRight(), b.getFixedRight());
}

std::vector<unsigned char> written(const PictureProperties& p, Endian::eByteOrder order)
{
    std::vector<unsigned char> bytes(PictureProperties::kRecordBytes + 3, 0xEE);
    MemoryStream stream;
    stream.storage().init(IStorage::eAccessReadWrite, bytes.data(), bytes.size());
    stream.setByteOrder(order);
    EXPECT_TRUE(p.write(stream));
    EXPECT_EQ(stream.storage().getPos64(), static_cast<long long>(PictureProperties::kRecordBytes));
    return bytes;
}

TEST(PicturePropertiesRecord, LayoutInEitherByteOrder)
{
    using Bytes = std::vector<unsigned char>;
    struct Case {
        Endian::eByteOrder order;
        Bytes record;
    } const cases[] = {
        {Endian::eLittleEndian, {1,    0,    0,    0,     // record version
                                 1,                       // alpha channel
                                 2,    0,    0,    0,     // orientation
                                 4,    3,    2,    1,     // frames
                                 3,    0,    0,    0,     // resize flags
                                 0xFE, 0xFF, 0xFF, 0xFF,  // fixed top -2
                                 0x44, 0x33, 0x22, 0x11,  // fixed bottom
                                 7,    0,    0,    0,     // fixed left
                                 0x00, 0xFF, 0xFF, 0xFF,  // fixed right -256
                                 0xEE, 0xEE, 0xEE}},      // untouched after the record
        {Endian::eBigEndian,
         {0,    0,    0,    1,    1,    0,    0,    0, 2, 1, 2, 3,    4,    0,    0,    0,    3,    0xFF,
          0xFF, 0xFF, 0xFE, 0x11, 0x22, 0x33, 0x44, 0, 0, 0, 7, 0xFF, 0xFF, 0xFF, 0x00, 0xEE, 0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        Bytes bytes = written(sample(), c.order);
        EXPECT_EQ(bytes, c.record);

        WatchedProperties back;
        MemoryStream stream;
        stream.storage().init(IStorage::eAccessRead, bytes.data(), bytes.size());
        stream.setByteOrder(c.order);
        ASSERT_TRUE(back.read(stream));
        expectSameProperties(back, sample());
        EXPECT_EQ(back.m_nChanges, 1) << "one notification for the whole record";
        EXPECT_EQ(stream.storage().getPos64(), static_cast<long long>(PictureProperties::kRecordBytes));
    }
}

TEST(PicturePropertiesRecord, AnyVersionAndAnyNonZeroAlphaByteAreRead)
{
    std::vector<unsigned char> bytes = written(sample(), Endian::eLittleEndian);
    bytes[0] = 9;     // a later record version
    bytes[4] = 0x80;  // not 1, but not 0
    MemoryStream stream;
    stream.storage().init(IStorage::eAccessRead, bytes.data(), bytes.size());
    PictureProperties back;
    ASSERT_TRUE(back.read(stream));
    EXPECT_TRUE(back.hasAlphaChannel());
    expectSameProperties(back, sample());
}

TEST(PicturePropertiesRecord, AShortRecordChangesNothing)
{
    const std::vector<unsigned char> whole = written(sample(), Endian::eLittleEndian);
    for (std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(5), PictureProperties::kRecordBytes - 1}) {
        std::vector<unsigned char> bytes(whole.begin(), whole.begin() + long(length));
        MemoryStream stream;
        stream.storage().init(IStorage::eAccessRead, bytes.data(), bytes.size());
        WatchedProperties back;
        EXPECT_FALSE(back.read(stream)) << length;
        expectSameProperties(back, PictureProperties());
        EXPECT_EQ(back.m_nChanges, 0) << length;
    }

    QV::GP::Stream detached;  // no storage
    WatchedProperties back;
    EXPECT_FALSE(back.read(detached));
    EXPECT_FALSE(sample().write(detached));
}

TEST(PicturePropertiesRecord, AWriteThatDoesNotFitFails)
{
    std::vector<unsigned char> bytes(PictureProperties::kRecordBytes - 1);
    MemoryStream stream;
    stream.storage().init(IStorage::eAccessReadWrite, bytes.data(), bytes.size());
    EXPECT_FALSE(sample().write(stream));

    MemoryStream readOnly;
    std::vector<unsigned char> room(64);
    readOnly.storage().init(IStorage::eAccessRead, room.data(), room.size());
    EXPECT_FALSE(sample().write(readOnly));
}

}  // namespace
