// A started toolkit for one test (Lib::init ... Lib::deInit), the diagnostic lines it logged, and
// small picture files to put into skin folders.
#pragma once

#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "PXT/StyleSheetManager.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace QV::PXT::TEST {

class ToolkitFixture : public testing::Test {
protected:
    void SetUp() override
    {
        StyleSheetErrorsLogSource::m_logSinks.push_back([this](std::string line) { m_log.push_back(line); });
        Lib::init();
    }
    void TearDown() override
    {
        Lib::deInit();
        Lib::setSearchSkinDirectory(false);
        StyleSheetErrorsLogSource::m_logSinks.clear();
    }

    static ManagerContainer& container() { return *Lib::getManagerContainer(); }
    static StyleSheet& defaultSheet() { return StyleSheetManager::get()->getDefaultStyleSheet(); }

    // The logged lines that contain `text`.
    std::size_t logged(const std::string& text) const
    {
        std::size_t count = 0;
        for (const std::string& line : m_log)
            count += line.find(text) != std::string::npos ? 1 : 0;
        return count;
    }

    std::vector<std::string> m_log;
};

// A started toolkit whose current folder is a temporary one holding the skin folder "skin", with
// the skin search switched on; the previous current folder comes back at the end.
class SkinFolderFixture : public ToolkitFixture {
protected:
    explicit SkinFolderFixture(const char* prefix) : m_folder(prefix) {}
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        ASSERT_FALSE(m_folder.path().empty());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        std::filesystem::create_directories(skin());
        Lib::setSearchSkinDirectory(true);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        ToolkitFixture::TearDown();
    }

    std::filesystem::path skin() const { return m_folder.path() / "skin"; }

    // Puts a copy of the font file into the skin's fonts as "Sans.ttf".
    void addSkinFont(const std::filesystem::path& file) const
    {
        std::filesystem::create_directories(skin() / "fonts");
        std::filesystem::copy_file(file, skin() / "fonts" / "Sans.ttf");
    }

    QV::TEST::TemporaryFolder m_folder;
    std::filesystem::path m_previous;
};

// An uncompressed 32-bit TGA of width x height pixels, all of one BGRA colour.
inline void writeTGA(const std::filesystem::path& path, int width, int height, std::uint32_t colour = 0xFF336699)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    const unsigned char header[18] = {0,
                                      0,
                                      2,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      static_cast<unsigned char>(width),
                                      static_cast<unsigned char>(width >> 8),
                                      static_cast<unsigned char>(height),
                                      static_cast<unsigned char>(height >> 8),
                                      32,
                                      0x28};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int i = 0; i < width * height; ++i) {
        const unsigned char pixel[4] = {static_cast<unsigned char>(colour), static_cast<unsigned char>(colour >> 8),
                                        static_cast<unsigned char>(colour >> 16),
                                        static_cast<unsigned char>(colour >> 24)};
        out.write(reinterpret_cast<const char*>(pixel), sizeof pixel);
    }
}

}  // namespace QV::PXT::TEST
