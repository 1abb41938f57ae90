// A stream over a file, or over an item inside a container file, carrying both storages with it. It
// starts pointing at its (closed) file storage; open() points it at whichever storage the name needs.
#pragma once

#include "GP/FileContainerItemStorage.h"
#include "GP/FileName.h"
#include "GP/FileStorage.h"
#include "GP/Stream.h"

namespace QV::GP {

template <class StreamType>
class FileStreamBase : public StreamType {
public:
    FileStreamBase() { StreamType::setStorage(&m_fileStorage); }
    // The item storage (and its container) goes first, then the file.
    ~FileStreamBase() override = default;

    FileStorage& fileStorage() { return m_fileStorage; }
    FileContainerItemStorage& itemStorage() { return m_itemStorage; }

    // Opens `name` for reading: the container item for a file-mode name with a container subpath, else
    // the file. True when the storage the stream then points at is good. When the item cannot be
    // opened, the stream keeps pointing at its closed file storage.
    bool open(const FileName& name)
    {
        m_itemStorage.close();
        m_fileStorage.close();
        StreamType::setStorage(&m_fileStorage);
        if (name.getMode() == FileName::eModeFile && !name.getSubpath().empty()) {
            if (m_itemStorage.open(name, IStorage::eAccessRead, IStorage::eLockNone))
                StreamType::setStorage(&m_itemStorage);
        } else {
            m_fileStorage.open(name, IStorage::eAccessRead, IStorage::eLockNone);
        }
        return StreamType::getStorage()->isGood();
    }

private:
    FileStorage m_fileStorage;
    FileContainerItemStorage m_itemStorage;
};

class FileStream final : public FileStreamBase<Stream> {};

}  // namespace QV::GP
