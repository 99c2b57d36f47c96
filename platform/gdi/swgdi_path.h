/* swgdi_path.h: vector device contexts of swgdi.
 *
 * A path DC keeps every piece of GDI state a memory DC keeps (mapping, pen,
 * brush, colours, ROP2, brush origin, fill mode) and hands each primitive to
 * a path driver instead of a raster driver. The driver turns the primitive
 * into geometry in device units (pixels of the resolution the DC reports
 * through GetDeviceCaps, origin top-left, y down) and passes it to a sink
 * the host supplies. swgdi knows nothing of the sink's output format.
 *
 * A sink call sequence is: path construction (move_to, line_to, curve_to,
 * close_path), then one stroke or fill that paints and clears the path;
 * image paints a raster and leaves no path.
 */
#ifndef SWGDI_PATH_H
#define SWGDI_PATH_H

#include "swgdi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* How a path is stroked. */
typedef struct SWGDI_STROKE {
    double width;      /* device units; a cosmetic pen is 1 device pixel */
    int cap;           /* PS_ENDCAP_ROUND, PS_ENDCAP_SQUARE or PS_ENDCAP_FLAT */
    int join;          /* PS_JOIN_ROUND, PS_JOIN_BEVEL or PS_JOIN_MITER */
    uint32_t rgb;      /* 0x00RRGGBB */
} SWGDI_STROKE;

/* How a path is filled: with a solid colour, or with a monochrome pattern
 * repeated from the device origin shifted by (orgX, orgY). */
typedef struct SWGDI_FILL {
    int rule;                 /* ALTERNATE (even-odd) or WINDING (non-zero) */
    int pattern;              /* 0: solid rgb; 1: the pattern below */
    uint32_t rgb;             /* solid colour, 0x00RRGGBB */
    int patWidth;             /* pattern cells, device pixels */
    int patHeight;
    const uint8_t* ink;       /* patWidth * patHeight bytes, top row first: 1 ink */
    uint32_t inkRgb;          /* colour of the ink cells */
    uint32_t paperRgb;        /* colour of the other cells */
    int paperTransparent;     /* 1: the other cells leave the page untouched */
    int orgX;                 /* pattern origin, device pixels */
    int orgY;
} SWGDI_FILL;

/* A raster placed on the page. Pixels are 0xAARRGGBB, not premultiplied;
 * alpha 0 leaves the page untouched, 255 covers it. */
typedef struct SWGDI_IMAGE {
    double x;                 /* device rectangle covered by the image */
    double y;
    double width;
    double height;
    int pixelsWide;           /* raster size */
    int pixelsHigh;
    const uint32_t* pixels;   /* top row first */
    ptrdiff_t stride;         /* bytes per row */
    int smooth;               /* 0: nearest-neighbour scaling */
} SWGDI_IMAGE;

typedef struct SWGDI_PATH_SINK {
    void* context;
    void (*move_to)(void* context, double x, double y);
    void (*line_to)(void* context, double x, double y);
    void (*curve_to)(void* context, double x1, double y1, double x2, double y2, double x3,
                     double y3);
    void (*close_path)(void* context);
    void (*stroke)(void* context, const SWGDI_STROKE* stroke);
    void (*fill)(void* context, const SWGDI_FILL* fill);
    void (*image)(void* context, const SWGDI_IMAGE* image);
    /* A drawing that could not be kept as vectors, drawn as an image of its
     * box instead; message is one line without a newline. May be null. */
    void (*warning)(void* context, const char* message);
} SWGDI_PATH_SINK;

/* A vector page of widthPx x heightPx device pixels at dpiX x dpiY whose
 * primitives go to sink (copied; the sink's context must outlive the DC).
 * GetDeviceCaps reports the page as swgdi_CreatePageDC does for the same
 * sizes. Null on bad sizes or resolutions or a sink without callbacks. */
SWGDI_API HDC swgdi_CreatePathDC(int widthPx, int heightPx, int dpiX, int dpiY,
                                 const SWGDI_PATH_SINK* sink);

#ifdef __cplusplus
}
#endif

#endif /* SWGDI_PATH_H */
