/* swgdi: a software GDI for native builds.
 *
 * Types, constants and functions carry the names, layouts and results of
 * Windows GDI so that code written against <windows.h> builds against this
 * header unchanged. Handles are opaque pointers; structures have the layouts
 * of the 64-bit Windows ABI on 64-bit builds and of the 32-bit ABI on 32-bit
 * builds (LOGBRUSH.lbHatch is pointer-sized, as ULONG_PTR is on Windows).
 */
#ifndef SWGDI_H
#define SWGDI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define SWGDI_API __attribute__((visibility("default")))
#else
#define SWGDI_API
#endif

#ifndef WINAPI
#define WINAPI
#endif
#ifndef __cdecl
#define __cdecl
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef uintptr_t ULONG_PTR;
typedef DWORD COLORREF;
typedef const char* LPCSTR;
typedef void* LPVOID;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* Opaque handles, distinct types as with STRICT on Windows. */
typedef struct HDC__* HDC;
typedef struct HPEN__* HPEN;
typedef struct HBRUSH__* HBRUSH;
typedef struct HBITMAP__* HBITMAP;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef void* HGDIOBJ;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *LPSIZE;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN;

typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
} LOGBRUSH;

#define RGB(r, g, b) \
    ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)((c) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

/* Mapping modes */
#define MM_TEXT 1
#define MM_LOMETRIC 2
#define MM_HIMETRIC 3
#define MM_LOENGLISH 4
#define MM_HIENGLISH 5
#define MM_TWIPS 6
#define MM_ISOTROPIC 7
#define MM_ANISOTROPIC 8

/* GetDeviceCaps indices */
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90

/* Pen styles */
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6

/* Brush styles */
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define BS_PATTERN 3

/* Stock objects */
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

/* GetCurrentObject kinds */
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

/* Binary raster operations */
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

/* Background modes */
#define TRANSPARENT 1
#define OPAQUE 2

/* Stretch modes */
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4

/* Polygon fill modes */
#define ALTERNATE 1
#define WINDING 2

#define CLR_INVALID 0xFFFFFFFFu
#define GDI_ERROR 0xFFFFFFFFu

/* More GetDeviceCaps indices */
#define DRIVERVERSION 0
#define TECHNOLOGY 2
#define NUMCOLORS 24
#define RASTERCAPS 38
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define PHYSICALOFFSETX 112
#define PHYSICALOFFSETY 113
#define DT_RASDISPLAY 1
#define DT_RASPRINTER 2

/* Pen style bits (ExtCreatePen layout; CreatePen uses the low nibble) */
#define PS_USERSTYLE 7
#define PS_ALTERNATE 8
#define PS_STYLE_MASK 0x0000000F
#define PS_ENDCAP_ROUND 0x00000000
#define PS_ENDCAP_SQUARE 0x00000100
#define PS_ENDCAP_FLAT 0x00000200
#define PS_ENDCAP_MASK 0x00000F00
#define PS_JOIN_ROUND 0x00000000
#define PS_JOIN_BEVEL 0x00001000
#define PS_JOIN_MITER 0x00002000
#define PS_JOIN_MASK 0x0000F000
#define PS_COSMETIC 0x00000000
#define PS_GEOMETRIC 0x00010000
#define PS_TYPE_MASK 0x000F0000

/* More brush styles and the hatch patterns of BS_HATCHED */
#define BS_INDEXED 4
#define BS_DIBPATTERN 5
#define BS_DIBPATTERNPT 6
#define BS_PATTERN8X8 7
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

/* More stock objects */
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

/* More object kinds */
#define OBJ_FONT 6
#define OBJ_PAL 5
#define OBJ_REGION 8

/* Ternary raster operations (PatBlt, StretchDIBits) */
#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define NOTSRCERASE 0x001100A6u
#define MERGEPAINT 0x00BB0226u
#define PATCOPY 0x00F00021u
#define PATPAINT 0x00FB0A09u
#define PATINVERT 0x005A0049u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

/* Bitmaps */
#define BI_RGB 0
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

typedef void* HANDLE;
typedef struct HRGN__* HRGN;
typedef int INT;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef uint32_t ULONG;
typedef const void* LPCVOID;
typedef RECT* PRECT;
typedef const RECT* LPCRECT;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

/* The 40-byte header of a device-independent bitmap, packed as on disk. */
typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO, *LPBITMAPINFO;

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *LPBITMAP;

/* Integer resource names: the id in the low word of the name pointer. */
#define MAKEINTRESOURCEA(i) ((LPCSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)

/* ------------------------------------------------------------------------
 * GDI functions. Results follow GDI: handles are null on failure, BOOL
 * results FALSE, colour queries CLR_INVALID, and the mode setters return the
 * previous mode or 0.
 * ---------------------------------------------------------------------- */

/* Device contexts and their state. A memory DC starts with a 1x1
 * monochrome bitmap, BLACK_PEN, WHITE_BRUSH, MM_TEXT, R2_COPYPEN, OPAQUE,
 * ALTERNATE, BLACKONWHITE, black text on a white background, and the
 * metrics of the DC it was made from, or of a 96 dpi 1024 x 768 display
 * (271 x 203 mm) when made from none. */
SWGDI_API HDC CreateCompatibleDC(HDC hdc);
SWGDI_API BOOL DeleteDC(HDC hdc);
SWGDI_API int GetDeviceCaps(HDC hdc, int index);
SWGDI_API int GetMapMode(HDC hdc);
SWGDI_API int SetMapMode(HDC hdc, int mode);
SWGDI_API BOOL GetWindowOrgEx(HDC hdc, LPPOINT pt);
SWGDI_API BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old);
SWGDI_API BOOL GetWindowExtEx(HDC hdc, LPSIZE size);
SWGDI_API BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old);
SWGDI_API BOOL GetViewportOrgEx(HDC hdc, LPPOINT pt);
SWGDI_API BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old);
SWGDI_API BOOL GetViewportExtEx(HDC hdc, LPSIZE size);
SWGDI_API BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old);
SWGDI_API BOOL LPtoDP(HDC hdc, LPPOINT pts, int count);
SWGDI_API BOOL DPtoLP(HDC hdc, LPPOINT pts, int count);
SWGDI_API int GetROP2(HDC hdc);
SWGDI_API int SetROP2(HDC hdc, int rop2);
SWGDI_API COLORREF GetBkColor(HDC hdc);
SWGDI_API COLORREF SetBkColor(HDC hdc, COLORREF color);
SWGDI_API COLORREF GetTextColor(HDC hdc);
SWGDI_API COLORREF SetTextColor(HDC hdc, COLORREF color);
SWGDI_API int GetBkMode(HDC hdc);
SWGDI_API int SetBkMode(HDC hdc, int mode);
SWGDI_API int GetStretchBltMode(HDC hdc);
SWGDI_API int SetStretchBltMode(HDC hdc, int mode);
SWGDI_API int GetPolyFillMode(HDC hdc);
SWGDI_API int SetPolyFillMode(HDC hdc, int mode);
SWGDI_API BOOL GetBrushOrgEx(HDC hdc, LPPOINT pt);
SWGDI_API BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old);
SWGDI_API BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pt);

