#include "GP/DSOHandle.h"

#include <CoreFoundation/CoreFoundation.h>

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <mutex>
#include <system_error>

namespace QV::GP {

namespace {

namespace fs = std::filesystem;

std::mutex s_lock;
CFBundleRef s_bundle = nullptr;  // guarded by s_lock

}  // namespace

namespace DETAIL {

std::string currentCodeFile()
{
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&currentCodeFile), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) &&
        map && map->l_name && map->l_name[0] != '\0')
        return map->l_name;  // a shared object
    // The executable itself has an empty name in the loader's list; the kernel knows its path.
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.string();
}

std::string bundleFolderOf(const std::string& path)
{
    if (path.empty())
        return std::string();
    // The folder that holds the file, with links, "." and ".." resolved against the current folder;
    // fails when it does not exist.
    const fs::path parent = fs::path(path).parent_path();
    std::error_code error;
    const fs::path macos = fs::canonical(parent.empty() ? fs::path(".") : parent, error);
    if (error || macos.filename() != "MacOS" || macos.parent_path().filename() != "Contents")
        return std::string();
    return macos.parent_path().parent_path().string();
}

}  // namespace DETAIL

void* resolveCurrentDSOHandle()
{
    const std::string folder = DETAIL::bundleFolderOf(DETAIL::currentCodeFile());
    if (folder.empty())
        return nullptr;
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(folder.data()), static_cast<CFIndex>(folder.size()), true);
    if (!url)
        return nullptr;
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
    CFRelease(url);
    return bundle;
}

void* getCurrentDSOHandle()
{
    const std::lock_guard<std::mutex> lock(s_lock);
    if (!s_bundle)
        s_bundle = static_cast<CFBundleRef>(resolveCurrentDSOHandle());
    return s_bundle;
}

void releaseCurrentDSOHandle()
{
    const std::lock_guard<std::mutex> lock(s_lock);
    if (s_bundle)
        CFRelease(s_bundle);
    s_bundle = nullptr;
}

}  // namespace QV::GP
