// Loading a font and choosing its face for the backing scale.
#include "UIA/Font.h"

#include "Fonts/FreeType.h"
#include "Fonts/StreamContent.h"
#include "Fonts/SystemFont.h"
#include "UIA/ResourceFacade.h"

#include "GP/DebugTrace.h"
#include "GP/Stream.h"

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace QV::UIA {

namespace {

constexpr char kFontResourceType[] = "TTFd";

// The file the engine knows the font by: the system font standing in for a resource, else the
// resource id, else the name.
DETAIL::FontKey keyOf(uint32_t resourceId, const std::string& name, const std::string& systemFile)
{
    if (!systemFile.empty())
        return DETAIL::FontKey(systemFile);
    return resourceId != 0 ? DETAIL::FontKey(resourceId) : DETAIL::FontKey(name);
}

FontEngine::Handle engineOf(const Font::CreateData& data)
{
    return data.engine ? data.engine : getSystemFontEngine()->handle();
}

// One line per resource and process, however many sizes are made of it.
void reportStandIn(uint32_t resourceId, const char* problem, const std::string& systemFile)
{
    static std::set<uint32_t> s_reported;
    if (!s_reported.insert(resourceId).second)
        return;
    std::string line = std::string("UIA::Font - the font resource ") + kFontResourceType + " " +
                       std::to_string(resourceId) + " " + problem;
    line += systemFile.empty() ? ", and no system font was found: its texts are not drawn"
                               : ": drawing with the system font " + systemFile;
    GP::DebugTrace::printLine(nullptr, GP::CharSequence<char>(line));
}

}  // namespace

Font::Font(const CreateData& data) { create(data); }

Font::Font(GP::Stream& stream, const CreateData& data) { create(stream, data); }

Font::~Font() = default;

bool Font::create(const CreateData& data)
{
    if (!m_renderCaches.empty() || data.resourceId == 0)
        return false;
    // The engine's file of this resource serves: a fresh copy would only be read to be dropped.
    // When that file makes no face, the resource is tried as the first time (and stood in for).
    if (engineOf(data)->isKnown(keyOf(data.resourceId, data.name, {})) && allocateFont(data, {}))
        return true;
    const char* problem = "is missing";
    if (const std::unique_ptr<GP::Stream> stream =
            ResourceFacade::getResource(data.resourceId, kFontResourceType, GP::Endian::eLittleEndian)) {
        problem = "cannot be read";
        if (std::optional<GP::tSharedBytes> bytes = DETAIL::readWholeStream(*stream)) {
            if (allocateFont(data, std::move(*bytes)))
                return true;
            problem = "is no font FreeType reads";
        }
    }
    // Only the interface font has a stand-in: the toolkit draws with it where another font fails.
    return data.resourceId == kInterfaceFontId && allocateSystemFont(data, problem);
}

bool Font::allocateSystemFont(const CreateData& data, const char* problem)
{
    const DETAIL::tSystemFont& system = DETAIL::interfaceFallbackFont();
    reportStandIn(data.resourceId, problem, system.file);
    if (system.file.empty())
        return false;
    m_systemFile = system.file;
    const FontEngine::Handle engine = engineOf(data);
    // The engine keeps the file's bytes once; later fonts need not hand them over again.
    if (allocateFont(data, engine->isKnown(DETAIL::FontKey(m_systemFile)) ? GP::tSharedBytes()
                                                                          : GP::tSharedBytes::fromVector(system.bytes)))
        return true;
    m_systemFile.clear();
    return false;
}

bool Font::create(GP::Stream& stream, const CreateData& data)
{
    if (!m_renderCaches.empty())
        return false;
    if (engineOf(data)->isKnown(keyOf(data.resourceId, data.name, {})) && allocateFont(data, {}))
        return true;
    std::optional<GP::tSharedBytes> bytes = DETAIL::readWholeStream(stream);
    if (!bytes)
        return false;
    return allocateFont(data, std::move(*bytes));
}

bool Font::allocateFont(const CreateData& data, GP::tSharedBytes bytes)
{
    m_engine = engineOf(data);
    m_resourceId = data.resourceId;
    m_name = data.name;
    m_size = data.size;
    m_bUnderline = (data.style & eStyleUnderline) != 0;
    m_bHinting = (data.style & eStyleHinting) != 0;
    std::shared_ptr<DETAIL::FTRenderCache> cache = m_engine->createRenderCache(
        keyOf(m_resourceId, m_name, m_systemFile), DETAIL::FaceKey(m_size, m_bHinting), std::move(bytes));
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
    const DETAIL::FontKey key = keyOf(m_resourceId, m_name, m_systemFile);
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
