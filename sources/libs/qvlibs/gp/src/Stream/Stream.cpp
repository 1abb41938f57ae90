#include "GP/Stream.h"

#include <algorithm>
#include <cstring>

namespace QV::GP {

template <class T>
T Stream::read()
{
    unsigned char bytes[sizeof(T)] = {};
    m_storage->read(bytes, sizeof bytes);
    if (m_byteOrder != Endian::eLittleEndian)
        std::reverse(bytes, bytes + sizeof bytes);
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

template <class T>
size_t Stream::write(T value)
{
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof bytes);
    if (m_byteOrder != Endian::eLittleEndian)
        std::reverse(bytes, bytes + sizeof bytes);
    return m_storage->write(bytes, sizeof bytes);
}

uint8_t Stream::readU8() { return read<uint8_t>(); }
int8_t Stream::readS8() { return read<int8_t>(); }
uint16_t Stream::readU16() { return read<uint16_t>(); }
uint32_t Stream::readU32() { return read<uint32_t>(); }
int32_t Stream::readS32() { return read<int32_t>(); }
bool Stream::readBoolean() { return read<uint8_t>() != 0; }
size_t Stream::readRaw(void* dst, size_t n) { return m_storage->read(dst, n); }

size_t Stream::writeU32(uint32_t value) { return write(value); }
size_t Stream::writeS32(int32_t value) { return write(value); }
size_t Stream::writeBoolean(bool value) { return write<uint8_t>(value ? 1 : 0); }

}  // namespace QV::GP
