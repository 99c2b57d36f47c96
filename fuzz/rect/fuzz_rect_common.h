// Shared set-up of the rectangle and ellipse harnesses: a small page kept
// for the whole run, with a fuzzer-chosen mapping, line records and hatch codes read from the input,
// and the properties every call must keep (no GDI object left behind, the
// device context's pen, brush, raster operation and colours unchanged).
#ifndef WX5N_FUZZ_RECT_COMMON_H
#define WX5N_FUZZ_RECT_COMMON_H

#include <cstdint>
#include <cstring>

#include "draw/rect_internal.h"
#include "swgdi_journal.h"

namespace fuzzrect {

// Reads little values off the input; zeros once it runs out.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() { return U16() | (static_cast<uint32_t>(U16()) << 16); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Geometry stays within 16 bits, the range of the decoders' positions and
// radii; a few coordinates are pushed far out to exercise clipping.
inline int Coord(Bytes& in) {
    const int v = in.I16() / 8;
    return (in.U8() & 0x3F) == 0 ? v * 8 : v;
}

// One page for the whole run, 96 x 80 pixels at 96 dpi: setting up a page
// for every input cost more than most drawings. Each input puts the device
// context back into a known state; the pixels earlier inputs left change
// nothing the drawing code decides (the raster driver clips every figure to
// the page).
inline HDC SharedPage() {
    static HDC page = swgdi_CreatePageDC(96, 80, 96, 96, 32);
    return page;
}

// The page in one of five mappings: MM_TEXT, y up at two units per pixel,
// MM_LOMETRIC, x flipped, and a mapping whose logical unit is smaller than a
// pixel on one axis only.
inline HDC MakePage(Bytes& in) {
    HDC dc = SharedPage();
    if (!dc) return nullptr;
    SetMapMode(dc, MM_TEXT);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetROP2(dc, R2_COPYPEN);
    SetStretchBltMode(dc, BLACKONWHITE);
    SetBkColor(dc, 0xFFFFFF);
    switch (in.U8() % 5) {
        case 0:
            break;
        case 1:
            SetMapMode(dc, MM_ANISOTROPIC);
            SetWindowExtEx(dc, 2, 2, nullptr);
            SetViewportExtEx(dc, 1, -1, nullptr);
            SetViewportOrgEx(dc, 5, 75, nullptr);
            break;
        case 2:
            SetMapMode(dc, MM_LOMETRIC);
            SetViewportOrgEx(dc, 0, 80, nullptr);
            break;
        case 3:
            SetMapMode(dc, MM_ANISOTROPIC);
            SetWindowExtEx(dc, 3, 3, nullptr);
            SetViewportExtEx(dc, -1, 1, nullptr);
            SetViewportOrgEx(dc, 90, 4, nullptr);
            break;
        default:
            SetMapMode(dc, MM_ANISOTROPIC);
            SetWindowExtEx(dc, 5, 1, nullptr);
            SetViewportExtEx(dc, 1, 2, nullptr);
            break;
    }
    return dc;
}

// Outlines walked piece by piece (dashes, waves) cost time in proportion to
// their length over their shortest piece, and swgdi's wide pens in
// proportion to the pen's size at every piece: a 16-bit radius with
// one-pixel dashes is some hundred thousand GDI calls. Their geometry is
// kept within 1024 units of the origin (still far beyond the page in every
// mapping) and their width within 128 units; no outline, solid and double
// outlines are single shapes and keep the full ranges.
inline bool Walked(const LINEREC& l) { return l.kind != 0 && l.kind != 1 && l.kind != 9; }
inline int Near(const LINEREC& l, int v) { return Walked(l) ? v % 1024 : v; }
inline void TameWidth(LINEREC* l) {
    if (Walked(*l)) l->width %= 128;
}

inline int Hatch(Bytes& in) {
    static const int kCodes[] = {0,   50,  100, 125, 200, 250, 300, 375, 400, 500, 600,
                                 625, 700, 750, 800, 875, 900, 1000, 1001, 450};
    const uint8_t c = in.U8();
    if (c < 200) return kCodes[c % 20];
    return in.I16();
}

inline LINEREC Line(Bytes& in) {
    LINEREC l;
    std::memset(&l, 0, sizeof(l));
    // Widths up to about a thousand units: swgdi's wide pens cost time in
    // proportion to the pen's size, whatever part of it lies on the page.
    l.width = in.U8() % 4 == 0 ? in.I16() % 1024 : in.U8() % 40;
    l.kind = static_cast<int8_t>(in.U8()) % 14;
    l.cap = static_cast<int8_t>(in.U8()) % 5;
    l.color = in.U32() & 0xFFFFFF;
    for (int& d : l.dashPattern) d = in.I16();
    l.dashCount = static_cast<int8_t>(in.U8()) % 9;
    l.dashCarry = in.I16();
    l.dashIndex = static_cast<int8_t>(in.U8());
    l.unitsPerInch = in.U8() % 2 ? 0 : in.I16();
    return l;
}

// The state a call must leave as it found it.
struct DcState {
    HGDIOBJ pen, brush;
    int rop2, stretch;
    COLORREF text, bk;
    int objects;
};

inline DcState Snapshot(HDC dc) {
    return DcState{GetCurrentObject(dc, OBJ_PEN),  GetCurrentObject(dc, OBJ_BRUSH),
                   GetROP2(dc),                   GetStretchBltMode(dc),
                   GetTextColor(dc),              GetBkColor(dc),
                   swgdi_ObjectCount()};
}

// Unmanaged calls restore the pen and brush and delete what they made;
// every call restores the raster operation, stretch mode and colours.
inline void Check(const DcState& a, const DcState& b, bool managed) {
    if (a.rop2 != b.rop2 || a.stretch != b.stretch || a.text != b.text || a.bk != b.bk)
        __builtin_trap();
    if (!managed && (a.pen != b.pen || a.brush != b.brush || a.objects != b.objects))
        __builtin_trap();
}

// Runs `draw` on the shared page, unmanaged or with a management record.
// The host's brushes live as long as the page; every input must leave the
// object count where it found it.
template <class Draw>
void Run(Bytes& in, Draw draw) {
    HDC dc = MakePage(in);
    if (!dc) return;
    // A current brush for hatch 1001 and the managed fills: solid or pattern.
    static HBRUSH solid = CreateSolidBrush(0x336699);
    static HBRUSH pattern = foGetHatchBrush(250);
    const int before = swgdi_ObjectCount();
    const bool managed = in.U8() & 1;
    HBRUSH host = in.U8() & 1 ? solid : pattern;
    HGDIOBJ oldBrush = host ? SelectObject(dc, host) : nullptr;
    SetTextColor(dc, in.U32() & 0xFFFFFF);
    MNG_OBJECT mng;
    if (managed) StartMngObject(dc, &mng);
    const DcState start = Snapshot(dc);
    draw(dc, managed ? &mng : nullptr);
    Check(start, Snapshot(dc), managed);
    if (managed) EndMngObject(dc, &mng);
    if (host) SelectObject(dc, oldBrush);
    if (swgdi_ObjectCount() != before) __builtin_trap();
}

}  // namespace fuzzrect

#endif  // WX5N_FUZZ_RECT_COMMON_H
