#include "ImageFileWriters.h"

#include <png.h>

#include <lcms2.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace qvtest {

namespace {

// --- PNG ---------------------------------------------------------------------------------------

void appendToBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

std::size_t pngRowBytes(const PngSpec& spec)
{
    int channels = 1;
    switch (spec.colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: channels = 2; break;
    case PNG_COLOR_TYPE_RGB: channels = 3; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: channels = 4; break;
    default: break;
    }
    return (std::size_t(spec.width) * channels * spec.bitDepth + 7) / 8;
}

// libpng's errors jump back here; the frame holds nothing to destroy.
bool writePNGInto(const PngSpec& spec, Bytes& out, png_structp png, png_infop info, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, &appendToBytes, &flushNothing);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.bInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const auto& entry : spec.palette)
        palette.push_back(png_color{entry[0], entry[1], entry[2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_color_16 key{};
    if (spec.colourKey) {
        key.gray = (*spec.colourKey)[0];
        key.red = (*spec.colourKey)[0];
        key.green = (*spec.colourKey)[1];
        key.blue = (*spec.colourKey)[2];
        png_set_tRNS(png, info, nullptr, 0, &key);
    } else if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(), int(spec.paletteAlpha.size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

uint32_t crc32(const uint8_t* data, std::size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian32(uint8_t* at, uint32_t value)
{
    at[0] = uint8_t(value >> 24);
    at[1] = uint8_t(value >> 16);
    at[2] = uint8_t(value >> 8);
    at[3] = uint8_t(value);
}

// --- ICC ---------------------------------------------------------------------------------------

Bytes saveProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size))
        throw std::runtime_error("profile not saved");
    Bytes bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
        throw std::runtime_error("profile not saved");
    bytes.resize(size);
    return bytes;
}

// A pipeline whose every input gives the same output value: a CLUT of two grid points per input,
// between identity curves (the shape the profile's lookup-table tags can hold).
cmsPipeline* constantPipeline(unsigned nInputs, const std::vector<cmsUInt16Number>& value)
{
    const cmsUInt32Number nOutputs = cmsUInt32Number(value.size());
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, nInputs, nOutputs);
    std::vector<cmsUInt16Number> table;
    for (unsigned point = 0; point < (1u << nInputs); ++point)
        table.insert(table.end(), value.begin(), value.end());
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, nInputs, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocCLut16bit(nullptr, 2, nInputs, nOutputs, table.data()));
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, nOutputs, nullptr));
    return pipeline;
}

}  // namespace

Bytes writePNG(const PngSpec& spec)
{
    if (spec.rows.size() != pngRowBytes(spec) * spec.height)
        throw std::runtime_error("PNG rows do not match the size");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    auto* first = const_cast<png_bytep>(spec.rows.data());
    for (uint32_t y = 0; y < spec.height; ++y)
        rows.push_back(first + y * pngRowBytes(spec));
    Bytes out;
    const bool bWritten = writePNGInto(spec, out, png, info, rows);
    png_destroy_write_struct(&png, &info);
    if (!bWritten)
        throw std::runtime_error("libpng refused the PNG spec");
    return out;
}

void setPNGSize(Bytes& png, uint32_t width, uint32_t height)
{
    // Signature (8), then IHDR: length (4), type (4), width, height, ..., CRC over type and data.
    putBigEndian32(&png[16], width);
    putBigEndian32(&png[20], height);
    putBigEndian32(&png[29], crc32(&png[12], 17));
}

