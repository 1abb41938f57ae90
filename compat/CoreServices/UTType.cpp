// Uniform type identifiers: see UTType.h.
#include "CoreServices/UTType.h"

#include <CoreFoundation/CFRuntime.h>

#include <cstring>
#include <strings.h>
#include <string>

namespace {

CFStringRef make(const char* identifier)
{
    return CFStringCreateWithCString(kCFAllocatorDefault, identifier, kCFStringEncodingUTF8);
}

// Each type with its one parent in the conformance tree (null at the root).
struct tConformance {
    const char* type;
    const char* parent;
};
constexpr tConformance kTable[] = {
    {"public.item", nullptr},
    {"public.data", "public.item"},
    {"public.text", "public.data"},
    {"public.plain-text", "public.text"},
    {"public.utf8-plain-text", "public.plain-text"},
    {"public.utf16-plain-text", "public.plain-text"},
    {"public.url", "public.data"},
    {"public.file-url", "public.url"},
};

std::string utf8(CFStringRef string)
{
    const char* text = qvcompat::cf::stringUTF8(string);
    return text ? text : "";
}

bool sameIdentifier(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

const char* parentOf(const std::string& type)
{
    for (const tConformance& entry : kTable)
        if (sameIdentifier(type, entry.type))
            return entry.parent;
    return nullptr;
}

}  // namespace

const CFStringRef kUTTypeItem = make("public.item");
const CFStringRef kUTTypeData = make("public.data");
const CFStringRef kUTTypeText = make("public.text");
const CFStringRef kUTTypePlainText = make("public.plain-text");
const CFStringRef kUTTypeUTF8PlainText = make("public.utf8-plain-text");
const CFStringRef kUTTypeUTF16PlainText = make("public.utf16-plain-text");
const CFStringRef kUTTypeURL = make("public.url");
const CFStringRef kUTTypeFileURL = make("public.file-url");

Boolean UTTypeConformsTo(CFStringRef type, CFStringRef conformsTo)
{
    if (!type || !conformsTo)
        return false;
    const std::string wanted = utf8(conformsTo);
    std::string current = utf8(type);
    // The table is a tree of depth 5 at most: each step moves to a parent.
    for (int depth = 0; depth < 8; ++depth) {
        if (sameIdentifier(current, wanted.c_str()))
            return true;
        const char* parent = parentOf(current);
        if (!parent)
            return false;
        current = parent;
    }
    return false;
}
