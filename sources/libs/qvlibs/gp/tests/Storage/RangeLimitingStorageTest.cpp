#include "GP/FileStorage.h"
#include "GP/MemoryStorage.h"
#include "GP/RangeLimitingStorage.h"

#include "StorageTestSupport.h"

#include <vector>

namespace QV::GP::TEST {
namespace {

// A window from 100, 50 bytes long, over 1000 bytes that hold their own position modulo 256.
class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (size_t i = 0; i < m_bytes.size(); ++i)
            m_bytes[i] = static_cast<unsigned char>(i);
        m_inner.init(IStorage::eAccessReadWrite, m_bytes.data(), m_bytes.size());
        ASSERT_TRUE(m_window.setup(&m_inner, false, 100, 50, IStorage::eAccessReadWrite));
    }

    std::vector<unsigned char> m_bytes = std::vector<unsigned char>(1000);
    MemoryStorage m_inner;
    RangeLimitingStorage m_window;
};

TEST_F(WindowTest, ReadsStopAtTheWindowsEnd)
{
    unsigned char out[128] = {};
    m_window.seek64(0, IStorage::eSeekFromEnd);
    EXPECT_EQ(m_inner.getPos64(), 150);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusEnd);
    EXPECT_EQ(m_window.read(out, 20), 0u);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusError) << "nothing left: the read ran short";

    m_window.seek64(10, IStorage::eSeekFromStart);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusOK);
    EXPECT_EQ(m_window.read(out, 100), 40u);
    EXPECT_EQ(out[0], 110);
    EXPECT_EQ(out[39], 149);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusError) << "cut short by the window";

    m_window.seek64(40, IStorage::eSeekFromStart);
    EXPECT_EQ(m_window.read(out, 10), 10u);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusEnd) << "exactly to the end";
    EXPECT_EQ(m_window.getPos64(), 50);
}

TEST_F(WindowTest, SeeksStayInsideTheWindow)
{
    struct Case {
        long long offset;
        IStorage::eSeekMode mode;
        long long position;  // afterwards; a refused seek leaves 20
        IStorage::eStatus status;
    } cases[] = {
        {5, IStorage::eSeekFromStart, 5, IStorage::eStatusOK},
        {50, IStorage::eSeekFromStart, 50, IStorage::eStatusEnd},
        {51, IStorage::eSeekFromStart, 20, IStorage::eStatusError},
        {-1, IStorage::eSeekFromStart, 20, IStorage::eStatusError},
        {10, IStorage::eSeekFromCurrent, 30, IStorage::eStatusOK},
        {-21, IStorage::eSeekFromCurrent, 20, IStorage::eStatusError},
        {30, IStorage::eSeekFromCurrent, 50, IStorage::eStatusEnd},
        {0, IStorage::eSeekFromEnd, 50, IStorage::eStatusEnd},
        {-50, IStorage::eSeekFromEnd, 0, IStorage::eStatusOK},
        {1, IStorage::eSeekFromEnd, 20, IStorage::eStatusError},
    };
    for (const Case& c : cases) {
        m_window.seek64(20, IStorage::eSeekFromStart);
        m_window.seek64(c.offset, c.mode);
        EXPECT_EQ(m_window.getPos64(), c.position) << c.offset << " mode " << c.mode;
        EXPECT_EQ(m_window.getStatus(), c.status) << c.offset << " mode " << c.mode;
    }
}

TEST_F(WindowTest, WritesNeverSpillPastTheWindow)
{
    const std::vector<unsigned char> ones(30, 0xEE);
    m_window.seek64(40, IStorage::eSeekFromStart);
    EXPECT_EQ(m_window.write(ones.data(), ones.size()), 10u);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusError);
    EXPECT_EQ(m_bytes[149], 0xEE);
    EXPECT_EQ(m_bytes[150], 150) << "the byte after the window is untouched";
}

TEST_F(WindowTest, APositionOutsideTheWindowReadsNothing)
{
    m_inner.seek64(500, IStorage::eSeekFromStart);  // moved behind the window's back
    unsigned char out[4];
    EXPECT_EQ(m_window.getPos64(), -1);
    EXPECT_EQ(m_window.read(out, 4), 0u);
    EXPECT_EQ(m_window.getStatus(), IStorage::eStatusError);
}

TEST(RangeLimitingStorage, WithoutALengthOnlyShiftsPositions)
{
    std::vector<unsigned char> bytes(100, 7);
    MemoryStorage inner;
    inner.init(IStorage::eAccessRead, bytes.data(), bytes.size());
    RangeLimitingStorage window;
    ASSERT_TRUE(window.setup(&inner, false, 60, 0, IStorage::eAccessRead));
    window.seek64(0, IStorage::eSeekFromStart);
    EXPECT_EQ(inner.getPos64(), 60);
    unsigned char out[64];
    EXPECT_EQ(window.read(out, 64), 40u) << "up to the inner storage's end";
    EXPECT_EQ(window.getStatus(), IStorage::eStatusError);
    window.seek64(-10, IStorage::eSeekFromEnd);
    EXPECT_EQ(window.getPos64(), 30);
}

TEST(RangeLimitingStorage, OwnedInnerStorageGoesWithTheWindow)
{
    struct Watched : MemoryStorage {
        explicit Watched(bool& gone) : m_gone(gone) {}
        ~Watched() override { m_gone = true; }
        bool& m_gone;
    };
    bool gone = false;
    {
        RangeLimitingStorage window;
        ASSERT_TRUE(window.setup(new Watched(gone), true, 0, 10, IStorage::eAccessRead));
        EXPECT_FALSE(gone);
    }
    EXPECT_TRUE(gone);

    gone = false;
    RangeLimitingStorage window;
    EXPECT_FALSE(window.setup(new Watched(gone), true, -1, 10, IStorage::eAccessRead)) << "a negative start";
    EXPECT_TRUE(gone);
    EXPECT_FALSE(window.isOpen());
}

using RangeLimitingFileTest = FolderTest;

TEST_F(RangeLimitingFileTest, AWindowBeyondFourGiB)
{
    const long long start = 6 * kGiB + 3;
    writeAt("far.bin", start - 2, "..window!..");
    FileStorage file;
    ASSERT_TRUE(file.open(name("far.bin"), IStorage::eAccessRead, IStorage::eLockNone));
    RangeLimitingStorage window;
    ASSERT_TRUE(window.setup(&file, false, start, 7, IStorage::eAccessRead));
    window.seek64(0, IStorage::eSeekFromStart);
    EXPECT_EQ(window.getPos64(), 0);
    char out[16] = {};
    EXPECT_EQ(window.read(out, 16), 7u);
    EXPECT_EQ(std::string(out, 7), "window!");
    EXPECT_EQ(window.getPos64(), 7);
    window.seek64(-1, IStorage::eSeekFromEnd);
    EXPECT_EQ(file.getPos64(), start + 6);
}

}  // namespace
}  // namespace QV::GP::TEST
