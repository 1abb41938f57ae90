// One level of a container's tables of contents (GP/FileContainer.h): the top level is the container
// storage itself; an opened item becomes a nested level. Nested levels list the tables inside their
// item, but answer no lookups: subpaths resolve one level deep.
#pragma once

#include "GP/FileContainer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace QV::GP {

class IStorage;

// Where an item's data lies in the logical file and in the part files.
struct FileContentRange {
    int firstPartIndex = -1;  // the part that holds the start
    long long bytesInFirstPart = 0;
    long long offsetInFirstPart = 0;
    int nextPartIndex = -1;  // the part the item goes on in; -1 when it ends in its first part
    long long offsetInNextPart = 0;
    long long start = 0;  // in the logical file
    long long length = 0;
};

class FileContainerParser {
public:
    static constexpr unsigned kAnyVersion = 0xFFFFFFFFu;

    struct tIdMapEntry {
        std::uint32_t recordIndex;
        std::uint32_t id;
    };

    struct tTocTableInfo {
        long long position = 0;  // of the header record
        std::uint32_t itemCount = 0;
        long long dataSize = 0;
        bool hasIdMap = false;
        std::vector<tIdMapEntry> idMap;  // ascending by id
        std::uint32_t kind = 0;
    };

    struct tContentParseInfo {
        std::string name = FileContainer::INVALID_ENTRY;  // UTF-8
        std::uint32_t id = 0;
        std::uint32_t version = 0;
        std::array<unsigned char, 16> opaque{};
        int partIndex = -1;  // the part that holds the data start
        long long dataStart = 0;
        long long length = 0;
        long long tablePosition = 0;
    };

    // The top level: no item, no storage yet.
    FileContainerParser() = default;
    // A nested level for an opened item: `subpath` is the segment that opened it.
    FileContainerParser(IStorage* storage, FileContainerParser* parent, const tContentParseInfo& item,
                        const FileContentRange& range, std::string subpath);
    virtual ~FileContainerParser();
    FileContainerParser(const FileContainerParser&) = delete;
    FileContainerParser& operator=(const FileContainerParser&) = delete;

    // Lists the tables of this level (inside the level's range).
    virtual bool getAvailableContentTocs();
    // Lookups: false on a nested level.
    virtual bool getContentInfoOfItem(const std::string& name, unsigned version, tContentParseInfo& info);
    virtual bool getContentInfoOfItem(unsigned id, unsigned version, tContentParseInfo& info);
    virtual bool getContentRangeOfItem(const std::string& name, unsigned version, FileContentRange& range);
    virtual bool getContentRangeOfItem(unsigned id, unsigned version, FileContentRange& range);
    // The subpath of the levels above this one, and including this one.
    virtual void getContentParentSubpath(std::string& out) const;
    virtual void getContentFullSubpath(std::string& out) const;

    const std::vector<tTocTableInfo>& getTables() const { return m_tables; }
    const std::vector<FileContainer::tMetaHeader>& getMetaHeaders() const { return m_metaHeaders; }
    const std::string& getItemName() const { return m_name; }
    std::uint32_t getItemId() const { return m_id; }
    std::uint32_t getItemVersion() const { return m_version; }
    const std::array<unsigned char, 16>& getItemOpaque() const { return m_opaque; }
    const FileContentRange& getRange() const { return m_range; }
    long long getTablePosition() const { return m_tablePosition; }
    FileContainerParser* getParent() const { return m_parent; }
    FileContainerParser* getChild() const { return m_child.get(); }

protected:
    std::vector<tTocTableInfo> m_tables;
    std::vector<FileContainer::tMetaHeader> m_metaHeaders;
    std::string m_name = FileContainer::INVALID_ENTRY;
    std::uint32_t m_id = 0;
    std::uint32_t m_version = 0;
    std::array<unsigned char, 16> m_opaque{};
    FileContentRange m_range;
    long long m_tablePosition = 0;
    std::string m_subpath;
    IStorage* m_storage = nullptr;
    FileContainerParser* m_parent = nullptr;
    std::unique_ptr<FileContainerParser> m_child;
};

}  // namespace QV::GP
