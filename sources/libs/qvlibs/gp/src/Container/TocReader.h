// Reads a container's meta headers and tables of contents from any storage that holds its logical
// file, and finds items in them. Every count, offset and length is checked against the range being
// read before it is used: a table or item that reaches outside is refused, no allocation is larger
// than the bytes that back it, and no read leaves the range.
#pragma once

#include "GP/FileContainer.h"
#include "GP/FileContainerParser.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace QV::GP {
class IStorage;
}

namespace QV::GP::DETAIL {

class TocReader {
public:
    using tTocTableInfo = FileContainerParser::tTocTableInfo;
    using tContentParseInfo = FileContainerParser::tContentParseInfo;

    // Meta headers kept at most: more than this is not a container.
    static constexpr std::size_t kMaxMetaHeaders = 1024;

    explicit TocReader(IStorage& storage) : m_storage(storage) {}

    // Reads meta headers from `position` on while their magic matches, each followed by its extra
    // bytes, appending them to `headers` (may be null); `position` ends at the first other block.
    // False when a header's extra bytes reach `end` or there are too many headers.
    bool readMetaHeaders(long long& position, long long end, std::vector<FileContainer::tMetaHeader>* headers);
    // True when a whole table header (its zero word, fill and magic) lies at `position` before `end`.
    bool isTableHeaderAt(long long position, long long end);
    // The chain of tables in [start, end), after the meta headers there: every table, and the record
    // size that the first table fixes. An empty range holds no table and succeeds; fewer than a
    // record's bytes after the last table are ignored.
    bool scanTables(long long start, long long end, std::vector<tTocTableInfo>& tables, std::uint32_t& recordSize);

    // The item of that name (or id) in the tables: with version kAnyVersion the highest version, else
    // the first record of exactly that version. The part index of `info` is left for the caller.
    bool findByName(const std::vector<tTocTableInfo>& tables, std::uint32_t recordSize, const std::string& name,
                    std::uint32_t version, tContentParseInfo& info);
    bool findById(const std::vector<tTocTableInfo>& tables, std::uint32_t recordSize, std::uint32_t id,
                  std::uint32_t version, tContentParseInfo& info);

    // Why the last call failed ("stream read error", ...); empty when nothing failed.
    const std::string& getError() const { return m_error; }

private:
    struct tRecord {
        std::uint64_t offset = 0;
        std::uint32_t id = 0;
        std::uint32_t version = 0;
        unsigned char opaque[16] = {};
        std::string name;
    };
    enum eSearch {
        eSearchOn,
        eSearchDone,
        eSearchFailed
    };
    using Match = std::function<bool(const tRecord&)>;

    bool readAt(long long position, void* dst, std::size_t n);
    bool readNext(void* dst, std::size_t n);
    bool fail(const char* reason);
    static tRecord decodeRecord(const unsigned char* bytes, std::uint32_t recordSize);
    bool readIdMap(long long position, tTocTableInfo& table);
    // Scans the records of one table for matches.
    eSearch searchTable(const tTocTableInfo& table, std::uint32_t recordSize, const Match& match, std::uint32_t version,
                        bool& found, tContentParseInfo& best);
    // Takes a matching record whose data ends at `nextOffset` as the best so far when it is.
    eSearch consider(const tTocTableInfo& table, std::uint32_t recordSize, const tRecord& record,
                     std::uint64_t nextOffset, std::uint32_t version, bool& found, tContentParseInfo& best);
    bool find(const std::vector<tTocTableInfo>& tables, std::uint32_t recordSize, const Match& match,
              const std::uint32_t* id, std::uint32_t version, tContentParseInfo& info);

    IStorage& m_storage;
    std::string m_error;
};

// The position of a table's first item record, and of its data block.
long long recordsStartOf(const FileContainerParser::tTocTableInfo& table, std::uint32_t recordSize);
long long dataStartOf(const FileContainerParser::tTocTableInfo& table, std::uint32_t recordSize);

}  // namespace QV::GP::DETAIL
