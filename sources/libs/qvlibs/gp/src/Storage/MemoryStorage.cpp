#include "GP/MemoryStorage.h"

#include <cstring>

namespace QV::GP {

bool MemoryStorage::init(eAccessMode mode, void* data, size_t size)
{
    m_data = static_cast<unsigned char*>(data);
    m_size = data ? size : 0;
    m_position = 0;
    m_accessMode = mode;
    m_status = eStatusOK;
    return true;
}

size_t MemoryStorage::fit(size_t n)
{
    const size_t left = m_size - m_position;
    if (n > left) {
        m_status = eStatusError;
        return left;
    }
    return n;
}

size_t MemoryStorage::read(void* dst, size_t n)
{
    if (!isGood())
        return 0;
    n = fit(n);
    if (n)
        std::memcpy(dst, m_data + m_position, n);
    m_position += n;
    if (m_position == m_size && m_status != eStatusError)
        m_status = eStatusEnd;
    return n;
}

size_t MemoryStorage::write(const void* src, size_t n)
{
    // A buffer handed over for reading may be read-only memory (resource bytes): never write it.
    if (!isGood() || !(m_accessMode & eAccessWrite))
        return 0;
    n = fit(n);
    if (n)
        std::memcpy(m_data + m_position, src, n);
    m_position += n;
    if (m_position == m_size && m_status != eStatusError)
        m_status = eStatusEnd;
    return n;
}

long long MemoryStorage::getPos64() const { return isOpen() ? static_cast<long long>(m_position) : -1; }

void MemoryStorage::seek64(long long offset, eSeekMode mode)
{
    if (!isOpen() || (mode == eSeekFromCurrent && !isGood()))
        return;
    long long target = static_cast<long long>(m_position);
    switch (mode) {
    case eSeekFromStart: target = offset; break;
    case eSeekFromCurrent: target = static_cast<long long>(m_position) + offset; break;
    case eSeekFromEnd: target = static_cast<long long>(m_size) + offset; break;
    }
    if (target < 0 || static_cast<unsigned long long>(target) > m_size) {
        m_status = eStatusError;
        return;
    }
    m_position = static_cast<size_t>(target);
    m_status = m_position == m_size ? eStatusEnd : eStatusOK;
}

}  // namespace QV::GP
