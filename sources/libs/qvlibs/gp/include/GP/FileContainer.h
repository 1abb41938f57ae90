// The container file format: many named items packed into one file, or into one file plus numbered
// part files (pack.cnt, pack.part1, pack.part2, ...), read as if each item were a file of its own.
//
// Layout (every number little-endian):
//   - zero or more meta headers of 256 bytes (magic "/\ QV FC MTD  /\" at 0; type at 132: 1 text,
//     2 part information with the number of parts at 144; extra bytes to skip at 148);
//   - one or more tables of contents, each: a header record of R bytes (R = 640 when the first
//     table's kind at 0 is 1, else 160; zero at 4, eight 0xF0 at 8, item count C at 16, flags at 20 with
//     bit 0 = id map, data size D at 24, magic "/\ QV FC TOC  /\" at 32); the id map when flagged
//     (C pairs of 32-bit record index and item id, ascending by id); C item records of R bytes (data
//     offset, 64-bit, at 0; id at 8; version at 12; 16 opaque bytes at 16; UTF-16 name from 32, ended
//     by a 0 unit); an end record whose offset is the end of the last item's data; the data block of D
//     bytes. An item's data runs from its offset to the next record's offset.
// Items are addressed by a subpath after the container's name: "<name" or "<<id>" (Disk:skin:pack.cnt<logo).
//
// Reading trusts nothing: every count, offset and length is checked against the file before it is
// used, and a container that does not hold together is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QV::GP {

class FileName;

class FileContainer {
public:
    // Stands for the absence of an item in a name field.
    static constexpr const char* INVALID_ENTRY = "/\\/\\";

    enum eMetaHeaderType : std::uint32_t {
        eMetaHeaderText = 1,      // metadata text
        eMetaHeaderPartInfo = 2,  // the number of part files
    };

    // One meta header, kept as read.
    struct tMetaHeader {
        static constexpr std::size_t kSize = 256;
        unsigned char bytes[kSize] = {};

        bool hasMagic() const;
        std::uint32_t getType() const;
        // Part information: a value that readers keep without interpreting it.
        std::uint32_t getPartInfoValue() const;
        // Part information: the number of parts, the container file included.
        std::uint32_t getPartCount() const;
        // The bytes that follow the header before the next structure.
        std::uint32_t getExtraBytes() const;
        // Metadata text, UTF-8.
        std::string getText() const;
    };

    // True when the file starts with a meta header or a table-of-contents header. With `headers`, the
    // meta headers at the start are appended to it. The name's subpath is ignored.
    static bool isContainerFile(const FileName& name, std::vector<tMetaHeader>* headers);
    // True when the container `name` holds the item that `subpath` addresses.
    static bool isContainerFileContent(const FileName& name, const std::string& subpath);
    // The length of the item that the name's subpath addresses; 0 when the name has no subpath or the
    // item cannot be opened.
    static std::uint64_t getContentSize(const FileName& name);
};

}  // namespace QV::GP
