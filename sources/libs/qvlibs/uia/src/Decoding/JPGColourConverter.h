// Turns the JPEG reader's decoded scanlines into picture pixels: through an embedded ICC profile
// to sRGB with Little CMS 2 (perceptual intent), or, without a profile, by repacking grey and RGB
// samples and converting CMYK by the plain ink formula.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace QV::UIA::DETAIL {

class JPGColourConverter {
public:
    // The samples of one decoded pixel.
    enum class eSamples {
        eGrey,          // 1 sample
        eRGB,           // 3 samples: red, green, blue
        eCMYK,          // 4 samples: the amounts of cyan, magenta, yellow and black ink
        eCMYKInverted,  // 4 samples, each 255 minus the ink (files with an Adobe marker)
    };

    explicit JPGColourConverter(eSamples samples);
    ~JPGColourConverter();
    JPGColourConverter(const JPGColourConverter&) = delete;
    JPGColourConverter& operator=(const JPGColourConverter&) = delete;

    static std::size_t samplesPerPixel(eSamples samples);

    // Converts through the ICC profile (RGB or CMYK samples only) from now on. False, nothing
    // changed, when the profile cannot be opened, describes another colour space than the samples,
    // or the transform to sRGB cannot be made.
    bool useProfile(const std::vector<uint8_t>& profile);
    bool hasProfile() const { return m_transform != nullptr; }

    // count pixels of samples into opaque B, G, R, A words.
    void convert(const uint8_t* samples, uint32_t* pixels, std::size_t count) const;

private:
    struct TransformDeleter {
        void operator()(void* transform) const;
    };

    eSamples m_samples;
    std::unique_ptr<void, TransformDeleter> m_transform;
};

}  // namespace QV::UIA::DETAIL
