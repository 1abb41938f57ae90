// Sample picture files for the decoder tests and the fuzzers' seed corpus, written in memory with
// libpng, libjpeg and Little CMS 2 (TGA by hand), plus the surgery that turns them into hostile
// files: headers that ask for huge sizes, ICC profiles split into chunks.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include <jpeglib.h>

namespace qvtest {

using Bytes = std::vector<uint8_t>;

// --- PNG ---------------------------------------------------------------------------------------
struct PngSpec {
    uint32_t width = 0;
    uint32_t height = 0;
    int colourType = 0;  // PNG_COLOR_TYPE_...
    int bitDepth = 8;
    bool bInterlaced = false;
    Bytes rows;  // the rows as the file packs them (16-bit samples big-endian), top first
    std::vector<std::array<uint8_t, 3>> palette;
    Bytes paletteAlpha;                                // tRNS of a palette image
    std::optional<std::array<uint16_t, 3>> colourKey;  // tRNS of a grey (first value) or RGB image
};
// The PNG file; throws std::runtime_error when libpng refuses the spec.
Bytes writePNG(const PngSpec& spec);
// Writes width and height into the IHDR chunk (with its CRC), whatever the image data hold.
void setPNGSize(Bytes& png, uint32_t width, uint32_t height);

// --- JPEG --------------------------------------------------------------------------------------
struct JpegSpec {
    int width = 0;
    int height = 0;
    J_COLOR_SPACE input = JCS_RGB;     // the samples: JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
    J_COLOR_SPACE stored = JCS_YCbCr;  // what the file holds: JCS_GRAYSCALE, JCS_YCbCr, JCS_RGB, JCS_CMYK, JCS_YCCK
    bool bAdobeMarker = true;          // for CMYK and YCCK: mark the samples as inverted
    bool bProgressive = false;
    std::vector<jpeg_scan_info> scans;  // a scan script of its own (progressive), when not empty
    Bytes samples;                      // width * height * components, top row first
    std::vector<Bytes> app2;            // APP2 marker payloads, in file order
};
// The JPEG file, quality 100 without chroma subsampling.
Bytes writeJPEG(const JpegSpec& spec);
// Writes width and height into the frame header (SOFn).
void setJPEGSize(Bytes& jpeg, uint16_t width, uint16_t height);
// One APP2 payload of an embedded ICC profile: signature, sequence number, number of chunks, data.
Bytes iccChunk(unsigned sequence, unsigned count, const Bytes& data);
// The profile split into count chunks of about equal size, in sequence order.
std::vector<Bytes> iccChunks(const Bytes& profile, unsigned count);

// --- ICC profiles ------------------------------------------------------------------------------
// An RGB profile with the sRGB primaries of red and blue exchanged: its pure red is sRGB's blue.
Bytes swappedPrimariesRGBProfile();
// A CMYK profile that turns every CMYK value into the one sRGB colour (r, g, b).
Bytes constantCMYKProfile(uint8_t red, uint8_t green, uint8_t blue);

// --- TGA ---------------------------------------------------------------------------------------
struct TgaSpec {
    uint8_t imageType = 2;
    uint8_t depth = 32;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t descriptor = 0x20;
    Bytes id;  // the image-ID field
    uint8_t colourMapType = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;  // the map's bytes are written as zeros
    Bytes data;                      // the image data as stored
};
Bytes writeTGA(const TgaSpec& spec);
// Run-length packets for pixels of bytesPerPixel bytes: runs of two or more equal pixels become
// repeat packets, the rest literal packets, at most 128 pixels each.
Bytes tgaRunLength(const Bytes& pixels, std::size_t bytesPerPixel);

}  // namespace qvtest
