#include "GP/Application.h"
#include "GP/DebugTrace.h"
#include "UIA/Application.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace QV::UIA {

namespace {

// The lock this copy holds for the rest of its life; -1 while it holds none.
int s_lockFile = -1;

std::string environmentFolder(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value == '/' ? value : "";
}

std::string homeFolder()
{
    std::string home = environmentFolder("HOME");
    if (home.empty()) {
        if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
            home = user->pw_dir;
    }
    return home;
}

struct tLockFolder {
    std::string path;
    bool make;  // made when missing
};

// Where the lock may lie, in order: the user's runtime folder, else the user's cache folder (made
// when missing, as GLib falls back to it for its runtime folder). Both are the user's own, so no
// other user can take or plant the lock. The runtime folder is the system's to make.
std::vector<tLockFolder> lockFolders()
{
    std::vector<tLockFolder> folders;
    if (std::string runtime = environmentFolder("XDG_RUNTIME_DIR"); !runtime.empty())
        folders.push_back({runtime, false});
    std::string cache = environmentFolder("XDG_CACHE_HOME");
    if (cache.empty()) {
        if (const std::string home = homeFolder(); !home.empty())
            cache = home + "/.cache";
    }
    if (!cache.empty())
        folders.push_back({cache, true});
    return folders;
}

// Opens (making it when missing) the lock file in the first folder where that works; -1, with
// `tried` telling why for each folder, when none does.
int openLockFile(const std::string& fileName, std::string& tried)
{
    for (const tLockFolder& folder : lockFolders()) {
        if (folder.make) {
            std::error_code ignored;
            std::filesystem::create_directories(folder.path, ignored);
        }
        const std::string path = folder.path + "/" + fileName;
        const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (file != -1)
            return file;
        tried += (tried.empty() ? "" : ", ") + path + ": " + std::strerror(errno);
    }
    if (tried.empty())
        tried = "no runtime folder (XDG_RUNTIME_DIR) and no home folder";
    return -1;
}

}  // namespace

bool ApplicationInstanceSingleton::hasConflictingInstance(const std::string& name, Mode)
{
    if (name.empty())
        return false;
    if (s_lockFile != -1)
        return false;  // this copy is the one running
    // Named after the identifier the program passes, never after what its bundle's Info.plist says:
    // a copy whose Info.plist cannot be read is still a copy of the same program.
    std::string fileName = name;
    for (char& c : fileName) {
        if (c == '/')
            c = '_';
    }
    fileName += ".lock";
    std::string tried;
    const int file = openLockFile(fileName, tried);
    if (file == -1) {
        const std::string line = std::string(GP::Application::s_pAppName) +
                                 ": no single-instance lock can be made, so another copy may run beside this one (" +
                                 tried + ")";
        GP::DebugTrace::printLine(nullptr, line);
        return false;
    }
    // The kernel decides between copies started together: exactly one gets the exclusive lock, and
    // it holds it until it ends, however it ends.
    int result;
    do {
        result = flock(file, LOCK_EX | LOCK_NB);
    } while (result == -1 && errno == EINTR);
    if (result == -1) {
        close(file);
        return errno == EWOULDBLOCK;
    }
    s_lockFile = file;
    return false;
}

}  // namespace QV::UIA
