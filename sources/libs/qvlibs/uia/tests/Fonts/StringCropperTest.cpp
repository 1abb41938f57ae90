// The UI layer's cropper fits texts with a font's measures.
#include "FontFixture.h"

#include "UIA/StringCropper.h"

namespace {

using QV::GP::StringCropper;

class FontCropper : public qvtest::DejaVuTest {};

TEST_F(FontCropper, CropsToTheFontsWidths)
{
    const auto font = dejaVu(14);
    std::string const text = "Vardolin Studio firmware version";
    const int full = font->getStringWidth(text.c_str());

    QV::UIA::StringCropper cropper;
    // A new cropper leaves the text as it is, however narrow the width.
    EXPECT_EQ(cropper.cropString(text, *font, 10), text);

    cropper.cropper().setCropType(StringCropper::eCropAppend);
    cropper.cropper().setPad("...");
    EXPECT_EQ(cropper.cropString(text, *font, full), text);
    for (int width : {full - 1, full / 2, 60}) {
        std::string const cropped = cropper.cropString(text, *font, width);
        SCOPED_TRACE(cropped + " in " + std::to_string(width));
        ASSERT_GT(cropped.size(), 3u);
        std::string const kept = cropped.substr(0, cropped.size() - 3);
        EXPECT_EQ(cropped.substr(kept.size()), "...");
        EXPECT_EQ(text.compare(0, kept.size(), kept), 0);
        // It fits, and one more character would not.
        EXPECT_LE(font->getStringWidth(cropped.c_str()), width);
        std::string const longer = text.substr(0, kept.size() + 1) + "...";
        EXPECT_GT(font->getStringWidth(longer.c_str()), width);
    }

    cropper.cropper().setCropType(StringCropper::eCropMiddle);
    std::string const middle = cropper.cropString(text, *font, full / 2);
    EXPECT_NE(middle.find("..."), std::string::npos);
    EXPECT_EQ(middle.compare(0, 3, "Var"), 0);
    EXPECT_EQ(middle.compare(middle.size() - 3, 3, "ion"), 0);
    EXPECT_LE(font->getStringWidth(middle.c_str()), full / 2);
}

}  // namespace
