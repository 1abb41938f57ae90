#include "GP/FileContainerStorage.h"

#include "GP/FileManager.h"
#include "GP/FileTypeManager.h"
#include "GP/LexicalCast.h"
#include "TocReader.h"

#include <algorithm>
#include <limits>

namespace QV::GP {

namespace {

constexpr long long kLargest = std::numeric_limits<long long>::max();

// Puts the storage's position back when a lookup or scan is done with it.
class PositionKeeper {
public:
    explicit PositionKeeper(IStorage& storage) : m_storage(storage), m_position(storage.getPos64()) {}
    ~PositionKeeper()
    {
        if (m_position >= 0)
            m_storage.seek64(m_position, IStorage::eSeekFromStart);
    }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

private:
    IStorage& m_storage;
    long long m_position;
};

const FileTypeDescr* unknownType() { return FileTypeManager::getStdType(FileTypeManager::eStdFileTypeUnknown); }

}  // namespace

FileContainerStorage::~FileContainerStorage() { close(); }

bool FileContainerStorage::fail(std::string text)
{
    m_lastError = std::move(text);
    return false;
}

bool FileContainerStorage::failLookup(const std::string& reason)
{
    return fail("Error: openContentFromSubpath failed (" + m_currentSubpath + " - " + reason + ").");
}

bool FileContainerStorage::open(const FileName& name, eAccessMode mode, bool, long long)
{
    close();
    m_lastError.clear();
    const std::string file = name.getFull();
    if (mode != eAccessRead)
        return fail("Error: open failed (new file: " + file + ", subpath: " + name.getSubpath() + ").");

    // The file itself: a container, or at least a plain file (the subpath does not count here).
    const FileName plain(file);
    std::vector<FileContainer::tMetaHeader> headers;
    const bool container = FileContainer::isContainerFile(plain, &headers);
    if (!container && FileManager::getFileSize(plain) == 0)
        return fail("Error: open failed (new file: " + file + ", subpath: " + name.getSubpath() + ").");

    m_accessMode = eAccessRead;
    setRootFilePath(file);
    m_currentSubpath = name.getSubpath();
    m_type = name.getType() ? name.getType() : unknownType();
    long long partCount = 1;
    if (container) {
        m_metaHeaders = std::move(headers);
        for (const FileContainer::tMetaHeader& header : m_metaHeaders)
            if (header.hasMagic() && header.getType() == FileContainer::eMetaHeaderPartInfo) {
                partCount = header.getPartCount();
                break;
            }
    }
    if (partCount < 1 || partCount > kMaxPartCount || partCount > getMaxAllowedPartCount()) {
        close();
        return fail("Error: open failed - open part (existing file: " + file + ").");
    }

    // Every part must be there, with data, before anything is read across them.
    m_parts.resize(static_cast<std::size_t>(partCount));
    for (int i = 0; i < partCount; ++i) {
        const long long size = static_cast<long long>(FileManager::getFileSize(FileName(getPartFilePath(i))));
        if (size <= 0 || size > kLargest - m_totalSize) {
            close();
            return fail("Error: open failed - open part (existing file: " + file + ").");
        }
        m_partSizes.push_back(size);
        m_totalSize += size;
    }
    m_status = eStatusOK;

    if (container && !queryDataIntegrity()) {
        const std::string reason = m_lastError;
        close();
        return fail("Error: open failed - integrity check (existing file: " + file + "). " + reason);
    }
    if (!openPartStorageAt(0)) {
        close();
        return fail("Error: open failed - open part (existing file: " + file + ").");
    }
    if (!m_currentSubpath.empty() && !openContentFromSubpath(name.getSubpath(), kAnyVersion)) {
        const std::string reason = m_lastError;
        close();
        return fail("Error: open failed - open subpath (existing file: " + file + ", subpath: " + name.getSubpath() +
                    "). " + reason);
    }
    return true;
}

void FileContainerStorage::close()
{
    m_child.reset();
    m_tables.clear();
    m_metaHeaders.clear();
    m_rootFolder.clear();
    m_baseName.clear();
    m_extension.clear();
    m_currentSubpath.clear();
    m_type = nullptr;
    m_totalSize = 0;
    m_partSizes.clear();
    m_tablesScanned = false;
    m_recordSize = 640;
    MultiPartStorage::close();
}

void FileContainerStorage::flush() { MultiPartStorage::flush(); }

size_t FileContainerStorage::read64(void* dst, unsigned long long n)
{
    constexpr unsigned long long kPiece = 0xFFFFFFFFull;
    unsigned char* out = static_cast<unsigned char*>(dst);
    size_t total = 0;
    while (n > 0) {
        const size_t piece = static_cast<size_t>(std::min(n, kPiece));
        const size_t got = read(out + total, piece);
        total += got;
        if (got < piece)
            break;
        n -= piece;
    }
    return total;
}

size_t FileContainerStorage::write64(const void* src, unsigned long long n)
{
    constexpr unsigned long long kPiece = 0xFFFFFFFFull;
    const unsigned char* in = static_cast<const unsigned char*>(src);
    size_t total = 0;
    while (n > 0) {
        const size_t piece = static_cast<size_t>(std::min(n, kPiece));
        const size_t put = write(in + total, piece);
        total += put;
        if (put < piece)
            break;
        n -= piece;
    }
    return total;
}

std::string FileContainerStorage::getPartName(int index) const
{
    if (index == 0)
        return m_extension.empty() ? m_baseName : m_baseName + "." + m_extension;
    return m_baseName + ".part" + std::to_string(index);
}

std::string FileContainerStorage::getPartFilePath(int index) const { return m_rootFolder + getPartName(index); }

void FileContainerStorage::setRootFilePath(const std::string& path)
{
    const std::string::size_type colon = path.rfind(FileName::DIR_SEPARATOR);
    if (colon == std::string::npos) {
        m_rootFolder = path;
        m_baseName.clear();
        m_extension.clear();
        return;
    }
    m_rootFolder = path.substr(0, colon + 1);
    const std::string file = path.substr(colon + 1);
    const std::string::size_type dot = file.rfind('.');
    m_baseName = file.substr(0, dot);
    m_extension = dot == std::string::npos ? std::string() : file.substr(dot + 1);
}

bool FileContainerStorage::openPart(int index)
{
    if (index < 0 || index >= getPartCount())
        return false;  // never writing: no part is added
    if (getPart(index))
        return true;
    FileName name(getPartFilePath(index));
    name.setType(index == 0 ? m_type : unknownType());
    auto part = std::make_unique<FileStorage>();
    // The part must still be the file that was measured at open.
    if (!part->open(name, m_accessMode, m_partLocking) || part->getSize() == 0 ||
        part->getSize() != m_partSizes[static_cast<std::size_t>(index)])
        return false;
    m_parts[static_cast<std::size_t>(index)] = std::move(part);
    return true;
}

long long FileContainerStorage::getPartSize(int index)
{
    return index >= 0 && index < static_cast<int>(m_partSizes.size()) ? m_partSizes[static_cast<std::size_t>(index)]
                                                                      : 0;
}

bool FileContainerStorage::getPartIndexForPosition(long long position, long long& index, long long& partStart)
{
    if (position < 0 || m_partSizes.empty())
        return false;
    long long start = 0;
    const int last = static_cast<int>(m_partSizes.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const long long size = m_partSizes[static_cast<std::size_t>(i)];
        if (size <= 0)
            return false;
        if (position < start + size || (position == start + size && i == last)) {
            index = i;
            partStart = start;
            return true;
        }
        start += size;
    }
    return false;
}

bool FileContainerStorage::getAvailableTocsFromRange(std::vector<tTocTableInfo>& tables, const FileContentRange& range)
{
    if (!isOpen())
        return false;
    const long long end =
        range.length > m_totalSize - std::min(range.start, m_totalSize) ? m_totalSize : range.start + range.length;
    PositionKeeper keeper(*this);
    DETAIL::TocReader reader(*this);
    std::uint32_t recordSize = m_recordSize;
    if (!reader.scanTables(range.start, end, tables, recordSize)) {
        tables.clear();
        return fail("Error: getAvailableTocsFromRange failed (" + reader.getError() +
                    "), range offset = " + std::to_string(range.start) + ", length = " + std::to_string(range.length));
    }
    m_recordSize = recordSize;
    return true;
}

bool FileContainerStorage::getAvailableContentTocs()
{
    FileContentRange whole;
    whole.start = 0;
    whole.length = kLargest;
    m_tablesScanned = getAvailableTocsFromRange(m_tables, whole);
    return m_tablesScanned;
}

bool FileContainerStorage::ensureTables()
{
    return (m_tablesScanned || getAvailableContentTocs()) && !m_tables.empty();
}

bool FileContainerStorage::queryDataIntegrity()
{
    if (!isOpen() || !(m_tablesScanned || getAvailableContentTocs()))
        return false;
    PositionKeeper keeper(*this);
    for (const tTocTableInfo& table : m_tables) {
        const long long data = DETAIL::dataStartOf(table, m_recordSize);
        for (const long long position : {table.position, data, data + table.dataSize}) {
            seek64(position, eSeekFromStart);
            if (!isGood() || getPos64() != position)
                return fail("Error: queryDataIntegrity failed, position = " + std::to_string(position));
        }
    }
    return true;
}

template <class Find>
bool FileContainerStorage::findContentInfo(Find find, tContentParseInfo& info)
{
    if (m_child || !isOpen() || !ensureTables())
        return false;
    PositionKeeper keeper(*this);
    DETAIL::TocReader reader(*this);
    tContentParseInfo found;
    if (!find(reader, found))
        return reader.getError().empty() ? false : fail("Error: lookup failed (" + reader.getError() + ")");
    long long index = 0, partStart = 0;
    if (!getPartIndexForPosition(found.dataStart, index, partStart)) {
        m_status = eStatusError;
        return false;
    }
    found.partIndex = static_cast<int>(index);
    info = found;
    return true;
}

bool FileContainerStorage::getContentInfoOfItem(const std::string& name, unsigned version, tContentParseInfo& info)
{
    return findContentInfo(
        [&](DETAIL::TocReader& reader, tContentParseInfo& found) {
            return reader.findByName(m_tables, m_recordSize, name, version, found);
        },
        info);
}

bool FileContainerStorage::getContentInfoOfItem(unsigned id, unsigned version, tContentParseInfo& info)
{
    return findContentInfo(
        [&](DETAIL::TocReader& reader, tContentParseInfo& found) {
            return reader.findById(m_tables, m_recordSize, id, version, found);
        },
        info);
}

bool FileContainerStorage::getContentRangeOfItem(const std::string& name, unsigned version, FileContentRange& range)
{
    tContentParseInfo info;
    return getContentInfoOfItem(name, version, info) && getContentRangeOfContentInfo(info, range);
}

bool FileContainerStorage::getContentRangeOfItem(unsigned id, unsigned version, FileContentRange& range)
{
    tContentParseInfo info;
    return getContentInfoOfItem(id, version, info) && getContentRangeOfContentInfo(info, range);
}

bool FileContainerStorage::getContentRangeOfContentInfo(const tContentParseInfo& info, FileContentRange& range)
{
    range = FileContentRange();
    range.start = info.dataStart;
    range.length = info.length;
    long long index = 0, partStart = 0;
    if (!getPartIndexForPosition(info.dataStart, index, partStart))
        return false;
    range.firstPartIndex = static_cast<int>(index);
    range.offsetInFirstPart = info.dataStart - partStart;
    const long long inFirstPart = getPartSize(range.firstPartIndex) - range.offsetInFirstPart;
    range.bytesInFirstPart = std::min(info.length, inFirstPart);
    if (info.length > inFirstPart && range.firstPartIndex + 1 < getPartCount()) {
        range.nextPartIndex = range.firstPartIndex + 1;
        range.offsetInNextPart = 0;
    }
    return range.length != 0;
}

bool FileContainerStorage::resolveSegment(FileContainerParser& level, const std::string& subpath, std::size_t& position,
                                          unsigned version, tContentParseInfo& info)
{
    // "<name" up to the next '<' or the end, or "<<id>".
    if (position >= subpath.size() || subpath[position] != '<')
        return failLookup("error/no valid subpath");
    if (position + 1 < subpath.size() && subpath[position + 1] == '<') {
        const std::string::size_type close = subpath.find('>', position + 2);
        if (close == std::string::npos)
            return failLookup("malformed/no id sep");
        // The id is the whole text between "<<" and ">": a decimal number (no sign, no blanks) that
        // the number parser takes up to its end; it refuses a '-' and a value beyond 32 bits.
        const std::string digits = subpath.substr(position + 2, close - position - 2);
        unsigned id = 0;
        bool ok = false;
        std::size_t end = 0;
        if (!digits.empty() && digits[0] >= '0' && digits[0] <= '9')
            DETAIL::LexicalCastHelper<unsigned>(digits, id, &ok, end, 0, false);
        if (!ok || end != digits.size())
            return failLookup("malformed/no id");
        position = close + 1;
        return level.getContentInfoOfItem(id, version, info) || failLookup("error/id not found");
    }
    const std::string::size_type next = std::min(subpath.find('<', position + 1), subpath.size());
    const std::string name = subpath.substr(position + 1, next - position - 1);
    position = next;
    if (name.empty())
        return failLookup("error/no valid subpath");
    return level.getContentInfoOfItem(name, version, info) || failLookup("error/name not found");
}

bool FileContainerStorage::openContentFromSubpath(const std::string& subpath, unsigned version)
{
    m_child.reset();
    m_currentSubpath = subpath;  // for the diagnostics; cleared again on failure
    FileContainerParser* level = this;
    std::size_t position = 0;
    bool ok = isOpen() && !subpath.empty();
    if (!ok)
        failLookup("error/no valid subpath");
    while (ok && position < subpath.size()) {
        const std::size_t segmentStart = position;
        tContentParseInfo info;
        FileContentRange range;
        ok = resolveSegment(*level, subpath, position, version, info);
        if (ok && !getContentRangeOfContentInfo(info, range))
            ok = failLookup("error/empty item");
        // Nested levels answer no lookups, so a second segment fails above; only the top level gets
        // a child.
        if (ok && level != this)
            ok = failLookup("error/no valid subpath");
        if (ok) {
            m_child = std::make_unique<FileContainerParser>(static_cast<IStorage*>(this), this, info, range,
                                                            subpath.substr(segmentStart, position - segmentStart));
            level = m_child.get();
        }
    }
    if (!ok) {
        m_child.reset();
        m_currentSubpath.clear();
        return false;
    }
    m_currentSubpath = subpath;
    return true;
}

const FileContainerParser& FileContainerStorage::getInnermostLevel() const
{
    const FileContainerParser* level = this;
    while (level->getChild())
        level = level->getChild();
    return *level;
}

bool FileContainerStorage::getOpenedContentRange(FileContentRange& range) const
{
    const FileContainerParser& level = getInnermostLevel();
    if (&level == static_cast<const FileContainerParser*>(this))
        return false;
    range = level.getRange();
    return true;
}

}  // namespace QV::GP
