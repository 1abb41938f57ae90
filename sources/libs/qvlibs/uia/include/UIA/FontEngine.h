// The font engine: keeps every font file it is given once, under its key (a resource id or a
// name), and shares the rasterised faces between the fonts of one file, pixel size and hinting.
// Fonts find their engine through the handle carried in Font::CreateData.
//
// Main thread only; no locking.
#pragma once

#include <memory>

namespace QV::UIA {

namespace DETAIL {
class FreeType;
}

class FontEngine {
public:
    using Handle = DETAIL::FreeType*;

    FontEngine();
    ~FontEngine();
    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

    // The engine state that Font::CreateData carries.
    Handle handle() const { return m_freeType.get(); }

private:
    std::unique_ptr<DETAIL::FreeType> m_freeType;
};

// The process-wide engine, made on first call and destroyed at exit.
FontEngine* getSystemFontEngine();

}  // namespace QV::UIA
