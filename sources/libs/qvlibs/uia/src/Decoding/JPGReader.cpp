// JPEG through libjpeg, with the program's own source and error managers; embedded ICC profiles
// convert RGB and CMYK data to sRGB through Little CMS 2 (JPGColourConverter). libjpeg's errors
// jump back into the reader, which then fails.
//
// Beyond the picture's size limits, the decoder's working memory and the number of scans of a
// progressive file are bounded, so that a small crafted file cannot make it allocate or loop
// without end.
#include "UIA/Picture.h"

#include "Decoding/DecodeSupport.h"
#include "Decoding/ICCProfile.h"
#include "Decoding/JPGColourConverter.h"
#include "Decoding/JPGErrorManager.h"
#include "Decoding/JPGSourceManager.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace QV::UIA {

namespace {

using DETAIL::JPGColourConverter;

// Working memory of libjpeg beyond the picture: more than the coefficients of a progressive image
// of the largest size a picture may have, in four components (512 MiB), take.
constexpr long kMaxDecoderMemory = 768L << 20;
// Real progressive files have a few dozen scans at most.
constexpr int kMaxScans = 500;

// Everything with a destructor lives here, outside the frame that libjpeg's errors jump back
// into, so that the jump skips no destructor; the destructor frees libjpeg's state and the colour
// transform on every path.
struct JPGDecoder {
    jpeg_decompress_struct cinfo{};
    JPGErrorManager errors{};
    JPGSourceManager<512> source{};
    jpeg_progress_mgr progress{};
    bool bCreated = false;
    std::optional<JPGColourConverter> converter;
    std::vector<uint8_t> profile;
    std::vector<JSAMPLE> line;

    JPGDecoder() = default;
    JPGDecoder(const JPGDecoder&) = delete;
    JPGDecoder& operator=(const JPGDecoder&) = delete;
    ~JPGDecoder()
    {
        if (bCreated)
            jpeg_destroy_decompress(&cinfo);
    }
};

// libjpeg reports progress while it takes in each scan of a multi-scan file.
void limitScans(j_common_ptr common)
{
    auto cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->input_scan_number > kMaxScans)
        ERREXIT(cinfo, JERR_BAD_PROGRESSION);  // does not return
}

// What the file's colour space decodes to.
struct tDecoding {
    J_COLOR_SPACE output;
    JPGColourConverter::eSamples samples;
    bool bProfileAllowed;
};

bool decodingFor(const jpeg_decompress_struct& cinfo, tDecoding& decoding)
{
    using eSamples = JPGColourConverter::eSamples;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE: decoding = {JCS_GRAYSCALE, eSamples::eGrey, false}; return true;
    case JCS_RGB: decoding = {JCS_RGB, eSamples::eRGB, true}; return true;
    case JCS_YCbCr:
        // libjpeg converts to RGB; an embedded profile is not applied.
        decoding = {JCS_RGB, eSamples::eRGB, false};
        return true;
    case JCS_CMYK:
    case JCS_YCCK:
        // Files with an Adobe marker store CMYK inverted.
        decoding = {JCS_CMYK, cinfo.saw_Adobe_marker ? eSamples::eCMYKInverted : eSamples::eCMYK, true};
        return true;
    default: return false;
    }
}

// Whether the data at the stream's position begin with a JPEG's start-of-image marker; the
// position is kept.
bool startsLikeJPEG(GP::Stream& stream)
{
    GP::IStorage* storage = stream.getStorage();
    const long long start = storage->getPos64();
    unsigned char marker[2] = {};
    const bool bRead = stream.readRaw(marker, 2) == 2;
    storage->seek64(start, GP::IStorage::eSeekFromStart);
    return bRead && marker[0] == 0xFF && marker[1] == 0xD8;
}

// Decodes into the picture; `why` gets the reason of a failure. Nothing in this frame needs
// destruction: a libjpeg error returns here through longjmp.
bool decode(JPGDecoder& d, Picture& picture, GP::Stream& stream, std::string& why)
{
    d.cinfo.err = d.errors.install();
    if (setjmp(d.errors.m_jump)) {
        why = std::string("JPEG: ") + d.errors.m_message;
        return false;
    }
    // Destroying a decompressor that failed half-way through its creation is safe.
    d.bCreated = true;
    jpeg_create_decompress(&d.cinfo);
    d.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    d.progress.progress_monitor = &limitScans;
    d.cinfo.progress = &d.progress;
    d.source.install(&d.cinfo, stream);
    jpeg_save_markers(&d.cinfo, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) {
        why = "JPEG: no image";
        return false;
    }
    if (!DETAIL::isDecodableSize(d.cinfo.image_width, d.cinfo.image_height)) {
        why = "JPEG: " + DETAIL::sizeText(d.cinfo.image_width, d.cinfo.image_height) +
              " is beyond the picture's size limits";
        return false;
    }

    tDecoding decoding;
    if (!decodingFor(d.cinfo, decoding)) {
        why = "JPEG: unknown colour space " + std::to_string(int(d.cinfo.jpeg_color_space));
        return false;
    }
    d.cinfo.out_color_space = decoding.output;
    d.converter.emplace(decoding.samples);
    if (decoding.bProfileAllowed) {
        d.profile = DETAIL::assembleICCProfile(d.cinfo.marker_list);
        if (!d.profile.empty() && !d.converter->useProfile(d.profile)) {
            why = "JPEG: its colour profile does not fit its data";
            return false;
        }
    }

    if (!jpeg_start_decompress(&d.cinfo)) {
        why = "JPEG: decoding did not start";
        return false;
    }
    std::size_t const width = d.cinfo.output_width;
    if (std::size_t(d.cinfo.output_components) != JPGColourConverter::samplesPerPixel(decoding.samples) ||
        !DETAIL::resizeForDecoding(picture, width, d.cinfo.output_height)) {
        why = "JPEG: pixels of an unknown format";
        return false;
    }
    d.line.resize(std::size_t(d.cinfo.output_components) * width);
    for (JDIMENSION y = 0; y < d.cinfo.output_height; ++y) {
        JSAMPROW row = d.line.data();
        if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) {
            why = "JPEG: a line could not be read";
            return false;
        }
        d.converter->convert(d.line.data(), picture.getData() + std::size_t(y) * width, width);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

}  // namespace

bool Picture::readJPG(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha)
{
    std::string why;
    return readJPG(stream, orientation, bDetectAlpha, why);
}

bool Picture::readJPG(GP::Stream& stream, eOrientation, bool bDetectAlpha, std::string& why)
{
    why.clear();
    if (stream.getStorage() == nullptr)
        return false;
    {
        const bool bSignature = startsLikeJPEG(stream);
        JPGDecoder decoder;
        if (!decode(decoder, *this, stream, why)) {
            // Data of another kind are no JPEG that failed.
            if (!bSignature)
                why.clear();
            return false;
        }
    }
    if (bDetectAlpha)
        setAlphaChannel(false);
    return true;
}

}  // namespace QV::UIA
