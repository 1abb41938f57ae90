#include "GP/MemoryStorage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using QV::GP::IStorage;
using QV::GP::MemoryStorage;

class MemoryStorageTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (size_t i = 0; i < m_bytes.size(); ++i)
            m_bytes[i] = static_cast<unsigned char>('a' + i);
        m_storage.init(IStorage::eAccessRead, m_bytes.data(), m_bytes.size());
    }

    std::array<unsigned char, 10> m_bytes{};
    MemoryStorage m_storage;
};

TEST_F(MemoryStorageTest, ClosedUntilInitialised)
{
    MemoryStorage closed;
    char byte = 0;
    EXPECT_FALSE(closed.isOpen());
    EXPECT_EQ(closed.read(&byte, 1), 0u);
    EXPECT_EQ(closed.getPos64(), -1);
    closed.seek64(0, IStorage::eSeekFromStart);
    EXPECT_EQ(closed.getStatus(), IStorage::eStatusClosed);
}

TEST_F(MemoryStorageTest, ReadingToTheEndAndPastIt)
{
    char out[16] = {};
    EXPECT_EQ(m_storage.read(out, 10), 10u);
    EXPECT_EQ(std::string(out, 10), "abcdefghij");
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusEnd);

    EXPECT_EQ(m_storage.read(out, 4), 0u);
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusError);
    EXPECT_EQ(m_storage.read(out, 1), 0u) << "no read with a bad status";

    m_storage.seek64(0, IStorage::eSeekFromStart);
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusOK);
    EXPECT_EQ(m_storage.read(out, 12), 10u);
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusError);
}

TEST_F(MemoryStorageTest, SeekingKeepsInsideTheBuffer)
{
    struct Case {
        long long offset;
        IStorage::eSeekMode mode;
        long long position;  // -1: refused, position unchanged
        IStorage::eStatus status;
    } cases[] = {
        {0, IStorage::eSeekFromEnd, 10, IStorage::eStatusEnd},
        {4, IStorage::eSeekFromStart, 4, IStorage::eStatusOK},
        {3, IStorage::eSeekFromCurrent, 7, IStorage::eStatusOK},
        {-2, IStorage::eSeekFromEnd, 8, IStorage::eStatusOK},
        {-1, IStorage::eSeekFromStart, -1, IStorage::eStatusError},
        {11, IStorage::eSeekFromStart, -1, IStorage::eStatusError},
        {(1LL << 40), IStorage::eSeekFromStart, -1, IStorage::eStatusError},
    };
    long long expected = 0;
    for (const Case& c : cases) {
        m_storage.seek64(c.offset, c.mode);
        if (c.position >= 0)
            expected = c.position;
        EXPECT_EQ(m_storage.getPos64(), expected) << c.offset;
        EXPECT_EQ(m_storage.getStatus(), c.status) << c.offset;
        if (c.status == IStorage::eStatusError)
            m_storage.seek64(expected, IStorage::eSeekFromStart);  // a good status again
    }
}

TEST_F(MemoryStorageTest, WritesAreCutAtTheEndAndNeedWriteAccess)
{
    char source[12];
    std::memset(source, 'x', sizeof source);
    EXPECT_EQ(m_storage.write(source, 2), 0u) << "a buffer handed over for reading is never written";
    EXPECT_EQ(m_bytes[0], 'a');

    MemoryStorage writable;
    writable.init(IStorage::eAccessReadWrite, m_bytes.data(), m_bytes.size());
    writable.seek64(8, IStorage::eSeekFromStart);
    EXPECT_EQ(writable.write(source, 4), 2u);
    EXPECT_EQ(writable.getStatus(), IStorage::eStatusError);
    EXPECT_EQ(m_bytes[9], 'x');
    EXPECT_EQ(m_bytes[7], 'h');
}

}  // namespace
