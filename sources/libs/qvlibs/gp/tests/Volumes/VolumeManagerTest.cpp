#include "GP/CriticalSection.h"
#include "GP/DeviceNotification.h"
#include "GP/VolumeManager.h"
#include "GP/VolumeTable.h"
#include "Volumes/MountInfo.h"

#include "QVTest/TemporaryFolder.h"

#include <StandInTestHooks/Workspace.h>

#include <glib.h>
#include "QVTest/MainLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace QV::GP {

// Found by argument-dependent lookup.
bool operator==(const VolumeInfo& a, const VolumeInfo& b)
{
    return a.name == b.name && a.type == b.type && a.refNum == b.refNum;
}

void PrintTo(const VolumeInfo& volume, std::ostream* out)
{
    *out << "{" << volume.name << ", " << volume.type << ", " << volume.refNum << "}";
}

}  // namespace QV::GP

namespace {

using QV::TEST::runMainLoopUntil;

using namespace QV::GP;

// The root file system, a USB stick under /media, a network mount, an exFAT card, a DVD, a session
// tmpfs and a stick whose name has a space and a non-ASCII letter, with the kernel's pseudo file
// systems around them.
const char* const kTable = "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
                           "28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
                           "40 28 8:17 / /media/me/STICK rw,nosuid - vfat /dev/sdb1 rw\n"
                           "41 28 0:50 / /mnt/nas rw - nfs4 server:/export rw\n"
                           "42 28 8:33 / /media/me/CAM rw - exfat /dev/sdc1 rw\n"
                           "43 28 11:0 / /media/me/DVD ro - udf /dev/sr0 ro\n"
                           "44 28 0:24 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                           "45 28 8:49 / /media/me/Fotos\\040\xC3\x9C rw - vfat /dev/sdd1 rw\n";

struct Change {
    std::string listener;
    eVolumeChange change;
    VolumeInfo volume;
    bool operator==(const Change& other) const
    {
        return listener == other.listener && change == other.change && volume == other.volume;
    }
};

void PrintTo(const Change& change, std::ostream* out)
{
    *out << change.listener << (change.change == eVolumeAdded ? " added " : " removed ");
    PrintTo(change.volume, out);
}

class Recorder : public VolumeListener {
public:
    Recorder(std::string id, std::vector<Change>& log) : m_id(std::move(id)), m_log(log) {}
    void onVolumeChange(eVolumeChange change, const VolumeInfo& volume) override
    {
        m_log.push_back({m_id, change, volume});
        if (m_action)
            m_action();
    }

    std::string m_id;
    std::vector<Change>& m_log;
    std::function<void()> m_action;
};

// The volume list over an injected mount table, with a home folder of its own; the mount notices
// run too.
class VolumeManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        m_home = m_folder.path() / "home" / "me";
        std::filesystem::create_directories(m_home);
        const char* home = std::getenv("HOME");
        m_savedHome = home ? home : "";
        setenv("HOME", m_home.c_str(), 1);
        m_tablePath = (m_folder.path() / "mountinfo").string();
        writeTable(kTable);
        DETAIL::setMountTablePath(m_tablePath);

        m_tableBefore = DETAIL::VolumeTable::current();
        ASSERT_TRUE(CriticalSection::staticInit());
        ASSERT_TRUE(DeviceNotification::init());
        ASSERT_TRUE(VolumeManager::init());
    }
    void TearDown() override
    {
        VolumeManager::deInit();
        DeviceNotification::deInit();
        CriticalSection::staticDeInit();
        DETAIL::setMountTablePath("");
        setenv("HOME", m_savedHome.c_str(), 1);
    }

    void writeTable(const std::string& text) { std::ofstream(m_tablePath, std::ios::trunc) << text; }

    // The home folder's colon-style name: the root volume and the path's components.
    std::string homeName() const
    {
        std::string name = DETAIL::kRootVolumeName;
        for (const auto& component : m_home.relative_path())
            name += ":" + component.string();
        return name;
    }

    QV::TEST::TemporaryFolder m_folder{"qv-volumes"};
    std::filesystem::path m_home;
    std::string m_savedHome;
    std::string m_tablePath;
    std::shared_ptr<const DETAIL::VolumeTable> m_tableBefore;
    std::vector<Change> m_log;
};

