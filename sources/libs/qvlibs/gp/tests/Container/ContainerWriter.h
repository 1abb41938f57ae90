// Writes container files for tests: meta headers, tables of contents with or without id maps, in
// either record size, as one file or split into part files; and the places of every structure, so a
// test can corrupt exactly one field.
#pragma once

#include "GP/UTF.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace QV::GP::TEST {

struct tItem {
    std::string name;  // UTF-8
    std::uint32_t id = 0;
    std::uint32_t version = 0;
    std::string data;
    std::array<unsigned char, 16> opaque{};
};

struct tTable {
    std::vector<tItem> items;
    bool idMap = false;
    std::uint32_t kind = 0;  // 1 in the first table: 640-byte records
};

// Where the writer put things, in the logical file.
struct tLayout {
    struct tPlace {
        std::size_t header;
        std::size_t idMap;
        std::size_t records;  // the first item record; the end record follows the last one
        std::size_t data;
        std::size_t end;  // after the data block
    };
    std::uint32_t recordSize = 160;
    std::vector<std::size_t> metaHeaders;
    std::vector<tPlace> tables;
};

using Bytes = std::vector<unsigned char>;

inline void putU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

inline void putU64(Bytes& bytes, std::size_t at, std::uint64_t value)
{
    putU32(bytes, at, static_cast<std::uint32_t>(value));
    putU32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

class ContainerWriter {
public:
    // A metadata-text meta header followed by `extra` zero bytes.
    ContainerWriter& metaText(const std::string& text, std::uint32_t extra = 0)
    {
        m_meta.push_back({1, text, 0, 0, extra});
        return *this;
    }
    // A part-information meta header.
    ContainerWriter& partInfo(std::uint32_t parts, std::uint32_t value = 0)
    {
        m_meta.push_back({2, std::string(), parts, value, 0});
        return *this;
    }
    ContainerWriter& table(tTable table)
    {
        m_tables.push_back(std::move(table));
        return *this;
    }

    Bytes bytes(tLayout* layout = nullptr) const
    {
        tLayout places;
        Bytes out;
        for (const tMeta& meta : m_meta) {
            places.metaHeaders.push_back(out.size());
            Bytes header(256, 0);
            const std::string magic = "/\\ QV FC MTD  /\\";
            std::copy(magic.begin(), magic.end(), header.begin());
            const std::u16string text = details::utf_to_utf<char16_t, char, true>::apply(meta.text);
            for (std::size_t i = 0; i < text.size() && i < 32; ++i) {
                header[66 + 2 * i] = static_cast<unsigned char>(text[i]);
                header[67 + 2 * i] = static_cast<unsigned char>(text[i] >> 8);
            }
            putU32(header, 132, meta.type);
            putU32(header, 136, meta.value);
            putU32(header, 144, meta.parts);
            putU32(header, 148, meta.extra);
            out.insert(out.end(), header.begin(), header.end());
            out.insert(out.end(), meta.extra, 0);
        }
        const std::uint32_t r = !m_tables.empty() && m_tables.front().kind == 1 ? 640 : 160;
        places.recordSize = r;
        for (const tTable& table : m_tables) {
            tLayout::tPlace place{};
            const std::size_t count = table.items.size();
            std::string data;
            for (const tItem& item : table.items)
                data += item.data;

            place.header = out.size();
            Bytes header(r, 0);
            putU32(header, 0, table.kind);
            for (int i = 0; i < 8; ++i)
                header[8 + i] = 0xF0;
            putU32(header, 16, static_cast<std::uint32_t>(count));
            putU32(header, 20, table.idMap ? 1 : 0);
            putU64(header, 24, data.size());
            const std::string magic = "/\\ QV FC TOC  /\\";
            std::copy(magic.begin(), magic.end(), header.begin() + 32);
            out.insert(out.end(), header.begin(), header.end());

            place.idMap = out.size();
            if (table.idMap) {
                std::vector<std::pair<std::uint32_t, std::uint32_t>> map;  // (id, index)
                for (std::size_t i = 0; i < count; ++i)
                    map.emplace_back(table.items[i].id, static_cast<std::uint32_t>(i));
                std::sort(map.begin(), map.end());
                for (const auto& [id, index] : map) {
                    Bytes entry(8, 0);
                    putU32(entry, 0, index);
                    putU32(entry, 4, id);
                    out.insert(out.end(), entry.begin(), entry.end());
                }
            }

            place.records = out.size();
            std::uint64_t offset = 0;
            for (const tItem& item : table.items) {
                Bytes record(r, 0);
                putU64(record, 0, offset);
                putU32(record, 8, item.id);
                putU32(record, 12, item.version);
                std::copy(item.opaque.begin(), item.opaque.end(), record.begin() + 16);
                const std::u16string name = details::utf_to_utf<char16_t, char, true>::apply(item.name);
                for (std::size_t i = 0; i < name.size() && 32 + 2 * i + 1 < r; ++i) {
                    record[32 + 2 * i] = static_cast<unsigned char>(name[i]);
                    record[33 + 2 * i] = static_cast<unsigned char>(name[i] >> 8);
                }
                out.insert(out.end(), record.begin(), record.end());
                offset += item.data.size();
            }
            Bytes end(r, 0);
            putU64(end, 0, offset);
            out.insert(out.end(), end.begin(), end.end());

            place.data = out.size();
            out.insert(out.end(), data.begin(), data.end());
            place.end = out.size();
            places.tables.push_back(place);
        }
        if (layout)
            *layout = places;
        return out;
    }

    static void writeFile(const std::filesystem::path& path, const Bytes& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Splits the bytes into base.ext (the first size), base.part1, ... (the last part takes the rest).
    static void writeParts(const std::filesystem::path& folder, const std::string& base, const std::string& extension,
                           const Bytes& bytes, const std::vector<std::size_t>& sizes)
    {
        std::size_t at = 0;
        for (std::size_t i = 0; i <= sizes.size(); ++i) {
            const std::size_t size = i < sizes.size() ? sizes[i] : bytes.size() - at;
            const std::string name = i == 0 ? base + extension : base + ".part" + std::to_string(i);
            writeFile(folder / name, Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(at + size)));
            at += size;
        }
    }

private:
    struct tMeta {
        std::uint32_t type;
        std::string text;
        std::uint32_t parts;
        std::uint32_t value;
        std::uint32_t extra;
    };
    std::vector<tMeta> m_meta;
    std::vector<tTable> m_tables;
};

}  // namespace QV::GP::TEST
