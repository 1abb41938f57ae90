// A window onto another storage: positions count from the window's start, and with a length, reads,
// writes and seeks stay inside it. Nothing is buffered; only positions are translated, in 64 bits.
//
// Status: a read or write that the window (or the inner storage) cuts short sets the error status;
// one that ends at the window's end sets end of data. Seeks outside the window are refused with the
// error status and leave the position. Without a length (0) the window only shifts positions, and
// reads and writes pass straight through.
#pragma once

#include "GP/IStorage.h"

namespace QV::GP {

class RangeLimitingStorage : public IStorage {
public:
    RangeLimitingStorage() = default;
    ~RangeLimitingStorage() override;

    // Opens the window [start, start + length) onto `inner` (deleted with the window when `ownsInner`)
    // with the access mode and status ok. A window that was set up before is released first. False,
    // closed, when inner is null or the window does not fit in 64-bit positions (`inner` is then
    // still deleted when owned).
    bool setup(IStorage* inner, bool ownsInner, long long start, long long length, eAccessMode mode);
    // Closes the window, deleting the inner storage when it owns it.
    void release();

    bool isOpen() const override { return m_inner != nullptr; }
    size_t read(void* dst, size_t n) override;
    size_t write(const void* src, size_t n) override;
    // The inner position minus the start; -1 when closed or when the inner position lies outside.
    long long getPos64() const override;
    // From the end, the signed offset is added to the length (the inner storage's end without one).
    void seek64(long long offset, eSeekMode mode) override;

    IStorage* getInner() const { return m_inner; }
    long long getStart() const { return m_start; }
    long long getLength() const { return m_length; }

private:
    // The bytes left in the window at the inner position, or -1 when it lies outside (with length).
    long long bytesLeft() const;
    // Sets the status after a transfer of `done` out of `asked` bytes.
    void settle(size_t asked, size_t done);
    // Reads or writes (`move` on the inner storage) at most what is left of the window.
    template <class Move>
    size_t transfer(size_t n, Move move);

    IStorage* m_inner = nullptr;
    bool m_ownsInner = false;
    long long m_start = 0;
    long long m_length = 0;  // 0: no limit
};

}  // namespace QV::GP
