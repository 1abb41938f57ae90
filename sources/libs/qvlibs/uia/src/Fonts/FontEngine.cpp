#include "UIA/FontEngine.h"

#include "Fonts/FreeType.h"

namespace QV::UIA {

FontEngine::FontEngine() : m_freeType(std::make_unique<DETAIL::FreeType>()) {}

FontEngine::~FontEngine() = default;

FontEngine* getSystemFontEngine()
{
    static FontEngine s_engine;
    return &s_engine;
}

}  // namespace QV::UIA
