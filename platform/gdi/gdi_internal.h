// Internal structures of swgdi: objects, device contexts, drivers, the pixel
// layer.
//
// Three layers, as in a GDI engine:
//  - entry points (gdi_dc.cpp, gdi_draw.cpp, gdi_blit.cpp): one per GDI call;
//    map logical to device coordinates, order rectangles, apply pen insets,
//    then hand the primitive to the DC's driver;
//  - drivers: the raster driver (gdi_raster_driver.cpp) turns the DC's pen
//    and brush into drawing state once per change and paints pixels; the
//    path driver (gdi_path.cpp) turns primitives into device-space geometry
//    on a host's sink;
//  - primitives (gdi_span.cpp and friends): fill spans and pixels of one
//    pixel format on input that is already clipped and non-empty.
#ifndef SWGDI_GDI_INTERNAL_H
#define SWGDI_GDI_INTERNAL_H

#include "swgdi.h"
#include "swgdi_journal.h"
#include "swgdi_path.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swgdi {

// ---------------------------------------------------------------- pixels

struct Surface;
struct Paint;

// The steps of a cosmetic line on a surface, clipped along its major axis:
// step k (k0 <= k < k1) lies at majStart + majInc * k on the major axis and
// mn on the minor one, mn moving by minInc when err + bias > 0 (err then
// grows by add1, else by add2). Steps whose mn is off the surface are not
// drawn.
struct LineWalk {
    int64_t k0, k1;
    int64_t majStart;
    int majInc;
    int64_t mn;
    int minInc;
    int64_t minLimit;
    int64_t err, add1, add2;
    int bias;
    bool xMajor;
    int64_t minor, major;
};

// The primitives of one pixel format, one table per format, chosen when a
// surface is made. Input is clipped and non-empty: x0 < x1 within the row,
// 0 <= y < height. Solid operations apply D = (D & a) ^ x.
struct PixelFormat {
    int bitsPerPixel;
    void (*solidSpan)(const Surface& s, int y, int x0, int x1, uint32_t a, uint32_t x);
    void (*patternSpan)(const Surface& s, int y, int x0, int x1, const Paint& p);
    void (*plot)(const Surface& s, int x, int y, uint32_t a, uint32_t xr);
    uint32_t (*read)(const Surface& s, int x, int y);
    void (*write)(const Surface& s, int x, int y, uint32_t pixel);  // blits, pixel by pixel
    void (*solidLine)(const Surface& s, const LineWalk& w, uint32_t a, uint32_t x);
};
void SolidLine32(const Surface& s, const LineWalk& w, uint32_t a, uint32_t x);
void SolidLine1(const Surface& s, const LineWalk& w, uint32_t a, uint32_t x);
// The table of 1 bpp surfaces, or of 32 bpp ones for any other value.
const PixelFormat* FormatFor(int bpp);

// Rows of a bitmap, top row first. 32 bpp pixels are 0x00RRGGBB; 1 bpp
// pixels are colour-table indices, most significant bit leftmost.
struct Surface {
    uint8_t* row0 = nullptr;
    ptrdiff_t pitch = 0;
    int width = 0;
    int height = 0;
    int bpp = 32;
    RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    const PixelFormat* format = FormatFor(32);

    uint8_t* row(int y) const { return row0 + pitch * y; }
};

// How pixels are changed: every ROP2 is D = (D & A) ^ X with A and X
// precomputed from the pen or brush pixel. A pattern carries one A and one X
// per pattern pixel, anchored at the brush origin in device pixels.
struct Paint {
    bool none = false;  // null brush or pen: paints nothing
    bool pattern = false;
    uint32_t andMask = 0;
    uint32_t xorMask = 0;
    int patWidth = 0;
    int patHeight = 0;
    int orgX = 0;
    int orgY = 0;
    std::vector<uint32_t> patAnd;
    std::vector<uint32_t> patXor;
    // Patterns that only copy (every A is 0) keep each pattern row repeated
    // so that a span copies long runs from any phase.
    bool patCopy = false;
    int tileWidth = 0;  // whole periods per row of patTile, 256 pixels or more
    std::vector<uint32_t> patTile;
};

// Completes a pattern paint once its masks are set (see patTile).
void FinishPattern(Paint* p);

// The A and X masks of a ROP2 (1..16) for a pen or brush pixel.
void RopMasks(int rop2, uint32_t pixel, uint32_t* andMask, uint32_t* xorMask);

