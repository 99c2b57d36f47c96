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
    // With stencils, a picture of one colour on transparent paper goes out
    // as a one-bit mask filled with its colour (one image in a PDF, not an
    // image and its soft mask); without, as an image with alpha, for
    // formats whose readers place masks poorly.
    explicit CairoSink(cairo_t* cr, bool stencils = true) : cr_(cr), stencils_(stencils) {}
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

    cairo_t* cr_;
    bool stencils_;
    // Pattern cells by their content and colours: a hatch used by many
    // shapes is one drawing in the document.
    std::map<std::vector<uint32_t>, cairo_surface_t*> cells_;
    std::vector<std::string> warnings_;
};

}  // namespace ovl

#endif
