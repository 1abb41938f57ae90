#include "GP/FileName.h"

#include "FileName/FileSystemItem.h"
#include "FileName/PathComponents.h"
#include "GP/FileTypeManager.h"
#include "GP/StringUtil.h"
#include "GP/VolumeTable.h"

namespace QV::GP {

namespace {

const FileTypeDescr* stdType(FileTypeManager::eStdFileType type) { return FileTypeManager::getStdType(type); }

// Splits "name.ext" by the text rules: a '.' that begins the component starts no extension.
void splitExtension(std::string& name, std::string& extension)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        extension.clear();
        return;
    }
    extension = name.substr(dot);
    name.erase(dot);
}

std::vector<DETAIL::tMountedVolume> mountedVolumes() { return DETAIL::VolumeTable::current()->volumes(); }

}  // namespace

FileName::FileName(const std::string& full) : m_full(full) { init(true); }

FileName::FileName(const std::filesystem::path& posix)
{
    const std::string& native = posix.native();
    if (native.empty())
        return;
    m_full = POSIX2HFSPath(native);
    if (!m_full.empty() && native.back() == '/' && m_full.back() != DIR_SEPARATOR)
        m_full += DIR_SEPARATOR;
    init(true);
}

FileName::FileName(const FileName& other)
    : m_full(other.m_full), m_volume(other.m_volume), m_path(other.m_path), m_name(other.m_name),
      m_extension(other.m_extension), m_subpath(other.m_subpath), m_type(other.m_type), m_mode(other.m_mode),
      m_aliasSource(other.m_aliasSource ? std::make_unique<FileName>(*other.m_aliasSource) : nullptr),
      m_relative(other.m_relative), m_package(other.m_package)
{}

