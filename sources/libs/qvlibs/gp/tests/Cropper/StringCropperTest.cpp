#include "GP/StringCropper.h"

#include "Measures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using QV::GP::StringCropper;
using QV::TEST::perByte;
using QV::TEST::perCharacter;
using QV::TEST::tMeasure;

const char* const kEllipsis = "\xE2\x80\xA6";                             // …
const char* const kUmlauts = "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6";  // ÄÖÜäö

struct tCrop {
    int maxWidth;
    const char* text;
    const char* expected;
};

std::string crop(int type, const std::string& pad, const std::string& text, int maxWidth,
                 const tMeasure& measure = perCharacter())
{
    StringCropper cropper;
    cropper.setCropType(type);
    cropper.setPad(pad);
    return cropper.cropString(text, maxWidth, measure.width, measure.fitting);
}

void expectCrops(int type, const std::string& pad, const std::vector<tCrop>& cases,
                 const tMeasure& measure = perCharacter())
{
    for (const tCrop& c : cases)
        EXPECT_EQ(crop(type, pad, c.text, c.maxWidth, measure), c.expected)
            << "type " << type << ", pad '" << pad << "', " << c.text << " in " << c.maxWidth << " (" << measure.name
            << ")";
}

TEST(StringCropper, ANewCropperLeavesTheTextAlone)
{
    StringCropper cropper;
    EXPECT_EQ(cropper.getCropType(), StringCropper::eCropNone);
    EXPECT_EQ(cropper.getPad(), "");
    EXPECT_TRUE(cropper.abbreviations().empty());
    for (const int type : {0, 12, -1, 1000})
        EXPECT_EQ(crop(type, "...", "far too wide for the space", 3), "far too wide for the space") << type;
}

TEST(StringCropper, EmptyMeasuresRaise)
{
    StringCropper cropper;
    cropper.setCropType(StringCropper::eCropAppend);
    EXPECT_THROW(cropper.cropString("text", 2, nullptr, perCharacter().fitting), std::bad_function_call);
}

TEST(StringCropper, AppendCutsAtTheEnd)
{
    expectCrops(StringCropper::eCropAppend, "...",
                {
                    {20, "Hello world", "Hello world"},
                    {11, "Hello world", "Hello world"},
                    {8, "Hello world", "Hello..."},
                    {3, "Hello world", "..."},  // nothing of the text fits beside the pad
                    {0, "Hello world", ""},     // the pad is wider than the space: a plain prefix
                    {2, "Hello world", "He"},
                });
    expectCrops(StringCropper::eCropAppend, "", {{5, "Hello world", "Hello"}});
    // Multi-byte characters measured by their bytes: the estimates land inside characters.
    expectCrops(StringCropper::eCropAppend, kEllipsis,
                {
                    {10, kUmlauts, kUmlauts},
                    {8, kUmlauts, "\xC3\x84\xC3\x96\xE2\x80\xA6"},  // ÄÖ…
                    {7, kUmlauts, "\xC3\x84\xC3\x96\xE2\x80\xA6"},
                    {6, kUmlauts, "\xC3\x84\xE2\x80\xA6"},
                    {2, kUmlauts, "\xC3\x84"},  // pad too wide
                    {1, kUmlauts, ""},
                },
                perByte());
}

TEST(StringCropper, AppendGivesBackWhatAGenerousEstimateTook)
{
    // This fitting length answers two characters more than fit.
    tMeasure generous = perCharacter();
    generous.fitting = [](const char* text, int width) { return perCharacter().fitting(text, width + 2); };
    expectCrops(StringCropper::eCropAppend, "...", {{8, "Hello world", "Hello..."}, {4, "Hello world", "H..."}},
                generous);
}

TEST(StringCropper, PrependCutsAtTheStart)
{
    expectCrops(StringCropper::eCropPrepend, "...",
                {
                    {11, "Hello world", "Hello world"},
                    {8, "Hello world", "...world"},
                    {3, "Hello world", "..."},
                    {2, "Hello world", "ld"},  // the pad is wider than the space
                });
    expectCrops(StringCropper::eCropPrepend, "", {{5, "Hello world", "world"}, {0, "Hello world", ""}});
    // The cut estimate lands inside "ä": the rest is whole characters and fits, also without a pad.
    expectCrops(StringCropper::eCropPrepend, "",
                {
                    {5, "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\xB6\xC3\xBC"},
                    {6, "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\xA4\xC3\xB6\xC3\xBC"},
                },
                perByte());
    expectCrops(StringCropper::eCropPrepend, kEllipsis,
                {{8, "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC", "\xE2\x80\xA6\xC3\xB6\xC3\xBC"}}, perByte());
}

