// Shared by the storage tests: file names of files in a temporary folder, whole-file reads and
// writes, sparse files beyond 4 GiB, and a child process that holds a file lock.
#pragma once

#include "GP/FileName.h"
#include "GP/FileTypeManager.h"
#include "GP/IStorage.h"

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace QV::GP::TEST {

constexpr long long kGiB = 1LL << 30;

// A temporary folder and the file-type registry for one test.
class FolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        ASSERT_FALSE(m_folder.path().empty());
    }
    void TearDown() override { FileTypeManager::deInit(); }

    std::filesystem::path path(const std::string& file) const { return m_folder.path() / file; }
    // The colon-style name of a file in the folder, with a container subpath when given.
    FileName name(const std::string& file, const std::string& subpath = std::string()) const
    {
        return FileName(FileName::POSIX2HFSPath(path(file).string()) + subpath);
    }
    // The same, carrying a type (needed to create files).
    FileName typedName(const std::string& file) const
    {
        FileName result = name(file);
        result.setType(FileTypeManager::getStdType(FileTypeManager::eStdFileTypeUnknown));
        return result;
    }
    void write(const std::string& file, const std::string& bytes) const
    {
        std::ofstream(path(file), std::ios::binary) << bytes;
    }
    std::string contents(const std::string& file) const
    {
        std::ifstream in(path(file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Writes `bytes` at `offset` of the file, making it (sparse) when needed.
    void writeAt(const std::string& file, long long offset, const std::string& bytes) const
    {
        const int fd = ::open(path(file).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }

    QV::TEST::TemporaryFolder m_folder{"qv-storage"};
};

// Reads everything a storage still delivers, in small pieces.
inline std::string readAll(IStorage& storage, std::size_t piece = 7)
{
    std::string out;
    std::string buffer(piece, '\0');
    for (;;) {
        const std::size_t got = storage.read(buffer.data(), piece);
        out.append(buffer.data(), got);
        if (got < piece || storage.getStatus() != IStorage::eStatusOK)
            return out;
    }
}

// Another process that holds an exclusive flock on a file until destroyed.
class LockHolder {
public:
    explicit LockHolder(const std::filesystem::path& file)
    {
        int ready[2], done[2];
        if (::pipe(ready) != 0 || ::pipe(done) != 0)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            ::close(ready[0]);
            ::close(done[1]);  // else the read below never sees the parent's close
            const int fd = ::open(file.c_str(), O_RDONLY);
            char byte = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(done[0], &byte, 1);  // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(done[0]);
        m_release = done[1];
        char byte = 'n';
        m_locked = ::read(ready[0], &byte, 1) == 1 && byte == 'y';
        ::close(ready[0]);
    }
    ~LockHolder()
    {
        if (m_release >= 0)
            ::close(m_release);
        if (m_child > 0)
            ::waitpid(m_child, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool locked() const { return m_locked; }

private:
    pid_t m_child = -1;
    int m_release = -1;
    bool m_locked = false;
};

}  // namespace QV::GP::TEST
