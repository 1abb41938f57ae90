// A storage over a file, through standard I/O, with an optional advisory lock against other
// processes that lock the same file.
//
// Opening for writing replaces the file's contents, but only once the lock (when one is asked for)
// is held: a writer that loses the race for the lock leaves the file as it was. Positions are 64-bit
// throughout. A closed storage, or one whose open failed, answers every operation with 0, -1 or no
// effect and stays closed.
#pragma once

#include "GP/FileName.h"
#include "GP/IStorage.h"

#include <cstdio>

namespace QV::GP {

class FileStorage final : public IStorage {
public:
    FileStorage() = default;
    ~FileStorage() override;

    // Opens the file that `name` names (a container subpath is ignored: the container file itself).
    //   eAccessRead: the existing file.
    //   eAccessWrite: only a file-mode name that carries a type; the file is made when missing and
    //     emptied once the lock is held.
    //   eAccessReadWrite: the file is made when missing (names with a type) and kept as it is.
    // Folders are refused. A storage that was open is closed first. On failure no file stays open:
    // false, with status error when the file could not be opened or locked, closed when the name or
    // mode was refused outright.
    bool open(const FileName& name, eAccessMode mode, eLockingMode lock);
    // Flushes, unlocks and closes; nothing when closed.
    void close();
    // A file is open (after a failed open the status tells the error, but nothing is open).
    bool isOpen() const override { return m_file != nullptr; }

    // A short read sets the error status (also at the end of the file).
    size_t read(void* dst, size_t n) override;
    // All or nothing in the result: 0 and the error status when not every byte was written.
    size_t write(const void* src, size_t n) override;
    long long getPos64() const override;
    // From the end, the signed offset is added to the file's size. Seeking past the end is allowed
    // (a later write leaves a hole). Success turns the error status into ok and keeps ok and end of
    // data; failure sets the error status.
    void seek64(long long offset, eSeekMode mode) override;

    // A file opened for reading: the file mapped (pages are read as they are touched, and shared
    // with the system's file cache). Empty for an empty file and in the other modes.
    tSharedBytes shareAll() override;

    // Writes buffered data to the file; false when closed or when that fails.
    bool flush();
    // The file's size when it was opened (or last refreshed).
    long long getSize() const { return m_size; }
    // Flushes and takes the size afresh from the open file; -1 when closed or on failure.
    long long refreshSize();
    const FileName& getName() const { return m_name; }
    bool isLocked() const { return m_locked; }

private:
    enum eLastOperation {
        eNone,
        eReading,
        eWriting
    };
    // Standard I/O needs a positioning call between a read and a write on the same stream.
    void switchTo(eLastOperation operation);

    FileName m_name;
    std::FILE* m_file = nullptr;
    long long m_size = 0;
    bool m_locked = false;
    eLastOperation m_lastOperation = eNone;
};

}  // namespace QV::GP
