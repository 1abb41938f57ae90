#include "UIA/External.h"

#include <CoreFoundation/CFURL.h>
#include <CoreServices/LSOpen.h>

namespace QV::UIA::External {

bool openURL(const char* url) { return url && openPreprocessedURL(url); }

bool openPreprocessedURL(const char* url)
{
    if (!url)
        return false;
    // Each object is released only when it was made: text that is not UTF-8 makes no string, and a
    // string that is no URL makes no URL.
    CFStringRef text = CFStringCreateWithCString(nullptr, url, kCFStringEncodingUTF8);
    if (!text)
        return false;
    CFURLRef address = CFURLCreateWithString(nullptr, text, nullptr);
    CFRelease(text);
    if (!address)
        return false;
    const OSStatus status = LSOpenCFURLRef(address, nullptr);
    CFRelease(address);
    return status == 0;
}

}  // namespace QV::UIA::External
