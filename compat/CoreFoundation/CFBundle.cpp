#include "CoreFoundation/CFBundle.h"

#include "CoreFoundation/CFRuntime.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

std::string pathOf(CFURLRef url)
{
    std::string buffer(4096, '\0');
    if (!CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(buffer.data()),
                                          static_cast<CFIndex>(buffer.size())))
        return std::string();
    return std::string(buffer.c_str());
}

CFURLRef directoryURL(const std::string& path)
{
    return CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
                                                   static_cast<CFIndex>(path.size()), true);
}

}  // namespace

struct __CFBundle final : qvcompat::cf::Object {
    static CFTypeID typeId()
    {
        static const CFTypeID s_id = qvcompat::cf::registerType();
        return s_id;
    }
    explicit __CFBundle(CFURLRef url) : Object(typeId(), &qvcompat::cf::destroyAs<__CFBundle>), m_url(url) {}
    ~__CFBundle() { CFRelease(m_url); }
    const CFURLRef m_url;  // owned
};

CFTypeID CFBundleGetTypeID() { return __CFBundle::typeId(); }

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL)
{
    if (!bundleURL)
        return nullptr;
    const std::string path = pathOf(bundleURL);
    std::error_code error;
    if (path.empty() || !fs::is_directory(path, error))
        return nullptr;
    return new __CFBundle(static_cast<CFURLRef>(CFRetain(bundleURL)));
}

CFBundleRef CFBundleGetMainBundle()
{
    static const CFBundleRef s_main = []() -> CFBundleRef {
        std::error_code error;
        const fs::path executable = fs::read_symlink("/proc/self/exe", error);
        if (error || executable.empty())
            return nullptr;
        fs::path folder = executable.parent_path();
        if (folder.filename() == "MacOS" && folder.parent_path().filename() == "Contents")
            folder = folder.parent_path().parent_path();
        CFURLRef url = directoryURL(folder.string());
        if (!url)
            return nullptr;
        CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
        CFRelease(url);
        return bundle;
    }();
    return s_main;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
{
    if (!bundle)
        return nullptr;
    return static_cast<CFURLRef>(CFRetain(bundle->m_url));
}
