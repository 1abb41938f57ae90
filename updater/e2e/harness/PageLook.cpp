#include "PageLook.h"

#include <cairo.h>

#include <cstdlib>
#include <unordered_map>

namespace QV::E2E {

namespace {

// The colour most opaque pixels of a PNG picture have.
bool pictureColour(const std::string& path, tRgb& colour)
{
    cairo_surface_t* picture = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(picture);
        return false;
    }
    cairo_surface_flush(picture);
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    std::unordered_map<std::uint32_t, long> counts;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            if ((row[x] >> 24) == 0xFF)
                ++counts[row[x] & 0xFFFFFF];
        }
    }
    cairo_surface_destroy(picture);
    long best = 0;
    for (const auto& [value, count] : counts) {
        if (count > best) {
            best = count;
            colour = {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                      static_cast<std::uint8_t>(value)};
        }
    }
    return best > 0;
}

int distance(tRgb a, tRgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// The window's own background: the body's bottom margin, below the button row.
tRgb backgroundOf(const Image& content)
{
    return content.crop({0, WizardLayout::kContentHeight - 6, WizardLayout::kContentWidth, 6}).dominantColour();
}

bool buttonShown(const Image& content, const tRect& place)
{
    // A hidden button leaves the window's background; a shown one covers most of its place.
    double share = 0;
    const tRgb colour = content.crop(place).dominantColour(&share);
    return !(colour == backgroundOf(content) && share > 0.9);
}

}  // namespace

const char* toString(ePanelKind kind)
{
    switch (kind) {
    case ePanelKind::eInfo: return "info";
    case ePanelKind::eOk: return "ok";
    case ePanelKind::eError: return "error";
    case ePanelKind::eUnknown: break;
    }
    return "unknown";
}

std::string toString(const tPageLook& look)
{
    return std::string("panel ") + toString(look.panel) + ", " + std::to_string(look.buttons) + " buttons";
}

bool SkinColours::load(const std::string& folder, std::string& error)
{
    const std::pair<const char*, tRgb*> pictures[] = {
        {"InfoPanelInfo.png", &m_info}, {"InfoPanelOk.png", &m_ok}, {"InfoPanelError.png", &m_error}};
    for (const auto& [name, colour] : pictures) {
        if (!pictureColour(folder + "/" + name, *colour)) {
            error = "cannot read " + folder + "/" + name;
            return false;
        }
    }
    return true;
}

ePanelKind SkinColours::classify(tRgb colour) const
{
    const std::pair<ePanelKind, tRgb> kinds[] = {
        {ePanelKind::eInfo, m_info}, {ePanelKind::eOk, m_ok}, {ePanelKind::eError, m_error}};
    ePanelKind best = ePanelKind::eUnknown;
    int bestDistance = 3 * 24;  // nearer than this, or not at all
    for (const auto& [kind, reference] : kinds) {
        const int d = distance(colour, reference);
        if (d < bestDistance) {
            best = kind;
            bestDistance = d;
        }
    }
    return best;
}

tPageLook lookOf(const Image& content, const SkinColours& colours, const WizardLayout& layout)
{
    tPageLook look;
    look.panel = colours.classify(content.crop(layout.infoPanel()).dominantColour());
    look.buttons = !buttonShown(content, layout.action()) ? 0 : buttonShown(content, layout.quit()) ? 2 : 1;
    return look;
}

bool onlyTheWheelMoved(const Image& before, const Image& after, const WizardLayout& layout)
{
    const tRect wheel = layout.wheel();
    if (before.crop(wheel).differingPixels(after.crop(wheel)) <= 0)
        return false;
    // Everything below the firmware card but the wheel's place stays as it was.
    const int top = layout.infoPanel().y;
    const tRect lower{0, top, WizardLayout::kContentWidth, WizardLayout::kContentHeight - top};
    const Image a = before.crop(lower);
    Image b = after.crop(lower);
    for (int y = 0; y < wheel.height; ++y) {
        for (int x = 0; x < wheel.width; ++x)
            b.setPixel(wheel.x + x, wheel.y - top + y, a.pixel(wheel.x + x, wheel.y - top + y));
    }
    return a.differingPixels(b) == 0;
}

}  // namespace QV::E2E
