#include "GP/StringCF.h"
#include "UIA/Application.h"

#include <CoreFoundation/CFBundle.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace QV::UIA {

namespace {

// The lock this copy holds for the rest of its life; -1 while it holds none.
int s_lockFile = -1;

// The program's identity: the main bundle's identifier, else the name the program gave.
std::string identity(const std::string& name)
{
    if (CFBundleRef bundle = CFBundleGetMainBundle()) {
        if (CFStringRef identifier = CFBundleGetIdentifier(bundle)) {
            std::string text = GP::StringCF(identifier);
            if (!text.empty())
                return text;
        }
    }
    return name;
}

// A per-user lock file: in the user's runtime folder, else in /tmp with the user's id in its name.
std::string lockPath(std::string identity)
{
    for (char& c : identity) {
        if (c == '/')
            c = '_';
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + identity + ".lock";
    return "/tmp/" + identity + "-" + std::to_string(getuid()) + ".lock";
}

}  // namespace

bool ApplicationInstanceSingleton::hasConflictingInstance(const std::string& name, Mode)
{
    if (name.empty())
        return false;
    if (s_lockFile != -1)
        return false;  // this copy is the one running
    // The kernel decides between copies started together: exactly one gets the exclusive lock, and
    // it holds it until it ends, however it ends.
    const int file = open(lockPath(identity(name)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (file == -1)
        return false;  // no lock can be had: nothing tells of another copy
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
