#include "GP/FileStorage.h"

#include "StorageTestSupport.h"

#include <sys/resource.h>

#include <csignal>
#include <vector>

namespace QV::GP::TEST {
namespace {

using FileStorageTest = FolderTest;

TEST_F(FileStorageTest, OpensOnlyWhatEachModeAllows)
{
    write("notes.txt", "hello");
    std::filesystem::create_directory(path("folder"));
    FileName untyped = name("new.bin");
    untyped.setType(nullptr);
    FileName folderName(FileName::POSIX2HFSPath(path("folder").string()) + ":");

    struct Case {
        const char* what;
        FileName name;
        IStorage::eAccessMode mode;
        bool opens;
        IStorage::eStatus status;  // after a failed open: closed when refused outright
    } cases[] = {
        {"existing file, read", name("notes.txt"), IStorage::eAccessRead, true, IStorage::eStatusOK},
        {"missing file, read", name("missing.txt"), IStorage::eAccessRead, false, IStorage::eStatusError},
        {"new file with a type, write", typedName("made.bin"), IStorage::eAccessWrite, true, IStorage::eStatusOK},
        {"new file without a type, write", untyped, IStorage::eAccessWrite, false, IStorage::eStatusClosed},
        {"folder name, write", folderName, IStorage::eAccessWrite, false, IStorage::eStatusClosed},
        {"folder named as a file, read", name("folder"), IStorage::eAccessRead, false, IStorage::eStatusError},
        {"existing file, read and write", name("notes.txt"), IStorage::eAccessReadWrite, true, IStorage::eStatusOK},
        {"mode 0", name("notes.txt"), IStorage::eAccessNone, false, IStorage::eStatusClosed},
    };
    for (const Case& c : cases) {
        FileStorage storage;
        EXPECT_EQ(storage.open(c.name, c.mode, IStorage::eLockNone), c.opens) << c.what;
        EXPECT_EQ(storage.isOpen(), c.opens) << c.what;
        EXPECT_EQ(storage.getStatus(), c.status) << c.what;
        EXPECT_EQ(storage.getAccessMode(), c.opens ? c.mode : IStorage::eAccessNone) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(path("new.bin")));
    EXPECT_TRUE(std::filesystem::exists(path("made.bin")));
    EXPECT_EQ(contents("notes.txt"), "hello") << "read and write keeps the contents";
}

TEST_F(FileStorageTest, WritingReplacesTheContentsOnlyOnceTheLockIsHeld)
{
    write("shared.dat", "precious");
    {
        LockHolder other(path("shared.dat"));
        ASSERT_TRUE(other.locked());
        FileStorage storage;
        EXPECT_FALSE(storage.open(typedName("shared.dat"), IStorage::eAccessWrite, IStorage::eLockExclusiveNoWait));
        EXPECT_EQ(storage.getStatus(), IStorage::eStatusError);
        EXPECT_FALSE(storage.isOpen());
        EXPECT_EQ(contents("shared.dat"), "precious") << "the loser of the lock must not empty the file";

        FileStorage reader;
        EXPECT_FALSE(reader.open(name("shared.dat"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait));
        EXPECT_EQ(reader.getStatus(), IStorage::eStatusError);
    }
    FileStorage storage;
    ASSERT_TRUE(storage.open(typedName("shared.dat"), IStorage::eAccessWrite, IStorage::eLockExclusiveNoWait));
    EXPECT_TRUE(storage.isLocked());
    EXPECT_EQ(storage.getSize(), 0);
    EXPECT_EQ(storage.write("new", 3), 3u);
    // Held by this storage, the lock keeps others out until it closes.
    FileStorage second;
    EXPECT_FALSE(second.open(name("shared.dat"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait));
    storage.close();
    EXPECT_EQ(contents("shared.dat"), "new");
    EXPECT_TRUE(second.open(name("shared.dat"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait));
}

TEST_F(FileStorageTest, ReadsSetTheStatusFromWhatTheyGot)
{
    write("ten.bin", "0123456789");
    FileStorage storage;
    ASSERT_TRUE(storage.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(storage.getSize(), 10);
    char out[16] = {};
    EXPECT_EQ(storage.read(out, 10), 10u);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusOK);
    EXPECT_EQ(storage.read(out, 4), 0u);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError) << "a short read";
    EXPECT_EQ(storage.read(out, 1), 0u) << "nothing with a bad status";

    storage.seek(2, IStorage::eSeekFromCurrent);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError) << "relative seeks need a good status";
    storage.seek64(-3, IStorage::eSeekFromEnd);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusOK);
    EXPECT_EQ(storage.getPos64(), 7);
    EXPECT_EQ(storage.read(out, 5), 3u);
    EXPECT_EQ(std::string(out, 3), "789");
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError);

