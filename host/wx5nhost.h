/* wx5nhost.h: the host library. What every host of the overlay library
 * writes otherwise: load an overlay into a buffer, find its first element,
 * walk the elements through the right decoders, and draw a loaded overlay on
 * a device context with the usual mapping of line kinds, colours and hatches.
 * Text, images and bitmaps are drawn by the host through callbacks.
 *
 * Plain C; every structure is allocated by the caller. Results are 0 for
 * success, otherwise the failing result of the library (negative) or of the
 * file layer (a positive system error number), as each function says.
 */
#ifndef WX5NHOST_H
#define WX5NHOST_H

#include <stddef.h>

#include "wx5novl1.h"

#ifdef __cplusplus
extern "C" {
#endif

/* An overlay loaded the way a host loads it. */
typedef struct WX5NH_OVERLAY {
    unsigned char* image;     /* the loaded image (malloc'ed by wx5nh_load) */
    size_t size;              /* loaded size in bytes */
    int kind;                 /* 1 OVLP, 2 OVLG */
    int dataFormat;
    int layoutVersion;
    size_t firstElement;      /* offset of the first element record, 0 if none */
    FO_FONTBLOCK fonts;       /* the preamble's font list, if it has one */
} WX5NH_OVERLAY;

/* Sizes a buffer by the read-size query, loads path into it and finds the
 * first element. 0 on success; otherwise the read-size or loader result,
 * and *out holds no buffer. */
int wx5nh_load(const char* path, WX5NH_OVERLAY* out);
/* Frees the buffer of a loaded overlay (null or unloaded: nothing). */
void wx5nh_free(WX5NH_OVERLAY* overlay);

/* Everything one decoder call gave, in device pixels of the walk's dpi. */
typedef struct WX5NH_ELEMENT {
    int kind;                 /* FO_KIND_* of foreadkindget */
    int result;               /* the decoder's result */
    size_t offset;            /* of the element's first record in the image */
    FO_ATTR attr;
    FO_POINT point[3];        /* lines and segments: from, to, third */
    unsigned short lineValue;
    unsigned char segment;
    unsigned char width;
    unsigned int flagsHigh;
    unsigned int flagsLow;
    unsigned char started;
    unsigned char ended;
    FO_POINT centre;          /* circles and ellipses */
    unsigned short radius;
    unsigned short radiusX;
    unsigned short radiusY;
    FO_POINT low;             /* rectangles and areas */
    FO_POINT high;
    FO_POINT textPosition;    /* text */
    FO_POINT aux1;
    FO_POINT aux2;
    const unsigned char* text;
    unsigned char unitTenths;
    unsigned char unitHalf;
    FO_POINT imagePosition;   /* images */
    const unsigned char* imageRecord;
    unsigned short imageSize;
    unsigned short imageRows;
    FO_BMPINFO bitmap;        /* bitmaps */
    FO_POINT bitmapCorner[2];
} WX5NH_ELEMENT;

typedef struct WX5NH_WALK_OPTIONS {
    unsigned dpi;             /* device resolution of the decoded geometry */
    int keepAttributes;       /* attributes carry from one element to the next */
    size_t maxSteps;          /* 0: no bound */
} WX5NH_WALK_OPTIONS;

/* Where and why a walk stopped. */
typedef struct WX5NH_STOP {
    int result;               /* 0: END PICTURE reached; else the failing result */
    size_t offset;            /* image offset where decoding stopped */
    size_t elements;          /* decoder calls made */
} WX5NH_STOP;

/* Called after every decoder call; a non-zero return ends the walk. */
typedef int (*WX5NH_VISIT)(void* context, const WX5NH_ELEMENT* element);

/* Walks the elements of a loaded overlay (which the decoders may rewrite in
 * place). Returns stop->result. */
int wx5nh_walk(WX5NH_OVERLAY* overlay, const WX5NH_WALK_OPTIONS* options, WX5NH_VISIT visit,
               void* context, WX5NH_STOP* stop);

/* What the host draws itself. Each callback may be null (those elements are
 * skipped); a non-zero return counts the element as not drawn. The device
 * context is the one given to wx5nh_render, in MM_TEXT device pixels. */
typedef struct WX5NH_CALLBACKS {
    void* context;
    int (*text)(void* context, HDC dc, const WX5NH_OVERLAY* overlay,
                const WX5NH_ELEMENT* element);
    int (*image)(void* context, HDC dc, const WX5NH_OVERLAY* overlay,
                 const WX5NH_ELEMENT* element);
    int (*bitmap)(void* context, HDC dc, const WX5NH_OVERLAY* overlay,
                  const WX5NH_ELEMENT* element);
} WX5NH_CALLBACKS;

typedef struct WX5NH_RENDER_RESULT {
    WX5NH_STOP stop;          /* how the walk ended */
    size_t drawn;             /* elements drawn */
    size_t decoded;           /* elements decoded */
} WX5NH_RENDER_RESULT;

/* Draws a loaded overlay on dc at dpi: lines, rectangles, areas, circles and
 * ellipses through the library's drawing functions; text, images and bitmaps
 * through the callbacks. Returns result->stop.result. */
int wx5nh_render(HDC dc, WX5NH_OVERLAY* overlay, unsigned dpi, const WX5NH_CALLBACKS* callbacks,
                 WX5NH_RENDER_RESULT* result);

#ifdef __cplusplus
}
#endif

#endif /* WX5NHOST_H */
