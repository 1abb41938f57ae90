#include "FakeMachine.h"

#include "SystemInfo/CPUList.h"
#include "SystemInfo/CpuInfoFile.h"
#include "SystemInfo/ProcessorCounts.h"
#include "SystemInfo/ProcessorSources.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace {

using namespace QV::GP::DETAIL;
using QV::TEST::FakeMachine;
using QV::TEST::tTopology;

TEST(CPUList, Parsing)
{
    using tSet = std::set<unsigned>;
    struct tCase {
        const char* text;
        std::optional<tSet> numbers;
    } const cases[] = {
        {"0-7\n", tSet{0, 1, 2, 3, 4, 5, 6, 7}},
        {"0,2-3,6", tSet{0, 2, 3, 6}},
        {"5", tSet{5}},
        {"1-1", tSet{1}},
        {"", tSet{}},
        {"\n", tSet{}},
        {"3-1", std::nullopt},
        {"0-", std::nullopt},
        {"-3", std::nullopt},
        {"a", std::nullopt},
        {"0,,1", std::nullopt},
        {"0-3,", std::nullopt},
        {"0 - 3", std::nullopt},
        {"0-999999", std::nullopt},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(parseCPUList(c.text), c.numbers) << '"' << c.text << '"';
}

TEST(CpuInfo, BlocksWithAProcessorNumber)
{
    const std::vector<tCpuInfoEntry> entries =
        parseCpuInfo("processor\t: 0\nmodel name\t: First : with a colon\ncpu cores\t: 2\n\n"
                     "processor\t: 1\nmodel name\t: Second\n"
                     "processor\t: 2\nmodel name\t: Third, no empty line before it\n\n\n"
                     "Hardware\t: BCM2835\nRevision\t: c03111\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(fieldOf(entries[0], "model name"), "First : with a colon");
    EXPECT_EQ(fieldOf(entries[0], "cpu cores"), "2");
    EXPECT_EQ(fieldOf(entries[1], "model name"), "Second");
    EXPECT_EQ(fieldOf(entries[1], "cpu cores"), "");
    EXPECT_EQ(fieldOf(entries[2], "processor"), "2");
}

// What the kernel tells through its two views, for machines laid out in a folder.
TEST(ProcessorSources, Machines)
{
    struct tCase {
        const char* machine;
        std::optional<tTopology> cpuInfo;
        unsigned reportedCoresPerPackage;  // "cpu cores"; 0: no such field
        std::optional<tTopology> sys;
        const char* coreListName;
        tRawProcessorFacts raw;  // brand and speed are checked elsewhere
        tHostProcessorCounts host;
    } const cases[] = {
        {"one package, four cores with two threads",
         tTopology{1, 4, 2},
         4,
         tTopology{1, 4, 2},
         "core_cpus_list",
         {8, 4, 4, "", 0},
         {8, 4}},
        {"two packages of two cores",
         tTopology{2, 2, 1},
         2,
         tTopology{2, 2, 1},
         "core_cpus_list",
         {4, 4, 2, "", 0},
         {4, 4}},
        {"an older kernel",
         tTopology{1, 2, 2},
         2,
         tTopology{1, 2, 2},
         "thread_siblings_list",
         {4, 2, 2, "", 0},
         {4, 2}},
        {"a guest told the host chip's cores per package",
         tTopology{1, 2, 1},
         8,
         tTopology{1, 2, 1},
         "core_cpus_list",
         {2, 2, 8, "", 0},
         {2, 2}},
        {"a guest without topology in /sys", tTopology{1, 4, 1}, 4, std::nullopt, "", {4, 0, 4, "", 0}, {4, 4}},
        {"no core ids in /proc/cpuinfo",
         std::nullopt,
         0,
         tTopology{1, 4, 2},
         "core_cpus_list",
         {8, 4, 0, "", 0},
         {8, 8}},
        {"nothing at all", std::nullopt, 0, std::nullopt, "", {0, 0, 0, "", 0}, {1, 1}},
    };
    for (const tCase& c : cases) {
        FakeMachine machine;
        if (c.cpuInfo) {
            machine.writeCpuInfo(*c.cpuInfo, c.reportedCoresPerPackage, "Model");
        } else if (c.sys) {
            // Another architecture: processors listed without ids or core counts.
            std::string text;
            for (unsigned p = 0; p < c.sys->processors(); ++p)
                text += "processor\t: " + std::to_string(p) + "\nBogoMIPS\t: 50.00\n\n";
            machine.write("/proc/cpuinfo", text);
        }
        if (c.sys)
            machine.writeSysTopology(*c.sys, c.coreListName);
        else if (c.cpuInfo)
            machine.write("/sys/devices/system/cpu/online", "0-" + std::to_string(c.cpuInfo->processors() - 1) + "\n");

        const tRawProcessorFacts raw = readRawProcessorFacts(machine.root());
        EXPECT_EQ(raw.logical, c.raw.logical) << c.machine;
        EXPECT_EQ(raw.physical, c.raw.physical) << c.machine;
        EXPECT_EQ(raw.coresPerPackage, c.raw.coresPerPackage) << c.machine;
        const tHostProcessorCounts host = readHostProcessorCounts(machine.root());
        EXPECT_EQ(host.logical, c.host.logical) << c.machine;
        EXPECT_EQ(host.physical, c.host.physical) << c.machine;
    }
}

TEST(ProcessorSources, OnlyOnlineProcessorsCount)
{
    FakeMachine machine;
    machine.writeSysTopology(tTopology{1, 4, 1});
    machine.write("/sys/devices/system/cpu/online", "0,2-3\n");
    EXPECT_EQ(readRawProcessorFacts(machine.root()).logical, 3);
    EXPECT_EQ(readRawProcessorFacts(machine.root()).physical, 3);
}

TEST(ProcessorSources, OneProcessorWithoutTopologyMakesTheCoreCountUnknown)
{
    FakeMachine machine;
    machine.writeSysTopology(tTopology{1, 4, 1});
    machine.write("/sys/devices/system/cpu/online", "0-4\n");  // cpu4 has no topology folder
    EXPECT_EQ(readRawProcessorFacts(machine.root()).physical, 0);
    machine.write("/sys/devices/system/cpu/cpu4/topology/core_cpus_list", "garbage\n");
    EXPECT_EQ(readRawProcessorFacts(machine.root()).physical, 0);
    machine.write("/sys/devices/system/cpu/cpu4/topology/core_cpus_list", "0\n");  // a core it is not in
    EXPECT_EQ(readRawProcessorFacts(machine.root()).physical, 0);
}

TEST(ProcessorSources, BrandAndSpeed)
{
    FakeMachine machine;
    machine.writeCpuInfo(tTopology{1, 2, 1}, 2, "  Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz", "2394.454");
    machine.writeSysTopology(tTopology{1, 2, 1});
    tRawProcessorFacts facts = readRawProcessorFacts(machine.root());
    EXPECT_EQ(facts.brand, "Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz");
    EXPECT_EQ(facts.speedMHz, 2394) << "the measured clock without cpufreq";

    machine.write("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "3300000\n");
    EXPECT_EQ(readRawProcessorFacts(machine.root()).speedMHz, 3300) << "the highest clock, in kHz";

    machine.write("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "<unsupported>\n");
    machine.write("/proc/cpuinfo", "processor\t: 0\ncpu MHz\t\t: unknown\n");
    facts = readRawProcessorFacts(machine.root());
    EXPECT_EQ(facts.speedMHz, 0);
    EXPECT_EQ(facts.brand, "");
}

// The counts reported from the raw facts (logical, physical, packs), the host's counts and the
// processor's own cores per package.
TEST(ProcessorCounts, Reconciled)
{
    struct tCase {
        const char* machine;
        int rawLogical, rawPhysical, rawPacks;
        tHostProcessorCounts host;
        unsigned cpuidCoresPerPackage;
        tProcessorCounts counts;  // units, cores, packages, cores per package, units per core, raw
    } const cases[] = {
        {"consistent", 8, 4, 1, {99, 99}, 4, {8, 4, 1, 4, 2, true}},
        {"two packages", 4, 4, 2, {99, 99}, 2, {4, 4, 2, 2, 1, true}},
        {"odd split", 6, 6, 4, {99, 99}, 2, {6, 6, 4, 1, 1, true}},
        // A guest with two cores told eight cores per package: packs came out 0.
        {"no packs", 2, 2, 0, {2, 2}, 8, {2, 2, 1, 2, 1, false}},
        {"no cores", 4, 0, 0, {4, 4}, 4, {4, 4, 1, 4, 1, false}},
        {"no cores, no per-package count", 4, 0, 1, {4, 2}, 2, {4, 2, 1, 2, 2, false}},
        {"fewer logical than physical", 2, 4, 1, {4, 4}, 4, {4, 4, 1, 4, 1, false}},
        {"fewer cores than packs", 2, 2, 4, {2, 1}, 1, {2, 1, 1, 1, 2, false}},
        {"negative", -1, -1, -1, {2, 2}, 1, {2, 2, 2, 1, 1, false}},
        {"host split by the processor", 0, 0, 1, {16, 8}, 4, {16, 8, 2, 4, 2, false}},
        {"host without counts", 0, 0, 0, {0, 0}, 0, {1, 1, 1, 1, 1, false}},
        {"host with more cores than units", 0, 0, 0, {2, 4}, 1, {2, 2, 2, 1, 1, false}},
    };
    for (const tCase& c : cases) {
        const tProcessorCounts counts =
            reconcileProcessorCounts(c.rawLogical, c.rawPhysical, c.rawPacks, c.host, c.cpuidCoresPerPackage);
        EXPECT_EQ(counts.units, c.counts.units) << c.machine;
        EXPECT_EQ(counts.cores, c.counts.cores) << c.machine;
        EXPECT_EQ(counts.packages, c.counts.packages) << c.machine;
        EXPECT_EQ(counts.coresPerPackage, c.counts.coresPerPackage) << c.machine;
        EXPECT_EQ(counts.unitsPerCore, c.counts.unitsPerCore) << c.machine;
        EXPECT_EQ(counts.fromRawFacts, c.counts.fromRawFacts) << c.machine;
    }
}

}  // namespace