TEST_F(VolumeManagerTest, ListsTheHomeFolderFirstThenTheVolumesWithAKindInMountOrder)
{
    const std::vector<VolumeInfo> expected = {
        {homeName(), eVolumeTypeHomeFolder, 0}, {DETAIL::kRootVolumeName, eVolumeTypeLocalDisk, 28},
        {"STICK", eVolumeTypeLocalDisk, 40},    {"nas", eVolumeTypeNetwork, 41},
        {"DVD", eVolumeTypeOptical, 43},        {"Fotos \xC3\x9C", eVolumeTypeLocalDisk, 45},
    };  // the exFAT card, /proc and the session tmpfs are left out
    EXPECT_EQ(VolumeManager::getVolumes(), expected);
}

TEST_F(VolumeManagerTest, FileNamesNameTheVolumesOfTheMountTableWhileItRuns)
{
    const auto volumes = DETAIL::VolumeTable::current()->volumes();
    std::vector<std::string> names;
    for (const auto& volume : volumes)
        names.push_back(volume.name + " " + volume.mountPoint);
    EXPECT_EQ(names, (std::vector<std::string>{"Linux /", "STICK /media/me/STICK", "nas /mnt/nas", "CAM /media/me/CAM",
                                               "DVD /media/me/DVD", "Fotos \xC3\x9C /media/me/Fotos \xC3\x9C"}));
    VolumeManager::deInit();
    EXPECT_EQ(DETAIL::VolumeTable::current(), m_tableBefore);
    EXPECT_TRUE(VolumeManager::getVolumes().empty());
    ASSERT_TRUE(VolumeManager::init());
}

TEST_F(VolumeManagerTest, MountNoticesAddAndRemoveVolumesAndTellTheListeners)
{
    Recorder listener("l", m_log);
    ASSERT_TRUE(VolumeManager::addListener(&listener));
    // Sends a notice and runs the main loop until it has nothing left to do.
    auto notice = [&](bool mounted, const char* mountPoint) {
        qvcompat::appkit::postWorkspaceMountNotice(mounted, mountPoint);
        ASSERT_TRUE(runMainLoopUntil([] { return !g_main_context_pending(nullptr); }));
    };

    // A notice for something that is not mounted is ignored.
    notice(true, "/media/me/NEW");
    EXPECT_TRUE(m_log.empty());

    writeTable(std::string(kTable) + "46 28 8:65 / /media/me/NEW rw - ext4 /dev/sde1 rw\n");
    notice(true, "/media/me/NEW");
    EXPECT_EQ(m_log, (std::vector<Change>{{"l", eVolumeAdded, {"NEW", eVolumeTypeLocalDisk, 46}}}));
    EXPECT_EQ(VolumeManager::getVolumes().back(), (VolumeInfo{"NEW", eVolumeTypeLocalDisk, 46}));

    // The eject failed: the volume is still mounted, so the notice is ignored.
    notice(false, "/media/me/NEW");
    EXPECT_EQ(m_log.size(), 1u);
    EXPECT_EQ(VolumeManager::getVolumes().size(), 7u);

    writeTable(kTable);
    notice(false, "/media/me/NEW");
    ASSERT_EQ(m_log.size(), 2u);
    EXPECT_EQ(m_log[1], (Change{"l", eVolumeRemoved, {"NEW", eVolumeTypeLocalDisk, 46}}));
    EXPECT_EQ(VolumeManager::getVolumes().size(), 6u);
    VolumeManager::removeListener(&listener);
}

TEST_F(VolumeManagerTest, AnUnmountedVolumeKeepsTheNameItHadBesideItsNamesake)
{
    // A second STICK, at /mnt/STICK, is "STICK 2" while the first is mounted.
    writeTable(std::string(kTable) + "47 28 8:81 / /mnt/STICK rw - vfat /dev/sdf1 rw\n");
    Recorder listener("l", m_log);
    ASSERT_TRUE(VolumeManager::addListener(&listener));
    qvcompat::appkit::postWorkspaceMountNotice(true, "/mnt/STICK");
    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 1; }));
    EXPECT_EQ(m_log[0], (Change{"l", eVolumeAdded, {"STICK 2", eVolumeTypeLocalDisk, 47}}));

    writeTable(kTable);
    qvcompat::appkit::postWorkspaceMountNotice(false, "/mnt/STICK");
    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 2; }));
    EXPECT_EQ(m_log[1], (Change{"l", eVolumeRemoved, {"STICK 2", eVolumeTypeLocalDisk, 47}}));
    const auto volumes = VolumeManager::getVolumes();
    EXPECT_EQ(volumes[2], (VolumeInfo{"STICK", eVolumeTypeLocalDisk, 40}));  // the first one stays
    VolumeManager::removeListener(&listener);
}

