#include "GP/SystemFolders.h"

#include "GP/FileName.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace QV::GP {

namespace DETAIL {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (home.empty() || home[0] != '/') {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
            home = found->pw_dir;
    }
    return withoutTrailingSlash(home.empty() ? std::string("/") : home);
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// One line's value, or false when the line is not a valid entry for `name`.
bool parseUserDirLine(const std::string& line, const std::string& name, const std::string& home, std::string& out)
{
    std::string::size_type i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.compare(i, name.size(), name) != 0)
        return false;
    i = line.find_first_not_of(" \t", i + name.size());
    if (i == std::string::npos || line[i] != '=')
        return false;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line[i] != '"')
        return false;
    ++i;
    std::string value;
    if (line.compare(i, 5, "$HOME") == 0 && (i + 5 == line.size() || line[i + 5] == '/' || line[i + 5] == '"')) {
        value = home;
        i += 5;
    } else if (i >= line.size() || line[i] != '/') {
        return false;
    }
    for (; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        value.push_back(line[i]);
    }
    if (i >= line.size())
        return false;  // no closing quote
    out = withoutTrailingSlash(value);
    return true;
}

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes the folder and its missing parents.
bool makeFolders(const std::string& path)
{
    if (isFolder(path))
        return true;
    const std::string::size_type slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && isFolder(path));
}

bool isUserDomain(short domain) { return domain == kUserDomain || domain == kOnAppropriateDisk; }

std::string userFolder(const std::string& configured, const std::string& home, const char* usualName)
{
    return configured.empty() ? home + (home == "/" ? "" : "/") + usualName : configured;
}

}  // namespace

std::string userDirFromConfig(const std::string& config, const std::string& key, const std::string& home)
{
    const std::string name = "XDG_" + key + "_DIR";
    std::istringstream lines(config);
    std::string line;
    std::string result;
    while (std::getline(lines, line)) {
        std::string value;
        if (parseUserDirLine(line, name, home, value))
            result = value;
    }
    return result;
}

tFolderSources currentFolderSources()
{
    tFolderSources sources;
    sources.home = homeFolder();

    std::string dataDirs = environment("XDG_DATA_DIRS");
    if (dataDirs.empty())
        dataDirs = "/usr/local/share/:/usr/share/";
    std::istringstream folders(dataDirs);
    std::string folder;
    while (sources.systemDataFolder.empty() && std::getline(folders, folder, ':'))
        if (!folder.empty() && folder[0] == '/')
            sources.systemDataFolder = withoutTrailingSlash(folder);

    std::string configHome = environment("XDG_CONFIG_HOME");
    if (configHome.empty() || configHome[0] != '/')
        configHome = sources.home + "/.config";
    const std::string config = readFile(configHome + "/user-dirs.dirs");
    sources.documents = userDirFromConfig(config, "DOCUMENTS", sources.home);
    sources.music = userDirFromConfig(config, "MUSIC", sources.home);
    sources.pictures = userDirFromConfig(config, "PICTURES", sources.home);
    return sources;
}

std::string systemFolderPath(const tFolderSources& sources, short domain, unsigned folderType)
{
    switch (folderType) {
    case kCurrentUserFolderType: return isUserDomain(domain) ? sources.home : std::string();
    case kDocumentsFolderType:
        return isUserDomain(domain) ? userFolder(sources.documents, sources.home, "Documents") : std::string();
    case kMusicDocumentsFolderType:
        return isUserDomain(domain) ? userFolder(sources.music, sources.home, "Music") : std::string();
    case kPictureDocumentsFolderType:
        return isUserDomain(domain) ? userFolder(sources.pictures, sources.home, "Pictures") : std::string();
    case kApplicationSupportFolderType: return domain == kLocalDomain ? sources.systemDataFolder : std::string();
    default: return std::string();  // 'apps', 'sdat' and the rest have no Linux counterpart
    }
}

}  // namespace DETAIL

bool getSystemFolder(short domain, unsigned folderType, FileName& out, bool create)
{
    const std::string path = DETAIL::systemFolderPath(DETAIL::currentFolderSources(), domain, folderType);
    if (path.empty() || !(create ? DETAIL::makeFolders(path) : DETAIL::isFolder(path)))
        return false;
    std::string text = FileName::POSIX2HFSPath(path);
    if (text.empty())
        return false;
    if (text.back() != FileName::DIR_SEPARATOR)
        text.push_back(FileName::DIR_SEPARATOR);
    out.setFull(text);
    return true;
}

}  // namespace QV::GP
