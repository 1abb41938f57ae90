// Mounts and unmounts a file system for real, in a mount namespace of the test's own, and follows the
// notices from the kernel's mount table through GIO, the workspace, the observer and the volume list.
// Needs the right to make mount namespaces (root with CAP_SYS_ADMIN); skipped without it.
#include "GP/CriticalSection.h"
#include "GP/DeviceNotification.h"
#include "GP/VolumeManager.h"

#include <glib.h>
#include "QVTest/MainLoop.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace QV::GP;

// Mount namespaces of our own, with the whole tree private, so nothing reaches the machine's.
bool enterPrivateMountNamespace()
{
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool canMount()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(enterPrivateMountNamespace() && mount("qvprobe", "/media", "tmpfs", 0, nullptr) == 0 ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct NoticeRecorder : DeviceNotificationListener {
    void onVolumeChanged(eState state, const std::string& volumeName) override
    {
        m_notices.push_back((state == eStateMounted ? "mounted " : "unmounted ") + volumeName);
    }
    std::vector<std::string> m_notices;
};

struct VolumeRecorder : VolumeListener {
    void onVolumeChange(eVolumeChange change, const VolumeInfo& volume) override
    {
        m_changes.push_back((change == eVolumeAdded ? "added " : "removed ") + volume.name);
    }
    std::vector<std::string> m_changes;
};

bool runMainLoopUntil(const std::function<bool()>& done)
{
    return QV::TEST::runMainLoopUntil(done, std::chrono::seconds(10));
}

bool hasVolume(const std::string& name)
{
    for (const VolumeInfo& volume : VolumeManager::getVolumes())
        if (volume.name == name)
            return true;
    return false;
}

// Runs in a process of its own; the exit status tells which step failed.
int mountAndUnmountAStick()
{
    if (!enterPrivateMountNamespace() || mount("qvmedia", "/media", "tmpfs", 0, nullptr) != 0 ||
        mkdir("/media/me", 0755) != 0 || mkdir("/media/me/STICK", 0755) != 0)
        return 2;
    if (!CriticalSection::staticInit() || !DeviceNotification::init() || !VolumeManager::init())
        return 3;
    NoticeRecorder notices;
    VolumeRecorder volumes;
    DeviceNotification::addListener(&notices);
    VolumeManager::addListener(&volumes);
    if (hasVolume("STICK"))
        return 4;

    if (mount("qvstick", "/media/me/STICK", "tmpfs", 0, nullptr) != 0)
        return 5;
    if (!runMainLoopUntil([&] { return !notices.m_notices.empty(); }))
        return 6;
    if (notices.m_notices != std::vector<std::string>{"mounted STICK"} ||
        volumes.m_changes != std::vector<std::string>{"added STICK"})
        return 7;

    if (umount("/media/me/STICK") != 0)
        return 8;
    if (!runMainLoopUntil([&] { return notices.m_notices.size() == 2; }))
        return 9;
    if (notices.m_notices.back() != "unmounted STICK" || volumes.m_changes.back() != "removed STICK")
        return 10;
    return 0;
}

TEST(RealMountDeathTest, AStickMountedAndUnmountedIsNoticedOnTheMainLoop)
{
    if (!canMount())
        GTEST_SKIP() << "no right to make mount namespaces here";
    // A fresh process: the mount namespace needs a single thread, and GIO's monitor starts in it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(_exit(mountAndUnmountAStick()), testing::ExitedWithCode(0), "");
}

}  // namespace
