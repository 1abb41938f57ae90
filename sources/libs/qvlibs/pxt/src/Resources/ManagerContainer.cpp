#include "PXT/ManagerContainer.h"

#include "GP/DSOHandle.h"
#include "GP/FileManager.h"
#include "GP/FileStream.h"
#include "GP/ResourceStream.h"
#include "PXT/Lib.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "PXT/StyleSheetManager.h"
#include "UIA/HiDPIUrl.h"
#include "UIA/Picture.h"

#include <cmath>
#include <tuple>

namespace QV::PXT {

namespace {

bool lessFontData(const UIA::Font::CreateData& a, const UIA::Font::CreateData& b)
{
    return std::tie(a.name, a.resourceId, a.size, a.style, a.engine) <
           std::tie(b.name, b.resourceId, b.size, b.style, b.engine);
}

// The colon-style text of a folder, ending with ':'.
std::string folderText(const std::filesystem::path& folder)
{
    std::string text = GP::FileName::POSIX2HFSPath(folder.string());
    if (!text.empty() && text.back() != ':')
        text += ':';
    return text;
}

// The name as a relative colon-style path: '/' separates folders. Empty when it has an empty, "."
// or ".." component, which would leave the kind's folder.
std::string relativeName(const std::string& name)
{
    std::string converted;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find('/', start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos)
            return {};
        converted += part;
        if (end == std::string::npos)
            return converted;
        converted += ':';
        start = end + 1;
    }
}

}  // namespace

const char* const ManagerContainer::s_pResTypePath[3] = {"pictures", "stylesheets", "fonts"};
const char* const ManagerContainer::s_pResTypes[3] = {"PICTURE", "STYLESHEET", "TTFd"};

bool ManagerContainer::tPictureKey::operator<(const tPictureKey& other) const
{
    auto fields = [](const tPictureKey& key) {
        const UIA::PictureProperties& p = key.properties;
        return std::make_tuple(static_cast<int>(p.getNumAnimations()), p.getFixedTop(), p.getFixedBottom(),
                               p.getFixedLeft(), p.getFixedRight(), static_cast<int>(p.getAnimationOrientation()),
                               static_cast<int>(p.isVertResizable()), static_cast<int>(p.isHorzResizable()));
    };
    if (int order = name.compare(other.name))
        return order < 0;
    return fields(*this) < fields(other);
}

ManagerContainer::ManagerContainer() : m_fonts(&lessFontData)
{
    m_styleSheetManager = std::make_unique<StyleSheetManager>(*this);
}

// The sheets go first: their pictures and fonts point into the caches.
ManagerContainer::~ManagerContainer() { m_styleSheetManager.reset(); }

void ManagerContainer::checkResourcesLocation()
{
    if (m_locationMode != eLocationUndecided)
        return;
    m_locationMode = eLocationBundle;
    if (!Lib::getSearchSkinDirectory())
        return;
    const std::filesystem::path& bundle = GP::getCurrentBundlePath();
    if (!bundle.empty()) {
        GP::FileName beside(folderText(bundle.parent_path() / "skin"));
        if (GP::FileManager::existsDir(beside)) {
            m_skinFolder = beside;
            m_locationMode = eLocationSkinFolder;
            return;
        }
    }
    GP::FileName current;
    if (GP::FileManager::getCurDir(current)) {
        std::string text = current.getFull();
        if (!text.empty() && text.back() != ':')
            text += ':';
        GP::FileName inCurrent(text + "skin:");
        if (GP::FileManager::existsDir(inCurrent)) {
            m_skinFolder = inCurrent;
            m_locationMode = eLocationSkinFolder;
        }
    }
}

std::shared_ptr<GP::Stream> ManagerContainer::openPath(const GP::FileName& path)
{
    auto stream = std::make_shared<GP::FileStream>();
    if (!stream->open(path))
        return nullptr;
    return stream;
}

std::shared_ptr<GP::Stream> ManagerContainer::getResourceStream(const GP::CharSequence<char>& name, eResourceType kind,
                                                                bool warn)
{
    std::string where;
    return findResource(name, kind, warn, where);
}

std::shared_ptr<GP::Stream> ManagerContainer::findResource(const GP::CharSequence<char>& name, eResourceType kind,
                                                           bool warn, std::string& where)
{
    checkResourcesLocation();
    const std::string text = name.str();
    const std::string relative = relativeName(text);
    const std::string folder = s_pResTypePath[kind];

    if (m_locationMode == eLocationSkinFolder) {
        std::string full = m_skinFolder.getFull();
        if (!full.empty() && full.back() != ':')
            full += ':';
        full += folder + ":" + relative;
        if (!relative.empty())
            if (auto stream = openPath(GP::FileName(full))) {
                where = GP::FileName(full).getFilesystemPath();
                return stream;
            }
        if (warn)
            StyleSheetErrorsLogSource::log("PXT::ManagerContainer::getResourceStream - can't find resource: " + full);
        return nullptr;
    }

    const std::filesystem::path& bundle = GP::getCurrentBundlePath();
    if (!bundle.empty() && !relative.empty()) {
        const std::string full = folderText(bundle / "Contents" / "Resources") + "skin:" + folder + ":" + relative;
        if (auto stream = openPath(GP::FileName(full))) {
            where = GP::FileName(full).getFilesystemPath();
            return stream;
        }
        if (warn)
            StyleSheetErrorsLogSource::log("PXT::ManagerContainer::getResourceStream - warning: can't load resource " +
                                           text + " from app bundle");
    }
    auto resource = std::make_shared<GP::ResourceStream>();
    if (resource->init(GP::getCurrentDSOHandle(), text.c_str(), s_pResTypes[kind])) {
        where = std::string("the bundle's ") + s_pResTypes[kind] + " resource " + text;
        return resource;
    }
    if (warn)
        StyleSheetErrorsLogSource::log("PXT::ManagerContainer::getResourceStream - can't load linked resource " + text);
    return nullptr;
}

