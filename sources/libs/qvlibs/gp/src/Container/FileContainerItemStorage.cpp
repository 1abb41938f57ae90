#include "GP/FileContainerItemStorage.h"

#include "GP/FileName.h"

#include <limits>

namespace QV::GP {

FileContainerItemStorage::~FileContainerItemStorage() { close(); }

void FileContainerItemStorage::close()
{
    release();  // the window first: it points into the container
    m_container.reset();
    m_locked = false;
}

bool FileContainerItemStorage::open(const FileName& name, eAccessMode mode, eLockingMode lock)
{
    close();
    auto container = std::make_unique<FileContainerStorage>();
    container->setPartLockingMode(lock);
    FileContentRange range;
    if (!container->open(name, mode, false, std::numeric_limits<long long>::max()) ||
        !container->getOpenedContentRange(range) || range.length == 0)
        return false;
    container->seek64(range.start, eSeekFromStart);
    if (!container->isGood() || container->getPos64() != range.start)
        return false;
    if (!setup(container.get(), false, range.start, range.length, container->getAccessMode()))
        return false;
    m_container = std::move(container);
    m_locked = lock != eLockNone;
    return true;
}

}  // namespace QV::GP
