// The engine state behind FontEngine: the FreeType library and every font file registered, each
// with weak references to the faces made from it. A face lives as long as a font holds it; the
// engine only finds a live one again for the next font of the same file, size and hinting.
#pragma once

#include "Fonts/FTLibrary.h"
#include "Fonts/FTRenderCache.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace QV::UIA::DETAIL {

// A font file is known by its resource id, or by its name when it has none.
using FontKey = std::variant<uint32_t, std::string>;
// Pixel size and hinting.
using FaceKey = std::pair<int, bool>;

struct FaceKeyHash {
    std::size_t operator()(const FaceKey& key) const { return std::hash<int>()(key.first) * 2 + (key.second ? 1 : 0); }
};

struct FTFontData {
    FTRenderCache::Bytes bytes;  // the file, kept for the engine's life (and each face's)
    std::unordered_map<FaceKey, std::weak_ptr<FTRenderCache>, FaceKeyHash> renderCaches;
};

class FreeType {
public:
    FreeType();
    ~FreeType();
    FreeType(const FreeType&) = delete;
    FreeType& operator=(const FreeType&) = delete;

    // The face for (size, hinting) of the file under key. An unknown key registers the bytes (none:
    // null); for a known key the bytes are dropped and the registered file serves. Null when
    // FreeType cannot make the face.
    std::shared_ptr<FTRenderCache> createRenderCache(const FontKey& key, FaceKey face, FTRenderCache::Bytes bytes);
    FTFontData& addFont(const FontKey& key, FTRenderCache::Bytes bytes);
    // A live face of the file for the key, else a new one.
    std::shared_ptr<FTRenderCache> generateFontFace(FTFontData& font, FaceKey face);

    bool isKnown(const FontKey& key) const { return m_fonts.count(key) != 0; }

private:
    std::shared_ptr<FTLibrary> m_library;
    std::unordered_map<FontKey, FTFontData> m_fonts;
};

}  // namespace QV::UIA::DETAIL
