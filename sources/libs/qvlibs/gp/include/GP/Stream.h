// Typed reads and writes through a storage, in a chosen byte order. Failures show only in the
// storage's status; a read that comes up short answers 0 for the bytes it did not get.
#pragma once

#include "GP/Endian.h"
#include "GP/IStorage.h"

#include <cstddef>
#include <cstdint>

namespace QV::GP {

class Stream {
public:
    Stream() = default;
    virtual ~Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Later reads and writes use `storage` (not owned).
    void setStorage(IStorage* storage) { m_storage = storage; }
    IStorage* getStorage() const { return m_storage; }
    void setByteOrder(Endian::eByteOrder order) { m_byteOrder = order; }
    Endian::eByteOrder getByteOrder() const { return m_byteOrder; }

    uint8_t readU8();
    int8_t readS8();
    uint16_t readU16();
    uint32_t readU32();
    int32_t readS32();
    bool readBoolean();
    // The count the storage delivered.
    size_t readRaw(void* dst, size_t n);

    size_t writeU32(uint32_t value);
    size_t writeS32(int32_t value);
    size_t writeBoolean(bool value);

private:
    template <class T>
    T read();
    template <class T>
    size_t write(T value);

    IStorage* m_storage = nullptr;
    Endian::eByteOrder m_byteOrder = Endian::eLittleEndian;
};

}  // namespace QV::GP