Bytes writeJPEG(const JpegSpec& spec)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);  // a writer error ends the test process with its message
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(spec.width);
    cinfo.image_height = JDIMENSION(spec.height);
    cinfo.in_color_space = spec.input;
    cinfo.input_components = spec.input == JCS_GRAYSCALE ? 1 : spec.input == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, spec.stored);
    if (spec.stored == JCS_CMYK || spec.stored == JCS_YCCK)
        cinfo.write_Adobe_marker = spec.bAdobeMarker ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    if (!spec.scans.empty()) {
        cinfo.scan_info = spec.scans.data();
        cinfo.num_scans = int(spec.scans.size());
    } else if (spec.bProgressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    for (const Bytes& payload : spec.app2)
        jpeg_write_marker(&cinfo, JPEG_APP0 + 2, payload.data(), unsigned(payload.size()));
    std::size_t const stride = std::size_t(spec.width) * cinfo.input_components;
    if (spec.samples.size() != stride * spec.height)
        throw std::runtime_error("JPEG samples do not match the size");
    while (cinfo.next_scanline < cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(spec.samples.data() + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

void setJPEGSize(Bytes& jpeg, uint16_t width, uint16_t height)
{
    // Markers after SOI: FF xx, then a big-endian length counting itself.
    for (std::size_t at = 2; at + 9 < jpeg.size();) {
        const uint8_t marker = jpeg[at + 1];
        const bool bFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (bFrame) {
            // Length (2), precision (1), height (2), width (2).
            jpeg[at + 5] = uint8_t(height >> 8);
            jpeg[at + 6] = uint8_t(height);
            jpeg[at + 7] = uint8_t(width >> 8);
            jpeg[at + 8] = uint8_t(width);
            return;
        }
        at += 2 + (std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    }
    throw std::runtime_error("no frame header");
}

Bytes iccChunk(unsigned sequence, unsigned count, const Bytes& data)
{
    static const char kSignature[] = "ICC_PROFILE";
    Bytes chunk(kSignature, kSignature + sizeof kSignature);
    chunk.push_back(uint8_t(sequence));
    chunk.push_back(uint8_t(count));
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

std::vector<Bytes> iccChunks(const Bytes& profile, unsigned count)
{
    std::vector<Bytes> chunks;
    std::size_t const step = (profile.size() + count - 1) / count;
    for (unsigned i = 0; i < count; ++i) {
        std::size_t const begin = std::min(profile.size(), i * step);
        std::size_t const end = std::min(profile.size(), begin + step);
        chunks.push_back(iccChunk(i + 1, count, Bytes(profile.begin() + begin, profile.begin() + end)));
    }
    return chunks;
}

Bytes swappedPrimariesRGBProfile()
{
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    // sRGB's primaries, red and blue exchanged.
    const cmsCIExyYTRIPLE primaries = {{0.1500, 0.0600, 1.0}, {0.3000, 0.6000, 1.0}, {0.6400, 0.3300, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    Bytes bytes = saveProfile(profile);
    cmsCloseProfile(profile);
    return bytes;
}

Bytes constantCMYKProfile(uint8_t red, uint8_t green, uint8_t blue)
{
    // The colour as Lab (D50), the profile connection space of the CMYK profile.
    cmsHPROFILE sRGB = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(sRGB, TYPE_RGB_8, lab, TYPE_Lab_16, INTENT_PERCEPTUAL, 0);
    const uint8_t rgb[3] = {red, green, blue};
    std::vector<cmsUInt16Number> encoded(3);
    cmsDoTransform(toLab, rgb, encoded.data(), 1);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(sRGB);

    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, const_cast<cmsCIEXYZ*>(cmsD50_XYZ()));
    cmsPipeline* toPCS = constantPipeline(4, encoded);
    cmsPipeline* fromPCS = constantPipeline(3, std::vector<cmsUInt16Number>(4, 0));
    cmsWriteTag(profile, cmsSigAToB0Tag, toPCS);
    cmsWriteTag(profile, cmsSigBToA0Tag, fromPCS);
    cmsPipelineFree(toPCS);
    cmsPipelineFree(fromPCS);
    Bytes bytes = saveProfile(profile);
    cmsCloseProfile(profile);
    return bytes;
}

Bytes writeTGA(const TgaSpec& spec)
{
    Bytes out = {uint8_t(spec.id.size()),
                 spec.colourMapType,
                 spec.imageType,
                 0,
                 0,
                 uint8_t(spec.colourMapLength),
                 uint8_t(spec.colourMapLength >> 8),
                 spec.colourMapEntryBits,
                 0,
                 0,
                 0,
                 0,
                 uint8_t(spec.width),
                 uint8_t(spec.width >> 8),
                 uint8_t(spec.height),
                 uint8_t(spec.height >> 8),
                 spec.depth,
                 spec.descriptor};
    out.insert(out.end(), spec.id.begin(), spec.id.end());
    out.resize(out.size() + std::size_t(spec.colourMapLength) * ((spec.colourMapEntryBits + 7u) / 8u), 0);
    out.insert(out.end(), spec.data.begin(), spec.data.end());
    return out;
}

Bytes tgaRunLength(const Bytes& pixels, std::size_t bytesPerPixel)
{
    std::size_t const count = pixels.size() / bytesPerPixel;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(&pixels[a * bytesPerPixel], &pixels[b * bytesPerPixel], bytesPerPixel) == 0;
    };
    Bytes out;
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            out.insert(out.end(), &pixels[i * bytesPerPixel], &pixels[(i + 1) * bytesPerPixel]);
            i += run;
            continue;
        }
        std::size_t literal = 1;
        while (i + literal < count && literal < 128 && !(i + literal + 1 < count && same(i + literal, i + literal + 1)))
            ++literal;
        out.push_back(uint8_t(literal - 1));
        out.insert(out.end(), &pixels[i * bytesPerPixel], &pixels[(i + literal) * bytesPerPixel]);
        i += literal;
    }
    return out;
}

}  // namespace qvtest
