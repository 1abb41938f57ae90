#include "PageCatalogue.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sys/wait.h>
#include <unistd.h>

namespace QV::E2E {

namespace {

// The errors the failure page can show: the worker's (-1 not in update mode, -2 a failed write)
// and 1 for a controller that does not report the new firmware afterwards.
constexpr int kPageErrors[] = {-1, -2, 1};

// Pixels whose colours differ by more than a rounding step.
long differing(const Image& a, const Image& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return std::numeric_limits<long>::max();
    long count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const tRgb p = a.pixel(x, y);
            const tRgb q = b.pixel(x, y);
            if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 12)
                ++count;
        }
    }
    return count;
}

}  // namespace

const char* pageTitle(int page)
{
    static const char* const s_titles[] = {"no controller",      "up to date",        "update available", "updating",
                                           "not in update mode", "update successful", "update failed"};
    return page >= 0 && page <= 6 ? s_titles[page] : "unknown page";
}

Image readPng(const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return {};
    }
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           {static_cast<std::uint8_t>(row[x] >> 16), static_cast<std::uint8_t>(row[x] >> 8),
                            static_cast<std::uint8_t>(row[x])});
    }
    cairo_surface_destroy(surface);
    return image;
}

std::optional<PageCatalogue> PageCatalogue::fromRenderTool(const std::string& tool, const std::string& skinFolder,
                                                           const WizardLayout& layout, std::string& error)
{
    char folder[] = "/tmp/qv-wizard-pages-XXXXXX";
    if (!mkdtemp(folder)) {
        error = "cannot make a temporary folder";
        return std::nullopt;
    }
    std::vector<std::pair<tNamedPage, std::string>> pages;
    for (int page = 0; page <= 5; ++page)
        pages.push_back({{page, 0}, std::to_string(page)});
    for (int code : kPageErrors)
        pages.push_back({{6, code}, "6:" + std::to_string(code)});
    pages.push_back({{0, 0, true}, "0:refused"});

    std::string command = "'" + tool + "' '" + skinFolder + "' '" + folder + "'";
    for (const auto& page : pages)
        command += " " + page.second;
    command += " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    PageCatalogue catalogue(layout.infoPanel());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = command + " failed";
    } else {
        for (const auto& page : pages) {
            const Image content = readPng(std::string(folder) + "/page" + page.second + ".png");
            if (content.empty()) {
                error = "the render tool wrote no page " + page.second;
                break;
            }
            catalogue.add(page.first, content);
        }
    }
    std::filesystem::remove_all(folder);
    if (!error.empty())
        return std::nullopt;
    return catalogue;
}

void PageCatalogue::add(const tNamedPage& named, const Image& content)
{
    m_entries.push_back({named, content.crop(m_infoPanel)});
}

tNamedPage PageCatalogue::name(const Image& content) const
{
    const Image panel = content.crop(m_infoPanel);
    long best = std::numeric_limits<long>::max();
    long second = best;
    tNamedPage named;
    for (const tEntry& entry : m_entries) {
        const long count = differing(panel, entry.panel);
        if (count < best) {
            second = best;
            best = count;
            named = entry.named;
        } else if (count < second) {
            second = count;
        }
    }
    // Near: a few stray pixels (the wheel's turn on the updating page), and clearly nearer than any
    // other page, so that two errors' texts are never confused.
    const long area = static_cast<long>(panel.width()) * panel.height();
    if (panel.empty() || best > area / 20 || best * 2 >= second)
        return {};
    return named;
}

}  // namespace QV::E2E
