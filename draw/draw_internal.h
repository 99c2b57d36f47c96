// Internal interface of the drawing half: device metrics, the pen and brush
// helpers and the line primitives that the rectangle and ellipse drawing
// build on. Everything here works in the logical units of the caller's
// device context and calls the platform only through GDI.
#ifndef WX5N_DRAW_INTERNAL_H
#define WX5N_DRAW_INTERNAL_H

#include <cstdint>

#include "include/wx5novl1.h"

namespace wx5n {

// ---- Device metrics -------------------------------------------------------

// Logical width (*cx) and height (*cy) of the device pixel at `at` (the
// logical origin when `at` is null). Either output may be null. 1 and 1 in
// MM_TEXT; 0 where a device pixel is smaller than a logical unit.
void GetPixelSize(HDC hdc, int* cx, int* cy, const POINT* at);

// Orientation of the logical axes on the device: +1 where logical and device
// coordinates grow the same way, -1 where they run opposite.
void GetAxisSign(HDC hdc, POINT* sign);

// Angle in radians by which a quarter arc of `radius` logical units is
// stepped: one segment per two device pixels of radius, 1 to 32 segments.
double GetArcStepAngle(HDC hdc, int radius);

// Rounds half away from zero. Values beyond the int range saturate and NaN
// gives 0 (a double that does not fit an int has no integer result).
int RoundToInt(double value);

// Truncates toward zero, saturating like RoundToInt.
int TruncToInt(double value);

// Clamps a 64-bit intermediate to the 32-bit coordinate range of GDI.
inline LONG ClampLong(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : static_cast<LONG>(v));
}

// ---- Line kinds ----------------------------------------------------------

// The `kind` of a LINEREC.
enum LineKind : int {
    kKindNone = 0,    // no line (a fill only)
    kKindSolid = 1,
    // 2 to 7: the built-in dash patterns (foGetLineStyle's table)
    kKindUser = 8,    // the record's own dashPattern
    kKindDouble = 9,  // two parallel solid lines, a third of the width each
    kKindWave = 10,
};

// A double line is drawn as two thin solid lines once it is three or more
// device pixels wide; narrower, it is one solid line of the full width.
// Its width in device pixels, measured along device x (alongY false) or y:
// 0 for every other kind.
int64_t DoubleLinePixels(HDC hdc, const LINEREC& line, bool alongY);
// Whether a double line of `pixels` device pixels is split in two, and the
// width of each thin line in device pixels.
inline bool SplitsDouble(int64_t pixels) { return pixels / 3 != 0; }
inline int64_t ThinLinePixels(int64_t pixels) { return pixels / 3; }
// Logical length of n device pixels from the device point `at`, along
// device x (alongY false) or y; never negative.
int LogicalLengthOf(HDC hdc, POINT at, int64_t n, bool alongY);

// ---- Pens and brushes -----------------------------------------------------

// The descriptions every drawing function uses, so that the cache of a
// management record finds the same entry whichever function asks.
LOGPEN MakeSolidPen(int width, COLORREF color);
LOGPEN MakeNullPen();
LOGBRUSH MakeSolidBrush(COLORREF color);

// Delete the record's pens (brushes): slots 0 to 5, then the null object.
void EndMngPen(MNG_OBJECT* mng);
void EndMngBrush(MNG_OBJECT* mng);

// Drawing modes of a line.
enum LineMode : int { kModeFlat = 1, kModeSquare = 2, kModePen = 3 };

// Drawing mode from the record's cap: cap 1 and 2 fill, anything else (3 and
// values outside 1..3) strokes with a pen; a line of one device pixel or
// less (w <= p) is always stroked.
int LineModeOf(int cap, int w, int p);

// The objects a segment drawing call selected, to be released at its end.
struct DrawObjects {
    HGDIOBJ oldPen = nullptr;
    HGDIOBJ oldBrush = nullptr;
    HPEN pen = nullptr;      // created here (unmanaged only)
    HBRUSH brush = nullptr;  // created here (unmanaged only)
    HBRUSH fill = nullptr;   // brush to fill with (FillRect)
    bool brushSelected = false;
};

// Selects the objects of a line in mode m: a solid brush of `color` and the
// null pen for filled modes, a solid pen of width w (w + 1 where a device
// pixel spans two or more logical units) for the pen mode. Through the
// record when mng is given (the objects stay with it); otherwise created
// here. selectBrush: unmanaged filled drawing selects its brush as well
// (Polygon paints with the selected brush; FillRect takes it as argument).
void SelectLineObjects(HDC hdc, int m, COLORREF color, int w, int p, MNG_OBJECT* mng,
                       bool selectBrush, DrawObjects* objs);
// Selects back what SelectLineObjects replaced (unmanaged) and deletes what
// it created. Managed objects stay selected and owned by the record.
void ReleaseLineObjects(HDC hdc, MNG_OBJECT* mng, DrawObjects* objs);

// ---- Line drawing ---------------------------------------------------------
//
// All take logical coordinates and a work record whose dashCount and
// dashPattern foGetLineStyle has converted; they update its dashCarry and
// dashIndex. mng may be null (unmanaged drawing). Result 1 drawn, 0 failure.

// Horizontal or vertical line (x1 == x2 or y1 == y2); splits a double line
// (kind 9) three or more device pixels wide into two thin solid lines.
int DrawAxisLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng);
// The dashes of one horizontal or vertical line.
int DrawAxisSegments(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng);
// Slanted line (x1 != x2 and y1 != y2), double lines split as above.
int DrawSlantLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng);
// The dashes of one slanted line.
int DrawSlantSegments(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng);
// A kind 10 wave line, made horizontal or vertical; leaves the dash state.
int DrawWaveLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng);

}  // namespace wx5n

#endif  // WX5N_DRAW_INTERNAL_H