const UIA::Font::CreateData& ManagerContainer::getDefaultFontData()
{
    static const UIA::Font::CreateData data = [] {
        UIA::Font::CreateData d;
        d.resourceId = 1;
        d.size = 12;
        d.style = Lib::useFontHinting() ? std::uint32_t(UIA::Font::eStyleHinting) : std::uint32_t(0);
        d.engine = UIA::getSystemFontEngine()->handle();
        return d;
    }();
    return data;
}

const UIA::Font* ManagerContainer::getFont(const UIA::Font::CreateData& data)
{
    std::shared_ptr<UIA::Font>& entry = m_fonts[data];
    if (entry)
        return entry.get();
    std::shared_ptr<UIA::Font> font;
    if (data.resourceId != 0 || (data.style & UIA::Font::eStyleFamily) != 0) {
        font = std::make_shared<UIA::Font>(data);
    } else if (auto stream = getResourceStream(data.name, eResourceFonts, true)) {
        font = std::make_shared<UIA::Font>(*stream, data);
    }
    const UIA::Font::CreateData& fallback = getDefaultFontData();
    const bool isDefault = !lessFontData(data, fallback) && !lessFontData(fallback, data);
    if ((!font || !font->isLoaded()) && !isDefault) {
        // The default font stands in, kept under this data too: the next lookup neither retries
        // nor logs again. (std::map keeps `entry` valid across the insertion below.)
        StyleSheetErrorsLogSource::log("PXT::ManagerContainer::getFont - can't load font " +
                                       (data.name.empty() ? "resource " + std::to_string(data.resourceId) : data.name) +
                                       ", using the default font");
        getFont(fallback);
        entry = m_fonts[fallback];
        return entry.get();
    }
    // The default font itself: kept even when it could not be loaded (it measures and draws as
    // an empty font), so that callers always get a font.
    entry = font ? std::move(font) : std::make_shared<UIA::Font>(data);
    return entry.get();
}

LazyPicture ManagerContainer::getImage(const std::string& name, const UIA::PictureProperties& properties)
{
    return LazyPicture([this, name, properties = UIA::PictureProperties(properties)](float scale) {
        return pictureFor(name, properties, scale);
    });
}

std::shared_ptr<const UIA::Picture> ManagerContainer::pictureFor(const std::string& name,
                                                                 const UIA::PictureProperties& properties, float scale)
{
    tPictureKey key{UIA::resolveHiDPIUrl(name, scale), properties};
    const auto found = m_pictures.find(key);
    if (found != m_pictures.end())
        return found->second;
    std::shared_ptr<UIA::Picture> picture;
    loadImage(picture, key.name, properties, scale);
    // A missing picture is remembered too: it is not looked for again.
    return m_pictures.emplace(std::move(key), std::move(picture)).first->second;
}

void ManagerContainer::loadImage(std::shared_ptr<UIA::Picture>& out, const std::string& name,
                                 const UIA::PictureProperties& properties, float scale)
{
    std::string where;
    const std::shared_ptr<GP::Stream> stream = findResource(name, eResourcePictures, scale == 1.0f, where);
    if (!stream)
        return;
    stream->setByteOrder(GP::Endian::eLittleEndian);
    if (!out)
        out = std::make_shared<UIA::Picture>();
    std::string why;
    if (!out->readDetect(*stream, static_cast<UIA::PictureProperties::eOrientation>(0), true, &why)) {
        out.reset();
        StyleSheetErrorsLogSource::log("PXT::ManagerContainer::loadImage - can't decode picture " + name + " (" +
                                       where + "): " + why);
        return;
    }
    out->setAnimationOrientation(
        static_cast<UIA::PictureProperties::eOrientation>(properties.getAnimationOrientation()));
    out->setNumAnimations(properties.getNumAnimations());
    out->setFixedTop(static_cast<int>(std::lroundf(static_cast<float>(properties.getFixedTop()) * scale)));
    out->setFixedBottom(static_cast<int>(std::lroundf(static_cast<float>(properties.getFixedBottom()) * scale)));
    out->setFixedLeft(static_cast<int>(std::lroundf(static_cast<float>(properties.getFixedLeft()) * scale)));
    out->setFixedRight(static_cast<int>(std::lroundf(static_cast<float>(properties.getFixedRight()) * scale)));
    out->setVertResizable(properties.isVertResizable());
    out->setHorzResizable(properties.isHorzResizable());
    out->initEmptyAreaFlags();
}

}  // namespace QV::PXT
