// The display registry: ids for the source's monitors, the last configuration seen and the
// reconfiguration callbacks, which it calls with the differences between configurations.
#include "CoreGraphics/CGDirectDisplay.h"
#include "CoreGraphics/standin/Monitors.h"

#include <algorithm>
#include <map>
#include <utility>

namespace qvcompat::coregraphics {

namespace {

using tCallback = std::pair<CGDisplayReconfigurationCallBack, void*>;

struct tRegistry {
    std::unique_ptr<MonitorSource> source;
    unsigned sourceGeneration = 0;  // a replaced source's notices are ignored
    std::map<uintptr_t, CGDirectDisplayID> ids;
    CGDirectDisplayID nextId = 1;
    std::vector<tDisplay> last;  // the configuration the callbacks were last told about
    bool haveLast = false;
    std::vector<tCallback> callbacks;
};

tRegistry& registry()
{
    static tRegistry s_registry;
    return s_registry;
}

void onChanged(unsigned generation);

MonitorSource& source()
{
    tRegistry& r = registry();
    if (!r.source) {
        r.source = makeGdkMonitorSource();
        const unsigned generation = ++r.sourceGeneration;
        r.source->watch([generation] { onChanged(generation); });
    }
    return *r.source;
}

// The source's monitors as displays, the main one (the primary, else the first) first.
std::vector<tDisplay> read()
{
    tRegistry& r = registry();
    std::vector<tMonitor> monitors = source().monitors();
    auto primary = std::find_if(monitors.begin(), monitors.end(), [](const tMonitor& m) { return m.primary; });
    if (primary != monitors.end())
        std::rotate(monitors.begin(), primary, primary + 1);
    std::vector<tDisplay> displays;
    for (const tMonitor& monitor : monitors) {
        auto [entry, added] = r.ids.emplace(monitor.key, 0);
        if (added)
            entry->second = r.nextId++;
        displays.push_back(tDisplay{entry->second, monitor});
    }
    return displays;
}

const tDisplay* findDisplay(const std::vector<tDisplay>& displays, CGDirectDisplayID id)
{
    for (const tDisplay& display : displays)
        if (display.id == id)
            return &display;
    return nullptr;
}

// The flags of each display whose state differs between the two configurations. Positions count
// relative to the main display, as the platform's global coordinates start there.
std::vector<std::pair<CGDirectDisplayID, CGDisplayChangeSummaryFlags>> differences(const std::vector<tDisplay>& before,
                                                                                   const std::vector<tDisplay>& after)
{
    std::vector<std::pair<CGDirectDisplayID, CGDisplayChangeSummaryFlags>> changes;
    const tMonitor* mainBefore = before.empty() ? nullptr : &before.front().monitor;
    const tMonitor* mainAfter = after.empty() ? nullptr : &after.front().monitor;
    for (const tDisplay& old : before)
        if (!findDisplay(after, old.id))
            changes.emplace_back(old.id, kCGDisplayRemoveFlag | kCGDisplayDesktopShapeChangedFlag);
    for (const tDisplay& now : after) {
        const bool isMain = &now.monitor == mainAfter;
        const tDisplay* old = findDisplay(before, now.id);
        CGDisplayChangeSummaryFlags flags = 0;
        if (!old) {
            flags = kCGDisplayAddFlag | kCGDisplayDesktopShapeChangedFlag;
        } else {
            const tMonitor& a = old->monitor;
            const tMonitor& b = now.monitor;
            if (a.width != b.width || a.height != b.height || a.scale != b.scale)
                flags |= kCGDisplaySetModeFlag | kCGDisplayDesktopShapeChangedFlag;
            if (a.x - mainBefore->x != b.x - mainAfter->x || a.y - mainBefore->y != b.y - mainAfter->y)
                flags |= kCGDisplayMovedFlag | kCGDisplayDesktopShapeChangedFlag;
        }
        if (isMain && (!mainBefore || before.front().id != now.id))
            flags |= kCGDisplaySetMainFlag;
        if (flags)
            changes.emplace_back(now.id, flags);
    }
    return changes;
}

void notify(CGDirectDisplayID id, CGDisplayChangeSummaryFlags flags)
{
    // A callback may register or remove callbacks: call those registered when the notice began.
    const std::vector<tCallback> callbacks = registry().callbacks;
    for (const tCallback& callback : callbacks)
        callback.first(id, flags, callback.second);
}

void onChanged(unsigned generation)
{
    tRegistry& r = registry();
    if (generation != r.sourceGeneration)
        return;
    std::vector<tDisplay> now = read();
    const auto changes = differences(r.haveLast ? r.last : std::vector<tDisplay>{}, now);
    if (changes.empty())
        return;
    for (const auto& [id, flags] : changes)
        notify(id, kCGDisplayBeginConfigurationFlag);
    for (const tDisplay& old : r.last)
        if (!findDisplay(now, old.id))
            r.ids.erase(old.monitor.key);
    r.last = std::move(now);
    r.haveLast = true;
    for (const auto& [id, flags] : changes)
        notify(id, flags);
}

}  // namespace

std::vector<tDisplay> currentDisplays()
{
    tRegistry& r = registry();
    std::vector<tDisplay> displays = read();
    // The first configuration seen is the one later changes are measured against.
    if (!r.haveLast && !displays.empty()) {
        r.last = displays;
        r.haveLast = true;
    }
    return displays;
}

void setMonitorSource(std::unique_ptr<MonitorSource> replacement)
{
    tRegistry& r = registry();
    r.source = std::move(replacement);
    if (r.source) {
        const unsigned generation = ++r.sourceGeneration;
        r.source->watch([generation] { onChanged(generation); });
    }
    r.ids.clear();
    r.haveLast = false;
    r.last.clear();
    currentDisplays();
}

CGRect bottomLeftFrame(int x, int y, int width, int height, const tMonitor& main)
{
    return CGRectMake(x - main.x, (main.y + main.height) - (y + height), width, height);
}

}  // namespace qvcompat::coregraphics

