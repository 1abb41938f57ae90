#include "FileName/PathComponents.h"

#include "GP/StringUtil.h"

namespace QV::GP::DETAIL {

namespace {

// The colon-style form of one POSIX component; ".." is the empty component.
std::string colonComponent(const std::string& component)
{
    return component == ".." ? std::string() : swapSeparators(component);
}

// The POSIX form of one colon-style component; the empty one is "..".
std::string posixComponent(const std::string& component)
{
    return component.empty() ? std::string("..") : swapSeparators(component);
}

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

bool startsWith(const std::vector<std::string>& components, const std::vector<std::string>& prefix)
{
    if (prefix.size() > components.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (components[i] != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> splitPosixComponents(const std::string& path)
{
    std::vector<std::string> components;
    for (std::string& part : splitAt(path, '/')) {
        if (!part.empty() && part != ".")
            components.push_back(std::move(part));
    }
    return components;
}

std::string joinPosixComponents(const std::vector<std::string>& components, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count && i < components.size(); ++i)
        path += "/" + components[i];
    return path.empty() ? std::string("/") : path;
}

std::string swapSeparators(std::string component)
{
    for (char& c : component) {
        if (c == ':')
            c = '/';
        else if (c == '/')
            c = ':';
    }
    return component;
}

const tMountedVolume* findVolumeByName(const std::vector<tMountedVolume>& volumes, const std::string& name)
{
    for (const tMountedVolume& volume : volumes) {
        if (wstrcmpc(volume.name.c_str(), name.c_str(), false) == 0)
            return &volume;
    }
    return nullptr;
}

std::string posixToColon(const std::string& posixPath, const std::vector<tMountedVolume>& volumes)
{
    if (posixPath.empty() || posixPath.find('\0') != std::string::npos)
        return std::string();
    const std::vector<std::string> components = splitPosixComponents(posixPath);

    std::string text;
    std::size_t first = 0;
    if (posixPath.front() == '/') {
        // The volume with the longest mount point that holds the path; the root holds every path.
        const tMountedVolume* best = nullptr;
        std::size_t bestLength = 0;
        for (const tMountedVolume& volume : volumes) {
            const std::vector<std::string> mount = splitPosixComponents(volume.mountPoint);
            if ((!best || mount.size() > bestLength) && startsWith(components, mount)) {
                best = &volume;
                bestLength = mount.size();
            }
        }
        text = best ? best->name : std::string(kRootVolumeName);
        first = bestLength;
    } else if (components.empty()) {
        return ":";  // the current folder
    }
    for (std::size_t i = first; i < components.size(); ++i)
        text += ":" + colonComponent(components[i]);
    // A final ".." must not read as the ':' that ends a folder's text.
    if (components.size() > first && components.back() == "..")
        text += ":";
    return text;
}

std::optional<tPosixPath> colonToPosix(const std::string& text, bool asVolume,
                                       const std::vector<tMountedVolume>& volumes)
{
    if (text.empty() || text.find('\0') != std::string::npos)
        return std::nullopt;

    std::vector<std::string> components;
    std::string rest;
    bool relative = text.front() == ':';
    if (relative) {
        rest = text.substr(1);
    } else {
        const std::size_t colon = text.find(':');
        const tMountedVolume* volume = findVolumeByName(volumes, text.substr(0, colon));
        if (colon == std::string::npos && !volume) {
            if (asVolume)
                return std::nullopt;
            return tPosixPath{swapSeparators(text), false};  // a bare relative name
        }
        if (!volume)
            return std::nullopt;
        components = splitPosixComponents(volume->mountPoint);
        if (colon == std::string::npos)
            return tPosixPath{volume->mountPoint, false};
        rest = text.substr(colon + 1);
    }

    std::vector<std::string> parts = splitAt(rest, ':');
    const bool folder = text.back() == ':';
    if (folder)
        parts.pop_back();  // the empty part after the final ':'
    for (const std::string& part : parts)
        components.push_back(posixComponent(part));

    if (!relative)
        return tPosixPath{joinPosixComponents(components, components.size()), folder};
    std::string path;
    for (const std::string& component : components)
        path += (path.empty() ? "" : "/") + component;
    return tPosixPath{path.empty() ? std::string(".") : path, folder};
}

}  // namespace QV::GP::DETAIL
