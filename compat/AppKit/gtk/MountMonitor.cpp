// The mount monitor behind the workspace's mount notifications (see NSWorkspace.h).
//
// Implements: GUnixMountMonitor's "mounts-changed" on the default main context, turned into one call
// per mount point that appeared or went away.
// Lacks: nothing the workspace needs.
// Deviations: GIO tells only that the table changed; a mount point mounted and unmounted between two
// readings is not reported.
#include "AppKit/gtk/MountMonitor.h"

#include <gio/gio.h>
#include <gio/gunixmounts.h>

#include <algorithm>
#include <mutex>

namespace qvcompat::appkit::detail {

namespace {

struct tMonitor {
    std::function<void(bool, const std::string&)> changed;
    std::vector<std::string> mountPoints;  // as last read; touched on the main context only
};

void onMountsChanged(GUnixMountMonitor*, gpointer data)
{
    auto* monitor = static_cast<tMonitor*>(data);
    std::vector<std::string> now = currentMountPoints();
    std::vector<std::string> added, removed;
    diffMountPoints(monitor->mountPoints, now, added, removed);
    monitor->mountPoints = std::move(now);
    for (const std::string& mountPoint : removed)
        monitor->changed(false, mountPoint);
    for (const std::string& mountPoint : added)
        monitor->changed(true, mountPoint);
}

bool contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

std::vector<std::string> currentMountPoints()
{
    std::vector<std::string> mountPoints;
    GList* mounts = g_unix_mounts_get(nullptr);
    for (GList* item = mounts; item; item = item->next) {
        auto* mount = static_cast<GUnixMountEntry*>(item->data);
        const char* path = g_unix_mount_get_mount_path(mount);
        if (path && !contains(mountPoints, path))
            mountPoints.emplace_back(path);
    }
    g_list_free_full(mounts, reinterpret_cast<GDestroyNotify>(g_unix_mount_free));
    return mountPoints;
}

void diffMountPoints(const std::vector<std::string>& before, const std::vector<std::string>& after,
                     std::vector<std::string>& added, std::vector<std::string>& removed)
{
    added.clear();
    removed.clear();
    for (const std::string& mountPoint : after)
        if (!contains(before, mountPoint))
            added.push_back(mountPoint);
    for (const std::string& mountPoint : before)
        if (!contains(after, mountPoint))
            removed.push_back(mountPoint);
}

void startMountMonitor(std::function<void(bool mounted, const std::string& mountPoint)> changed)
{
    static std::once_flag s_once;
    std::call_once(s_once, [&] {
        // The monitor signals on the thread-default context of its creator: make that the default
        // main context whichever thread starts it.
        g_main_context_push_thread_default(g_main_context_default());
        GUnixMountMonitor* gioMonitor = g_unix_mount_monitor_get();
        g_main_context_pop_thread_default(g_main_context_default());
        // Read after the monitor runs, so that no change falls between the two. Both are kept for the
        // life of the process.
        auto* monitor = new tMonitor{std::move(changed), currentMountPoints()};
        g_signal_connect(gioMonitor, "mounts-changed", G_CALLBACK(onMountsChanged), monitor);
    });
}

}  // namespace qvcompat::appkit::detail
