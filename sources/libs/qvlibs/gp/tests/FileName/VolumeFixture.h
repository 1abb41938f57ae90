// A fixture for file-name tests: the standard file types, and a volume table with a temporary folder
// mounted as the volume "VOL" beside the root, restored afterwards.
#pragma once

#include "GP/FileTypeManager.h"
#include "GP/VolumeTable.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace QV::GP::TEST {

class VolumeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        m_volume = m_folder.path() / "VOL";
        std::filesystem::create_directory(m_volume);
        FileTypeManager::init();
        m_previous = DETAIL::VolumeTable::install(
            std::make_shared<DETAIL::FixedVolumeTable>(std::vector<std::string>{m_volume.native()}));
    }

    void TearDown() override
    {
        DETAIL::VolumeTable::install(m_previous);
        FileTypeManager::deInit();
    }

    // Makes a file (with its folders) under the volume and returns its POSIX path.
    std::string makeFile(const std::string& relative)
    {
        const std::filesystem::path path = m_volume / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
        return path.native();
    }

    std::string makeFolder(const std::string& relative)
    {
        const std::filesystem::path path = m_volume / relative;
        std::filesystem::create_directories(path);
        return path.native();
    }

    QV::TEST::TemporaryFolder m_folder{"qv-filename"};
    std::filesystem::path m_volume;  // mounted as "VOL"
    std::shared_ptr<const DETAIL::VolumeTable> m_previous;
};

}  // namespace QV::GP::TEST
