#include "TocReader.h"

#include "TocFormat.h"

#include "GP/IStorage.h"
#include "GP/UTF.h"

#include <algorithm>
#include <cstring>

namespace QV::GP::DETAIL {

using namespace TOC;

namespace {

// Orders id-map entries by id, against each other or against an id.
struct IdOrder {
    using Entry = FileContainerParser::tIdMapEntry;
    bool operator()(const Entry& a, std::uint32_t id) const { return a.id < id; }
    bool operator()(std::uint32_t id, const Entry& a) const { return id < a.id; }
};

long long idMapBytes(const FileContainerParser::tTocTableInfo& table)
{
    return table.hasIdMap ? static_cast<long long>(kIdMapEntrySize) * table.itemCount : 0;
}

// Fewer than 2^33 items * 640 bytes: no overflow.
long long tableRecordBytes(std::uint32_t itemCount, std::uint32_t recordSize)
{
    return static_cast<long long>(recordSize) * (static_cast<long long>(itemCount) + 2);
}

}  // namespace

long long recordsStartOf(const FileContainerParser::tTocTableInfo& table, std::uint32_t recordSize)
{
    return table.position + recordSize + idMapBytes(table);
}

long long dataStartOf(const FileContainerParser::tTocTableInfo& table, std::uint32_t recordSize)
{
    return table.position + idMapBytes(table) + tableRecordBytes(table.itemCount, recordSize);
}

bool TocReader::fail(const char* reason)
{
    m_error = reason;
    return false;
}

bool TocReader::readAt(long long position, void* dst, std::size_t n)
{
    m_storage.seek64(position, IStorage::eSeekFromStart);
    if (!m_storage.isGood() || m_storage.getPos64() != position)
        return fail("stream seek error");
    return readNext(dst, n);
}

bool TocReader::readNext(void* dst, std::size_t n) { return m_storage.read(dst, n) == n || fail("stream read error"); }

bool TocReader::readMetaHeaders(long long& position, long long end, std::vector<FileContainer::tMetaHeader>* headers)
{
    std::size_t count = 0;
    for (;;) {
        if (end - position < static_cast<long long>(kMetaHeaderSize))
            return true;
        FileContainer::tMetaHeader header;
        if (!readAt(position, header.bytes, kMetaHeaderSize))
            return false;
        if (!hasMetaMagic(header.bytes))
            return true;
        if (++count > kMaxMetaHeaders)
            return fail("stream read marker error");
        if (headers)
            headers->push_back(header);
        // Something must follow the header and its extra bytes.
        const long long extra = header.getExtraBytes();
        if (extra >= end - position - static_cast<long long>(kMetaHeaderSize))
            return fail("stream seek error");
        position += static_cast<long long>(kMetaHeaderSize) + extra;
    }
}

bool TocReader::isTableHeaderAt(long long position, long long end)
{
    unsigned char header[kLargeRecordSize];
    if (end - position < static_cast<long long>(kSmallRecordSize) || !readAt(position, header, kSmallRecordSize))
        return false;
    const std::uint32_t recordSize = recordSizeOfKind(u32At(header + kHeaderKindOffset));
    if (recordSize > kSmallRecordSize && (end - position < static_cast<long long>(recordSize) ||
                                          !readNext(header + kSmallRecordSize, recordSize - kSmallRecordSize)))
        return false;
    return isTableHeader(header);
}

bool TocReader::readIdMap(long long position, tTocTableInfo& table)
{
    // The scan has checked that the map lies inside the range: its size is backed by real bytes.
    table.idMap.resize(table.itemCount);
    constexpr std::size_t kChunkEntries = 512;
    unsigned char chunk[kChunkEntries * kIdMapEntrySize];
    for (std::size_t done = 0; done < table.itemCount;) {
        const std::size_t entries = std::min<std::size_t>(kChunkEntries, table.itemCount - done);
        const bool read =
            done == 0 ? readAt(position, chunk, entries * kIdMapEntrySize) : readNext(chunk, entries * kIdMapEntrySize);
        if (!read)
            return fail("stream read mapping error");
        for (std::size_t i = 0; i < entries; ++i) {
            FileContainerParser::tIdMapEntry& entry = table.idMap[done + i];
            entry.recordIndex = u32At(chunk + i * kIdMapEntrySize);
            entry.id = u32At(chunk + i * kIdMapEntrySize + 4);
            // Searched by halving: an index outside the table or ids out of order would mislead it.
            if (entry.recordIndex >= table.itemCount || (done + i > 0 && entry.id < table.idMap[done + i - 1].id))
                return fail("stream read mapping error");
        }
        done += entries;
    }
    return true;
}

bool TocReader::scanTables(long long start, long long end, std::vector<tTocTableInfo>& tables,
                           std::uint32_t& recordSize)
{
    tables.clear();
    m_error.clear();
    if (start < 0 || end < start)
        return fail("stream error");
    if (start == end)
        return true;
    long long position = start;
    if (!readMetaHeaders(position, end, nullptr))
        return false;

    unsigned char header[kLargeRecordSize];
    if (end - position < static_cast<long long>(kSmallRecordSize))
        return fail("stream read error");
    if (!readAt(position, header, kSmallRecordSize))
        return false;
    recordSize = recordSizeOfKind(u32At(header + kHeaderKindOffset));
    if (recordSize > kSmallRecordSize) {
        if (end - position < static_cast<long long>(recordSize))
            return fail("stream read error");
        if (!readNext(header + kSmallRecordSize, recordSize - kSmallRecordSize))
            return false;
    }

    for (;;) {
        if (!isTableHeader(header))
            return fail("stream read marker error");
        tTocTableInfo table;
        table.position = position;
        table.kind = u32At(header + kHeaderKindOffset);
        table.itemCount = u32At(header + kHeaderCountOffset);
        table.hasIdMap = (u32At(header + kHeaderFlagsOffset) & kFlagIdMap) != 0;
        const std::uint64_t dataSize = u64At(header + kHeaderDataSizeOffset);
        const long long available = end - position;
        const long long needed = idMapBytes(table) + tableRecordBytes(table.itemCount, recordSize);
        if (needed > available || dataSize > static_cast<std::uint64_t>(available - needed))
            return fail("stream read outside range error");
        table.dataSize = static_cast<long long>(dataSize);
        if (table.hasIdMap && !readIdMap(position + recordSize, table))
            return false;
        tables.push_back(std::move(table));

        position += needed + static_cast<long long>(dataSize);
        if (end - position < static_cast<long long>(recordSize))
            return true;
        if (!readAt(position, header, recordSize))
            return false;
    }
}

TocReader::tRecord TocReader::decodeRecord(const unsigned char* bytes, std::uint32_t recordSize)
{
    tRecord record;
    record.offset = u64At(bytes + kItemOffsetOffset);
    record.id = u32At(bytes + kItemIdOffset);
    record.version = u32At(bytes + kItemVersionOffset);
    std::memcpy(record.opaque, bytes + kItemOpaqueOffset, sizeof record.opaque);
    // The name ends at a 0 unit, or at the end of the record when it has none.
    std::u16string units;
    for (std::size_t i = kItemNameOffset; i + 1 < recordSize; i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    record.name = details::utf_to_utf<char, char16_t, true>::apply(units);
    return record;
}

TocReader::eSearch TocReader::consider(const tTocTableInfo& table, std::uint32_t recordSize, const tRecord& record,
                                       std::uint64_t nextOffset, std::uint32_t version, bool& found,
                                       tContentParseInfo& best)
{
    // The item's data runs to the next record's offset; an offset of 0 there (an end record left
    // empty) means the end of the data block.
    const std::uint64_t dataSize = static_cast<std::uint64_t>(table.dataSize);
    const std::uint64_t end = nextOffset == 0 ? dataSize : nextOffset;
    if (record.offset > dataSize || end < record.offset || end > dataSize) {
        fail("stream read data error");
        return eSearchFailed;
    }
    if (!found || record.version > best.version) {
        best.name = record.name;
        best.id = record.id;
        best.version = record.version;
        std::copy(std::begin(record.opaque), std::end(record.opaque), best.opaque.begin());
        best.dataStart = dataStartOf(table, recordSize) + static_cast<long long>(record.offset);
        best.length = static_cast<long long>(end - record.offset);
        best.tablePosition = table.position;
        best.partIndex = -1;
        found = true;
    }
    return record.version == version ? eSearchDone : eSearchOn;
}

TocReader::eSearch TocReader::searchTable(const tTocTableInfo& table, std::uint32_t recordSize, const Match& match,
                                          std::uint32_t version, bool& found, tContentParseInfo& best)
{
    std::vector<unsigned char> bytes(recordSize);
    if (!readAt(recordsStartOf(table, recordSize), bytes.data(), recordSize))
        return eSearchFailed;
    tRecord pending;
    bool hasPending = false;
    // The item records, then the end record.
    for (std::uint64_t index = 0;; ++index) {
        tRecord record = decodeRecord(bytes.data(), recordSize);
        if (hasPending) {
            const eSearch search = consider(table, recordSize, pending, record.offset, version, found, best);
            if (search != eSearchOn)
                return search;
            hasPending = false;
        }
        if (index == table.itemCount)
            return eSearchOn;
        if ((version == FileContainerParser::kAnyVersion || record.version == version) && match(record)) {
            pending = std::move(record);
            hasPending = true;
        }
        if (!readNext(bytes.data(), recordSize))
            return eSearchFailed;
    }
}

bool TocReader::find(const std::vector<tTocTableInfo>& tables, std::uint32_t recordSize, const Match& match,
                     const std::uint32_t* id, std::uint32_t version, tContentParseInfo& info)
{
    m_error.clear();
    bool found = false;
    tContentParseInfo best;
    std::vector<unsigned char> bytes(2 * static_cast<std::size_t>(recordSize));
    for (const tTocTableInfo& table : tables) {
        eSearch search = eSearchOn;
        if (id && table.hasIdMap) {
            // Only the records that the map names for the id, each with the one after it for the
            // end of its data, in the order of the records: one id may have several versions.
            const auto range = std::equal_range(table.idMap.begin(), table.idMap.end(), *id, IdOrder());
            std::vector<std::uint32_t> indices;
            for (auto entry = range.first; entry != range.second; ++entry)
                indices.push_back(entry->recordIndex);
            std::sort(indices.begin(), indices.end());
            for (const std::uint32_t index : indices) {
                const long long position =
                    recordsStartOf(table, recordSize) + static_cast<long long>(recordSize) * index;
                if (!readAt(position, bytes.data(), bytes.size()))
                    return false;
                const tRecord record = decodeRecord(bytes.data(), recordSize);
                if (record.id != *id)
                    return fail("stream read mapping error");
                if (version != FileContainerParser::kAnyVersion && record.version != version)
                    continue;
                const std::uint64_t nextOffset = decodeRecord(bytes.data() + recordSize, recordSize).offset;
                search = consider(table, recordSize, record, nextOffset, version, found, best);
                if (search != eSearchOn)
                    break;
            }
        } else {
            search = searchTable(table, recordSize, match, version, found, best);
        }
        if (search == eSearchFailed)
            return false;
        if (search == eSearchDone)
            break;
    }
    if (found)
        info = best;
    return found;
}

bool TocReader::findByName(const std::vector<tTocTableInfo>& tables, std::uint32_t recordSize, const std::string& name,
                           std::uint32_t version, tContentParseInfo& info)
{
    return find(
        tables, recordSize, [&name](const tRecord& record) { return record.name == name; }, nullptr, version, info);
}

bool TocReader::findById(const std::vector<tTocTableInfo>& tables, std::uint32_t recordSize, std::uint32_t id,
                         std::uint32_t version, tContentParseInfo& info)
{
    return find(
        tables, recordSize, [id](const tRecord& record) { return record.id == id; }, &id, version, info);
}

}  // namespace QV::GP::DETAIL
