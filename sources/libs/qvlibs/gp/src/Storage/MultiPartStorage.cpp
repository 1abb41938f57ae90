#include "GP/MultiPartStorage.h"

#include <algorithm>
#include <limits>

namespace QV::GP {

template <class PartStorage>
PartStorage* MultiPartStorage<PartStorage>::getPart(int index) const
{
    return isValidIndex(index) ? m_parts[static_cast<size_t>(index)].get() : nullptr;
}

template <class PartStorage>
bool MultiPartStorage<PartStorage>::canAddPart(int index) const
{
    return (m_accessMode & eAccessWrite) && index == getPartCount() && index < m_maxPartCount;
}

template <class PartStorage>
bool MultiPartStorage<PartStorage>::openPartStorageAt(int index)
{
    if (!isValidIndex(index) && !canAddPart(index))
        return false;
    m_currentIndex = -1;
    m_currentOffset = 0;
    if (!getPart(index) && !openPart(index)) {
        closePart(index);
        m_status = eStatusError;
        return false;
    }
    PartStorage* part = getPart(index);
    if (!part)
        return false;
    m_currentIndex = index;
    m_currentOffset = getPartOffset(index);
    part->seek64(0, eSeekFromStart);
    return part->isGood();
}

template <class PartStorage>
void MultiPartStorage<PartStorage>::closePart(int index)
{
    if (!isValidIndex(index))
        return;
    m_parts[static_cast<size_t>(index)].reset();
    if (index == m_currentIndex) {
        m_currentIndex = -1;
        m_currentOffset = 0;
    }
}

template <class PartStorage>
void MultiPartStorage<PartStorage>::close()
{
    m_parts.clear();
    m_currentIndex = -1;
    m_currentOffset = 0;
    m_written = false;
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
}

template <class PartStorage>
void MultiPartStorage<PartStorage>::flush()
{
    for (auto& part : m_parts)
        if (part)
            part->flush();
}

template <class PartStorage>
long long MultiPartStorage<PartStorage>::getCurrentStorageSize()
{
    long long total = 0;
    for (int i = 0; i < getPartCount(); ++i)
        total += getPartSize(i);
    m_written = false;
    return total;
}

template <class PartStorage>
long long MultiPartStorage<PartStorage>::getMaximumPartSizeForCurrentMode(int index)
{
    return (m_accessMode & eAccessWrite) ? getMaxAllowedPartSize() : getPartSize(index);
}

template <class PartStorage>
long long MultiPartStorage<PartStorage>::getPartSize(int index)
{
    PartStorage* part = getPart(index);
    if (!part)
        return 0;
    if (m_written || (part->getAccessMode() & eAccessWrite))
        return std::max(part->refreshSize(), 0LL);
    return part->getSize();
}

template <class PartStorage>
long long MultiPartStorage<PartStorage>::getPartOffset(int index)
{
    long long offset = 0;
    for (int i = 0; i < index && i < getPartCount(); ++i)
        offset += getPartSize(i);
    return offset;
}

template <class PartStorage>
size_t MultiPartStorage<PartStorage>::read(void* dst, size_t n)
{
    if (!isOpen() || !isGood())
        return 0;
    if (!getPart(m_currentIndex) && !openPartStorageAt(0)) {
        m_currentIndex = -1;
        m_status = eStatusError;
        return 0;
    }
    unsigned char* out = static_cast<unsigned char*>(dst);
    size_t total = 0;
    for (;;) {
        PartStorage* part = getPart(m_currentIndex);
        const long long size = getPartSize(m_currentIndex);
        const long long position = part ? part->getPos64() : -1;
        if (position < 0) {
            m_status = eStatusError;
            return total;
        }
        const unsigned long long left = static_cast<unsigned long long>(std::max(size, position) - position);
        const bool last = m_currentIndex == getPartCount() - 1;
        const size_t rest = n - total;
        if (left == 0 && last && rest > 0) {
            // At the end of the data: nothing more to read there.
            m_status = eStatusEnd;
            return total;
        }
        if (left >= rest) {
            const size_t got = rest ? part->read(out + total, rest) : 0;
            total += got;
            if (got < rest)
                m_status = eStatusError;
            else
                m_status = last && position + static_cast<long long>(got) == size ? eStatusEnd : eStatusOK;
            return total;
        }
        if (left > 0) {
            const size_t got = part->read(out + total, static_cast<size_t>(left));
            total += got;
            if (got < left) {
                m_status = eStatusError;
                return total;
            }
        }
        if (last || !openPartStorageAt(m_currentIndex + 1)) {
            // Past the end of the last part, or the next one cannot be opened.
            if (!last)
                m_currentIndex = -1;
            m_status = eStatusError;
            return total;
        }
    }
}

template <class PartStorage>
size_t MultiPartStorage<PartStorage>::write(const void* src, size_t n)
{
    if (!isOpen() || !isGood())
        return 0;
    if (!(m_accessMode & eAccessWrite)) {
        m_status = eStatusError;
        return 0;
    }
    if (!getPart(m_currentIndex) && !openPartStorageAt(0)) {
        m_currentIndex = -1;
        m_status = eStatusError;
        return 0;
    }
    const unsigned char* in = static_cast<const unsigned char*>(src);
    size_t total = 0;
    while (total < n) {
        PartStorage* part = getPart(m_currentIndex);
        const long long position = part ? part->getPos64() : -1;
        if (position < 0) {
            m_status = eStatusError;
            return total;
        }
        const long long room = std::max(getMaximumPartSizeForCurrentMode(m_currentIndex) - position, 0LL);
        const size_t rest = n - total;
        const size_t take = static_cast<unsigned long long>(room) >= rest ? rest : static_cast<size_t>(room);
        if (take > 0) {
            const size_t put = part->write(in + total, take);
            if (put > 0)
                m_written = true;
            total += put;
            if (put < take) {
                m_status = eStatusError;
                return total;
            }
        }
        if (total < n && !openPartStorageAt(m_currentIndex + 1)) {
            m_currentIndex = -1;
            m_status = eStatusError;
            return total;
        }
    }
    m_status = eStatusOK;
    return total;
}

template <class PartStorage>
long long MultiPartStorage<PartStorage>::getPos64() const
{
    const PartStorage* part = getPart(m_currentIndex);
    if (!part)
        return -1;
    const long long position = part->getPos64();
    return position < 0 ? -1 : m_currentOffset + position;
}

template <class PartStorage>
void MultiPartStorage<PartStorage>::seek64(long long offset, eSeekMode mode)
{
    if (!isOpen())
        return;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long base = 0;
    switch (mode) {
    case eSeekFromStart: base = 0; break;
    case eSeekFromCurrent:
        if (!isGood())
            return;
        base = std::max(getPos64(), 0LL);
        break;
    case eSeekFromEnd:
        // A part that is not open counts no bytes: open them all first.
        for (int i = 0; i < getPartCount(); ++i)
            if (!getPart(i) && !openPart(i)) {
                closePart(i);
                m_status = eStatusError;
                return;
            }
        base = getCurrentStorageSize();
        break;
    default: return;
    }
    if (offset > 0 && base > kMax - offset) {
        m_status = eStatusError;
        return;
    }
    const long long target = base + offset;
    if (target < 0) {
        m_status = eStatusError;
        return;
    }

    // Walk the parts, opening them as needed, to the first one whose end reaches the target.
    long long start = 0;
    int index = 0;
    for (;; ++index) {
        if (!getPart(index)) {
            if (!isValidIndex(index) && !canAddPart(index)) {
                m_currentIndex = -1;
                m_status = eStatusError;
                return;
            }
            if (!openPart(index) || !getPart(index)) {
                closePart(index);
                m_currentIndex = -1;
                m_status = eStatusError;
                return;
            }
        }
        const long long size = getPartSize(index);
        if (target - start <= size)
            break;
        if (size <= 0) {
            m_currentIndex = -1;
            m_status = eStatusError;
            return;
        }
        start += size;
    }
    PartStorage* part = getPart(index);
    m_currentIndex = index;
    m_currentOffset = start;
    part->seek64(target - start, eSeekFromStart);
    if (!part->isGood())
        m_status = eStatusError;
    else
        m_status = index == getPartCount() - 1 && target - start == getPartSize(index) ? eStatusEnd : eStatusOK;
}

template class MultiPartStorage<FileStorage>;

}  // namespace QV::GP
