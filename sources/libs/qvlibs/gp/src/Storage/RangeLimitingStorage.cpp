#include "GP/RangeLimitingStorage.h"

#include <limits>

namespace QV::GP {

RangeLimitingStorage::~RangeLimitingStorage() { release(); }

bool RangeLimitingStorage::setup(IStorage* inner, bool ownsInner, long long start, long long length, eAccessMode mode)
{
    release();
    if (!inner || start < 0 || length < 0 || start > std::numeric_limits<long long>::max() - length) {
        if (ownsInner)
            delete inner;
        return false;
    }
    m_inner = inner;
    m_ownsInner = ownsInner;
    m_start = start;
    m_length = length;
    m_accessMode = mode;
    m_status = eStatusOK;
    return true;
}

void RangeLimitingStorage::release()
{
    if (m_ownsInner)
        delete m_inner;
    m_inner = nullptr;
    m_ownsInner = false;
    m_start = 0;
    m_length = 0;
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
}

long long RangeLimitingStorage::bytesLeft() const
{
    const long long position = m_inner->getPos64();
    if (position < m_start || position > m_start + m_length)
        return -1;
    return m_start + m_length - position;
}

void RangeLimitingStorage::settle(size_t asked, size_t done)
{
    if (done < asked || !m_inner->isGood())
        m_status = eStatusError;
    else if (m_length != 0 && bytesLeft() == 0)
        m_status = eStatusEnd;
    else
        m_status = eStatusOK;
}

template <class Move>
size_t RangeLimitingStorage::transfer(size_t n, Move move)
{
    if (!m_inner || !isGood())
        return 0;
    if (m_length == 0) {
        const size_t done = move(n);
        m_status = m_inner->getStatus();
        return done;
    }
    // Neither a read nor a write goes past the window (a write would spill into the next item).
    const long long left = bytesLeft();
    if (left < 0) {
        m_status = eStatusError;
        return 0;
    }
    const size_t allowed = static_cast<unsigned long long>(left) < n ? static_cast<size_t>(left) : n;
    const size_t done = allowed ? move(allowed) : 0;
    settle(n, done);
    return done;
}

size_t RangeLimitingStorage::read(void* dst, size_t n)
{
    return transfer(n, [&](size_t count) { return m_inner->read(dst, count); });
}

size_t RangeLimitingStorage::write(const void* src, size_t n)
{
    return transfer(n, [&](size_t count) { return m_inner->write(src, count); });
}

long long RangeLimitingStorage::getPos64() const
{
    if (!m_inner)
        return -1;
    const long long position = m_inner->getPos64();
    if (position < m_start || (m_length != 0 && position > m_start + m_length))
        return -1;
    return position - m_start;
}

void RangeLimitingStorage::seek64(long long offset, eSeekMode mode)
{
    if (!m_inner || (mode == eSeekFromCurrent && !isGood()))
        return;
    if (m_length == 0 && mode == eSeekFromEnd) {
        m_inner->seek64(offset, eSeekFromEnd);
        const long long position = m_inner->getPos64();
        m_status = !m_inner->isGood() || position < m_start ? eStatusError : m_inner->getStatus();
        return;
    }

    long long target = 0;
    switch (mode) {
    case eSeekFromStart: target = offset; break;
    case eSeekFromCurrent: {
        const long long position = getPos64();
        if (position < 0 || (offset > 0 && position > std::numeric_limits<long long>::max() - offset)) {
            m_status = eStatusError;
            return;
        }
        target = position + offset;
        break;
    }
    case eSeekFromEnd:
        if (offset > 0) {
            m_status = eStatusError;
            return;
        }
        target = m_length + offset;
        break;
    default: return;
    }
    const long long limit = m_length != 0 ? m_length : std::numeric_limits<long long>::max() - m_start;
    if (target < 0 || target > limit) {
        m_status = eStatusError;
        return;
    }
    m_inner->seek64(m_start + target, eSeekFromStart);
    if (!m_inner->isGood() || m_inner->getPos64() != m_start + target)
        m_status = eStatusError;
    else if (m_length == 0)
        m_status = m_inner->getStatus();
    else
        m_status = target == m_length ? eStatusEnd : eStatusOK;
}

}  // namespace QV::GP
