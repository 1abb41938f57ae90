#include "CFTypes.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// The default allocator is a marker only: every object is allocated with new.
const CFAllocatorRef kCFAllocatorDefault = nullptr;

const CFRunLoopMode kCFRunLoopDefaultMode =
    CFStringCreateWithCString(nullptr, "kCFRunLoopDefaultMode", kCFStringEncodingUTF8);

// One run loop per thread. It records its sources per mode so that adding and removing pair up;
// nothing runs them (see the header's deviations).
struct __CFRunLoop {
    ~__CFRunLoop()
    {
        for (auto& [mode, sources] : m_sources)
            for (CFRunLoopSourceRef source : sources)
                CFRelease(source);
    }
    std::map<std::u16string, std::vector<CFRunLoopSourceRef>> m_sources;
};

CFRunLoopRef CFRunLoopGetCurrent()
{
    thread_local __CFRunLoop t_runLoop;
    return &t_runLoop;
}

void CFRunLoopAddSource(CFRunLoopRef runLoop, CFRunLoopSourceRef source, CFRunLoopMode mode)
{
    if (!runLoop || !source || !mode || CFRunLoopContainsSource(runLoop, source, mode))
        return;
    CFRetain(source);
    runLoop->m_sources[mode->m_text].push_back(source);
}

void CFRunLoopRemoveSource(CFRunLoopRef runLoop, CFRunLoopSourceRef source, CFRunLoopMode mode)
{
    if (!runLoop || !source || !mode)
        return;
    auto& sources = runLoop->m_sources[mode->m_text];
    auto found = std::find(sources.begin(), sources.end(), source);
    if (found == sources.end())
        return;
    sources.erase(found);
    CFRelease(source);
}

Boolean CFRunLoopContainsSource(CFRunLoopRef runLoop, CFRunLoopSourceRef source, CFRunLoopMode mode)
{
    if (!runLoop || !source || !mode)
        return false;
    auto found = runLoop->m_sources.find(mode->m_text);
    return found != runLoop->m_sources.end() &&
           std::find(found->second.begin(), found->second.end(), source) != found->second.end();
}
