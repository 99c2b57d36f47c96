// Internal interface of the rectangle and ellipse drawing: the rounded
// rectangle fill, the styled quarter-circle corner arc and the single-line
// rectangle and ellipse. All lengths are logical units of the caller's
// device context; mng may be null (unmanaged drawing).
#ifndef WX5N_RECT_INTERNAL_H
#define WX5N_RECT_INTERNAL_H

#include <cmath>

#include "draw/draw_internal.h"

namespace wx5n {

// Fills a rectangle whose corners may each be rounded, as one polygon, with
// the current brush; transparent != 0 paints only the ink of a pattern brush
// (in the text colour) and leaves its paper untouched. Returns the Polygon
// result, 0 for a null hdc or an outline that does not fit its buffer.
int FillRoundRect(HDC hdc, RECT rect, int rTopLeft, int rTopRight, int rBottomRight,
                  int rBottomLeft, int transparent, MNG_OBJECT* mng);

// Draws one quarter-circle frame corner round (cx, cy) at radius (to the
// line's centre), continuing the dash state of `line` and leaving it for the
// next side. quadrant: 1 top-left, 2 top-right, 3 bottom-right,
// 4 bottom-left. Returns 1, or 0 for a null line or a bad quadrant.
int DrawCornerArc(HDC hdc, int cx, int cy, int radius, int quadrant, LINEREC* line,
                  MNG_OBJECT* mng);

// Fills and frames one rectangle with a single line (no double lines).
int ExtRectangleSingle(HDC hdc, RECT rect, int hatch, int fillFlags, LINEREC* line,
                       RECTREC* shape, MNG_OBJECT* mng);

// Fills and outlines one ellipse with a single line. The radii are directed:
// rx * sx >= 1 and ry * sy >= 1 for the axis signs of the device context.
int ExtEllipseSingle(HDC hdc, int cx, int cy, int rx, int ry, int hatch, int fillFlags,
                     LINEREC* line, MNG_OBJECT* mng);

// ---- Helpers shared by the rectangle and ellipse drawing ----------------

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kThreeHalfPi = 4.71238898038469;
constexpr double kTwoPi = 6.283185307179586;

// The point at angle a on the circle of radius r round (cx, cy):
// (cx + round(r cos a) * sx, cy + round(r sin a) * ay). With ay = -sy the
// angles grow toward device up (the corner arcs), with ay = +sy toward
// device down (the fill outline).
inline POINT ArcPoint(int64_t cx, int64_t cy, double r, double a, int sx, int ay) {
    return POINT{ClampLong(cx + static_cast<int64_t>(RoundToInt(r * std::cos(a))) * sx),
                 ClampLong(cy + static_cast<int64_t>(RoundToInt(r * std::sin(a))) * ay)};
}

// The rectangle as device edges in logical units: *L the one of left and
// right with the smaller product with sx (device left; the right value on a
// tie), *R the other; *T and *B likewise with top, bottom and sy.
inline void NormaliseRect(const RECT& rect, int sx, int sy, int64_t* L, int64_t* T,
                          int64_t* R, int64_t* B) {
    const bool lr = int64_t{rect.left} * sx < int64_t{rect.right} * sx;
    *L = lr ? rect.left : rect.right;
    *R = lr ? rect.right : rect.left;
    const bool tb = int64_t{rect.top} * sy < int64_t{rect.bottom} * sy;
    *T = tb ? rect.top : rect.bottom;
    *B = tb ? rect.bottom : rect.top;
}

// Upper bound on the dash pieces of one arc or ellipse outline: far beyond
// any figure that fits a page (a million pieces of two device pixels is a
// circle of about 300 000 pixels radius), it keeps absurd radii from
// turning one call into billions of GDI calls.
constexpr int kMaxDashPieces = 1 << 20;

// The figure a transparent fill paints: a polygon (points != null) or an
// ellipse in the box `ellipse`.
struct FillFigure {
    const POINT* points;
    int count;
    RECT ellipse;
};

// Paints the ink of the pattern brush selected in hdc transparently, in the
// text colour: XOR of the box, the figure with R2_MASKPEN in black ink on
// white paper, XOR of the box again; outside the figure the two XORs cancel.
// `box` (logical) must enclose the figure. Restores the raster operation,
// stretch mode, text and background colours it changes. The text-colour
// brush is created and deleted here, managed drawing or not: it never goes
// through the management record. Returns the figure's GDI result.
int PaintTransparent(HDC hdc, const RECT& box, const FillFigure& figure);

// Draws the figure with the current brush and pen; returns the GDI result.
int PaintFigure(HDC hdc, const FillFigure& figure);

}  // namespace wx5n

#endif  // WX5N_RECT_INTERNAL_H
