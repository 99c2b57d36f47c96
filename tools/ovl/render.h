// Rendering an overlay to a page, as a host draws it.
#ifndef OVL_RENDER_H
#define OVL_RENDER_H

#include <string>

#include "loaded.h"
#include "raster.h"
#include "wx5nhost.h"

namespace ovl {

// The resolutions a page may have (the host library's bounds), and the
// longest side of a page in pixels (20000: 1.6 GB for a 32-bit page).
constexpr int kMinDpi = WX5NH_DPI_MIN;
constexpr int kMaxDpi = WX5NH_DPI_MAX;
constexpr int kMaxPagePixels = 20000;

struct RenderOptions {
    int dpi = 300;
    bool mono = false;          // a 1-bit page
    std::string page = "A4";    // page size name, or WIDTHxHEIGHT in millimetres
    bool landscape = false;     // the page's long side across
    double offsetX = 0;         // millimetres the drawing moves right
    double offsetY = 0;         // and down on the page (negative: left, up)
};

// The options' offset in device pixels.
void OffsetPx(const RenderOptions& options, int* dx, int* dy);

struct RenderResult {
    bool ok = false;            // the page was made (it may be partial)
    std::string error;          // why the page could not be made or is partial
    std::string warning;        // what the page lacks though the overlay is sound
    size_t elements = 0;        // elements drawn
};

// Page size in pixels for a size name; false when the name is unknown or a
// side is longer than kMaxPagePixels (the size is set all the same).
bool PageSizePx(const std::string& name, int dpi, int* width, int* height);
// The same for the options' page, turned for landscape.
bool PageSizePx(const RenderOptions& options, int* width, int* height);

// Renders the loaded overlay and hands the page to write; the page exists
// only during the call.
template <class Write>
RenderResult RenderPage(const Loaded& overlay, const RenderOptions& options, Write&& write);

RenderResult RenderToRaster(const Loaded& overlay, const RenderOptions& options,
                            void (*write)(const Raster&, void*), void* context);

template <class Write>
RenderResult RenderPage(const Loaded& overlay, const RenderOptions& options, Write&& write) {
    return RenderToRaster(
        overlay, options,
        [](const Raster& page, void* ctx) { (*static_cast<Write*>(ctx))(page); }, &write);
}

}  // namespace ovl

#endif
