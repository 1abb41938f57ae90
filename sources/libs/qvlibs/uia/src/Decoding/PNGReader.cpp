// PNG through libpng. The stream feeds libpng through a read callback; libpng's transformations
// turn every colour type and bit depth into 8-bit B, G, R, A rows written straight into the
// picture; libpng's errors jump back into the reader, which then fails.
#include "UIA/Picture.h"

#include "Decoding/DecodeSupport.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <string>
#include <vector>

namespace QV::UIA {

namespace DETAIL {

// libpng's read callback: exactly the bytes asked for, or a libpng error. Data that end early
// would otherwise leave rows that were never decoded.
void PNGReadHelper(png_structp png, png_bytep data, png_size_t length)
{
    auto* stream = static_cast<GP::Stream*>(png_get_io_ptr(png));
    if (stream->readRaw(data, length) != length)
        png_error(png, "unexpected end of data");
}

// libpng's error callback: keeps libpng's message as the reason (its error pointer is the
// reader's reason text) and goes back to the reader's setjmp.
[[noreturn]] void PNGErrorHelper(png_structp png, png_const_charp message)
{
    if (auto* why = static_cast<std::string*>(png_get_error_ptr(png)))
        *why = std::string("PNG: ") + (message ? message : "error");
    png_longjmp(png, 1);
}

// Warnings (bad ancillary chunks and the like) do not stop the decoding.
void PNGWarningHelper(png_structp, png_const_charp) {}

}  // namespace DETAIL

namespace {

// Everything with a destructor lives here, outside the frame that libpng's errors jump back into,
// so that the jump skips no destructor; the destructor frees libpng's state on every path.
struct PNGDecoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;

    PNGDecoder() = default;
    PNGDecoder(const PNGDecoder&) = delete;
    PNGDecoder& operator=(const PNGDecoder&) = delete;
    ~PNGDecoder()
    {
        if (png != nullptr)
            png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    }
};

constexpr std::size_t kSignatureSize = 8;

// Decodes into the picture; bColourTypeHasAlpha tells whether the file's colour type carries
// alpha of its own. `why` gets the reason of a failure once the PNG signature was seen. Nothing in
// this frame needs destruction: a libpng error returns here through longjmp.
bool decode(PNGDecoder& d, Picture& picture, GP::Stream& stream, bool& bColourTypeHasAlpha, std::string& why)
{
    png_byte signature[kSignatureSize];
    if (stream.readRaw(signature, kSignatureSize) != kSignatureSize || png_sig_cmp(signature, 0, kSignatureSize) != 0)
        return false;
    why = "PNG: out of memory";
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &why, &DETAIL::PNGErrorHelper, &DETAIL::PNGWarningHelper);
    if (d.png == nullptr)
        return false;
    d.info = png_create_info_struct(d.png);
    if (d.info == nullptr)
        return false;
    if (setjmp(png_jmpbuf(d.png)))
        return false;

    png_set_read_fn(d.png, &stream, &DETAIL::PNGReadHelper);
    png_set_sig_bytes(d.png, int(kSignatureSize));
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Fuzzers mutate bytes: checksums would stop nearly every input at the first chunk.
    png_set_crc_action(d.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(d.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    // libpng refuses larger headers itself, before it allocates rows.
    png_set_user_limits(d.png, Picture::kMaxSide, Picture::kMaxSide);
    png_read_info(d.png, d.info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(d.png, d.info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);

    if (png_get_valid(d.png, d.info, PNG_INFO_tRNS) != 0)
        png_set_tRNS_to_alpha(d.png);
    if (bitDepth == 16)
        png_set_strip_16(d.png);
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
        png_set_filler(d.png, 0xFF, PNG_FILLER_AFTER);
        png_set_gray_to_rgb(d.png);  // also widens 1, 2 and 4-bit samples
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: png_set_gray_to_rgb(d.png); break;
    case PNG_COLOR_TYPE_RGB:
        png_set_filler(d.png, 0xFF, PNG_FILLER_AFTER);
        png_set_bgr(d.png);
        break;
    case PNG_COLOR_TYPE_PALETTE:
        png_set_filler(d.png, 0xFF, PNG_FILLER_AFTER);
        png_set_palette_to_rgb(d.png);
        png_set_bgr(d.png);
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA: png_set_bgr(d.png); break;
    default: why = "PNG: unknown colour type " + std::to_string(colourType); return false;
    }
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    // The transformations above must have produced four bytes a pixel: the rows are the picture's.
    if (png_get_rowbytes(d.png, d.info) != std::size_t(width) * 4) {
        why = "PNG: pixels of an unknown format";
        return false;
    }
    if (!DETAIL::resizeForDecoding(picture, width, height)) {
        why = "PNG: " + DETAIL::sizeText(width, height) + " is beyond the picture's size limits";
        return false;
    }

    d.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        d.rows[y] = reinterpret_cast<png_bytep>(picture.getData() + std::size_t(y) * width);
    png_read_image(d.png, d.rows.data());
    png_read_end(d.png, nullptr);
    why.clear();

    bColourTypeHasAlpha = colourType == PNG_COLOR_TYPE_PALETTE || colourType == PNG_COLOR_TYPE_GRAY_ALPHA ||
                          colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    return true;
}

}  // namespace

bool Picture::readPNG(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha)
{
    std::string why;
    return readPNG(stream, orientation, bDetectAlpha, why);
}

bool Picture::readPNG(GP::Stream& stream, eOrientation, bool bDetectAlpha, std::string& why)
{
    why.clear();
    if (stream.getStorage() == nullptr)
        return false;
    bool bColourTypeHasAlpha = false;
    {
        PNGDecoder decoder;
        if (!decode(decoder, *this, stream, bColourTypeHasAlpha, why))
            return false;
    }
    setAlphaChannel(bDetectAlpha && bColourTypeHasAlpha && DETAIL::hasTranslucentPixel(*this));
    return true;
}

}  // namespace QV::UIA
