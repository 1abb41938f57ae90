#include "Image.h"

#include <cairo.h>

#include <algorithm>
#include <unordered_map>

namespace QV::E2E {

Image::Image(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height))
{}

tRgb Image::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return {};
    return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
}

void Image::setPixel(int x, int y, tRgb colour)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)] = colour;
}

Image Image::crop(tRect rect) const
{
    const int left = std::clamp(rect.x, 0, m_width);
    const int top = std::clamp(rect.y, 0, m_height);
    const int right = std::clamp(rect.x + rect.width, left, m_width);
    const int bottom = std::clamp(rect.y + rect.height, top, m_height);
    Image part(right - left, bottom - top);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            part.setPixel(x - left, y - top, pixel(x, y));
    }
    return part;
}

tRgb Image::dominantColour(double* share) const
{
    std::unordered_map<std::uint32_t, long> counts;
    for (const tRgb& p : m_pixels)
        ++counts[(std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b];
    std::uint32_t best = 0;
    long bestCount = 0;
    for (const auto& [colour, count] : counts) {
        if (count > bestCount) {
            best = colour;
            bestCount = count;
        }
    }
    if (share)
        *share = m_pixels.empty() ? 0.0 : static_cast<double>(bestCount) / static_cast<double>(m_pixels.size());
    return {static_cast<std::uint8_t>(best >> 16), static_cast<std::uint8_t>(best >> 8),
            static_cast<std::uint8_t>(best)};
}

long Image::differingPixels(const Image& other) const
{
    if (other.m_width != m_width || other.m_height != m_height)
        return -1;
    long count = 0;
    for (std::size_t i = 0; i < m_pixels.size(); ++i)
        count += m_pixels[i] != other.m_pixels[i] ? 1 : 0;
    return count;
}

std::uint64_t Image::fingerprint() const
{
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    const auto mix = [&hash](std::uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    mix(static_cast<std::uint8_t>(m_width));
    mix(static_cast<std::uint8_t>(m_height));
    for (const tRgb& p : m_pixels) {
        mix(p.r);
        mix(p.g);
        mix(p.b);
    }
    return hash;
}

bool Image::writePng(const std::string& path) const
{
    if (empty())
        return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_width, m_height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < m_height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < m_width; ++x) {
            const tRgb p = pixel(x, y);
            row[x] = 0xFF000000u | (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b;
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

}  // namespace QV::E2E
