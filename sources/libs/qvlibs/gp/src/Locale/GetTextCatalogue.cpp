// Reading GNU "mo" catalogues. Layout (32-bit fields in the file's byte order):
//   0 magic 0x950412DE, 4 revision (0), 8 N strings, 12 offset O of the source table,
//   16 offset T of the translation table, 20/24 hash table (not used).
// Each table holds N entries of (length without the NUL, offset from the file's start).
#include "GP/GetText.h"

#include "GP/Stream.h"

#include <algorithm>
#include <cstdint>

namespace QV::GP {

namespace {

constexpr uint32_t kMagic = 0x950412DE;
constexpr uint32_t kMagicSwapped = 0xDE120495;
constexpr long long kHeaderSize = 20;  // up to and including T
constexpr long long kEntrySize = 8;

// Reads the text of `length` bytes at `offset`, up to its first NUL. False when it does not lie
// within the storage's `size` bytes.
bool readText(IStorage& storage, uint32_t length, uint32_t offset, long long size, std::string& out)
{
    if (static_cast<long long>(offset) + length > size)
        return false;
    storage.seek64(offset, IStorage::eSeekFromStart);
    out.assign(length, '\0');
    if (length && storage.read(out.data(), length) != length)
        return false;
    out.resize(out.find('\0') == std::string::npos ? out.size() : out.find('\0'));
    return true;
}

// An entry of a table: its length and offset. False when the entry lies outside the storage.
bool readEntry(Stream& stream, long long tableOffset, uint32_t index, long long size, uint32_t& length,
               uint32_t& offset)
{
    const long long at = tableOffset + kEntrySize * index;
    if (at + kEntrySize > size)
        return false;
    stream.getStorage()->seek64(at, IStorage::eSeekFromStart);
    length = stream.readU32();
    offset = stream.readU32();
    return true;
}

}  // namespace

bool GetTextLoader::loadDomain(Stream& stream)
{
    IStorage* storage = stream.getStorage();
    if (!storage || !storage->isOpen())
        return false;
    storage->seek64(0, IStorage::eSeekFromEnd);
    const long long size = storage->getPos64();
    storage->seek64(0, IStorage::eSeekFromStart);
    if (!storage->isGood() || size < kHeaderSize)
        return false;

    stream.setByteOrder(Endian::eLittleEndian);
    const uint32_t magic = stream.readU32();
    if (magic == kMagicSwapped)
        stream.setByteOrder(Endian::eBigEndian);
    else if (magic != kMagic)
        return false;
    if (stream.readU32() != 0)
        return false;
    const uint32_t count = stream.readU32();
    const long long sources = stream.readU32();
    const long long translations = stream.readU32();

    // Entries beyond the end of either table cannot be read; they are skipped all at once rather
    // than one by one, so a wild count costs nothing.
    const long long readable = std::min({static_cast<long long>(count), std::max(0LL, (size - sources) / kEntrySize),
                                         std::max(0LL, (size - translations) / kEntrySize)});
    std::string key, value;
    for (uint32_t i = 0; i < readable; ++i) {
        uint32_t length = 0, offset = 0;
        if (!readEntry(stream, sources, i, size, length, offset) || length == 0)
            continue;  // the header entry has the empty source text
        if (!readText(*storage, length, offset, size, key))
            continue;
        if (!readEntry(stream, translations, i, size, length, offset) ||
            !readText(*storage, length, offset, size, value))
            continue;
        m_translations[key] = value;
    }
    return true;
}

const std::string* GetTextLoader::find(const std::string& source) const
{
    const auto found = m_translations.find(source);
    return found == m_translations.end() ? nullptr : &found->second;
}

}  // namespace QV::GP
