// One TrueType font at one pixel size, rasterised with FreeType into 8-bit coverage glyphs that are
// measured and blended into a Picture.
//
// Text is UTF-8 and is walked code point by code point with the platform core's walk
// (GP/CodePointWalk.h): a byte that does not start a valid sequence is a character of its own, for
// which no font has a glyph, so it is measured and drawn as the font's missing glyph (glyph 0) and
// the walk goes on at the next byte. Measuring walks end at NUL or '\n'; the drawing
// walk ends only at '\n' and at the end of the text. A glyph advances by its rounded advance; no
// kerning is applied.
//
// The interface font, the "TTFd" resource kInterfaceFontId, when the bundle lacks it or its file
// cannot be read or is no font, is drawn with a system font instead: the one fontconfig ranks first for the interface font's family
// (a build setting), which is that family when it is installed, else the default sans. Standard
// error gets one line per resource naming the stand-in. A font that still could not be loaded (no
// system font either, a font file by name that is missing or broken) is still a font: it measures
// every text as 0 pixels wide, 10 pixels high, and draws nothing. The same holds at a backing
// scale for which the engine could make no face.
//
// Measuring and drawing are const; the backing scale and the caches behind it are not part of the
// font's value. Main thread only.
#pragma once

#include "GP/CharSequence.h"
#include "GP/Rect.h"
#include "GP/SharedBytes.h"
#include "UIA/FontEngine.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace QV::GP {
class Stream;
}

namespace QV::UIA {

class Picture;

namespace DETAIL {
class FTRenderCache;
struct FTCharBitmap;
}  // namespace DETAIL

class Font {
public:
    // Style bits of CreateData. Only underline and hinting change rendering; the others tell
    // cache entries apart.
    enum eStyle : uint32_t {
        eStyleBold = 0x1,
        eStyleItalic = 0x2,
        eStyleUnderline = 0x4,
        eStyleFamily = 0x8,  // the name came from the style property font-family
        eStyleHinting = 0x10,
    };

    // One horizontal and one vertical value OR'ed; neither of a pair means centred.
    enum eAlignment : uint32_t {
        eAlignCenter = 0,
        eAlignRight = 0x1,
        eAlignBottom = 0x10,
        eAlignTop = 0x100,
        eAlignLeft = 0x1000,
    };

    // Where getCharPos puts a width that falls inside a glyph.
    enum eRounding : int {
        eRoundNearest = 0,  // the nearer edge of the glyph, a tie going before it
        eRoundBefore = 1,
        eRoundAfter = 2,
    };

    // The recipe of a font and the key of the toolkit's font cache.
    struct CreateData {
        std::string name;                     // the engine key when there is no resource id
        uint32_t resourceId = 0;              // a "TTFd" resource; 0 = none
        int size = 0;                         // pixel size at backing scale 1
        uint32_t style = 0;                   // eStyle bits
        FontEngine::Handle engine = nullptr;  // null means the system engine
    };

    // The bundle's interface font (the toolkit's default font): the resource with a stand-in.
    static constexpr uint32_t kInterfaceFontId = 1;

    // Pixel sizes outside 1..kMaxPixelSize make no face: no user interface text comes near the
    // limit, and a broken size must not ask FreeType for glyphs of gigabytes.
    static constexpr int kMaxPixelSize = 4096;

    // From the "TTFd" resource with data.resourceId (read little-endian); the interface font
    // else from its system stand-in.
    explicit Font(const CreateData& data);
    // From the whole content of the stream.
    Font(GP::Stream& stream, const CreateData& data);
    // Neither opens nor reads anything when the engine already has the file of the key (the
    // resource id, else the name) and that file makes the face.
    ~Font();

    // The loading steps of the two constructors; false, doing nothing, when the font is loaded.
    bool create(const CreateData& data);
    bool create(GP::Stream& stream, const CreateData& data);
    // Registers the bytes with the engine (the first file under a key serves every later font of
    // that key) and makes the face for backing scale 1.
    bool allocateFont(const CreateData& data, GP::tSharedBytes bytes);

    // Makes the scale current; the face for it comes from a file the engine already has.
    void setBackingScaleFactor(float scale) const;
    float getBackingScaleFactor() const { return m_backingScale; }

    // Whether the font has a face for backing scale 1.
    bool isLoaded() const;
    uint32_t getResourceId() const { return m_resourceId; }
    const std::string& getName() const { return m_name; }
    int getSize() const { return m_size; }
    bool isUnderline() const { return m_bUnderline; }
    bool isHinting() const { return m_bHinting; }

    // --- Measures, in pixels of the current backing scale ------------------------------------
    // The line height; 10 without a face.
    int getCharHeight() const;
    // The width of the first line; length is a byte count, -1 up to the NUL.
    int getStringWidth(const char* text, int length = -1) const;
    // The width of the widest '\n'-separated line.
    int getStringWidthMultiline(const std::string& text) const;
    // The byte offset in the first line where `width` falls (0 for a width below 1); the offset of
    // the line's end when the line is narrower.
    int getCharPos(const char* text, int width, eRounding rounding) const;
    // How far right the first line starts in a box `width` wide: 0 for left alignment and for a
    // line that does not fit; width - line for right; (width - line + 1) / 2 for centred.
    int getHorizontalAlignmentOffset(const char* text, eAlignment alignment, int width) const;

    // --- Drawing ------------------------------------------------------------------------------
    // Draws the lines of text into rect (clipped to it and to the picture's clip), aligned in it,
    // lines lineSpacing pixels apart. The picture's clip and origin are kept.
    void renderTextMultiline(Picture& picture, const GP::Rect& rect, const GP::CharSequence<char>& text,
                             uint32_t colour, eAlignment alignment, int lineSpacing) const;
    // Blends one glyph with its origin at (x, baselineY); with underline on, the underline below it.
    void renderChar(Picture& picture, int x, int baselineY, const DETAIL::FTCharBitmap& glyph, uint32_t colour) const;

private:
    // Loads the system font in place of the resource of data, for the reason `problem`.
    bool allocateSystemFont(const CreateData& data, const char* problem);
    // The face of the current backing scale, or null.
    DETAIL::FTRenderCache* currentCache() const;
    // Sum of the advances of [text, end) up to '\n' (and NUL when stopAtNul), stopping once it
    // reaches `limit`.
    int lineWidth(DETAIL::FTRenderCache& cache, const char* text, const char* end, bool stopAtNul, int limit) const;
    int alignmentOffset(DETAIL::FTRenderCache& cache, const char* text, const char* end, bool stopAtNul,
                        eAlignment alignment, int width) const;

    FontEngine::Handle m_engine = nullptr;
    mutable std::map<float, std::shared_ptr<DETAIL::FTRenderCache>> m_renderCaches;
    uint32_t m_resourceId = 0;
    std::string m_name;
    std::string m_systemFile;  // the system font standing in for the resource; empty otherwise
    int m_size = 0;
    mutable float m_backingScale = 1.0f;
    bool m_bUnderline = false;
    bool m_bHinting = false;
};

// The order of the toolkit's font cache: name, resource id, size, style, engine.
bool operator<(const Font::CreateData& a, const Font::CreateData& b);
bool operator==(const Font::CreateData& a, const Font::CreateData& b);
inline bool operator!=(const Font::CreateData& a, const Font::CreateData& b) { return !(a == b); }

}  // namespace QV::UIA
