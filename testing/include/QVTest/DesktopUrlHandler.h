// A desktop handler of the URL scheme "qvtest" for tests that open web addresses: a desktop entry
// running a script that writes down each address it is given, in XDG folders of the test's own.
// GLib caches the XDG folders' names when it first reads them, so a test makes its handler before
// main (a global), and reads what was opened with opened().
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>

namespace QV::TEST {

class DesktopUrlHandler {
public:
    DesktopUrlHandler()
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "qv-desktop-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        m_home = pattern;
        fs::create_directories(m_home / "data/applications");
        fs::create_directories(m_home / "config");
        const fs::path script = m_home / "handler.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << (m_home / "opened").string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        std::ofstream(m_home / "data/applications/qvtest-handler.desktop")
            << "[Desktop Entry]\nType=Application\nName=Test handler\nExec=" << script.string()
            << " %u\nMimeType=x-scheme-handler/qvtest;\n";
        std::ofstream(m_home / "config/mimeapps.list")
            << "[Default Applications]\nx-scheme-handler/qvtest=qvtest-handler.desktop\n";
        setenv("XDG_DATA_HOME", (m_home / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_home / "config").c_str(), 1);
        setenv("XDG_DATA_DIRS", (m_home / "none").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (m_home / "none").c_str(), 1);
    }
    ~DesktopUrlHandler()
    {
        std::error_code error;
        if (!m_home.empty())
            std::filesystem::remove_all(m_home, error);
    }
    DesktopUrlHandler(const DesktopUrlHandler&) = delete;
    DesktopUrlHandler& operator=(const DesktopUrlHandler&) = delete;

    // Every address the handler wrote, a line each, once a whole line is there; empty after five
    // seconds without one.
    std::string opened() const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream file(m_home / "opened");
            std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            if (!all.empty() && all.back() == '\n')
                return all;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

private:
    std::filesystem::path m_home;
};

}  // namespace QV::TEST