// Primitives: x0 < x1, 0 <= x0, x1 <= width, 0 <= y < height.
void PaintSpan(const Surface& s, int y, int x0, int x1, const Paint& p);
void PaintPixel(const Surface& s, int x, int y, const Paint& p);
// Clips the rectangle [left, right) x [top, bottom) to the surface first.
void PaintRect(const Surface& s, LONG left, LONG top, LONG right, LONG bottom, const Paint& p);
// Orders the streaming stores of long spans before any later store: every
// primitive that paints spans calls it once at its end.
void EndStreaming();
uint32_t ReadPixel(const Surface& s, int x, int y);
void WritePixel(const Surface& s, int x, int y, uint32_t pixel);

// ---------------------------------------------------------------- regions

struct Span {
    int y;
    int x0;
    int x1;
};

// A set of device pixels as spans, kept only for the rows [top, bottom)
// (a shape's rows on the surface). Spans are added freely; Normalize() sorts
// them by row and merges overlaps into disjoint spans.
class Region {
public:
    Region(int top, int bottom, int width);
    // Empties the region for new rows, keeping its storage.
    void Reset(int top, int bottom, int width);
    void Add(int64_t y, int64_t x0, int64_t x1);
    void AddRect(int64_t left, int64_t top, int64_t right, int64_t bottom);
    void Normalize();
    void Subtract(const Region& other);  // both normalized
    void Paint(const Surface& s, const ::swgdi::Paint& p) const;
    bool Contains(int x, int y) const;   // normalized
    int top() const { return top_; }
    int bottom() const { return bottom_; }
    int width() const { return width_; }
    bool empty() const { return spans_.empty(); }

private:
    int top_;
    int bottom_;
    int width_;
    std::vector<Span> spans_;
    std::vector<Span> spare_;  // Subtract's and Normalize's output, swapped with spans_
    std::vector<size_t> rowStart_;  // Normalize's counting pass
    // While spans are only added: the index of each row's last span.
    static constexpr uint32_t kNoSpan = UINT32_MAX;
    std::vector<uint32_t> lastInRow_;
    bool merging_ = true;
};

// Adds the pixels inside polygons to a region: a pixel (x, y) is inside when
// its integer point is, with left and top edges inclusive and right and
// bottom edges exclusive, under the ALTERNATE or WINDING rule.
void ScanPolygons(const POINT* pts, const int* counts, int polygons, int fillMode, Region* out);

// Adds a rounded rectangle (or an ellipse) region as CreateRoundRectRgn
// makes it: left/top inclusive, right/bottom exclusive.
void AddRoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight, Region* out);

// The points of the first quadrant of an ellipse of width x height pixels,
// counterclockwise from the x axis (integer ellipse stepping).
void EllipseFirstQuadrant(int width, int height, std::vector<POINT>* out);

// ---------------------------------------------------------------- lines

// The position in a cosmetic pen's dash pattern (pixels), carried from one
// segment to the next of a primitive.
struct DashState {
    const int* dashes = nullptr;  // on, off, on, off ... (even count)
    int count = 0;
    int total = 0;
    int cur = 0;
    int left = 0;
    bool mark = true;
    void Reset();
    void Skip(int64_t n);
};
// The dash pattern of a cosmetic PS_DASH..PS_DASHDOTDOT pen; false for
// other styles.
bool CosmeticDashes(int style, DashState* out);

// Draws a cosmetic one-pixel line from a to b without its last pixel, with
// the bias GDI's line stepping uses, clipped to the surface. With a dash
// state, dash pixels take p and gap pixels gap.
void DrawCosmeticLine(const Surface& s, POINT a, POINT b, const Paint& p,
                      DashState* dash = nullptr, const Paint* gap = nullptr);

// Adds a wide pen outline (round ends and joins) to a region.
void AddWideOutline(const POINT* pts, int count, bool closed, int width, int endcap, int join,
                    Region* out);

// ---------------------------------------------------------------- objects

struct Object {
    explicit Object(uint32_t k) : kind(k) {}
    virtual ~Object() = default;
    uint32_t kind;           // OBJ_PEN, OBJ_BRUSH, OBJ_BITMAP, OBJ_MEMDC
    HGDIOBJ handle = nullptr;
    bool stock = false;
    int selected = 0;        // DCs that have it selected
    bool deletePending = false;
};

struct Pen : Object {
    Pen() : Object(OBJ_PEN) {}
    LOGPEN logpen{};
};

// A brush pattern in its own copy: indices into a two-colour table (mono
// patterns) or 0x00RRGGBB pixels. A pattern made from a monochrome bitmap
// without colour table paints 0 bits in the text colour and 1 bits in the
// background colour of the DC it is drawn on.
struct Pattern {
    int width = 0;
    int height = 0;
    bool mono = false;
    bool useDcColors = false;
    RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::vector<uint8_t> index;   // mono: width * height indices, top row first
    std::vector<uint32_t> rgb;    // colour: width * height pixels, top row first
};

