#include "GP/FileContainerParser.h"

#include "GP/IStorage.h"
#include "TocReader.h"

#include <utility>

namespace QV::GP {

FileContainerParser::FileContainerParser(IStorage* storage, FileContainerParser* parent, const tContentParseInfo& item,
                                         const FileContentRange& range, std::string subpath)
    : m_name(item.name), m_id(item.id), m_version(item.version), m_opaque(item.opaque), m_range(range),
      m_tablePosition(item.tablePosition), m_subpath(std::move(subpath)), m_storage(storage), m_parent(parent)
{}

FileContainerParser::~FileContainerParser() = default;

bool FileContainerParser::getAvailableContentTocs()
{
    if (!m_storage || !m_storage->isOpen())
        return false;
    const long long position = m_storage->getPos64();
    DETAIL::TocReader reader(*m_storage);
    std::uint32_t recordSize = 0;
    const bool ok = reader.scanTables(m_range.start, m_range.start + m_range.length, m_tables, recordSize);
    if (!ok)
        m_tables.clear();
    if (position >= 0)
        m_storage->seek64(position, IStorage::eSeekFromStart);
    return ok;
}

bool FileContainerParser::getContentInfoOfItem(const std::string&, unsigned, tContentParseInfo&) { return false; }
bool FileContainerParser::getContentInfoOfItem(unsigned, unsigned, tContentParseInfo&) { return false; }
bool FileContainerParser::getContentRangeOfItem(const std::string&, unsigned, FileContentRange&) { return false; }
bool FileContainerParser::getContentRangeOfItem(unsigned, unsigned, FileContentRange&) { return false; }

void FileContainerParser::getContentParentSubpath(std::string& out) const
{
    out.clear();
    if (m_parent)
        m_parent->getContentFullSubpath(out);
}

void FileContainerParser::getContentFullSubpath(std::string& out) const
{
    getContentParentSubpath(out);
    out += m_subpath;
}

}  // namespace QV::GP