    storage.seek64(-1, IStorage::eSeekFromStart);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError) << "before the start";
    EXPECT_EQ(storage.write("x", 1), 0u) << "opened for reading";
}

TEST_F(FileStorageTest, OnlyAFileOpenForReadingIsSharedMappedAndTheMappingOutlivesTheStorage)
{
    write("ten.bin", "0123456789");
    write("empty.bin", "");
    struct Case {
        const char* file;
        IStorage::eAccessMode mode;
        const char* shared;  // null: nothing shared
    } cases[] = {
        {"ten.bin", IStorage::eAccessRead, "0123456789"},
        {"ten.bin", IStorage::eAccessReadWrite, nullptr},  // its writes would change what a mapping shows
        {"empty.bin", IStorage::eAccessRead, nullptr},
    };
    for (const Case& c : cases) {
        tSharedBytes bytes;
        {
            FileStorage storage;
            ASSERT_TRUE(storage.open(typedName(c.file), c.mode, IStorage::eLockNone)) << c.file;
            storage.seek64(3, IStorage::eSeekFromStart);
            bytes = storage.shareAll();
            EXPECT_EQ(storage.getPos64(), 3) << "sharing leaves the position: " << c.file;
        }
        if (!c.shared) {
            EXPECT_TRUE(bytes.empty()) << c.file << " mode " << c.mode;
            continue;
        }
        ASSERT_FALSE(bytes.empty()) << c.file;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data.get()), bytes.size), c.shared)
            << "after the storage closed";
    }
    FileStorage closed;
    EXPECT_TRUE(closed.shareAll().empty());
}

TEST_F(FileStorageTest, ReadsAndWritesMixOnOneFile)
{
    write("mixed.bin", "abcdef");
    FileStorage storage;
    ASSERT_TRUE(storage.open(name("mixed.bin"), IStorage::eAccessReadWrite, IStorage::eLockNone));
    char out[4] = {};
    ASSERT_EQ(storage.read(out, 2), 2u);
    EXPECT_EQ(storage.write("XY", 2), 2u);
    EXPECT_EQ(storage.read(out, 2), 2u);
    EXPECT_EQ(std::string(out, 2), "ef");
    EXPECT_EQ(storage.getPos64(), 6);
    EXPECT_EQ(storage.refreshSize(), 6);
    storage.close();
    EXPECT_EQ(contents("mixed.bin"), "abXYef");
}

TEST_F(FileStorageTest, AFailedWriteAnswersZeroEvenWhenPartOfItLanded)
{
    FileStorage storage;
    ASSERT_TRUE(storage.open(typedName("limited.bin"), IStorage::eAccessWrite, IStorage::eLockNone));
    // The file system takes only the first 4096 bytes.
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::vector<char> data(64 * 1024, 'x');
    const size_t written = storage.write(data.data(), data.size());
    storage.close();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    EXPECT_EQ(written, 0u);
    EXPECT_EQ(contents("limited.bin").size(), 4096u) << "part of the data reached the file";
}

TEST_F(FileStorageTest, PositionsBeyondFourGiB)
{
    const long long far = 5 * kGiB + 17;
    {
        FileStorage storage;
        ASSERT_TRUE(storage.open(typedName("sparse.bin"), IStorage::eAccessWrite, IStorage::eLockNone));
        storage.seek64(far, IStorage::eSeekFromStart);
        EXPECT_EQ(storage.getPos64(), far);
        EXPECT_EQ(storage.write("tail", 4), 4u);
        EXPECT_EQ(storage.getPos64(), far + 4);
        EXPECT_EQ(storage.refreshSize(), far + 4);
    }
    FileStorage storage;
    ASSERT_TRUE(storage.open(name("sparse.bin"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(storage.getSize(), far + 4);
    storage.seek64(-4, IStorage::eSeekFromEnd);
    EXPECT_EQ(storage.getPos64(), far);
    EXPECT_EQ(storage.getPos(), static_cast<int>(far)) << "the 32-bit position is the cut one";
    char out[4] = {};
    EXPECT_EQ(storage.read(out, 4), 4u);
    EXPECT_EQ(std::string(out, 4), "tail");
    storage.seek64(-(far + 4), IStorage::eSeekFromCurrent);
    EXPECT_EQ(storage.getPos64(), 0);
}

}  // namespace
}  // namespace QV::GP::TEST
