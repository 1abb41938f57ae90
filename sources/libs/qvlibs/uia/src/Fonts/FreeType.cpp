#include "Fonts/FreeType.h"

#include "UIA/Font.h"

namespace QV::UIA::DETAIL {

FreeType::FreeType() : m_library(FTLibrary::create()) {}

// The faces still held by fonts keep the library and their file; the rest goes now.
FreeType::~FreeType() = default;

std::shared_ptr<FTRenderCache> FreeType::createRenderCache(const FontKey& key, FaceKey face, FTRenderCache::Bytes bytes)
{
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        if (bytes.empty())
            return nullptr;
        return generateFontFace(addFont(key, std::move(bytes)), face);
    }
    return generateFontFace(found->second, face);
}

FTFontData& FreeType::addFont(const FontKey& key, FTRenderCache::Bytes bytes)
{
    FTFontData& font = m_fonts[key];
    font.bytes = std::move(bytes);
    return font;
}

std::shared_ptr<FTRenderCache> FreeType::generateFontFace(FTFontData& font, FaceKey face)
{
    const auto found = font.renderCaches.find(face);
    if (found != font.renderCaches.end()) {
        if (std::shared_ptr<FTRenderCache> live = found->second.lock())
            return live;
        font.renderCaches.erase(found);
    }
    std::shared_ptr<FTRenderCache> cache =
        FTRenderCache::create(m_library, font.bytes, face.first, face.second, Font::kMaxPixelSize);
    if (cache)
        font.renderCaches.emplace(face, cache);
    return cache;
}

}  // namespace QV::UIA::DETAIL
