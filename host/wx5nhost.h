/* wx5nhost.h: the host library. What every host of the overlay library
 * writes otherwise: load an overlay into a buffer, find its first element,
 * walk the elements through the right decoders, and draw a loaded overlay on
 * a device context with the usual mapping of line kinds, colours and hatches.
 * Text, images and bitmaps are drawn by the host through callbacks.
 *
 * Plain C; every structure is allocated by the caller. Results are 0 for
 * success, otherwise the failing result of the library (negative) or of the
 * file layer (a positive system error number), as each function says.
 *
 * Null pointers, the rule of this library and of the overlay library alike:
 * an out-parameter that only reports (stop, result, fonts, and in the
 * overlay library sizes, kinds and formats) may be null and is then not
 * written; the call does its work all the same. A pointer the call reads, or
 * whose filling is its purpose (the path, the overlay, the options, the
 * device context, the box), must not be null: the result is then
 * WX5NH_EINVAL (22, what the file layer gives for a null path) and nothing
 * is read or written. A null callback or visit function is skipped.
 */
#ifndef WX5NHOST_H
#define WX5NHOST_H

#include <stddef.h>

#include "wx5novl1.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__) && !defined(_WIN32)
#define WX5NH_API __attribute__((visibility("default")))
#else
#define WX5NH_API
#endif

/* The result of a null required pointer (EINVAL's number on every system we
 * build for; the same number the read-size query gives for a null path). */
#define WX5NH_EINVAL 22
/* The resolutions wx5nh_walk and wx5nh_render accept (others give
 * WX5NH_EINVAL): the decoders turn widths with the divisor 14400 / dpi, which
 * must lie between 1 and 252. */
#define WX5NH_DPI_MIN 57
#define WX5NH_DPI_MAX 14400

/* wx5nh_walk results besides the library's: the step bound ran out, and a
 * decoder left the cursor outside the data or out of step with the count. */
#define WX5NH_STEPS_OUT 1
#define WX5NH_BROKEN_CURSOR 2
/* ... and the visit callback asked to stop. */
#define WX5NH_VISIT_STOPPED 3

/* An overlay loaded the way a host loads it. */
typedef struct WX5NH_OVERLAY {
    unsigned char* image;     /* the loaded image (malloc'ed by wx5nh_load) */
    size_t size;              /* loaded size in bytes */
    int kind;                 /* 1 OVLP, 2 OVLG */
    int dataFormat;
    int layoutVersion;
    size_t firstElement;      /* offset of the first element record, 0 if none; it
                                 may equal size when the records are missing */
    FO_FONTBLOCK fonts;       /* the preamble's font list, if it has one */
} WX5NH_OVERLAY;

/* Sizes a buffer by the read-size query, loads path into it and finds the
 * first element. 0 on success; otherwise the read-size or loader result,
 * and *out holds no buffer. */
WX5NH_API int wx5nh_load(const char* path, WX5NH_OVERLAY* out);
/* Frees the buffer of a loaded overlay (null or unloaded: nothing). */
WX5NH_API void wx5nh_free(WX5NH_OVERLAY* overlay);

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
    size_t next;              /* offset just after the element: where the walk goes on */
    unsigned dpi;             /* the walk's dpi */
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
 * place), calling visit (may be null) after every decoder call: one call a
 * segment of a segmented line, and one more that ends its group (ended set,
 * no segment). Returns stop->result: 0 at END PICTURE, the failing result of
 * the library, WX5NH_STEPS_OUT, WX5NH_BROKEN_CURSOR, WX5NH_VISIT_STOPPED, or
 * WX5NH_EINVAL for a null overlay or options, an overlay without a first
 * element, or a dpi outside WX5NH_DPI_MIN to WX5NH_DPI_MAX. */
WX5NH_API int wx5nh_walk(WX5NH_OVERLAY* overlay, const WX5NH_WALK_OPTIONS* options,
                         WX5NH_VISIT visit, void* context, WX5NH_STOP* stop);

