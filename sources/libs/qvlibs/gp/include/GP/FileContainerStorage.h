// Reads a container file (GP/FileContainer.h) as one logical storage over its part files, with its
// tables of contents as the top level of lookups; an item opened by subpath becomes a nested level.
//
// Part files: the container file's name splits at its last ':' into folder and file name, and the file
// name at its last '.' into base name and extension; part 0 is the file itself, part N the base name +
// ".part" + N in the same folder (pack.cnt, pack.part1, pack.part2).
//
// Only reading is supported: nothing in the system writes containers, so write modes are refused.
// Every failure is reported by the result, the error status for reads and seeks, and getLastError().
#pragma once

#include "GP/FileContainerParser.h"
#include "GP/FileName.h"
#include "GP/FileStorage.h"
#include "GP/MultiPartStorage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace QV::GP {

class FileContainerStorage : public MultiPartStorage<FileStorage>, public FileContainerParser {
public:
    // More parts than this are refused.
    static constexpr int kMaxPartCount = 4096;

    FileContainerStorage() = default;
    ~FileContainerStorage() override;

    // Opens the container that `name` names for reading (eAccessRead; other modes are refused) and the
    // item of its subpath, if any. A file that is not a container opens as a plain one-part storage
    // when it has no subpath. `flag` has no effect; `maxPartSize` matters only for writing.
    virtual bool open(const FileName& name, eAccessMode mode, bool flag, long long maxPartSize);
    // Reads in pieces of at most 2^32 - 1 bytes and stops after a short piece; the total.
    virtual size_t read64(void* dst, unsigned long long n);
    virtual size_t write64(const void* src, unsigned long long n);
    // The file name of a part: "pack.cnt", "pack.part1", ...
    virtual std::string getPartName(int index) const;

    bool isOpen() const override { return !m_baseName.empty() && MultiPartStorage::isOpen(); }
    bool openPart(int index) override;
    void close() override;
    void flush() override;
    // A position at a part's end belongs to the next part when there is one.
    bool getPartIndexForPosition(long long position, long long& index, long long& partStart) override;
    // The part's size as found when the container was opened.
    long long getPartSize(int index) override;

    // The top level's lookups: false while an item level is open, or when closed.
    bool getAvailableContentTocs() override;
    bool getContentInfoOfItem(const std::string& name, unsigned version, tContentParseInfo& info) override;
    bool getContentInfoOfItem(unsigned id, unsigned version, tContentParseInfo& info) override;
    bool getContentRangeOfItem(const std::string& name, unsigned version, FileContentRange& range) override;
    bool getContentRangeOfItem(unsigned id, unsigned version, FileContentRange& range) override;
    // The item's place in the part files; true when its length is not 0.
    virtual bool getContentRangeOfContentInfo(const tContentParseInfo& info, FileContentRange& range);

    // Opens the item that `subpath` addresses ("<name" or "<<id>") as the nested level, replacing one
    // that was open; kAnyVersion takes the highest version. Only one level resolves.
    bool openContentFromSubpath(const std::string& subpath, unsigned version);
    // The tables in `range` of the logical file (meta headers at its start are skipped).
    bool getAvailableTocsFromRange(std::vector<tTocTableInfo>& tables, const FileContentRange& range);
    // Every table and its data lie inside the part files.
    bool queryDataIntegrity();

    // The colon-style name of a part file.
    std::string getPartFilePath(int index) const;
    void setRootFilePath(const std::string& path);
    // The locking mode for the part files (before open).
    void setPartLockingMode(eLockingMode lock) { m_partLocking = lock; }

    // The innermost open level: the opened item's, else the top level.
    const FileContainerParser& getInnermostLevel() const;
    // The range of the opened item; false when no item level is open.
    bool getOpenedContentRange(FileContentRange& range) const;
    const std::string& getCurrentSubpath() const { return m_currentSubpath; }
    long long getTotalSize() const { return m_totalSize; }
    // The record size that the first table fixes (160 or 640).
    std::uint32_t getRecordSize() const { return m_recordSize; }
    // The last failure, as a diagnostic text; empty when nothing failed.
    const std::string& getLastError() const { return m_lastError; }

private:
    bool fail(std::string text);
    bool failLookup(const std::string& reason);
    bool resolveSegment(FileContainerParser& level, const std::string& subpath, std::size_t& position, unsigned version,
                        tContentParseInfo& info);
    bool ensureTables();
    // The content info of the item that `find` (a name or an id lookup of the tables) finds.
    template <class Find>
    bool findContentInfo(Find find, tContentParseInfo& info);

    std::uint32_t m_recordSize = 640;
    std::string m_rootFolder;
    std::string m_baseName;
    std::string m_extension;
    std::string m_currentSubpath;
    const FileTypeDescr* m_type = nullptr;
    long long m_totalSize = 0;
    eLockingMode m_partLocking = eLockNone;
    std::vector<long long> m_partSizes;  // found at open
    bool m_tablesScanned = false;
    std::string m_lastError;
};

}  // namespace QV::GP
