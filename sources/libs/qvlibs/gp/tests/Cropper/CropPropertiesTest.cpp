// What every crop promises, for every type, text, pad and width: whole characters only, and a
// result that fits whenever the space is not negative.
#include "GP/StringCropper.h"
#include "GP/StringUtil.h"

#include "Measures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using QV::GP::StringCropper;

bool isValidUtf8(const std::string& text) { return QV::GP::StringUtil::fromUTF_filter(text) == text; }

const std::vector<std::string> kTexts = {
    "Master volume of the studio monitor",
    "Disk:Users:me:Projects:2024:plan.txt",
    "\xC3\x84rger \xC3\xBC"
    "ber gro\xC3\x9F"
    "e Stra\xC3\x9F"
    "en",  // Ärger über große Straßen
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88",  // 日本語のテキスト
    "Disk:F\xC3\xB6rdermittel:\xE6\x97\xA5\xE6\x9C\xAC:\xF0\x9F\x8E\xB9 piano.txt",  // 4-byte emoji too
    "x",
    "",
};

const std::vector<std::string> kPads = {"", "...", "\xE2\x80\xA6", "\xE2\x80\xA6\xE2\x80\xA6\xE2\x80\xA6"};

TEST(CropProperties, EveryCropKeepsWholeCharactersAndFits)
{
    for (const QV::TEST::tMeasure& measure : {QV::TEST::perCharacter(), QV::TEST::perByte()}) {
        for (int type = 1; type <= 11; ++type) {
            for (const std::string& pad : kPads) {
                StringCropper cropper;
                cropper.setCropType(type);
                cropper.setPad(pad);
                cropper.abbreviations()["volume"] = "vol";
                cropper.abbreviations()["\xC3\xBC"
                                        "ber"] = "\xC3\xBC";
                for (const std::string& text : kTexts) {
                    const int width = measure.width(text.c_str());
                    for (int maxWidth = -2; maxWidth <= width + 2; ++maxWidth) {
                        const std::string result = cropper.cropString(text, maxWidth, measure.width, measure.fitting);
                        const std::string where = std::string(measure.name) + ", type " + std::to_string(type) +
                                                  ", pad '" + pad + "', '" + text + "' in " + std::to_string(maxWidth);
                        ASSERT_TRUE(isValidUtf8(result)) << where << ": '" << result << "'";
                        if (maxWidth >= 0) {
                            ASSERT_LE(measure.width(result.c_str()), maxWidth) << where << ": '" << result << "'";
                        }
                        if (width <= maxWidth) {
                            ASSERT_EQ(result, text) << where;
                        }
                    }
                }
            }
        }
    }
}

// Malformed UTF-8 cannot be walked as characters; each bad byte counts as one, and every crop
// ends normally with a result that fits.
TEST(CropProperties, MalformedTextIsCroppedToo)
{
    const std::vector<std::string> texts = {"ab\xFF\xC3"
                                            "cd\xE2\x82",
                                            "\x80\x80\x80:\xC3:\xF0\x9F\x8E:x"};
    const QV::TEST::tMeasure measure = QV::TEST::perByte();
    for (int type = 1; type <= 11; ++type) {
        StringCropper cropper;
        cropper.setCropType(type);
        cropper.setPad("..");
        for (const std::string& text : texts) {
            for (int maxWidth = 0; maxWidth <= static_cast<int>(text.size()); ++maxWidth) {
                const std::string result = cropper.cropString(text, maxWidth, measure.width, measure.fitting);
                EXPECT_LE(static_cast<int>(result.size()), maxWidth) << "type " << type << " in " << maxWidth;
            }
        }
    }
}

}  // namespace