/* Everything the walk of raw element records takes: wx5nh_walk fills it from
 * the overlay and its options. */
typedef struct WX5NH_WALK_SETUP {
    unsigned dpi;
    int keepAttributes;
    size_t maxSteps;              /* 0: no bound */
    FO_WORK* work;                /* null: a work area of the walk's own (fosetlinedef) */
    const FO_FONTBLOCK* fonts;    /* may be null */
    unsigned char textMode;       /* fordcharacter's text mode: 1 EBCDIC/HKZ, 2 Shift JIS */
    unsigned short textEncoding;
} WX5NH_WALK_SETUP;

/* Walks the element records at records (size bytes, rewritten in place by
 * the decoders) as wx5nh_walk does, at any dpi (the decoders' own answer to
 * a dpi out of their range is what the walk reports); element offsets count
 * from records. */
WX5NH_API int wx5nh_walk_records(unsigned char* records, size_t size,
                                 const WX5NH_WALK_SETUP* setup, WX5NH_VISIT visit,
                                 void* context, WX5NH_STOP* stop);

/* Offset of the first element record in a loaded image of the given kind,
 * data format and size; 0 when the image does not lead to one. The
 * preamble's font list is read into *fonts when fonts is not null. */
WX5NH_API size_t wx5nh_first_element(const unsigned char* image, size_t size, int kind,
                                     int dataFormat, FO_FONTBLOCK* fonts);

/* Length of the record at p by its own header and partitions, 0 when it
 * runs past left: how the walk steps over an image record. */
WX5NH_API size_t wx5nh_record_length(const unsigned char* p, size_t left);

/* Bytes of a text element's text (kinds 7 and 12): its length, bounded by
 * the end of the element's records; 0 when it holds no text. */
WX5NH_API size_t wx5nh_text_length(const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element);

/* 0xRRGGBB of a colour code as the decoders give it (line, fill, text). */
WX5NH_API unsigned long wx5nh_colour_rgb(unsigned code);

/* The device box of an image element (kind 9) on a page at the element's
 * dpi: its size on paper is the same at every dpi. 0 on success, -1 when the
 * element holds no drawable image, WX5NH_EINVAL for a null argument. */
WX5NH_API int wx5nh_image_box(const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element,
                              RECT* box);

/* Draws an image element (kind 9; ink where its bits are 1, the page kept
 * elsewhere) or a bitmap element (kind 11) on dc as a host usually does;
 * usable as the image and bitmap callbacks. 0 when drawn, -1 when the
 * element's data is damaged or runs past the overlay. */
WX5NH_API int wx5nh_draw_image(void* context, HDC dc, const WX5NH_OVERLAY* overlay,
                               const WX5NH_ELEMENT* element);
WX5NH_API int wx5nh_draw_bitmap(void* context, HDC dc, const WX5NH_OVERLAY* overlay,
                                const WX5NH_ELEMENT* element);

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
    size_t decoded;           /* elements decoded (each segment one; a group's end none) */
} WX5NH_RENDER_RESULT;

/* Draws a loaded overlay on dc at dpi: lines, rectangles, areas, circles and
 * ellipses through the library's drawing functions; text, images and bitmaps
 * through the callbacks (callbacks and result may be null). Area corner radii
 * are clamped to half the box's shorter side; a wave frame is drawn as wave
 * lines on a box with square corners and as a solid frame on round shapes.
 * Returns result->stop.result, or WX5NH_EINVAL for a null dc or overlay or a
 * dpi out of range. */
WX5NH_API int wx5nh_render(HDC dc, WX5NH_OVERLAY* overlay, unsigned dpi,
                           const WX5NH_CALLBACKS* callbacks, WX5NH_RENDER_RESULT* result);

#ifdef __cplusplus
}
#endif

#endif /* WX5NHOST_H */
