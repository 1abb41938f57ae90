#include "Decoding/JPGColourConverter.h"

#include "Decoding/LittleCMS.h"

#include <algorithm>

namespace QV::UIA::DETAIL {

namespace {

struct ProfileCloser {
    void operator()(void* profile) const { littleCMS()->closeProfile(profile); }
};
using ProfileHandle = std::unique_ptr<void, ProfileCloser>;

uint32_t opaque(uint32_t red, uint32_t green, uint32_t blue) { return 0xFF000000u | red << 16 | green << 8 | blue; }

// a * b / 255, rounded.
uint32_t scaled(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

}  // namespace

void JPGColourConverter::TransformDeleter::operator()(void* transform) const
{
    littleCMS()->deleteTransform(transform);
}

JPGColourConverter::JPGColourConverter(eSamples samples) : m_samples(samples) {}

JPGColourConverter::~JPGColourConverter() = default;

std::size_t JPGColourConverter::samplesPerPixel(eSamples samples)
{
    switch (samples) {
    case eSamples::eGrey: return 1;
    case eSamples::eRGB: return 3;
    case eSamples::eCMYK:
    case eSamples::eCMYKInverted: return 4;
    }
    return 0;
}

bool JPGColourConverter::useProfile(const std::vector<uint8_t>& profile)
{
    cmsColorSpaceSignature colourSpace;
    cmsUInt32Number inputFormat;
    switch (m_samples) {
    case eSamples::eRGB:
        colourSpace = cmsSigRgbData;
        inputFormat = TYPE_RGB_8;
        break;
    case eSamples::eCMYK:
        colourSpace = cmsSigCmykData;
        inputFormat = TYPE_CMYK_8;
        break;
    case eSamples::eCMYKInverted:
        colourSpace = cmsSigCmykData;
        inputFormat = TYPE_CMYK_8_REV;
        break;
    default: return false;
    }
    const tLittleCMS* cms = littleCMS();
    if (profile.empty() || profile.size() > UINT32_MAX || !cms)
        return false;
    const ProfileHandle embedded(cms->openProfileFromMem(profile.data(), cmsUInt32Number(profile.size())));
    if (!embedded || cms->getColorSpace(embedded.get()) != colourSpace)
        return false;
    const ProfileHandle sRGB(cms->createSRGBProfile());
    if (!sRGB)
        return false;
    // The transform keeps what it needs of the profiles; they are closed here.
    void* transform = cms->createTransform(embedded.get(), inputFormat, sRGB.get(), TYPE_BGRA_8, INTENT_PERCEPTUAL, 0);
    if (transform == nullptr)
        return false;
    m_transform.reset(transform);
    return true;
}

void JPGColourConverter::convert(const uint8_t* samples, uint32_t* pixels, std::size_t count) const
{
    if (m_transform) {
        // The transform writes no alpha bytes.
        std::fill_n(pixels, count, 0xFFFFFFFFu);
        littleCMS()->doTransform(m_transform.get(), samples, pixels, cmsUInt32Number(count));
        return;
    }
    switch (m_samples) {
    case eSamples::eGrey:
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] = opaque(samples[i], samples[i], samples[i]);
        break;
    case eSamples::eRGB:
        for (std::size_t i = 0; i < count; ++i, samples += 3)
            pixels[i] = opaque(samples[0], samples[1], samples[2]);
        break;
    case eSamples::eCMYK:
        // Each colour is what its ink and the black ink leave of white.
        for (std::size_t i = 0; i < count; ++i, samples += 4) {
            const uint32_t white = 255u - samples[3];
            pixels[i] = opaque(scaled(255u - samples[0], white), scaled(255u - samples[1], white),
                               scaled(255u - samples[2], white));
        }
        break;
    case eSamples::eCMYKInverted:
        for (std::size_t i = 0; i < count; ++i, samples += 4)
            pixels[i] =
                opaque(scaled(samples[0], samples[3]), scaled(samples[1], samples[3]), scaled(samples[2], samples[3]));
        break;
    }
}

}  // namespace QV::UIA::DETAIL
