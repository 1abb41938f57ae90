// The resource facade's in-process map: entries served as read-only streams in the asked byte
// order, ahead of the bundle; emptied by clearResourceMap. This program runs outside any bundle,
// so whatever the map does not hold is not found.
#include "UIA/ResourceFacade.h"

#include <gtest/gtest.h>

namespace {

using QV::GP::Endian::eBigEndian;
using QV::GP::Endian::eLittleEndian;
using QV::UIA::ResourceFacade;
using QV::UIA::ResourceMap;

class ResourceMapTest : public testing::Test {
protected:
    void TearDown() override { ResourceFacade::clearResourceMap(); }

    unsigned char m_bytes[4] = {0x00, 0x00, 0x01, 0x02};
};

TEST(ResourceMapTypes, TypesPackBigEndian)
{
    EXPECT_EQ(ResourceMap::packType("TTFd"), 0x54544664u);
    EXPECT_EQ(ResourceMap::packType("PICTURE"), ResourceMap::packType("PICT"));
    EXPECT_EQ(ResourceMap::packType("ab"), 0x61620000u);
    EXPECT_EQ(ResourceMap::packType("\xB5"
                                    "doc"),
              0xB5646F63u);
    EXPECT_EQ(ResourceMap::packType(""), 0u);
    EXPECT_EQ(ResourceMap::packType(nullptr), 0u);
}

TEST_F(ResourceMapTest, EntriesAreServedInTheAskedByteOrder)
{
    ResourceFacade::g_theResourceMap.add("TTFd", 3, m_bytes, sizeof m_bytes);

    const auto big = ResourceFacade::getResource(3, "TTFd", eBigEndian);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->getByteOrder(), eBigEndian);
    EXPECT_EQ(big->readU32(), 258u);
    EXPECT_EQ(big->getStorage()->getStatus(), QV::GP::IStorage::eStatusEnd);

    const auto little = ResourceFacade::getResource(3, "TTFd", eLittleEndian);
    ASSERT_NE(little, nullptr);
    EXPECT_EQ(little->readU32(), 0x02010000u);

    // Read-only: the host's bytes are never written.
    little->getStorage()->seek64(0, QV::GP::IStorage::eSeekFromStart);
    EXPECT_EQ(little->writeU32(0xFFFFFFFF), 0u);
    EXPECT_EQ(m_bytes[0], 0x00);
    EXPECT_EQ(m_bytes[3], 0x02);
}

TEST_F(ResourceMapTest, OnlyTheTypeAndIdOfAnEntryAreServed)
{
    ResourceFacade::g_theResourceMap.add("TTFd", 3, m_bytes, sizeof m_bytes);
    EXPECT_EQ(ResourceFacade::getResource(4, "TTFd", eLittleEndian), nullptr);
    EXPECT_EQ(ResourceFacade::getResource(3, "PICT", eLittleEndian), nullptr);
    EXPECT_EQ(ResourceFacade::getResource(3, nullptr, eLittleEndian), nullptr);

    // A later entry for the same type and id replaces the first.
    const unsigned char other[2] = {7, 8};
    ResourceFacade::g_theResourceMap.add("TTFd", 3, other, sizeof other);
    const auto stream = ResourceFacade::getResource(3, "TTFd", eLittleEndian);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->readU16(), 0x0807u);
}

TEST_F(ResourceMapTest, ClearingEmptiesTheMap)
{
    ResourceFacade::clearResourceMap();  // nothing to clear
    EXPECT_TRUE(ResourceFacade::g_theResourceMap.empty());
    EXPECT_EQ(ResourceFacade::getResource(1, "TTFd", eLittleEndian), nullptr);

    ResourceFacade::g_theResourceMap.add("TTFd", 1, m_bytes, sizeof m_bytes);
    ResourceFacade::g_theResourceMap.add("PICT", 2, m_bytes, sizeof m_bytes);
    ASSERT_NE(ResourceFacade::getResource(1, "TTFd", eLittleEndian), nullptr);
    ResourceFacade::clearResourceMap();
    EXPECT_TRUE(ResourceFacade::g_theResourceMap.empty());
    EXPECT_EQ(ResourceFacade::g_theResourceMap.find("TTFd", 1), nullptr);
    EXPECT_EQ(ResourceFacade::getResource(1, "TTFd", eLittleEndian), nullptr);
}

}  // namespace
