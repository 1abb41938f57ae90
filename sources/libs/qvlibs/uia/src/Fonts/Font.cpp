// Loading a font and choosing its face for the backing scale.
#include "UIA/Font.h"

#include "Fonts/FreeType.h"
#include "Fonts/StreamContent.h"
#include "UIA/ResourceFacade.h"

#include "GP/Stream.h"

#include <cmath>
#include <functional>
#include <tuple>
#include <utility>

namespace QV::UIA {

namespace {

constexpr char kFontResourceType[] = "TTFd";

}  // namespace

Font::Font(const CreateData& data) { create(data); }

Font::Font(GP::Stream& stream, const CreateData& data) { create(stream, data); }

Font::~Font() = default;

bool Font::create(const CreateData& data)
{
    if (!m_renderCaches.empty() || data.resourceId == 0)
        return false;
    const std::unique_ptr<GP::Stream> stream =
        ResourceFacade::getResource(data.resourceId, kFontResourceType, GP::Endian::eLittleEndian);
    if (!stream)
        return false;
    std::optional<std::vector<unsigned char>> bytes = DETAIL::readWholeStream(*stream);
    if (!bytes)
        return false;
    return allocateFont(data, std::move(*bytes));
}

bool Font::create(GP::Stream& stream, const CreateData& data)
{
    if (!m_renderCaches.empty())
        return false;
    std::optional<std::vector<unsigned char>> bytes = DETAIL::readWholeStream(stream);
    if (!bytes)
        return false;
    return allocateFont(data, std::move(*bytes));
}

bool Font::allocateFont(const CreateData& data, std::vector<unsigned char> bytes)
{
    m_engine = data.engine ? data.engine : getSystemFontEngine()->handle();
    m_resourceId = data.resourceId;
    m_name = data.name;
    m_size = data.size;
    m_bUnderline = (data.style & eStyleUnderline) != 0;
    m_bHinting = (data.style & eStyleHinting) != 0;
    const DETAIL::FontKey key = m_resourceId != 0 ? DETAIL::FontKey(m_resourceId) : DETAIL::FontKey(m_name);
    std::shared_ptr<DETAIL::FTRenderCache> cache =
        m_engine->createRenderCache(key, DETAIL::FaceKey(m_size, m_bHinting), std::move(bytes));
    if (!cache)
        return false;
    // Faces of an earlier file at other scales must not stay beside the new one.
    m_renderCaches.clear();
    m_renderCaches.emplace(1.0f, std::move(cache));
    return true;
}

void Font::setBackingScaleFactor(float scale) const
{
    if (scale == m_backingScale)
        return;
    m_backingScale = scale;
    if (!m_engine || m_renderCaches.count(scale) != 0)
        return;
    const DETAIL::FontKey key = m_resourceId != 0 ? DETAIL::FontKey(m_resourceId) : DETAIL::FontKey(m_name);
    const int size = int(std::lroundf(float(m_size) * scale));
    if (std::shared_ptr<DETAIL::FTRenderCache> cache =
            m_engine->createRenderCache(key, DETAIL::FaceKey(size, m_bHinting), {}))
        m_renderCaches.emplace(scale, std::move(cache));
}

bool Font::isLoaded() const { return m_renderCaches.count(1.0f) != 0; }

DETAIL::FTRenderCache* Font::currentCache() const
{
    const auto found = m_renderCaches.find(m_backingScale);
    return found != m_renderCaches.end() ? found->second.get() : nullptr;
}

bool operator<(const Font::CreateData& a, const Font::CreateData& b)
{
    if (std::tie(a.name, a.resourceId, a.size, a.style) != std::tie(b.name, b.resourceId, b.size, b.style))
        return std::tie(a.name, a.resourceId, a.size, a.style) < std::tie(b.name, b.resourceId, b.size, b.style);
    return std::less<FontEngine::Handle>()(a.engine, b.engine);
}

bool operator==(const Font::CreateData& a, const Font::CreateData& b)
{
    return std::tie(a.name, a.resourceId, a.size, a.style, a.engine) ==
           std::tie(b.name, b.resourceId, b.size, b.style, b.engine);
}

}  // namespace QV::UIA
