// Feeds arbitrary bytes to the container reader as a container's logical file: meta headers, the
// table scan and item lookups must refuse what does not hold together, never read outside the bytes,
// and never report an item that does not lie inside them.
#include "GP/FileContainer.h"
#include "GP/FileContainerParser.h"
#include "GP/MemoryStorage.h"
#include "GP/RangeLimitingStorage.h"
#include "Container/TocReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using QV::GP::FileContainerParser;
using QV::GP::IStorage;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A found item lies inside the input, and a window over it reads exactly its bytes.
void checkItem(IStorage& storage, long long size, const FileContainerParser::tContentParseInfo& item)
{
    check(item.dataStart >= 0 && item.length >= 0 && item.dataStart <= size && item.length <= size - item.dataStart);
    QV::GP::RangeLimitingStorage window;
    if (item.length == 0 || !window.setup(&storage, false, item.dataStart, item.length, IStorage::eAccessRead))
        return;
    window.seek64(0, IStorage::eSeekFromStart);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(item.length) + 1);
    check(window.read(bytes.data(), bytes.size()) == static_cast<std::size_t>(item.length));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    QV::GP::MemoryStorage storage;
    storage.init(IStorage::eAccessRead, bytes.data(), bytes.size());
    const long long end = static_cast<long long>(size);
    QV::GP::DETAIL::TocReader reader(storage);

    std::vector<QV::GP::FileContainer::tMetaHeader> headers;
    long long position = 0;
    reader.readMetaHeaders(position, end, &headers);
    check(position >= 0 && position <= end);
    for (const auto& header : headers)
        header.getText();
    reader.isTableHeaderAt(position, end);

    std::vector<FileContainerParser::tTocTableInfo> tables;
    std::uint32_t recordSize = 0;
    if (!reader.scanTables(0, end, tables, recordSize))
        return 0;
    std::vector<std::uint32_t> ids = {0, 1, 2, 12};
    for (const auto& table : tables) {
        check(table.position >= 0 && table.dataSize >= 0);
        check(QV::GP::DETAIL::dataStartOf(table, recordSize) + table.dataSize <= end);
        for (std::size_t i = 0; i < table.idMap.size() && i < 8; ++i)
            ids.push_back(table.idMap[i].id);
    }
    FileContainerParser::tContentParseInfo item;
    for (const std::uint32_t id : ids)
        for (const unsigned version : {FileContainerParser::kAnyVersion, 1u})
            if (reader.findById(tables, recordSize, id, version, item))
                checkItem(storage, end, item);
    for (const char* name : {"a", "b", "logo.png", ""})
        if (reader.findByName(tables, recordSize, name, FileContainerParser::kAnyVersion, item))
            checkItem(storage, end, item);
    return 0;
}
