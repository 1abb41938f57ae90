// Shortens a UTF-8 text to fit a width in pixels. The cropper knows no fonts: the caller hands in
// two measures per call, and the cropper decides what to cut, always between whole characters.
//
//   textWidth(text)              the width of a NUL-terminated text
//   fittingLength(text, width)   the length in bytes of the leading part of the text that fits
//                                `width` (a result inside a character is taken back to its start,
//                                one outside the text to the nearest end)
//
// A byte that does not begin a valid UTF-8 sequence counts as a character of its own.
#pragma once

#include "GP/CharSequence.h"

#include <functional>
#include <map>
#include <string>

namespace QV::GP {

class FileName;

class StringCropper {
public:
    enum eCropType : int {
        eCropNone = 0,                // the text unchanged
        eCropAppend = 1,              // cut at the end, the pad appended
        eCropPrepend = 2,             // cut at the start, the pad in front
        eCropFileName = 3,            // a colon-style path: middle folders replaced by the pad
        eCropFileNameSymbolic = 4,    // the same, a standard folder at the start shown by its alias
        eCropFolderName = 5,          // as 3 for a folder's path (its trailing ':' dropped)
        eCropFolderNameSymbolic = 6,  // as 4 for a folder's path
        eCropShrink = 7,              // abbreviate by dropping characters
        eCropShrink2 = 8,             // abbreviate word by word ("master volume" -> "MasterVolume")
        eCropShrink3 = 9,             // the abbreviation map first, then as 8
        eCropMiddle = 10,             // cut in the middle, the pad in between
        eCropMiddle2 = 11,            // cut in the middle character by character
    };

    using TextWidth = std::function<int(const char*)>;
    using FittingLength = std::function<int(const char*, int)>;

    // The order in which abbreviations are tried: longer texts first, so "Master Volume" is
    // abbreviated before "Volume" can take a piece of it; texts of equal length in byte order.
    struct AbbreviationCompare {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using AbbreviationMap = std::map<std::string, std::string, AbbreviationCompare>;

    // Type eCropNone, no pad, no abbreviations.
    StringCropper() = default;

    void setCropType(int type) { m_cropType = type; }
    int getCropType() const { return m_cropType; }
    // The text that marks a cut (types 1 to 6, 10 and 11).
    void setPad(const std::string& pad) { m_pad = pad; }
    const std::string& getPad() const { return m_pad; }
    // Text -> abbreviation (an empty abbreviation deletes the text), for type 9. Empty texts are
    // ignored.
    AbbreviationMap& abbreviations() { return m_abbreviations; }
    const AbbreviationMap& abbreviations() const { return m_abbreviations; }

    // The text cropped by the cropper's type to fit `maxWidth`; types outside 1-11 leave it as it
    // is. An empty measure function raises std::bad_function_call.
    std::string cropString(const CharSequence<char>& text, int maxWidth, const TextWidth& textWidth,
                           const FittingLength& fittingLength) const;

    // The crops themselves. None fails: a crop that cannot reach the width answers its last try.
    std::string cropStringAppend(const CharSequence<char>& text, const TextWidth& textWidth,
                                 const FittingLength& fittingLength, int maxWidth) const;
    std::string cropStringPrepend(const CharSequence<char>& text, const TextWidth& textWidth,
                                  const FittingLength& fittingLength, int maxWidth) const;
    // Types 3 to 6, by the cropper's type (3 for any other type).
    std::string cropStringFileName(const CharSequence<char>& text, const TextWidth& textWidth,
                                   const FittingLength& fittingLength, int maxWidth) const;
    std::string cropStringShrink(const CharSequence<char>& text, const TextWidth& textWidth,
                                 const FittingLength& fittingLength, int maxWidth) const;
    std::string cropStringShrink2(const CharSequence<char>& text, const TextWidth& textWidth,
                                  const FittingLength& fittingLength, int maxWidth) const;
    std::string cropStringShrink3(const CharSequence<char>& text, const TextWidth& textWidth,
                                  const FittingLength& fittingLength, int maxWidth) const;
    std::string cropStringMiddle(const CharSequence<char>& text, const TextWidth& textWidth,
                                 const FittingLength& fittingLength, int maxWidth) const;
    std::string cropStringMiddle2(const CharSequence<char>& text, const TextWidth& textWidth,
                                  const FittingLength& fittingLength, int maxWidth) const;

    // Fills s_mapSymbolicFolders once per process with the standard folders that exist: the
    // applications, application support (local), shared user data, the user's, documents, music
    // and pictures folders (GP/SystemFolders.h). Types 4 and 6 call it on first use.
    static void initFileNameAliasMap();
    // Maps the folder's colon-style path (without a trailing ':') to "[" + its last element + "]";
    // a volume alone is not added. A path already present gets the new alias.
    static void addAlias(const FileName& folder);

    // Colon-style folder path -> alias. initFileNameAliasMap() fills it once, safely from any
    // thread; otherwise the map is used without a lock, like the croppers (main thread).
    static std::map<std::string, std::string> s_mapSymbolicFolders;

private:
    int m_cropType = eCropNone;
    std::string m_pad;
    AbbreviationMap m_abbreviations;
};

}  // namespace QV::GP
