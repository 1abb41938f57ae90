#include "GP/MultiPartStorage.h"

#include "StorageTestSupport.h"

#include <memory>
#include <vector>

namespace QV::GP::TEST {
namespace {

// Parts are the files p0, p1, ... of a folder; writing adds them as needed.
class NumberedParts final : public MultiPartStorage<FileStorage> {
public:
    explicit NumberedParts(std::filesystem::path folder) : m_folder(std::move(folder)) {}
    ~NumberedParts() override { close(); }

    bool open(eAccessMode mode, int parts)
    {
        close();
        m_accessMode = mode;
        m_status = eStatusOK;
        m_parts.resize(static_cast<size_t>(parts));
        return openPartStorageAt(0);
    }

    bool openPart(int index) override
    {
        if (index < 0 || index > getPartCount() || (index == getPartCount() && !(m_accessMode & eAccessWrite)))
            return false;
        FileName name(FileName::POSIX2HFSPath((m_folder / ("p" + std::to_string(index))).string()));
        name.setType(FileTypeManager::getStdType(FileTypeManager::eStdFileTypeUnknown));
        auto part = std::make_unique<FileStorage>();
        if (!part->open(name, m_accessMode, eLockNone))
            return false;
        if (index == getPartCount())
            m_parts.emplace_back();
        m_parts[static_cast<size_t>(index)] = std::move(part);
        return true;
    }

    bool getPartIndexForPosition(long long position, long long& index, long long& partStart) override
    {
        long long start = 0;
        for (int i = 0; i < getPartCount(); ++i) {
            if (position < start + getPartSize(i)) {
                index = i;
                partStart = start;
                return true;
            }
            start += getPartSize(i);
        }
        return false;
    }

private:
    std::filesystem::path m_folder;
};

std::string sequence(int from, int to)
{
    std::string out;
    for (int i = from; i < to; ++i)
        out.push_back(static_cast<char>(i));
    return out;
}

// Parts of 100 and 50 bytes holding the bytes 0 to 149.
class MultiPartTest : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        write("p0", sequence(0, 100));
        write("p1", sequence(100, 150));
        ASSERT_TRUE(m_storage.open(IStorage::eAccessRead, 2));
    }

    NumberedParts m_storage{m_folder.path()};
};

TEST_F(MultiPartTest, ReadsRunAcrossPartBoundaries)
{
    char out[64] = {};
    m_storage.seek64(90, IStorage::eSeekFromStart);
    EXPECT_EQ(m_storage.read(out, 60), 60u);
    EXPECT_EQ(std::string(out, 60), sequence(90, 150));
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusEnd);
    EXPECT_EQ(m_storage.getPos64(), 150);

    // At the end of the data a read finds nothing, as often as it is asked.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(m_storage.read(out, 5), 0u);
        EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusEnd);
        EXPECT_EQ(m_storage.getPos64(), 150);
    }
    m_storage.seek64(0, IStorage::eSeekFromEnd);
    EXPECT_EQ(m_storage.read(out, 1), 0u);
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusEnd);

    m_storage.seek64(140, IStorage::eSeekFromStart);
    EXPECT_EQ(m_storage.read(out, 20), 10u) << "past the end of the last part";
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusError);
}

TEST_F(MultiPartTest, APartBoundaryIsTheEndOfTheEarlierPartButNotOfTheData)
{
    m_storage.seek64(100, IStorage::eSeekFromStart);
    EXPECT_EQ(m_storage.getCurrentPartIndex(), 0);
    EXPECT_EQ(m_storage.getPos64(), 100);
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusOK);
    char out[8] = {};
    EXPECT_EQ(m_storage.read(out, 5), 5u) << "a read at the boundary goes on in the next part";
    EXPECT_EQ(std::string(out, 5), sequence(100, 105));
    EXPECT_EQ(m_storage.getCurrentPartIndex(), 1);

    m_storage.seek64(0, IStorage::eSeekFromStart);
    std::vector<char> first(100);
    EXPECT_EQ(m_storage.read(first.data(), first.size()), 100u);
    EXPECT_EQ(m_storage.getStatus(), IStorage::eStatusOK) << "more data follows in the next part";
}