/* Objects */
SWGDI_API HPEN CreatePen(int style, int width, COLORREF color);
SWGDI_API HPEN CreatePenIndirect(const LOGPEN* lp);
SWGDI_API HBRUSH CreateSolidBrush(COLORREF color);
SWGDI_API HBRUSH CreateHatchBrush(int hatch, COLORREF color);
SWGDI_API HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
SWGDI_API HBRUSH CreatePatternBrush(HBITMAP bitmap);
SWGDI_API HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                               const void* bits);
SWGDI_API HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits,
                                   HANDLE section, DWORD offset);
SWGDI_API HGDIOBJ GetStockObject(int index);
SWGDI_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
SWGDI_API BOOL DeleteObject(HGDIOBJ obj);
SWGDI_API HGDIOBJ GetCurrentObject(HDC hdc, UINT kind);
SWGDI_API int GetObjectA(HGDIOBJ obj, int size, LPVOID out);
SWGDI_API DWORD GetObjectType(HGDIOBJ obj);

/* Drawing */
SWGDI_API BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old);
SWGDI_API BOOL LineTo(HDC hdc, int x, int y);
SWGDI_API BOOL Polyline(HDC hdc, const POINT* pts, int count);
SWGDI_API BOOL Polygon(HDC hdc, const POINT* pts, int count);
SWGDI_API BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
SWGDI_API BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width,
                         int height);
SWGDI_API BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
SWGDI_API int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
SWGDI_API BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
SWGDI_API COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
SWGDI_API COLORREF GetPixel(HDC hdc, int x, int y);
SWGDI_API int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight,
                            int xSrc, int ySrc, int srcWidth, int srcHeight, const void* bits,
                            const BITMAPINFO* info, UINT usage, DWORD rop);

/* Resources and modules */
SWGDI_API HMODULE GetModuleHandleA(LPCSTR name);
SWGDI_API HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name);

/* ------------------------------------------------------------------------
 * Native extras of swgdi.
 * ---------------------------------------------------------------------- */

/* A page: a memory DC with its own top-down DIB of widthPx x heightPx at
 * bpp 32 or 1, cleared to white, whose GetDeviceCaps report the page's
 * pixels (HORZRES, VERTRES), its size in millimetres rounded to the nearest
 * (HORZSIZE, VERTSIZE) and its resolution (LOGPIXELSX/Y). DeleteDC frees the
 * page's bitmap with the DC. Null on bad sizes or resolutions. */
SWGDI_API HDC swgdi_CreatePageDC(int widthPx, int heightPx, int dpiX, int dpiY, int bpp);

/* Sets the metrics a DC reports through GetDeviceCaps and uses for the
 * metric mapping modes (pixels, millimetres, dots per inch). */
SWGDI_API BOOL swgdi_SetDeviceMetrics(HDC hdc, int horzRes, int vertRes, int horzSizeMm,
                                      int vertSizeMm, int logPixelsX, int logPixelsY);

/* The pixels of the bitmap selected into a DC. */
typedef struct SWGDI_SURFACE {
    void* bits;         /* first byte of the top row */
    ptrdiff_t stride;   /* bytes from one row to the next below it (negative
                           for bottom-up bitmaps) */
    int width;
    int height;
    int bitsPerPixel;   /* 32: 0x00RRGGBB per pixel; 1: colour-table index */
} SWGDI_SURFACE;
SWGDI_API BOOL swgdi_GetSurface(HDC hdc, SWGDI_SURFACE* out);

/* Writes the DC's bitmap as an 8-bit RGB PNG with the DC's resolution. */
SWGDI_API BOOL swgdi_WritePNG(HDC hdc, const char* path);

#ifdef __cplusplus
}
#endif

#endif /* SWGDI_H */
