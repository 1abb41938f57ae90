#include "CoreFoundation/CFURL.h"

#include "CoreFoundation/CFRuntime.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

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

// RFC 3986's unreserved and reserved characters: what a URL's text may hold besides "%XX".
bool isUrlCharacter(UniChar c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c < 0x80 && std::strchr("-._~:/?#[]@!$&'()*+,;=", static_cast<char>(c)) != nullptr && c != 0;
}

bool isHexDigit(UniChar c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The URL text of a file path: "file://", the path with every byte outside the unreserved
// characters and '/' written as %XX.
std::string fileUrlText(const std::string& path, bool isDirectory)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string text = "file://";
    for (unsigned char c : path) {
        if (c == '/' || (c < 0x80 && c != '%' && isUrlCharacter(c) && !std::strchr(":?#[]@!$&'()*+,;=", c)))
            text += static_cast<char>(c);
        else
            text += {'%', hex[c >> 4], hex[c & 0xF]};
    }
    if (isDirectory && text.back() != '/')
        text += '/';
    return text;
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
    // A URL made from its text (retained).
    explicit __CFURL(CFStringRef text)
        : Object(typeId(), &qvcompat::cf::destroyAs<__CFURL>), m_isDirectory(false), m_fromText(true)
    {
        m_text = static_cast<CFStringRef>(CFRetain(text));
    }
    ~__CFURL()
    {
        if (m_text)
            CFRelease(m_text);
    }

    // The URL's text, made on the first question for a file URL.
    CFStringRef text() const
    {
        std::call_once(m_textMade, [this] {
            if (m_text)
                return;
            std::string path = m_path;
            if (!m_base.empty())
                path = (m_base == "/" ? m_base : m_base + "/") + path;
            const std::string url = fileUrlText(path, m_isDirectory);
            m_text = CFStringCreateWithCString(kCFAllocatorDefault, url.c_str(), kCFStringEncodingUTF8);
        });
        return m_text;
    }

    const std::string m_path;  // as given, without trailing '/'
    const std::string m_base;  // the directory a relative path is resolved against; empty for absolute
    const bool m_isDirectory;
    const bool m_fromText = false;  // made by CFURLCreateWithString: no path

private:
    mutable std::once_flag m_textMade;
    mutable CFStringRef m_text = nullptr;  // owned
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

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory)
{
    if (!filePath || pathStyle != kCFURLPOSIXPathStyle)
        return nullptr;
    const char* path = qvcompat::cf::stringUTF8(filePath);
    return CFURLCreateFromFileSystemRepresentation(allocator, reinterpret_cast<const UInt8*>(path),
                                                   static_cast<CFIndex>(std::strlen(path)), isDirectory);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen)
{
    if (!url || !buffer || maxBufLen <= 0 || url->m_fromText)
        return false;
    std::string path = url->m_path;
    if (resolveAgainstBase && !url->m_base.empty())
        path = (url->m_base == "/" ? url->m_base : url->m_base + "/") + path;
    if (path.size() + 1 > static_cast<size_t>(maxBufLen))
        return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

CFURLRef CFURLCreateWithString(CFAllocatorRef, CFStringRef URLString, CFURLRef baseURL)
{
    if (!URLString || baseURL)
        return nullptr;
    const CFIndex length = CFStringGetLength(URLString);
    if (length == 0)
        return nullptr;
    std::vector<UniChar> units(static_cast<size_t>(length));
    CFStringGetCharacters(URLString, CFRangeMake(0, length), units.data());
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == '%') {
            if (i + 2 >= units.size() || !isHexDigit(units[i + 1]) || !isHexDigit(units[i + 2]))
                return nullptr;
            i += 2;
        } else if (!isUrlCharacter(units[i])) {
            return nullptr;
        }
    }
    return new __CFURL(URLString);
}

CFStringRef CFURLGetString(CFURLRef url) { return url ? url->text() : nullptr; }
