// The FreeType library instance, shared by the engine and every face made from it, so that a face
// is always done before its library, whichever of them the program lets go of last.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

namespace QV::UIA::DETAIL {

class FTLibrary {
public:
    // Null when FreeType cannot start.
    static std::shared_ptr<FTLibrary> create();
    ~FTLibrary() { FT_Done_FreeType(m_library); }
    FTLibrary(const FTLibrary&) = delete;
    FTLibrary& operator=(const FTLibrary&) = delete;

    FT_Library get() const { return m_library; }

private:
    explicit FTLibrary(FT_Library library) : m_library(library) {}

    FT_Library m_library;
};

inline std::shared_ptr<FTLibrary> FTLibrary::create()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return nullptr;
    return std::shared_ptr<FTLibrary>(new FTLibrary(library));
}

}  // namespace QV::UIA::DETAIL
