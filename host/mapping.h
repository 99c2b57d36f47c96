// The host's mapping from decoded overlay attributes to the drawing
// functions' records: line styles to LINEREC kinds, colour codes to RGB,
// hatch pattern numbers to density codes, areas to rectangles with radii.
// This is the one place where those choices are made; docs/host-mapping.md
// writes them down.
#ifndef WX5NH_MAPPING_H
#define WX5NH_MAPPING_H

#include <cstdint>

#include "wx5novl1.h"

namespace wx5nh {

// RGB (0xRRGGBB) of a colour code as foprintcolor gives it.
uint32_t ColourRgb(unsigned code);
// The GDI COLORREF of a colour code.
COLORREF ColourRef(unsigned code);

// The density code (foGetHatchBrush) of a hatch pattern number
// (foprinthatchidx); 0 for no fill.
int HatchDensity(unsigned pattern);

// Fills a LINEREC for the line (edge = false) or edge (edge = true) of a
// decoded element at dpi, in device pixels (MM_TEXT): kind from the style
// and the overlay's own dash lengths, width, colour and cap.
LINEREC LineRecord(const FO_ATTR& attr, unsigned dpi, bool edge, int widthPx);

// The cap of a line-end code (fordlineend: 1 flat, 2 square, 3 round);
// anything else is flat.
int CapOfLineEnd(unsigned lineEnd);

// The corners of an area as the drawing functions take them, each radius
// clamped to half the box's shorter side so that the outline never leaves
// the box.
RECTREC AreaShape(const FO_ATTR& attr, const RECT& box);

// Fill of an area or shape: the density code, or 0 when it is not filled.
int FillDensity(const FO_ATTR& attr);

}  // namespace wx5nh

#endif
