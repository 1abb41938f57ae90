// The byte source and sink of the platform core: a positioned, seekable sequence of bytes with
// 64-bit positions and a status word. Failures never throw: they show as status eError plus a 0,
// false or -1 result, and callers read the status rather than the results.
#pragma once

#include "GP/SharedBytes.h"

#include <cstddef>
#include <cstdint>

namespace QV::GP {

class IStorage {
public:
    enum eAccessMode : int32_t {
        eAccessNone = 0,  // while closed
        eAccessRead = 1,
        eAccessWrite = 2,
        eAccessReadWrite = 3,
    };
    enum eStatus : int32_t {
        eStatusClosed = 0,
        eStatusOK = 1,
        eStatusEnd = 2,  // the end of the data was reached
        eStatusError = 3,
    };
    enum eSeekMode : int32_t {
        eSeekFromStart = 0,
        eSeekFromCurrent = 1,
        eSeekFromEnd = 2,
    };
    enum eLockingMode : int32_t {
        eLockNone = 0,
        eLockExclusiveNoWait = 1,  // fails instead of waiting
        eLockExclusiveWait = 2,
    };

    IStorage() = default;
    virtual ~IStorage() = default;
    IStorage(const IStorage&) = delete;
    IStorage& operator=(const IStorage&) = delete;

    virtual bool isOpen() const { return m_status != eStatusClosed; }
    virtual size_t read(void* dst, size_t n) = 0;
    virtual size_t write(const void* src, size_t n) = 0;
    // getPos64() cut to 32 bits.
    virtual int getPos() const { return static_cast<int>(getPos64()); }
    // The position; -1 when closed or on failure.
    virtual long long getPos64() const = 0;
    virtual void seek(int offset, eSeekMode mode) { seek64(offset, mode); }
    virtual void seek64(long long offset, eSeekMode mode) = 0;
    // The whole content as one shared block, where the storage can hand it out without copying it
    // (a file it maps, a resource it holds); the block stays valid after the storage closes. Empty
    // where it cannot: callers then read the bytes.
    virtual tSharedBytes shareAll() { return {}; }

    eStatus getStatus() const { return m_status; }
    eAccessMode getAccessMode() const { return m_accessMode; }
    // Reading, writing and relative seeking need a good status: ok or end of data.
    bool isGood() const { return m_status == eStatusOK || m_status == eStatusEnd; }

protected:
    eAccessMode m_accessMode = eAccessNone;
    eStatus m_status = eStatusClosed;
};

}  // namespace QV::GP
