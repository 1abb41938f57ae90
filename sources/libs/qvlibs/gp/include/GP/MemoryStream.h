// A stream that carries its own memory storage: its owner calls storage().init(...) with the
// caller's buffer (never owned) and, where needed, setByteOrder.
#pragma once

#include "GP/MemoryStorage.h"
#include "GP/Stream.h"

namespace QV::GP {

template <class StreamType>
class MemoryStreamBase : public StreamType {
public:
    MemoryStreamBase() { StreamType::setStorage(&m_storage); }
    MemoryStorage& storage() { return m_storage; }

private:
    MemoryStorage m_storage;
};

class MemoryStream final : public MemoryStreamBase<Stream> {};

}  // namespace QV::GP
