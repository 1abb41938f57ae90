#include "CoreFoundation/CFBundle.h"

#include "CoreFoundation/CFRuntime.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

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

// A CF object for a property-list node (the caller owns it), or null for the types without one.
CFTypeRef convert(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        char* text = nullptr;
        plist_get_string_val(node, &text);
        CFTypeRef string = text ? CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8) : nullptr;
        free(text);
        return string;
    }
    case PLIST_UINT: {
        // libplist keeps integers as 64 bits; values above INT64_MAX read back as negative, as the
        // platform's signed 64-bit numbers do.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        const int64_t signedValue = static_cast<int64_t>(value);
        return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &signedValue);
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        CFTypeRef data =
            CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bytes), static_cast<CFIndex>(length));
        free(bytes);
        return data;
    }
    case PLIST_ARRAY: {
        std::vector<const void*> values;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i)
            if (CFTypeRef value = convert(plist_array_get_item(node, i)))
                values.push_back(value);
        CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, values.data(), static_cast<CFIndex>(values.size()),
                                         &kCFTypeArrayCallBacks);
        for (const void* value : values)
            CFRelease(value);
        return array;
    }
    case PLIST_DICT: {
        CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
            kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, it, &key, &item);
            if (!key)
                break;
            CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
            CFTypeRef value = name && item ? convert(item) : nullptr;
            if (value)
                CFDictionarySetValue(dictionary, name, value);
            if (value)
                CFRelease(value);
            if (name)
                CFRelease(name);
            free(key);
        }
        free(it);
        return dictionary;
    }
    default: return nullptr;
    }
}

// The Info.plist's top dictionary (owned by the caller), or null when there is none.
CFDictionaryRef readInfoDictionary(const std::string& folder)
{
    for (const char* place : {"/Contents/Info.plist", "/Info.plist"}) {
        std::ifstream file(folder + place, std::ios::binary);
        if (!file)
            continue;
        const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        plist_t root = nullptr;
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        CFTypeRef info = root && plist_get_node_type(root) == PLIST_DICT ? convert(root) : nullptr;
        plist_free(root);
        return static_cast<CFDictionaryRef>(info);
    }
    return nullptr;
}

}  // namespace

struct __CFBundle final : qvcompat::cf::Object {
    static CFTypeID typeId()
    {
        static const CFTypeID s_id = qvcompat::cf::registerType();
        return s_id;
    }
    explicit __CFBundle(CFURLRef url) : Object(typeId(), &qvcompat::cf::destroyAs<__CFBundle>), m_url(url) {}
    ~__CFBundle()
    {
        CFRelease(m_url);
        if (m_info)
            CFRelease(m_info);
    }

    // The Info.plist's dictionary, read on the first question (null when there is none).
    CFDictionaryRef info()
    {
        std::call_once(m_infoRead, [this] { m_info = readInfoDictionary(pathOf(m_url)); });
        return m_info;
    }

    const CFURLRef m_url;      // owned
    std::string m_executable;  // the main bundle's running executable; empty for the others
    std::once_flag m_infoRead;
    CFDictionaryRef m_info = nullptr;  // owned
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
        if (bundle)
            bundle->m_executable = executable.string();
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

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
    if (!bundle || !key)
        return nullptr;
    CFDictionaryRef info = bundle->info();
    return info ? CFDictionaryGetValue(info, key) : nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
    CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, "CFBundleIdentifier", kCFStringEncodingUTF8);
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, key);
    CFRelease(key);
    return value && CFGetTypeID(value) == CFStringGetTypeID() ? static_cast<CFStringRef>(value) : nullptr;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
{
    if (!bundle)
        return nullptr;
    std::string path = bundle->m_executable;
    if (path.empty()) {
        CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, "CFBundleExecutable", kCFStringEncodingUTF8);
        CFTypeRef name = CFBundleGetValueForInfoDictionaryKey(bundle, key);
        CFRelease(key);
        if (!name || CFGetTypeID(name) != CFStringGetTypeID())
            return nullptr;
        const char* text = qvcompat::cf::stringUTF8(static_cast<CFStringRef>(name));
        std::error_code error;
        const fs::path file = fs::path(pathOf(bundle->m_url)) / "Contents" / "MacOS" / (text ? text : "");
        if (!text || !fs::is_regular_file(file, error))
            return nullptr;
        path = file.string();
    }
    return CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
                                                   static_cast<CFIndex>(path.size()), false);
}
