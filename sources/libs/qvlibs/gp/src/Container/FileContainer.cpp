#include "GP/FileContainer.h"

#include "GP/FileContainerStorage.h"
#include "GP/FileName.h"
#include "GP/FileStorage.h"
#include "TocReader.h"

namespace QV::GP {

bool FileContainer::isContainerFile(const FileName& name, std::vector<tMetaHeader>* headers)
{
    FileStorage file;
    if (!file.open(FileName(name.getFull()), IStorage::eAccessRead, IStorage::eLockNone))
        return false;
    DETAIL::TocReader reader(file);
    const long long end = file.getSize();
    long long position = 0;
    if (!headers) {
        tMetaHeader first;
        if (end >= static_cast<long long>(tMetaHeader::kSize) &&
            file.read(first.bytes, tMetaHeader::kSize) == tMetaHeader::kSize && first.hasMagic())
            return true;
    } else {
        const std::size_t before = headers->size();
        reader.readMetaHeaders(position, end, headers);
        if (headers->size() > before)
            return true;
    }
    return reader.isTableHeaderAt(position, end);
}

bool FileContainer::isContainerFileContent(const FileName& name, const std::string& subpath)
{
    FileContainerStorage storage;
    return storage.open(FileName(name.getFull()), IStorage::eAccessRead, false, 0) &&
           storage.openContentFromSubpath(subpath, FileContainerParser::kAnyVersion);
}

std::uint64_t FileContainer::getContentSize(const FileName& name)
{
    FileContainerStorage storage;
    FileContentRange range;
    if (name.getSubpath().empty() || !storage.open(name, IStorage::eAccessRead, false, 0) ||
        !storage.getOpenedContentRange(range))
        return 0;
    return static_cast<std::uint64_t>(range.length);
}

}  // namespace QV::GP