FileName& FileName::operator=(const FileName& other)
{
    if (this != &other) {
        FileName copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool FileName::setFull(const std::string& full)
{
    m_mode = eModeEmpty;
    m_full = full;
    return init(true);
}

void FileName::setPath(const std::string& path, eWithVolume withVolume)
{
    if (m_mode == eModeEmpty || m_mode == eModeVolume)
        m_mode = eModeFolder;
    std::string folder = path;
    if (!folder.empty() && folder.back() != DIR_SEPARATOR)
        folder += DIR_SEPARATOR;
    if (withVolume == ePathWithoutVolume)
        folder = m_volume + folder;
    m_full = folder + m_name + m_extension;
    init(true);
}

void FileName::clear()
{
    m_full.clear();
    m_volume.clear();
    m_path.clear();
    m_name.clear();
    m_extension.clear();
    m_subpath.clear();
    m_type = nullptr;
    m_mode = eModeEmpty;
    m_aliasSource.reset();
    m_relative = false;
    m_package = false;
}

bool FileName::setType(const FileTypeDescr* type)
{
    if (type == m_type)
        return false;
    m_type = type;
    return true;
}

bool FileName::init(bool lenient)
{
    m_aliasSource.reset();
    m_package = false;
    if (m_full.empty()) {
        m_mode = eModeEmpty;
        m_volume.clear();
        m_path.clear();
        m_name.clear();
        m_extension.clear();
        m_subpath.clear();
        m_relative = false;
        return true;
    }
    m_volume.clear();
    m_name.clear();
    m_extension.clear();
    m_subpath.clear();
    m_path = ":";
    m_relative = false;

    const std::vector<DETAIL::tMountedVolume> volumes = mountedVolumes();

    // A mounted volume's bare name, in any letter case.
    if (DETAIL::findVolumeByName(volumes, m_full)) {
        if (m_mode == eModeEmpty)
            m_mode = eModeVolume;
        m_volume = m_full;
        m_type = stdType(FileTypeManager::eStdFileTypeVolume);
        return true;
    }

    stripSubpath(m_full, m_subpath);

    // Relative names are never looked up: the current folder is not what they are relative to.
    bool derived = false;
    const bool relativeText =
        m_full.empty() || m_full.front() == DIR_SEPARATOR || m_full.find(DIR_SEPARATOR) == std::string::npos;
    if (!relativeText) {
        if (const auto posix = DETAIL::colonToPosix(m_full, m_mode == eModeVolume, volumes)) {
            const bool folderOnly = posix->folder || m_mode == eModeFolder;
            const auto info = DETAIL::examineItem(posix->path);
            if (info && (!folderOnly || info->isFolder))
                derived = initFromFSRef(tFileRef{posix->path}, &*info, false);
        }
    }
    if (!derived)
        m_mode = splitPath(m_full, m_mode);

    switch (m_mode) {
    case eModeFile: m_relative = m_volume.empty() || m_path.empty(); break;
    case eModeFolder:
        m_subpath.clear();
        m_type = stdType(FileTypeManager::eStdFileTypeDirectory);
        break;
    case eModeVolume:
        m_subpath.clear();
        m_type = stdType(FileTypeManager::eStdFileTypeVolume);
        break;
    default: break;
    }

    if (lenient)
        return true;
    if (m_mode == eModeFile)
        return !m_name.empty();
    if (m_mode == eModeFolder)
        return !m_path.empty();
    return true;
}

FileName::eMode FileName::splitPath(const std::string& text, eMode mode)
{
    m_volume.clear();
    m_path.clear();
    m_name.clear();
    m_extension.clear();

    if (text.size() >= 1 && text.front() == DIR_SEPARATOR && text.back() == DIR_SEPARATOR) {
        m_path = text;  // a relative folder
    } else {
        const std::size_t colon = text.find(DIR_SEPARATOR);
        std::string rest = text;
        if (colon == std::string::npos && mode == eModeVolume) {
            m_volume = text;
            rest.clear();
        } else if (colon != std::string::npos) {
            m_volume = text.substr(0, colon);
            rest = text.substr(colon);
        }
        if (!rest.empty() && rest.back() == DIR_SEPARATOR) {
            m_path = rest;
        } else {
            const std::size_t last = rest.rfind(DIR_SEPARATOR);
            m_path = last == std::string::npos ? std::string() : rest.substr(0, last + 1);
            m_name = last == std::string::npos ? rest : rest.substr(last + 1);
        }
        if (!m_path.empty() && m_path.back() != DIR_SEPARATOR)
            m_path += DIR_SEPARATOR;
        splitExtension(m_name, m_extension);
    }

    if (!m_name.empty())
        return eModeFile;
    if (!m_path.empty())
        return eModeFolder;
    if (!m_volume.empty())
        return eModeVolume;
    return eModeEmpty;
}

bool FileName::initFromFSRef(const tFileRef& ref, const tCatalogInfo* info, bool /*resolveAlias*/)
{
    // Linux has no Finder aliases: symbolic links are followed by the file system itself, so the
    // alias step never applies and no alias source is made.
    m_package = false;
    std::optional<tCatalogInfo> examined;
    if (!info) {
        examined = DETAIL::examineItem(ref.posixPath);
        if (!examined)
            return false;
        info = &*examined;
    }

    bool folder = info->isFolder;
    std::uint32_t typeCode = info->typeCode;
    if (folder && info->isPackage) {
        const std::size_t lastColon = m_full.rfind(DIR_SEPARATOR);
        const std::size_t lastDot = m_full.rfind('.');
        if (lastDot != std::string::npos && (lastColon == std::string::npos || lastDot > lastColon)) {
            folder = false;
            m_package = true;
        }
    }

    const std::size_t colon = m_full.find(DIR_SEPARATOR);
    if (colon == std::string::npos) {
        m_mode = eModeFolder;
        m_volume = m_full;
        m_path = ":";
        m_name.clear();
        m_extension.clear();
        m_type = stdType(FileTypeManager::eStdFileTypeDirectory);
        return true;
    }

    m_volume = m_full.substr(0, colon);
    if (folder) {
        m_mode = eModeFolder;
        if (m_full.back() != DIR_SEPARATOR)
            m_full += DIR_SEPARATOR;
        m_path = m_full.substr(colon);
        m_name.clear();
        m_extension.clear();
        m_type = stdType(FileTypeManager::eStdFileTypeDirectory);
        return true;
    }

    m_mode = eModeFile;
    const std::size_t last = m_full.rfind(DIR_SEPARATOR);
    m_path = m_full.substr(colon, last + 1 - colon);
    m_name = m_full.substr(last + 1);
    splitExtension(m_name, m_extension);
    const FileTypeDescr* unknown = stdType(FileTypeManager::eStdFileTypeUnknown);
    if (!m_extension.empty())
        m_type = FileTypeManager::getUniqueTypeForExtension(m_extension.substr(1));
    if (!m_type || m_type == unknown)
        m_type = FileTypeManager::getUniqueTypeForMacMagic(typeCode);
    return true;
}

bool FileName::getFullFromFSRef(const tFileRef& ref, std::string& out)
{
    out = POSIX2HFSPath(ref.posixPath);
    if (!out.empty() && out.back() != DIR_SEPARATOR) {
        const auto info = DETAIL::examineItem(ref.posixPath);
        if (info && info->isFolder && !info->isPackage)
            out += DIR_SEPARATOR;
    }
    return !out.empty();
}

bool FileName::getFSRef(tFileRef& ref, bool /*resolveAlias*/, unsigned char* isFolder) const
{
    const std::string path = getSystemPath(false, true);
    if (path.empty())
        return false;
    const auto info = DETAIL::examineItem(path);
    if (!info)
        return false;
    ref.posixPath = path;
    if (isFolder)
        *isFolder = info->isFolder ? 1 : 0;
    return true;
}

std::string FileName::getSystemPath(bool /*viaFileSystem*/, bool fileSystemRepresentation) const
{
    // Without aliases the item's own path is the path of its text: one conversion serves both ways.
    const auto posix = DETAIL::colonToPosix(m_full, m_mode == eModeVolume, mountedVolumes());
    if (!posix)
        return std::string();
    return fileSystemRepresentation ? posix->path : StringUtil::fromUTF_filter(posix->path);
}

std::string FileName::getFilesystemPath() const { return getSystemPath(true, true); }

std::string FileName::POSIX2HFSPath(const unsigned char* posixPath)
{
    if (!posixPath)
        return std::string();
    return POSIX2HFSPath(std::string(reinterpret_cast<const char*>(posixPath)));
}

std::string FileName::POSIX2HFSPath(const std::string& posixPath)
{
    return DETAIL::posixToColon(posixPath, mountedVolumes());
}

void FileName::stripSubpath(std::string& full, std::string& subpath)
{
    const std::size_t lastColon = full.rfind(DIR_SEPARATOR);
    const std::size_t open = full.find('<', lastColon == std::string::npos ? 0 : lastColon + 1);
    if (open == std::string::npos)
        return;
    subpath = full.substr(open);
    full.erase(open);
}

}  // namespace QV::GP