struct Brush : Object {
    Brush() : Object(OBJ_BRUSH) {}
    LOGBRUSH logbrush{};
    std::shared_ptr<const Pattern> pattern;
};

// The pixel memory of a bitmap, zeroed. Large bitmaps are mapped directly,
// 2 MB aligned, and offered to the kernel as huge pages: rows of a page lie
// some 20 KB apart, so a line or an ellipse reaches a new 4 KB page at every
// row, and huge pages keep those within the TLB's reach.
class PixelStore {
public:
    PixelStore() = default;
    ~PixelStore();
    PixelStore(const PixelStore&) = delete;
    PixelStore& operator=(const PixelStore&) = delete;
    // n zero bytes; false when the memory cannot be had.
    bool Allocate(size_t n);
    uint8_t* data() const { return data_; }

private:
    void Release();
    uint8_t* data_ = nullptr;
    void* map_ = nullptr;  // the mapping of a large store
    size_t mapSize_ = 0;
    std::unique_ptr<uint8_t[]> small_;
};

struct Bitmap : Object {
    Bitmap() : Object(OBJ_BITMAP) {}
    int width = 0;
    int height = 0;
    int bpp = 32;
    bool isDib = false;        // DIB section (has colour table when 1 bpp)
    bool topDown = false;
    ptrdiff_t stride = 0;      // bytes per row, positive
    PixelStore storage;
    RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    Surface GetSurface() const;
};

struct Dc;

// A device rectangle, ordered (left <= right, top <= bottom), 64-bit so that
// mapped corners far off the page do not overflow.
struct DeviceRect {
    int64_t left, top, right, bottom;
};

// The source of a StretchDIBits call, checked, and its device destination.
struct DibBlit {
    const uint8_t* bits = nullptr;  // first stored row
    bool bottomUp = false;
    int64_t stride = 0;             // bytes per stored row
    int64_t width = 0, height = 0;  // image size in pixels
    int bpp = 0;                    // 1, 4, 8, 24 or 32
    const RGBQUAD* table = nullptr;
    uint32_t tableSize = 0;
    POINT dst{0, 0};                // device start corner
    int64_t dstWidth = 0, dstHeight = 0;  // device extents, may be negative
    int64_t srcX = 0, srcTop = 0;   // source start, top-down rows
    int srcWidth = 0, srcHeight = 0;      // may be negative (mirror)
    DWORD rop = 0;
    // The colour of source pixel (x, y), y counted top-down; the caller
    // keeps both inside the image.
    COLORREF Color(int64_t x, int64_t y) const;
};

// The receiver of a DC's primitives. Coordinates are device pixels; the DC
// holds the state (pen, brush, colours, ROP2, brush origin, fill mode).
class Driver {
public:
    virtual ~Driver() = default;
    // An open chain of at least two points stroked with the pen.
    virtual void Polyline(Dc* dc, const POINT* pts, int count) = 0;
    // A closed polygon filled under dc->polyFillMode and outlined.
    virtual void Polygon(Dc* dc, const POINT* pts, int count) = 0;
    // A non-empty box, the pen's inside-frame inset applied.
    virtual void Rectangle(Dc* dc, const DeviceRect& d) = 0;
    // A non-empty box with corner ellipses of ew x eh pixels (3 or more,
    // at most the box); an ellipse when they equal the box.
    virtual void RoundRect(Dc* dc, const DeviceRect& d, int ew, int eh) = 0;
    // The box [left, right) x [top, bottom) painted with a brush under rop2
    // (PatBlt, FillRect). R2_BLACK, R2_WHITE and R2_NOT ignore the brush.
    virtual void FillBox(Dc* dc, const DeviceRect& d, const LOGBRUSH& lb,
                         const std::shared_ptr<const Pattern>& pattern, int rop2) = 0;
    // SetPixel: the colour written, CLR_INVALID off the device.
    virtual COLORREF SetPixel(Dc* dc, POINT p, COLORREF color) = 0;
    virtual COLORREF GetPixel(Dc* dc, POINT p) = 0;
    // StretchDIBits; false when the raster operation cannot be drawn.
    virtual bool StretchDib(Dc* dc, const DibBlit& blit) = 0;
    // The DC goes away: anything held back is drawn now.
    virtual void Finish(Dc*) {}
    // A path driver draws no pixels of its own.
    virtual bool IsRaster() const { return true; }
};

std::unique_ptr<Driver> NewRasterDriver();
// A raster driver drawing into a surface of its own whose top-left pixel is
// the device pixel (originX, originY): the path driver draws what vectors
// cannot express through it.
std::unique_ptr<Driver> NewOffsetRasterDriver(const Surface& target, int originX, int originY);
// The pixels of a StretchDIBits on a surface; false for raster operations
// it does not know.
bool RasterStretchDib(const Dc* dc, const Surface& s, const DibBlit& blit);
std::unique_ptr<Driver> NewPathDriver(const SWGDI_PATH_SINK& sink);

