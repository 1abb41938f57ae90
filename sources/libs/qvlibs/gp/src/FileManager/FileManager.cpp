#include "GP/FileManager.h"

#include "GP/FileContainer.h"
#include "GP/FileName.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace QV::GP {

namespace {

// Items inside container files ('<' subpaths) are found and measured by the container reader,
// which asks this file manager only about names without a subpath.
bool containerItemExists(const FileName& name)
{
    return FileContainer::isContainerFileContent(FileName(name.getFull()), name.getSubpath());
}
std::uint64_t containerItemSize(const FileName& name) { return FileContainer::getContentSize(name); }

bool hasContainerItem(const FileName& name)
{
    return name.getMode() == FileName::eModeFile && !name.getSubpath().empty();
}

// The folder that holds the item at `posixPath`: the text up to its last '/' (a trailing '/'
// ignored), the current folder for a relative path without one.
std::string getParentDir(std::string posixPath)
{
    while (posixPath.size() > 1 && posixPath.back() == '/')
        posixPath.pop_back();
    const std::string::size_type slash = posixPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : posixPath.substr(0, slash);
}

bool isFolder(const std::string& posixPath)
{
    struct stat info {};
    return !posixPath.empty() && ::stat(posixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool FileManager::existsFile(const FileName& name)
{
    const std::string path = name.getSystemPath(false, true);
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode))
        return name.getMode() == FileName::eModeFile;  // a package
    return hasContainerItem(name) ? containerItemExists(name) : true;
}

bool FileManager::existsDir(const FileName& name)
{
    // The whole name, not just its folder part: "Linux:etc:passwd" is no folder although Linux:etc: is.
    return !name.getFull().empty() && isFolder(name.getFilesystemPath());
}

bool FileManager::createFile(const FileName& name)
{
    if (name.getMode() != FileName::eModeFile || !name.getType())
        return false;
    if (existsFile(name))
        return true;
    const std::string path = name.getSystemPath(false, true);
    if (path.empty() || !isFolder(getParentDir(path)))
        return false;
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0)
        return errno == EEXIST && existsFile(name);  // made by someone else meanwhile
    ::close(file);
    return true;
}

std::uint64_t FileManager::getFileSize(const FileName& name)
{
    if (hasContainerItem(name))
        return containerItemSize(name);
    const std::string path = name.getSystemPath(false, true);
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

bool FileManager::getCurDir(FileName& out)
{
    out.clear();
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error || current.empty())
        return false;
    out.setPath(FileName::POSIX2HFSPath(current.native()), FileName::ePathWithVolume);
    return true;
}

}  // namespace QV::GP
