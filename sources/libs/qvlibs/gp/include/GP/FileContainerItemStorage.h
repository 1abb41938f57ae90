// One item of a container file, read as a storage of its own: a window onto the container's logical
// file (GP/FileContainerStorage.h) that owns the container. Positions count from the item's start; a
// read that runs short of the item's end sets the error status.
#pragma once

#include "GP/FileContainerStorage.h"
#include "GP/RangeLimitingStorage.h"

#include <memory>

namespace QV::GP {

class FileName;

class FileContainerItemStorage final : public RangeLimitingStorage {
public:
    FileContainerItemStorage() = default;
    ~FileContainerItemStorage() override;

    // Opens the item that the name's subpath addresses (reading only; the part files with `lock`).
    // False, closed, for a name without subpath, an empty item, or any failure of the container.
    bool open(const FileName& name, eAccessMode mode, eLockingMode lock);
    // Closes the window and the container.
    void close();

    bool isLocked() const { return m_locked; }
    const FileContainerStorage* getContainer() const { return m_container.get(); }

private:
    std::unique_ptr<FileContainerStorage> m_container;
    bool m_locked = false;
};

}  // namespace QV::GP
