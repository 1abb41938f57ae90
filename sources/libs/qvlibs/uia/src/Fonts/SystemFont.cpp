#include "Fonts/SystemFont.h"

#include <fontconfig/fontconfig.h>

#include <fstream>
#include <iterator>

#ifndef QV_INTERFACE_FONT_FAMILY
#define QV_INTERFACE_FONT_FAMILY ""
#endif

namespace QV::UIA::DETAIL {

namespace {

const FcChar8* fcText(const char* text) { return reinterpret_cast<const FcChar8*>(text); }

}  // namespace

std::string findSystemFontFile(const std::string& family)
{
    if (!FcInit())
        return {};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return {};
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, fcText(family.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, fcText("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* fonts = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    std::string file;
    for (int i = 0; fonts && i < fonts->nfont && file.empty(); ++i) {
        const FcPattern* font = fonts->fonts[i];
        FcBool scalable = FcFalse;
        int index = -1;
        FcChar8* path = nullptr;
        if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable &&
            FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch && index == 0 &&
            FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    FcPatternDestroy(pattern);
    return file;
}

const tSystemFont& interfaceFallbackFont()
{
    static const tSystemFont font = [] {
        tSystemFont found;
        found.file = findSystemFontFile(QV_INTERFACE_FONT_FAMILY);
        if (found.file.empty())
            return found;
        std::ifstream in(found.file, std::ios::binary);
        found.bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.good() && !in.eof())
            found.bytes.clear();
        if (found.bytes.empty())
            found.file.clear();
        return found;
    }();
    return font;
}

}  // namespace QV::UIA::DETAIL