TEST_F(VolumeManagerTest, ListenersAreFilteredAndCalledLastRegisteredFirst)
{
    struct Case {
        const char* id;
        const char* name;
        std::int32_t type;
        std::int32_t refNum;
        bool called;
    } cases[] = {
        {"any", "", 0, 0, true},
        {"name STICK", "STICK", 0, 0, true},
        {"name nas", "nas", 0, 0, false},
        {"name stick", "stick", 0, 0, false},  // names compare exactly
        {"local disks", "", eVolumeTypeLocalDisk, 0, true},
        {"network", "", eVolumeTypeNetwork, 0, false},
        {"local or optical", "", eVolumeTypeLocalDisk | eVolumeTypeOptical, 0, true},
        {"ref 40", "", 0, 40, true},
        {"ref 41", "", 0, 41, false},
        {"all three", "STICK", eVolumeTypeLocalDisk, 40, true},
        {"one wrong", "STICK", eVolumeTypeNetwork, 40, false},
    };
    std::vector<std::unique_ptr<Recorder>> listeners;
    for (const Case& c : cases) {
        listeners.push_back(std::make_unique<Recorder>(c.id, m_log));
        ASSERT_TRUE(VolumeManager::addListener(listeners.back().get(), c.name, c.type, c.refNum));
    }
    VolumeManager::onVolumeChange(eVolumeAdded, VolumeInfo{"STICK", 0, 40});

    std::vector<Change> expected;
    for (auto c = std::rbegin(cases); c != std::rend(cases); ++c)
        if (c->called)
            expected.push_back({c->id, eVolumeAdded, {"STICK", eVolumeTypeLocalDisk, 40}});
    EXPECT_EQ(m_log, expected);
    for (auto& listener : listeners)
        VolumeManager::removeListener(listener.get());
}

TEST_F(VolumeManagerTest, RemovingAListenerDuringARoundSkipsNoOther)
{
    // Registered a, b, c, d: called d, c, b, a. c acts during its call.
    struct Case {
        const char* what;
        std::vector<int> remove;
        std::vector<std::string> order;
    } cases[] = {
        {"c removes itself", {2}, {"d", "c", "b", "a"}},
        {"c removes d, called before it", {3}, {"d", "c", "b", "a"}},
        {"c removes b, not called yet", {1}, {"d", "c", "a"}},
        {"c removes d and itself", {3, 2}, {"d", "c", "b", "a"}},
    };
    for (const Case& c : cases) {
        m_log.clear();
        std::vector<std::unique_ptr<Recorder>> listeners;
        for (const char* id : {"a", "b", "c", "d"}) {
            listeners.push_back(std::make_unique<Recorder>(id, m_log));
            ASSERT_TRUE(VolumeManager::addListener(listeners.back().get()));
        }
        listeners[2]->m_action = [&] {
            listeners[2]->m_action = nullptr;
            for (int index : c.remove)
                VolumeManager::removeListener(listeners[index].get());
        };
        VolumeManager::onVolumeChange(eVolumeAdded, VolumeInfo{"STICK", 0, 40});
        std::vector<std::string> order;
        for (const Change& change : m_log)
            order.push_back(change.listener);
        EXPECT_EQ(order, c.order) << c.what;
        for (auto& listener : listeners)
            VolumeManager::removeListener(listener.get());
    }
}

TEST_F(VolumeManagerTest, StoppedItListsNothingAndTakesNoListeners)
{
    VolumeManager::deInit();
    Recorder listener("l", m_log);
    EXPECT_FALSE(VolumeManager::isInitialized());
    EXPECT_FALSE(VolumeManager::addListener(&listener));
    EXPECT_FALSE(VolumeManager::rescan());
    VolumeManager::onVolumeChange(eVolumeAdded, VolumeInfo{"STICK", 0, 40});
    EXPECT_TRUE(VolumeManager::getVolumes().empty());
    EXPECT_TRUE(m_log.empty());
    ASSERT_TRUE(VolumeManager::init());
    EXPECT_EQ(VolumeManager::getVolumes().size(), 6u);
}

}  // namespace
