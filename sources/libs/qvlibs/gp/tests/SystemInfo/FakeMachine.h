// A machine laid out in a temporary folder for the system information's tests: /proc/cpuinfo, the
// CPU topology in /sys, os-release and machine-info, with uname and the environment answered from
// fields. install() makes it SystemInfo2's sources until the object goes.
#pragma once

#include "GP/SystemInfo2.h"

#include <QVTest/TemporaryFolder.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace QV::TEST {

// Processors numbered as Linux numbers them: all cores first, then their second threads, so
// processor p is core p % cores, thread p / cores.
struct tTopology {
    unsigned packages = 1;
    unsigned coresPerPackage = 1;
    unsigned threadsPerCore = 1;

    unsigned cores() const { return packages * coresPerPackage; }
    unsigned processors() const { return cores() * threadsPerCore; }
};

class FakeMachine {
public:
    FakeMachine() : m_folder("qv-sysinfo") {}
    ~FakeMachine()
    {
        if (m_previous)
            QV::GP::SystemInfo2::setSources(std::move(*m_previous));
    }
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    std::string root() const { return m_folder.path().string(); }

    // Writes `text` into the file `path` ("/proc/cpuinfo") below the root, making its folders.
    void write(const std::string& path, const std::string& text) const
    {
        const std::filesystem::path file = m_folder.path() / path.substr(1);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // /proc/cpuinfo for the topology, as the kernel writes it on x86. `reportedCoresPerPackage`
    // is the "cpu cores" field (a virtual machine may report the host chip's count); 0 leaves the
    // field out, as do other architectures.
    void writeCpuInfo(const tTopology& topology, unsigned reportedCoresPerPackage, const std::string& modelName,
                      const std::string& megahertz = "2596.138") const
    {
        std::string text;
        for (unsigned p = 0; p < topology.processors(); ++p) {
            const unsigned core = p % topology.cores();
            text += "processor\t: " + std::to_string(p) + "\n";
            text += "vendor_id\t: GenuineIntel\n";
            text += "model name\t: " + modelName + "\n";
            text += "cpu MHz\t\t: " + megahertz + "\n";
            text += "physical id\t: " + std::to_string(core / topology.coresPerPackage) + "\n";
            text += "siblings\t: " + std::to_string(topology.coresPerPackage * topology.threadsPerCore) + "\n";
            text += "core id\t\t: " + std::to_string(core % topology.coresPerPackage) + "\n";
            if (reportedCoresPerPackage != 0)
                text += "cpu cores\t: " + std::to_string(reportedCoresPerPackage) + "\n";
            text += "flags\t\t: fpu vme de pse\n\n";
        }
        write("/proc/cpuinfo", text);
    }

    // /sys/devices/system/cpu: every processor online, each with the list of its core's
    // processors in the file `listName` (older kernels have only thread_siblings_list).
    void writeSysTopology(const tTopology& topology, const std::string& listName = "core_cpus_list") const
    {
        write("/sys/devices/system/cpu/online", "0-" + std::to_string(topology.processors() - 1) + "\n");
        for (unsigned p = 0; p < topology.processors(); ++p) {
            const unsigned core = p % topology.cores();
            std::string siblings;
            for (unsigned thread = 0; thread < topology.threadsPerCore; ++thread)
                siblings += (thread ? "," : "") + std::to_string(core + thread * topology.cores());
            write("/sys/devices/system/cpu/cpu" + std::to_string(p) + "/topology/" + listName, siblings + "\n");
        }
    }

    void install()
    {
        QV::GP::SystemInfo2::tSources sources;
        sources.root = root();
        sources.uname = [this](QV::GP::SystemInfo2::tUname& answer) {
            if (!m_uname)
                return false;
            answer = *m_uname;
            return true;
        };
        sources.getenv = [this](const char* name) -> const char* {
            const auto found = m_environment.find(name);
            return found == m_environment.end() ? nullptr : found->second.c_str();
        };
        QV::GP::SystemInfo2::tSources previous = QV::GP::SystemInfo2::setSources(std::move(sources));
        if (!m_previous)
            m_previous = std::move(previous);
    }

    // What uname answers (nothing: it fails) and the environment variables that are set.
    std::optional<QV::GP::SystemInfo2::tUname> m_uname =
        QV::GP::SystemInfo2::tUname{"host", "6.1.0-13-amd64", "x86_64"};
    std::map<std::string, std::string> m_environment;

private:
    TemporaryFolder m_folder;
    std::optional<QV::GP::SystemInfo2::tSources> m_previous;
};

}  // namespace QV::TEST
