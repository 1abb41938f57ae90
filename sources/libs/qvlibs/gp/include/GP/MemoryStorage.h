// A storage over a caller's memory buffer, which it never owns or frees. Bytes are served without
// copying the buffer; a write past its end is cut (the buffer never grows).
#pragma once

#include "GP/IStorage.h"

namespace QV::GP {

class MemoryStorage : public IStorage {
public:
    // Wraps the buffer (not owned) with status ok at position 0. Always true.
    bool init(eAccessMode mode, void* data, size_t size);

    size_t read(void* dst, size_t n) override;
    size_t write(const void* src, size_t n) override;
    long long getPos64() const override;
    // From the end, a negative offset counts back from the size.
    void seek64(long long offset, eSeekMode mode) override;

    size_t size() const { return m_size; }

private:
    // Cuts `n` to the bytes left, setting the error status when it had to.
    size_t fit(size_t n);

    unsigned char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_position = 0;
};

}  // namespace QV::GP
