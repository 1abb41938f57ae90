#include "CoreFoundation/CFURL.h"

#include "CoreFoundation/CFRuntime.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include <unistd.h>

namespace {

std::string currentDirectory()
{
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()))
            return std::string(buffer.c_str());
        if (errno != ERANGE)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

struct __CFURL final : qvcompat::cf::Object {
    static CFTypeID typeId()
    {
        static const CFTypeID s_id = qvcompat::cf::registerType();
        return s_id;
    }
    __CFURL(std::string path, std::string base, bool isDirectory)
        : Object(typeId(), &qvcompat::cf::destroyAs<__CFURL>), m_path(std::move(path)), m_base(std::move(base)),
          m_isDirectory(isDirectory)
    {}
    const std::string m_path;  // as given, without trailing '/'
    const std::string m_base;  // the directory a relative path is resolved against; empty for absolute
    const bool m_isDirectory;
};

CFTypeID CFURLGetTypeID() { return __CFURL::typeId(); }

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer, CFIndex length,
                                                 Boolean isDirectory)
{
    if (!buffer || length <= 0)
        return nullptr;
    std::string path(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
    path = path.c_str();  // a NUL ends the path
    if (path.empty())
        return nullptr;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::string base;
    if (path.front() != '/') {
        base = currentDirectory();
        if (base.empty())
            return nullptr;
    }
    return new __CFURL(std::move(path), std::move(base), isDirectory != 0);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen)
{
    if (!url || !buffer || maxBufLen <= 0)
        return false;
    std::string path = url->m_path;
    if (resolveAgainstBase && !url->m_base.empty())
        path = (url->m_base == "/" ? url->m_base : url->m_base + "/") + path;
    if (path.size() + 1 > static_cast<size_t>(maxBufLen))
        return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}
