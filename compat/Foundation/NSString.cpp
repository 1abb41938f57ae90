// NSString: the messages of a CFString (see NSString.h).
//
// Implements: the NSString class over the CF string functions, the placeholder that +alloc answers,
// and the CFString bridge entry.
// Lacks: see NSString.h.
// Deviations: see NSString.h.
#include "Foundation/Bridge.h"
#include "Foundation/ClassDefinition.h"
#include "Foundation/NSString.h"

#include <CoreFoundation/CFRuntime.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using qvcompat::foundation::asObject;

CFStringRef cf(id self) { return qvcompat::foundation::asCF<CFStringRef>(self); }

[[noreturn]] void outOfRange(const char* method, id self, NSUInteger location, NSUInteger length)
{
    std::fprintf(stderr, "Foundation: -[NSString %s]: range {%lu, %lu} out of bounds of a string of length %ld\n",
                 method, location, length, CFStringGetLength(cf(self)));
    std::fflush(stderr);
    std::abort();
}

// ---- NSString: every method takes self as a CFString ----

id placeholder(id, SEL);

id stringWithUTF8String(id, SEL, const char* text)
{
    if (!text)
        return nil;
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
    return string ? objc_autorelease(asObject(string)) : nil;
}

id retain(id self, SEL) { return asObject(CFRetain(cf(self))); }

void release(id self, SEL) { CFRelease(cf(self)); }

NSUInteger retainCount(id self, SEL) { return static_cast<NSUInteger>(CFGetRetainCount(cf(self))); }

void dealloc(id self, SEL)
{
    std::fprintf(stderr, "Foundation: -[NSString dealloc] sent to %p: strings go with their last release\n",
                 static_cast<void*>(self));
    std::abort();
}

NSUInteger length(id self, SEL) { return static_cast<NSUInteger>(CFStringGetLength(cf(self))); }

unichar characterAtIndex(id self, SEL, NSUInteger index)
{
    if (index >= static_cast<NSUInteger>(CFStringGetLength(cf(self))))
        outOfRange("characterAtIndex:", self, index, 1);
    return CFStringGetCharactersPtr(cf(self))[index];
}

void getCharacters(id self, SEL, unichar* buffer, NSRange range)
{
    const auto size = static_cast<NSUInteger>(CFStringGetLength(cf(self)));
    if (range.location > size || range.length > size - range.location)
        outOfRange("getCharacters:range:", self, range.location, range.length);
    if (range.length)
        std::memcpy(buffer, CFStringGetCharactersPtr(cf(self)) + range.location, range.length * sizeof(unichar));
}

const char* UTF8String(id self, SEL) { return qvcompat::cf::stringUTF8(cf(self)); }

BOOL isEqualToString(id self, SEL, id other)
{
    if (!other)
        return NO;
    if (other == self)
        return YES;
    const CFIndex size = CFStringGetLength(cf(self));
    return size == CFStringGetLength(cf(other)) &&
                   std::memcmp(CFStringGetCharactersPtr(cf(self)), CFStringGetCharactersPtr(cf(other)),
                               static_cast<size_t>(size) * sizeof(unichar)) == 0
               ? YES
               : NO;
}

id description(id self, SEL) { return self; }

// ---- the placeholder: immortal, its -init... make the real string ----

id initWithCharacters(id, SEL, const unichar* characters, NSUInteger count)
{
    return asObject(CFStringCreateWithCharacters(kCFAllocatorDefault, characters, static_cast<CFIndex>(count)));
}

id initEmpty(id, SEL) { return asObject(CFStringCreateWithCharacters(kCFAllocatorDefault, nullptr, 0)); }

id keep(id self, SEL) { return self; }

void ignore(id, SEL) {}

NSUInteger immortalCount(id, SEL) { return NSUIntegerMax; }

Class placeholderClass()
{
    static const Class s_class =
        qvcompat::foundation::ClassDefinition("NSPlaceholderString", qvcompat::foundation::NSStringClass())
            .method("initWithCharacters:length:", &initWithCharacters, "@@:r^SQ")
            .method("init", &initEmpty, "@@:")
            .method("retain", &keep, "@@:")
            .method("autorelease", &keep, "@@:")
            .method("release", &ignore, "v@:")
            .method("dealloc", &ignore, "v@:")
            .method("retainCount", &immortalCount, "Q@:")
            .registerClass();
    return s_class;
}

id placeholder(id, SEL)
{
    static const id s_placeholder = class_createInstance(placeholderClass(), 0);
    return s_placeholder;
}

}  // namespace

namespace qvcompat::foundation {

Class NSStringClass()
{
    static const Class s_class = [] {
        Class cls = ClassDefinition("NSString", NSObjectClass())
                        .classMethod("alloc", &placeholder, "@@:")
                        .classMethod("stringWithUTF8String:", &stringWithUTF8String, "@@:r*")
                        .method("retain", &retain, "@@:")
                        .method("release", &release, "v@:")
                        .method("retainCount", &retainCount, "Q@:")
                        .method("dealloc", &dealloc, "v@:")
                        .method("length", &length, "Q@:")
                        .method("characterAtIndex:", &characterAtIndex, "S@:Q")
                        .method("getCharacters:range:", &getCharacters, "v@:^S{_NSRange=QQ}")
                        .method("UTF8String", &UTF8String, "r*@:")
                        .method("isEqualToString:", &isEqualToString, "c@:@")
                        .method("description", &description, "@@:")
                        .registerClass();
        cf::setBridgedClass(CFStringGetTypeID(), cls);
        return cls;
    }();
    return s_class;
}

}  // namespace qvcompat::foundation