using namespace qvcompat::coregraphics;

CGDirectDisplayID CGMainDisplayID()
{
    const std::vector<tDisplay> displays = currentDisplays();
    return displays.empty() ? 0 : displays.front().id;
}

CGColorSpaceRef CGDisplayCopyColorSpace(CGDirectDisplayID display)
{
    const std::vector<tDisplay> displays = currentDisplays();
    return findDisplay(displays, display) ? CGColorSpaceCreateDeviceRGB() : nullptr;
}

CGRect CGDisplayBounds(CGDirectDisplayID display)
{
    const std::vector<tDisplay> displays = currentDisplays();
    const tDisplay* found = findDisplay(displays, display);
    if (!found)
        return CGRectMake(0, 0, 0, 0);
    const tMonitor& main = displays.front().monitor;
    const tMonitor& m = found->monitor;
    return CGRectMake(m.x - main.x, m.y - main.y, m.width, m.height);
}

CGError CGDisplayRegisterReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo)
{
    if (!callback)
        return kCGErrorIllegalArgument;
    std::vector<tCallback>& callbacks = registry().callbacks;
    if (std::find(callbacks.begin(), callbacks.end(), tCallback{callback, userInfo}) == callbacks.end())
        callbacks.emplace_back(callback, userInfo);
    // Watching starts with the first configuration.
    currentDisplays();
    return kCGErrorSuccess;
}

CGError CGDisplayRemoveReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo)
{
    if (!callback)
        return kCGErrorIllegalArgument;
    std::vector<tCallback>& callbacks = registry().callbacks;
    callbacks.erase(std::remove(callbacks.begin(), callbacks.end(), tCallback{callback, userInfo}), callbacks.end());
    return kCGErrorSuccess;
}
