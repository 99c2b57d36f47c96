/* swgdi.h compiled as C: the header is usable from C, and its structures
 * have the layouts of the Windows ABI of the same pointer size. */
#include "swgdi.h"

_Static_assert(sizeof(POINT) == 8, "POINT");
_Static_assert(sizeof(RECT) == 16, "RECT");
_Static_assert(sizeof(LOGPEN) == 16, "LOGPEN");
_Static_assert(sizeof(LOGBRUSH) == 8 + sizeof(void*), "LOGBRUSH: lbHatch is pointer-sized");
_Static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD");
_Static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER");
_Static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO");
_Static_assert(sizeof(BITMAP) == 16 + 4 + sizeof(void*) + (sizeof(void*) == 8 ? 4 : 0), "BITMAP");
_Static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14, "biBitCount");
_Static_assert(offsetof(LOGBRUSH, lbHatch) == sizeof(void*), "lbHatch");
_Static_assert(MM_TEXT == 1 && OBJ_PEN == 1 && OBJ_BRUSH == 2, "constants");
_Static_assert(R2_XORPEN == 7 && R2_MASKPEN == 9 && HORZRES == 8 && HORZSIZE == 4, "constants");

/* A page drawn from C; returns the colour of a pixel inside the rectangle. */
COLORREF swgdi_header_c_draw(void) {
    HDC dc = swgdi_CreatePageDC(20, 10, 96, 96, 32);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(dc, brush);
    COLORREF c;
    Rectangle(dc, 2, 2, 12, 8);
    c = GetPixel(dc, 5, 5);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteDC(dc);
    return c;
}
