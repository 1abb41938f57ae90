#include "GP/FileStorage.h"

#include "GP/FileManager.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace QV::GP {

namespace {

int openFlags(IStorage::eAccessMode mode)
{
    switch (mode) {
    case IStorage::eAccessRead: return O_RDONLY;
    case IStorage::eAccessWrite: return O_WRONLY;
    default: return O_RDWR;
    }
}

const char* streamMode(IStorage::eAccessMode mode)
{
    switch (mode) {
    case IStorage::eAccessRead: return "rb";
    case IStorage::eAccessWrite: return "wb";  // fdopen never truncates: that was done under the lock
    default: return "r+b";
    }
}

bool lockFile(int fd, IStorage::eLockingMode lock)
{
    const int operation = LOCK_EX | (lock == IStorage::eLockExclusiveNoWait ? LOCK_NB : 0);
    int result = 0;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

}  // namespace

FileStorage::~FileStorage() { close(); }

bool FileStorage::open(const FileName& name, eAccessMode mode, eLockingMode lock)
{
    close();
    if (mode != eAccessRead && mode != eAccessWrite && mode != eAccessReadWrite)
        return false;
    if (lock != eLockNone && lock != eLockExclusiveNoWait && lock != eLockExclusiveWait)
        return false;
    if (mode == eAccessWrite && (name.getMode() != FileName::eModeFile || !name.getType()))
        return false;
    if (mode != eAccessRead)
        FileManager::createFile(name);  // the open below tells whether the file is there

    m_status = eStatusError;  // until the file is open
    const std::string path = name.getSystemPath(true, true);
    if (path.empty())
        return false;
    const int fd = ::open(path.c_str(), openFlags(mode) | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    std::FILE* file = nullptr;
    const bool ready = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode) && (lock == eLockNone || lockFile(fd, lock)) &&
                       (mode != eAccessWrite || (::ftruncate(fd, 0) == 0 && ::fstat(fd, &info) == 0)) &&
                       (file = ::fdopen(fd, streamMode(mode))) != nullptr;
    if (!ready) {
        ::close(fd);  // also releases a lock that was taken
        return false;
    }
    m_file = file;
    m_locked = lock != eLockNone;
    m_accessMode = mode;
    m_status = eStatusOK;
    m_name = name;
    m_size = static_cast<long long>(info.st_size);
    m_lastOperation = eNone;
    return true;
}

void FileStorage::close()
{
    if (!m_file) {
        // A failed open leaves the error status behind: closing returns to closed.
        m_status = eStatusClosed;
        return;
    }
    if (m_locked) {
        std::fflush(m_file);
        ::flock(::fileno(m_file), LOCK_UN);
    }
    std::fclose(m_file);
    m_file = nullptr;
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
    m_size = 0;
    m_name.clear();
    m_locked = false;
    m_lastOperation = eNone;
}

void FileStorage::switchTo(eLastOperation operation)
{
    if (m_lastOperation != eNone && m_lastOperation != operation)
        ::fseeko(m_file, 0, SEEK_CUR);
    m_lastOperation = operation;
}

size_t FileStorage::read(void* dst, size_t n)
{
    if (!m_file || !isGood())
        return 0;
    if (!(m_accessMode & eAccessRead)) {
        m_status = eStatusError;
        return 0;
    }
    switchTo(eReading);
    const size_t got = std::fread(dst, 1, n, m_file);
    if (got < n) {
        m_status = eStatusError;
        return got;
    }
    if (std::feof(m_file))
        m_status = eStatusEnd;
    return n;
}

size_t FileStorage::write(const void* src, size_t n)
{
    if (!m_file || !isGood())
        return 0;
    if (!(m_accessMode & eAccessWrite)) {
        m_status = eStatusError;
        return 0;
    }
    switchTo(eWriting);
    if (std::fwrite(src, 1, n, m_file) != n) {
        m_status = eStatusError;
        return 0;
    }
    m_status = eStatusOK;
    return n;
}

long long FileStorage::getPos64() const
{
    if (!m_file)
        return -1;
    const off_t position = ::ftello(m_file);
    if (position < 0) {
        // The status belongs to the storage's state, which a failed position query changes.
        const_cast<FileStorage*>(this)->m_status = eStatusError;
        return -1;
    }
    return static_cast<long long>(position);
}

void FileStorage::seek64(long long offset, eSeekMode mode)
{
    if (!m_file || (mode == eSeekFromCurrent && !isGood()))
        return;
    int whence = SEEK_SET;
    switch (mode) {
    case eSeekFromStart: whence = SEEK_SET; break;
    case eSeekFromCurrent: whence = SEEK_CUR; break;
    case eSeekFromEnd: whence = SEEK_END; break;
    default: return;
    }
    if (::fseeko(m_file, static_cast<off_t>(offset), whence) != 0) {
        m_status = eStatusError;
        return;
    }
    m_lastOperation = eNone;
    // A seek mends an error; ok and end of data stay as they are.
    if (m_status == eStatusError)
        m_status = eStatusOK;
}

tSharedBytes FileStorage::shareAll()
{
    // Only a file opened for reading: this storage never changes what the mapping shows.
    struct stat info {};
    if (!m_file || m_accessMode != eAccessRead || ::fstat(::fileno(m_file), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size <= 0)
        return {};
    const auto size = static_cast<size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, ::fileno(m_file), 0);
    if (mapped == MAP_FAILED)
        return {};
    return {std::shared_ptr<const unsigned char>(
                static_cast<const unsigned char*>(mapped),
                [size](const unsigned char* bytes) { ::munmap(const_cast<unsigned char*>(bytes), size); }),
            size};
}

bool FileStorage::flush() { return m_file && std::fflush(m_file) == 0; }

long long FileStorage::refreshSize()
{
    struct stat info {};
    if (!m_file || std::fflush(m_file) != 0 || ::fstat(::fileno(m_file), &info) != 0)
        return -1;
    m_size = static_cast<long long>(info.st_size);
    return m_size;
}

}  // namespace QV::GP
