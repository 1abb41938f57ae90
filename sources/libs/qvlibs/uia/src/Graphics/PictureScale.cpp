// Picture: scaled copies. The toolkit asks for them only at backing scales other than 1, which
// this program never uses; they are kept simple rather than fast.
#include "UIA/Picture.h"

#include <algorithm>
#include <cmath>

namespace QV::UIA {

namespace {

// Bilinear interpolation of each byte of four neighbours (straight alpha, as the pixels are).
uint32_t interpolate(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, float fx, float fy)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float top = float((p00 >> shift) & 0xFF) * (1 - fx) + float((p10 >> shift) & 0xFF) * fx;
        const float bottom = float((p01 >> shift) & 0xFF) * (1 - fx) + float((p11 >> shift) & 0xFF) * fx;
        const long v = std::lroundf(top * (1 - fy) + bottom * fy);
        result |= uint32_t(std::clamp(v, 0L, 255L)) << shift;
    }
    return result;
}

// Source coordinate of the centre of target pixel i, and the neighbour pair around it.
void sourcePosition(int i, float factor, int size, int& low, int& high, float& fraction)
{
    const float position = std::clamp((float(i) + 0.5f) / factor - 0.5f, 0.0f, float(size - 1));
    low = int(position);
    high = std::min(low + 1, size - 1);
    fraction = position - float(low);
}

}  // namespace

std::unique_ptr<Picture> Picture::cloneAndScale(float factor, Sampling sampling) const
{
    auto result = std::make_unique<Picture>();
    static_cast<PictureProperties&>(*result) = *this;
    if (!(factor > 0.0f) || !std::isfinite(factor) || factor > float(kMaxSide))
        return result;
    result->setFixedTop(int(std::lroundf(float(m_fixedTop) * factor)));
    result->setFixedBottom(int(std::lroundf(float(m_fixedBottom) * factor)));
    result->setFixedLeft(int(std::lroundf(float(m_fixedLeft) * factor)));
    result->setFixedRight(int(std::lroundf(float(m_fixedRight) * factor)));

    const long width = std::lroundf(float(m_width) * factor);
    const long height = std::lroundf(float(m_height) * factor);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        !result->setSize(int(width), int(height), true))
        return result;
    Picture& target = *result;

    if (sampling == Sampling::eSmooth) {
        for (int y = 0; y < target.m_height; ++y) {
            int y0, y1;
            float fy;
            sourcePosition(y, factor, m_height, y0, y1, fy);
            for (int x = 0; x < target.m_width; ++x) {
                int x0, x1;
                float fx;
                sourcePosition(x, factor, m_width, x0, x1, fx);
                *target.pixelAt(x, y) =
                    interpolate(getPixel(x0, y0), getPixel(x1, y0), getPixel(x0, y1), getPixel(x1, y1), fx, fy);
            }
        }
        return result;
    }

    // Each source pixel into an n x n block; what no block covers (a factor that is not whole)
    // stays transparent.
    const int n = int(factor);
    target.clear(0);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const uint32_t pixel = getPixel(x, y);
            for (int by = 0; by < n; ++by)
                std::fill_n(target.pixelAt(x * n, y * n + by), n, pixel);
        }
    }
    return result;
}

}  // namespace QV::UIA