TEST(StringCropper, MiddleKeepsBothEnds)
{
    expectCrops(StringCropper::eCropMiddle, "...",
                {
                    {10, "abcdefghij", "abcdefghij"},
                    {7, "abcdefghij", "ab...ij"},
                    {8, "abcdefghij", "ab...hij"},
                    {3, "abcdefghij", "..."},
                    {2, "abcdefghij", "ab"},  // the pad is wider: cut at the end without it
                });
    expectCrops(StringCropper::eCropMiddle, kEllipsis,
                {{8, "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\x84\xE2\x80\xA6\xC3\xBC"}}, perByte());
}

TEST(StringCropper, MiddleByCharactersShortensThePadBeforeTheText)
{
    expectCrops(StringCropper::eCropMiddle2, "...",
                {
                    {16, "abcdefghijklmnop", "abcdefghijklmnop"},
                    {10, "abcdefghijklmnop", "abc...mnop"},
                    // Six characters of text left beside a three-character pad: the pad gives way.
                    {6, "abcdefghijklmnop", "a..nop"},
                    {1, "abcdefghijklmnop", "a"},
                    {-4, "abcdefghijklmnop", ""},
                });
    // Blanks at the cut are dropped.
    expectCrops(StringCropper::eCropMiddle2, kEllipsis, {{12, "hello big wide world", "hello\xE2\x80\xA6world"}});
}

TEST(StringCropper, ShrinkDropsCharactersStepByStep)
{
    // Blanks, then other than letters and digits, then doubled letters, then the pairs ei, ie, ou
    // and ue, then vowels after the first character, then a plain cut.
    expectCrops(StringCropper::eCropShrink, "...",
                {
                    {16, "Weiss-bier queue", "Weiss-bier queue"},
                    {15, "Weiss-bier queue", "Weiss-bierqueue"},
                    {14, "Weiss-bier queue", "Weissbierqueue"},
                    {13, "Weiss-bier queue", "Weisbierqueue"},
                    {12, "Weiss-bier queue", "Wsbierqueue"},  // ei
                    {10, "Weiss-bier queue", "Wsbrqueue"},    // ie
                    {8, "Weiss-bier queue", "Wsbrq"},         // ou: none; ue twice
                    {3, "Weiss-bier queue", "Wsb"},
                    {0, "Weiss-bier queue", ""},
                    {8, "Bookkeeping", "Bokeping"},
                    {7, "Bookkeeping", "Bokping"},  // no pairs: the vowels e, then i, then o
                    {6, "Bookkeeping", "Bokpng"},
                    {5, "Bookkeeping", "Bkpng"},
                    {4, "Bookkeeping", "Bkpn"},
                    {5,
                     "Au\xC3\x9F"
                     "enseite",
                     "Anste"},  // ß is no ASCII letter: it goes first
                });
}

TEST(StringCropper, ShrinkWordByWord)
{
    expectCrops(StringCropper::eCropShrink2, "",
                {
                    {13, "master volume", "master volume"},
                    {12, "master volume", "MasterVolume"},
                    {11, "master volume", "MstrVlm"},
                    {6, "master volume", "MstVlm"},
                    {4, "master volume", "MsVl"},
                    {3, "master volume", "MsV"},
                    {8, "track 12 volume", "Trc12Vlm"},  // words with digits keep their length
                    {5, "aaa  bbbb", "AaBb"},            // runs collapse after the capital
                    {-3, "master volume", ""},
                });
}

TEST(StringCropper, AbbreviationsComeFirst)
{
    StringCropper cropper;
    cropper.setCropType(StringCropper::eCropShrink3);
    cropper.abbreviations()["Volume"] = "Vol";
    cropper.abbreviations()["Master Volume"] = "MV";  // longer: tried before "Volume"
    cropper.abbreviations()[""] = "x";                // ignored: it would match everywhere
    cropper.abbreviations()["\xC3\xBC"
                            "ber"] = "U.";  // über
    cropper.abbreviations()["Ctrl-"] = "";
    const tMeasure m = perCharacter();
    auto run = [&](const char* text, int maxWidth) { return cropper.cropString(text, maxWidth, m.width, m.fitting); };
    EXPECT_EQ(run("master volume control", 21), "master volume control");
    EXPECT_EQ(run("master volume control", 15), "MV control");  // case ignored
    EXPECT_EQ(run("volume, volume control", 17), "Vol, Vol control");
    EXPECT_EQ(run("Ctrl-volume", 6), "Vol");              // an empty abbreviation deletes
    EXPECT_EQ(run("master volume control", 5), "MVCnt");  // then word by word
    EXPECT_EQ(run("\xC3\x9C"
                  "BER alles",
                  8),
              "U. alles");
}

TEST(StringCropper, AbbreviationOrderIsLongestFirst)
{
    const StringCropper::AbbreviationCompare less;
    EXPECT_TRUE(less("Master Volume", "Volume"));
    EXPECT_FALSE(less("Volume", "Master Volume"));
    EXPECT_TRUE(less("abc", "abd"));
    EXPECT_FALSE(less("abc", "abc"));
}

}  // namespace
