#include "CoreGraphics/standin/XDrawablePut.h"

#include <cairo-xlib.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace qvcompat::coregraphics {

namespace {

std::atomic<uint64_t> s_putImages{0};

struct tPart {
    int x, y, width, height;  // in the image's pixels
};

bool whole(double value) { return std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e9; }

// The clip's rectangles within the image, when every one lies on whole pixels of the image's grid.
bool visibleParts(cairo_t* context, int width, int height, std::vector<tPart>& parts)
{
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(context);
    bool usable = clip->status == CAIRO_STATUS_SUCCESS;
    for (int i = 0; usable && i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        if (!whole(r.x) || !whole(r.y) || !whole(r.width) || !whole(r.height)) {
            usable = false;
            break;
        }
        const int left = int(std::max(r.x, 0.0));
        const int top = int(std::max(r.y, 0.0));
        const int right = int(std::min(r.x + r.width, double(width)));
        const int bottom = int(std::min(r.y + r.height, double(height)));
        if (left < right && top < bottom)
            parts.push_back(tPart{left, top, right - left, bottom - top});
    }
    cairo_rectangle_list_destroy(clip);
    return usable;
}

// A drawable whose pixels are cairo's RGB24 words: 24 bits deep, true colour, red in bits 16-23,
// green in 8-15, blue in 0-7.
bool takesRgb24(cairo_surface_t* target)
{
    const Visual* visual = cairo_xlib_surface_get_visual(target);
    return cairo_xlib_surface_get_depth(target) == 24 && visual && visual->c_class == TrueColor &&
           visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
}

}  // namespace

bool putOpaqueImage(cairo_t* context, const uint8_t* pixels, int width, int height, size_t bytesPerRow)
{
    if (!context || !pixels || width <= 0 || height <= 0 || bytesPerRow % 4 != 0 || bytesPerRow < size_t(width) * 4)
        return false;
    // Where the context draws now: the target, or the group pushed onto it.
    cairo_surface_t* target = cairo_get_group_target(context);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_XLIB || !takesRgb24(target))
        return false;
    const cairo_operator_t op = cairo_get_operator(context);
    if (op != CAIRO_OPERATOR_OVER && op != CAIRO_OPERATOR_SOURCE)
        return false;  // an opaque source replaces what is there under these two alone
    double scaleX = 1, scaleY = 1;
    cairo_surface_get_device_scale(target, &scaleX, &scaleY);
    cairo_matrix_t matrix;
    cairo_get_matrix(context, &matrix);
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(target, &offsetX, &offsetY);
    if (scaleX != 1 || scaleY != 1 || matrix.xx != 1 || matrix.yy != 1 || matrix.xy != 0 || matrix.yx != 0 ||
        !whole(matrix.x0) || !whole(matrix.y0) || !whole(offsetX) || !whole(offsetY))
        return false;
    std::vector<tPart> parts;
    if (!visibleParts(context, width, height, parts))
        return false;

    Display* display = cairo_xlib_surface_get_display(target);
    const Drawable drawable = cairo_xlib_surface_get_drawable(target);
    XImage* image = XCreateImage(display, cairo_xlib_surface_get_visual(target), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<uint8_t*>(pixels)), unsigned(width),
                                 unsigned(height), 32, int(bytesPerRow));
    if (!image)
        return false;
    // The words are in this processor's byte order; Xlib swaps them for a server of the other.
    image->byte_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
    const int dx = int(matrix.x0 + offsetX);
    const int dy = int(matrix.y0 + offsetY);
    cairo_surface_flush(target);  // what cairo has drawn so far reaches the drawable first
    GC gc = XCreateGC(display, drawable, 0, nullptr);
    for (const tPart& part : parts)
        XPutImage(display, drawable, gc, image, part.x, part.y, part.x + dx, part.y + dy, unsigned(part.width),
                  unsigned(part.height));
    XFreeGC(display, gc);
    image->data = nullptr;  // the caller's bytes
    XDestroyImage(image);
    cairo_surface_mark_dirty(target);
    s_putImages.fetch_add(1, std::memory_order_relaxed);
    return true;
}

uint64_t putOpaqueImageCount() { return s_putImages.load(std::memory_order_relaxed); }

}  // namespace qvcompat::coregraphics
