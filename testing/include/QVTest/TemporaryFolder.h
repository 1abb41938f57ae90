// A temporary folder for one test, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace QV::TEST {

class TemporaryFolder {
public:
    // `prefix` names the folder under the system's temporary folder; path() is empty when it
    // could not be made.
    explicit TemporaryFolder(const std::string& prefix = "qv-test")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()))
            m_path = std::filesystem::canonical(pattern);
    }
    ~TemporaryFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace QV::TEST
