// The path sink of vector pages: geometry from a path device context drawn
// on a cairo context whose user space is the device's pixels.
#ifndef OVL_VECTOR_SINK_H
#define OVL_VECTOR_SINK_H

#include <cairo.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "swgdi_path.h"

namespace ovl {

class CairoSink {
public:
    // cr must outlive the sink; the sink draws in cr's current user space.
    // For SVG, whose readers resample pattern tiles and misplace masks,
    // patterns are drawn as dashed rows and one-colour pictures as images
    // with alpha; otherwise patterns are repeating cells and one-colour
    // pictures one-bit stencils (one image in a PDF, not an image and its
    // soft mask).
    explicit CairoSink(cairo_t* cr, bool svg = false) : cr_(cr), svg_(svg) {}
    ~CairoSink();
    CairoSink(const CairoSink&) = delete;
    CairoSink& operator=(const CairoSink&) = delete;

    // The callbacks, with this sink as their context.
    SWGDI_PATH_SINK Callbacks();

    // Every distinct warning so far, joined by "; " for one line of the
    // command's report; TakeWarnings clears them.
    std::string TakeWarnings();

    void Stroke(const SWGDI_STROKE& s);
    void Fill(const SWGDI_FILL& f);
    void Image(const SWGDI_IMAGE& im);
    void Warn(const char* message);
    cairo_t* Context() const { return cr_; }

private:
    cairo_surface_t* PatternCell(const SWGDI_FILL& f);
    void DashedRows(const SWGDI_FILL& f);

    cairo_t* cr_;
    bool svg_;
    // Pattern cells by their content and colours: a hatch used by many
    // shapes is one drawing in the document.
    std::map<std::vector<uint32_t>, cairo_surface_t*> cells_;
    std::vector<std::string> warnings_;
};

}  // namespace ovl

#endif
