#include "CoreServices/Resources.h"

#include "CoreServices/HandleBlock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <string>
#include <vector>

namespace qvcompat::coreservices {

namespace {

constexpr Size kMaxResourceSize = Size(256) << 20;

struct tResource {
    std::string path;  // the file it was read from: one handle per file while attached
    Handle handle;
};

struct tMap {
    ResFileRefNum refNum;
    std::string folder;  // the bundle's Contents/Resources
    std::vector<tResource> resources;
};

struct State {
    std::mutex mutex;
    std::vector<tMap> maps;  // in the order they were opened
    ResFileRefNum current = 0;
    ResFileRefNum next = 1;
    OSErr lastError = noErr;
};

State& state()
{
    static State* s_state = new State;  // never destroyed: handles may be disposed during exit
    return *s_state;
}

tMap* findMap(State& s, ResFileRefNum refNum)
{
    for (tMap& map : s.maps)
        if (map.refNum == refNum)
            return &map;
    return nullptr;
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The type's folder name: its four characters, each printable ASCII other than '/'.
bool typeFolder(ResType type, std::string& out)
{
    out.clear();
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((type >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E || c == '/')
            return false;
        out.push_back(c);
    }
    return true;
}

// A resource name relative to its type's folder: no NUL, no empty, "." or ".." components.
bool isSafeName(const std::string& name)
{
    if (name.empty() || name.find('\0') != std::string::npos)
        return false;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type slash = name.find('/', start);
        const std::string component =
            name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

// The file of `key` in `folder`: the exact name, else the first "key.ext" in byte order.
std::string findFile(const std::string& folder, const std::string& key)
{
    const std::string exact = folder + "/" + key;
    if (isRegularFile(exact))
        return exact;
    const std::string::size_type slash = key.rfind('/');
    const std::string directory = slash == std::string::npos ? folder : folder + "/" + key.substr(0, slash);
    const std::string base = slash == std::string::npos ? key : key.substr(slash + 1);
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return std::string();
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= base.size() + 1 || name.compare(0, base.size(), base) != 0 || name[base.size()] != '.' ||
            name.find('.', base.size() + 1) != std::string::npos)
            continue;
        if ((best.empty() || name < best) && isRegularFile(directory + "/" + name))
            best = name;
    }
    ::closedir(dir);
    return best.empty() ? std::string() : directory + "/" + best;
}

// The whole file in a new handle; sets the error when it cannot.
Handle readFile(const std::string& path, OSErr& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0)
            ::close(fd);
        error = ioErr;
        return nullptr;
    }
    if (info.st_size > kMaxResourceSize) {
        ::close(fd);
        error = memFullErr;
        return nullptr;
    }
    // Mapped, the file's pages are read only where they are used (a font's few tables), and they
    // are the system's file cache rather than a copy; a file that cannot be mapped is read.
    if (info.st_size > 0) {
        if (Handle mapped = newMappedBlock(fd, static_cast<Size>(info.st_size))) {
            ::close(fd);
            error = noErr;
            return mapped;
        }
    }
    Handle handle = newBlock(static_cast<Size>(info.st_size));
    if (!handle) {
        ::close(fd);
        error = memFullErr;
        return nullptr;
    }
    Size done = 0;
    while (done < info.st_size) {
        const ssize_t got = ::read(fd, *handle + done, static_cast<size_t>(info.st_size - done));
        if (got <= 0)
            break;
        done += got;
    }
    ::close(fd);
    if (done != info.st_size) {
        freeBlock(handle);
        error = ioErr;
        return nullptr;
    }
    error = noErr;
    return handle;
}

Handle getResource(ResType type, const std::string& key)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    tMap* map = findMap(s, s.current);
    std::string folder;
    if (!map || !typeFolder(type, folder) || !isSafeName(key)) {
        s.lastError = resNotFound;
        return nullptr;
    }
    const std::string path = findFile(map->folder + "/" + folder, key);
    if (path.empty()) {
        s.lastError = resNotFound;
        return nullptr;
    }
    for (const tResource& resource : map->resources)
        if (resource.path == path) {
            s.lastError = noErr;
            return resource.handle;
        }
    Handle handle = readFile(path, s.lastError);
    if (handle) {
        blockOf(handle)->owner = map->refNum;
        map->resources.push_back(tResource{path, handle});
    }
    return handle;
}

}  // namespace

void forgetResource(Handle handle)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    HandleBlock* block = blockOf(handle);
    if (tMap* map = block->owner ? findMap(s, block->owner) : nullptr)
        map->resources.erase(std::remove_if(map->resources.begin(), map->resources.end(),
                                            [handle](const tResource& r) { return r.handle == handle; }),
                             map->resources.end());
    block->owner = 0;
}

}  // namespace qvcompat::coreservices

using namespace qvcompat::coreservices;

CFBundleRefNum CFBundleOpenBundleResourceMap(CFBundleRef bundle)
{
    State& s = state();
    std::string folder;
    if (bundle) {
        CFURLRef url = CFBundleCopyBundleURL(bundle);
        UInt8 path[PATH_MAX];
        if (url && CFURLGetFileSystemRepresentation(url, true, path, sizeof path))
            folder = std::string(reinterpret_cast<const char*>(path)) + "/Contents/Resources";
        if (url)
            CFRelease(url);
    }
    std::lock_guard<std::mutex> lock(s.mutex);
    if (folder.empty() || !isFolder(folder)) {
        s.lastError = resFNotFound;
        return -1;
    }
    // The next number that no open map uses.
    for (int tries = 0; tries < SHRT_MAX; ++tries) {
        const ResFileRefNum refNum = s.next;
        s.next = s.next == SHRT_MAX ? 1 : static_cast<ResFileRefNum>(s.next + 1);
        if (!findMap(s, refNum)) {
            s.maps.push_back(tMap{refNum, folder, {}});
            s.current = refNum;
            s.lastError = noErr;
            return refNum;
        }
    }
    s.lastError = memFullErr;
    return -1;
}

void CFBundleCloseBundleResourceMap(CFBundleRef, CFBundleRefNum refNum) { CloseResFile(refNum); }

void CloseResFile(ResFileRefNum refNum)
{
    State& s = state();
    std::vector<Handle> orphans;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        const auto map =
            std::find_if(s.maps.begin(), s.maps.end(), [refNum](const tMap& m) { return m.refNum == refNum; });
        if (map == s.maps.end()) {
            s.lastError = resFNotFound;
            return;
        }
        for (tResource& resource : map->resources) {
            blockOf(resource.handle)->owner = 0;
            orphans.push_back(resource.handle);
        }
        s.maps.erase(map);
        if (s.current == refNum)
            s.current = s.maps.empty() ? 0 : s.maps.back().refNum;
        s.lastError = noErr;
    }
    for (Handle handle : orphans)
        freeBlock(handle);
}

Handle Get1Resource(ResType type, ResID id) { return getResource(type, std::to_string(id)); }

Handle Get1NamedResource(ResType type, ConstStr255Param name)
{
    if (!name || name[0] == 0) {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().lastError = resNotFound;
        return nullptr;
    }
    return getResource(type, std::string(reinterpret_cast<const char*>(name) + 1, name[0]));
}

void DetachResource(Handle resource)
{
    State& s = state();
    bool attached = false;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        attached = resource && blockOf(resource)->owner != 0;
    }
    if (attached)
        forgetResource(resource);
    std::lock_guard<std::mutex> lock(s.mutex);
    s.lastError = attached ? noErr : resNotFound;
}

OSErr ResError()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().lastError;
}