TEST_F(MultiPartTest, SeeksCountThroughAllParts)
{
    struct Case {
        long long offset;
        IStorage::eSeekMode mode;
        long long position;  // -1: refused
        IStorage::eStatus status;
    } cases[] = {
        {0, IStorage::eSeekFromEnd, 150, IStorage::eStatusEnd},
        {-150, IStorage::eSeekFromEnd, 0, IStorage::eStatusOK},
        {-30, IStorage::eSeekFromEnd, 120, IStorage::eStatusOK},
        {1, IStorage::eSeekFromEnd, -1, IStorage::eStatusError},
        {-1, IStorage::eSeekFromStart, -1, IStorage::eStatusError},
        {151, IStorage::eSeekFromStart, -1, IStorage::eStatusError},
        {30, IStorage::eSeekFromCurrent, 40, IStorage::eStatusOK},
    };
    for (const Case& c : cases) {
        m_storage.seek64(10, IStorage::eSeekFromStart);
        m_storage.seek64(c.offset, c.mode);
        EXPECT_EQ(m_storage.getStatus(), c.status) << c.offset << " mode " << c.mode;
        if (c.position >= 0) {
            EXPECT_EQ(m_storage.getPos64(), c.position) << c.offset << " mode " << c.mode;
        }
    }
}

TEST_F(MultiPartTest, AMissingPartEndsTheReadWithAnError)
{
    std::filesystem::remove(path("p1"));
    NumberedParts storage(m_folder.path());
    ASSERT_TRUE(storage.open(IStorage::eAccessRead, 2));
    std::vector<char> out(120);
    EXPECT_EQ(storage.read(out.data(), out.size()), 100u);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError);
    EXPECT_EQ(storage.getCurrentPartIndex(), -1);
    EXPECT_EQ(storage.getPos64(), -1);
}

using MultiPartWriteTest = FolderTest;

TEST_F(MultiPartWriteTest, WritesFillEachPartUpToTheLimit)
{
    const std::string data = sequence(0, 150);
    for (const size_t piece : {size_t(150), size_t(10), size_t(64)}) {
        NumberedParts storage(m_folder.path());
        storage.setMaxAllowedPartSize(64);
        ASSERT_TRUE(storage.open(IStorage::eAccessWrite, 1));
        for (size_t at = 0; at < data.size(); at += piece)
            ASSERT_EQ(storage.write(data.data() + at, std::min(piece, data.size() - at)),
                      std::min(piece, data.size() - at));
        EXPECT_EQ(storage.getStatus(), IStorage::eStatusOK);
        EXPECT_EQ(storage.getPartCount(), 3) << "pieces of " << piece;
        EXPECT_EQ(storage.getCurrentStorageSize(), 150);
        storage.close();
        EXPECT_EQ(contents("p0"), data.substr(0, 64));
        EXPECT_EQ(contents("p1"), data.substr(64, 64));
        EXPECT_EQ(contents("p2"), data.substr(128));
    }
    NumberedParts reader(m_folder.path());
    ASSERT_TRUE(reader.open(IStorage::eAccessRead, 3));
    EXPECT_EQ(readAll(reader), data);
}

TEST_F(MultiPartWriteTest, PartsBeyondFourGiB)
{
    const long long size0 = 5 * kGiB;
    writeAt("p0", size0 - 1, "A");
    write("p1", "BC");
    NumberedParts storage(m_folder.path());
    ASSERT_TRUE(storage.open(IStorage::eAccessRead, 2));
    storage.seek64(size0 - 1, IStorage::eSeekFromStart);
    EXPECT_EQ(storage.getPos64(), size0 - 1);
    char out[4] = {};
    EXPECT_EQ(storage.read(out, 3), 3u);
    EXPECT_EQ(std::string(out, 3), "ABC");
    EXPECT_EQ(storage.getPos64(), size0 + 2);
    EXPECT_EQ(storage.getPartOffset(1), size0);
    storage.seek64(size0 + 1, IStorage::eSeekFromStart);
    EXPECT_EQ(storage.getCurrentPartIndex(), 1);
    EXPECT_EQ(storage.read(out, 1), 1u);
    EXPECT_EQ(out[0], 'C');
}

}  // namespace
}  // namespace QV::GP::TEST