struct JournalEntry {
    SWGDI_JOURNAL_ENTRY e{};
    std::vector<POINT> points;
};

struct Dc : Object {
    Dc() : Object(OBJ_MEMDC) {}
    Bitmap* bitmap = nullptr;        // null: the default 1x1 monochrome bitmap
    Bitmap defaultBitmap;
    bool ownsBitmap = false;         // page DC: DeleteDC deletes the bitmap
    HGDIOBJ hpen = nullptr;
    HGDIOBJ hbrush = nullptr;
    HGDIOBJ hbitmap = nullptr;
    LOGPEN pen{};
    int penWidth = 1;                // device pixels, fixed when selected
    LOGBRUSH brush{};
    std::shared_ptr<const Pattern> brushPattern;
    // Mapping
    int mapMode = MM_TEXT;
    POINT wndOrg{0, 0};
    POINT vpOrg{0, 0};
    SIZE wndExt{1, 1};
    SIZE vpExt{1, 1};
    float m11 = 1, m22 = 1, dx = 0, dy = 0;     // logical to device, as XFORM
    float i11 = 1, i22 = 1, idx = 0, idy = 0;   // device to logical
    bool inverseValid = true;
    // State
    int rop2 = R2_COPYPEN;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    POINT brushOrg{0, 0};
    POINT curPos{0, 0};
    // Metrics
    int horzRes = 1024, vertRes = 768, horzSize = 271, vertSize = 203;
    int logPixelsX = 96, logPixelsY = 96;
    // Journal
    bool journalOn = false;
    std::vector<JournalEntry> journal;
    // Drawing: the driver, the count of state changes (a driver rebuilds its
    // drawing state when it differs from the one it built for), and a buffer
    // for mapped points kept across calls.
    std::unique_ptr<Driver> driver;
    uint64_t stateVersion = 1;
    bool isPage = false;             // page DC: reports itself as a printer
    std::vector<POINT> devPoints;
    void Changed() { ++stateVersion; }

    Surface GetSurface() const { return bitmap ? bitmap->GetSurface() : defaultBitmap.GetSurface(); }
    int BitsPixel() const { return bitmap ? bitmap->bpp : 1; }
};

// A zeroed bitmap of width x height at 1 or 32 bpp; null for bad or too
// large sizes.
std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool isDib, bool topDown);

// Handle table. Lookups return null for unknown handles or another kind.
HGDIOBJ AddObject(std::unique_ptr<Object> obj);
Object* FindObject(HGDIOBJ h);
Dc* FindDc(HDC h);
Pen* FindPen(HGDIOBJ h);
Brush* FindBrush(HGDIOBJ h);
Bitmap* FindBitmap(HGDIOBJ h);
HGDIOBJ StockObject(int index);
HGDIOBJ DefaultBitmapHandle();
// Removes an object from the table and frees it (not for stock objects).
void FreeObject(HGDIOBJ h);
// Called when a DC stops holding an object: frees it if deletion is pending.
void ReleaseSelected(HGDIOBJ h);

// Mapping (gdi_dc.cpp)
void UpdateXform(Dc* dc);
POINT ToDevice(const Dc* dc, LONG x, LONG y);
int PenDeviceWidth(const Dc* dc, int logicalWidth);

// Colours: the pixel of a COLORREF on the DC's surface. On 1 bpp surfaces a
// colour equal to a table entry takes that entry; any other colour takes the
// opposite of the background colour's nearest entry (and the background
// colour itself that entry), as GDI does for pens and brushes.
uint32_t ColorToPixel(const Dc* dc, const Surface& s, COLORREF c, bool monoFixup);
COLORREF PixelToColor(const Surface& s, uint32_t pixel);
// The paint of the selected brush (or of a given brush) under a ROP2.
Paint BrushPaint(const Dc* dc, const Surface& s, const LOGBRUSH& lb,
                 const std::shared_ptr<const Pattern>& pattern, int rop2);
Paint PenPaint(const Dc* dc, const Surface& s);
// The 8 rows of a BS_HATCHED pattern (bit 7 leftmost, 1 bits in the brush
// colour); null for unknown hatches.
const uint8_t* HatchRows(ULONG_PTR hatch);

// Journal
void Journal(Dc* dc, const char* op, HGDIOBJ obj, std::initializer_list<LONG> args,
             const POINT* pts, int npts, BOOL result);
void JournalObjectEvent(const char* op, HGDIOBJ obj);


}  // namespace swgdi

#endif
