/* wx5novl1: read page-form overlay files and draw overlay graphics.
 *
 * The exported interface of the overlay library: every function and every
 * structure that crosses the library boundary. Plain C, usable from C (C99
 * and later) and C++.
 *
 * Units: overlay files use 1/1440 inch with y pointing up; line-definition
 * dash lengths are in 1/240 inch; decoded positions are device pixels at the
 * host's dots per inch with y pointing down; the drawing functions work in
 * the logical units of the host's device context.
 *
 * Ownership: the host allocates every structure passed here; the library
 * allocates no memory and keeps no pointer after a call returns.
 *
 * Null pointers: the loaders and queries (foreaddata, pcom_foreadd33,
 * pcom_fogetreadsize) skip an out-parameter that is null and do their work
 * all the same; a null file name gives the file layer's result (22). The
 * decoders and drawing functions check only the pointers their own comments
 * name.
 *
 * Layouts: the records without pointers or handles (FO_WORK, FO_ATTR,
 * FO_POINT, LINEREC, RECTREC, FO_FONTBLOCK) have the same layout on every
 * build. The records holding pointers or handles (FO_LINEOUT, FO_TEXTOUT,
 * FO_IMAGEOUT, FO_BMPINFO, MNG_OBJECT) have the documented 32-bit layout on
 * 32-bit builds; on 64-bit builds their pointer fields are pointer-sized.
 */
#ifndef WX5NOVL1_H
#define WX5NOVL1_H

/* The version of the library; the build takes its version from here. The
 * major version is the one of the shared library's name (libwx5novl1.so.1). */
#define WX5NOVL1_VERSION_MAJOR 1
#define WX5NOVL1_VERSION_MINOR 0
#define WX5NOVL1_VERSION_PATCH 0

#include <stddef.h>

#include "wx5novl1_gdi.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define FOAPI
#define FOCALL __cdecl
#elif defined(__GNUC__)
#define FOAPI __attribute__((visibility("default")))
#define FOCALL
#else
#define FOAPI
#define FOCALL
#endif

/* Compile-time layout checks that work in C99, C11 and C++. */
#if defined(__cplusplus)
#define FO_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define FO_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#else
#define FO_SA_CAT2(a, b) a##b
#define FO_SA_CAT(a, b) FO_SA_CAT2(a, b)
#define FO_STATIC_ASSERT(cond, msg) \
    typedef char FO_SA_CAT(fo_static_assert_, __LINE__)[(cond) ? 1 : -1]
#endif

#if defined(_WIN64) || defined(__LP64__) || defined(__x86_64__) || defined(__aarch64__)
#define FO_PTR32 0
#else
#define FO_PTR32 1
#endif

/* ------------------------------------------------------------------ */
/* Work area                                                           */
/* ------------------------------------------------------------------ */

/* One entry of the line-definition table: up to four dash lengths in
 * 1/240 inch, and how many of them are in use (0, 1, 2 or 4). */
typedef struct FO_LINEDEF {
    unsigned short length[4];
    unsigned char count;
    unsigned char unused;
} FO_LINEDEF;

#define FO_LINEDEF_ENTRIES 22

/* The host's work area: line-definition table, origin point and the seven
 * one-byte options. The library uses bytes 0 to 230. */
typedef struct FO_WORK {
    FO_LINEDEF lineDef[FO_LINEDEF_ENTRIES]; /* 0 */
    short originX;                          /* 220 */
    short originY;                          /* 222 */
    unsigned char colourFlag;               /* 224 */
    unsigned char product;                  /* 225 */
    unsigned char iconvFlag;                /* 226 */
    unsigned char printerInfo;              /* 227 */
    unsigned char edition;                  /* 228 */
    unsigned char hkzConvFlag;              /* 229 */
    unsigned char outCharCode;              /* 230 */
} FO_WORK;

/* ------------------------------------------------------------------ */
/* Element attributes and decoder outputs                              */
/* ------------------------------------------------------------------ */

/* A device position in pixels (or, for TEXT records, in 1/1440 inch). */
typedef struct FO_POINT {
    short x;
    short y;
} FO_POINT;

/* Room of edgeStyleList: the extended edge-kind reader stores at most this
 * many values (and a count no larger). */
#define FO_LINESTYLE_LIST_MAX 14
#define FO_EDGESTYLE_LIST_MAX 14

/* Line view of the attribute block: what the line, shape and area decoders
 * and the line-kind readers write. */
typedef struct FO_ATTR_LINE {
    unsigned char shape;                                    /* 0 */
    unsigned char unused1;                                  /* 1 */
    unsigned char edgeStyle;                                /* 2 */
    unsigned char unused3;                                  /* 3 */
    unsigned char lineStyle;                                /* 4 */
    unsigned char lineWidth;                                /* 5 */
    unsigned char lineColour;                               /* 6 */
    unsigned char hatched;                                  /* 7 */
    unsigned short lineDash[4];                             /* 8 */
    unsigned char hatchIndex;                               /* 16 */
    unsigned char fillColour;                               /* 17 */
    unsigned char edgeVisible;                              /* 18 */
    unsigned char edgeWidth;                                /* 19 */
    unsigned short cornerRadius[4];                         /* 20 */
    unsigned short lineKindCode;                            /* 28 */
    unsigned short lineDashCount;                           /* 30 */
    unsigned short edgeKindCode;                            /* 32 */
    unsigned short edgeDashCount;                           /* 34 */
    unsigned short edgeDash[4];                             /* 36 */
    unsigned short lineEnd;                                 /* 44 */
    unsigned short lineEnd2;                                /* 46 */
    unsigned short lineStyleParam;                          /* 48 */
    unsigned short lineStyleListCount;                      /* 50 */
    unsigned short lineStyleList[FO_LINESTYLE_LIST_MAX];    /* 52 */
    unsigned short edgeStyleParam;                          /* 80 */
    unsigned short edgeStyleListCount;                      /* 82 */
    unsigned short edgeStyleList[FO_EDGESTYLE_LIST_MAX];    /* 84 */
} FO_ATTR_LINE;

/* Text view of the attribute block: what the character decoder writes. */
typedef struct FO_ATTR_TEXT {
    unsigned short charCount;      /* 0 */
    unsigned char fontClass;       /* 2 */
    unsigned char textColour;      /* 3 */
    unsigned char unused4;         /* 4 */
    unsigned char textRotation;    /* 5 */
    unsigned char textPath;        /* 6 */
    unsigned char unused7[17];     /* 7 */
    unsigned short slantAngle;     /* 24 */
    unsigned char unused26[2];     /* 26 */
    unsigned short charHeight;     /* 28 */
    unsigned short charSpacing;    /* 30 */
    unsigned short charExpansion;  /* 32 */
    unsigned char textForm;        /* 34 */
    unsigned char textCharFlags;   /* 35 */
    unsigned short fontIndex;      /* 36 */
    unsigned short fontIndex2;     /* 38 */
    unsigned short textAttr40;     /* 40 */
    unsigned char textAttr42[2];   /* 42 */
    unsigned short textLength;     /* 44 */
    unsigned char textRecordKind;  /* 46 */
    unsigned char textAttr47;      /* 47 */
    unsigned short textAttr48;     /* 48 */
    unsigned short textAttr50;     /* 50 */
    unsigned short textAttr52;     /* 52 */
    unsigned short textAttr54;     /* 54 */
    unsigned short textAttr56;     /* 56 */
    unsigned short textAttr58;     /* 58 */
    unsigned short textAttr60;     /* 60 */
    unsigned short textAttr62;     /* 62 */
    unsigned short textAttr64;     /* 64 */
} FO_ATTR_TEXT;

/* The element attribute block: one block of bytes seen through the line
 * view or the text view, as the element kind requires. */
typedef union FO_ATTR {
    FO_ATTR_LINE line;
    FO_ATTR_TEXT text;
    unsigned char raw[sizeof(FO_ATTR_LINE)];
} FO_ATTR;

/* Output slots of fordline, fordsegline and fordrect. Each decoder writes
 * only through the slots it uses. */
typedef struct FO_LINEOUT {
    FO_POINT* first;              /* slot 0 */
    FO_POINT* second;             /* slot 1 */
    FO_POINT* third;              /* slot 2 */
    unsigned short* lineValue;    /* slot 3: line record value at rec+22 */
    unsigned char* segment;       /* slot 4: fordsegline writes 1 */
    unsigned char* width;         /* slot 5: line width; fordrect writes 1 */
    unsigned int* groupFlagsHigh; /* slot 6: group flags & 0x0F00 */
    unsigned int* groupFlagsLow;  /* slot 7: group flags & 0x00F0 */
} FO_LINEOUT;

/* In and out block of fordcharacter. */
typedef struct FO_TEXTOUT {
    FO_POINT* position;              /* 0: receives the text position */
    unsigned char* text;             /* 4: receives the first text byte */
    const unsigned char* fontNames;  /* 8: packed font names (in): the names
                                        of an FO_FONTBLOCK, whose nameCount
                                        bounds the font index; or null */
    unsigned char unused12[2];       /* 12 */
    unsigned short fontNameLength;   /* 14: length of each name, at most 8 */
    unsigned char textMode;          /* 16 */
    unsigned char unitTenths;        /* 17: low 8 bits of 14400 / dpi */
    unsigned char unitHalf;          /* 18: (unitTenths + 1) / 2 */
    unsigned char unused19;          /* 19 */
    unsigned short textEncoding;     /* 20: 2 single-byte, 3 Shift JIS */
    unsigned char unused22[2];       /* 22 */
    FO_POINT* auxPoint1;             /* 24 */
    FO_POINT* auxPoint2;             /* 28 */
} FO_TEXTOUT;

/* Output block of fordimg. */
typedef struct FO_IMAGEOUT {
    FO_POINT* position;        /* 0: picture position */
    unsigned char* record;     /* 4: address of the image record */
    unsigned short* byteSize;  /* 8: byte size of the converted image */
    unsigned short* rowCount;  /* 12: converted row count */
    unsigned short sizeLimit;  /* 16: the host's size limit */
} FO_IMAGEOUT;

/* Description block of fordbmpimg (36 bytes on 32-bit builds). */
typedef struct FO_BMPINFO {
    unsigned short code;                 /* 0: code byte - 0xEF, 1 to 4 */
    unsigned short valueA;               /* 2 */
    unsigned short valueB;               /* 4 */
    unsigned short unused6;              /* 6 */
    unsigned int valueC;                 /* 8 */
    unsigned int valueD;                 /* 12 */
    unsigned char valueE;                /* 16 */
    unsigned char colour;                /* 17: from the colour escape */
    unsigned short mode;                 /* 18: 0 to 2 */
    unsigned int bitsSize;               /* 20: byte size of the pixel bits */
    const unsigned char* bitmapInfo;     /* 24: BITMAPINFOHEADER in the image */
    unsigned char unused28[8];           /* 28 */
} FO_BMPINFO;

/* Font-name block filled by foreadfontdef: 4096 bytes, of which the first
 * 232 are the host's and are never touched. */
#define FO_FONTBLOCK_SIZE 4096
typedef struct FO_FONTBLOCK {
    unsigned char host[232];                      /* 0: not touched */
    unsigned short totalBytes;                    /* 232: names + 8 */
    unsigned short nameCount;                     /* 234 */
    unsigned short nameLength;                    /* 236 */
    unsigned char names[FO_FONTBLOCK_SIZE - 238]; /* 238 */
} FO_FONTBLOCK;

/* One pair of the optional renaming table of foreadfontdef. The table's
 * byte 0 is the byte offset of an array of these pairs from the table's
 * start; byte 1 is the number of pairs. */
typedef struct FO_FONTRENAME {
    const char* find;
    const char* replace;
} FO_FONTRENAME;

/* ------------------------------------------------------------------ */
/* Drawing records                                                     */
/* ------------------------------------------------------------------ */

/* The line record given to every drawing function (72 bytes). */
typedef struct LINEREC {
    int width;           /* 0: logical units */
    int kind;            /* 4: 0 none, 1 solid, 2..7 built-in dashes,
                                8 caller-defined, 9 double, 10 wave */
    int cap;             /* 8: 1 flat, 2 square, 3 round */
    COLORREF color;      /* 12 */
    int dashPattern[6];  /* 16: dash, gap, ... in logical units */
    int dashCount;       /* 40 */
    int waveHeight;      /* 44: peak to peak, logical units */
    int dashCarry;       /* 48: length left of the current dash or gap */
    int dashIndex;       /* 52: pattern entry the next piece resumes at */
    int unitsPerInch;    /* 56: 0 asks the device context */
    int reserved[3];     /* 60 */
} LINEREC;

/* One pen slot of the cache: the description and the pen made from it. */
typedef struct MNG_PEN {
    LOGPEN logPen;
    HPEN handle;
} MNG_PEN;

/* One brush slot of the cache. */
typedef struct MNG_BRUSH {
    LOGBRUSH logBrush;
    HBRUSH handle;
} MNG_BRUSH;

/* The pen and brush cache of one device context (260 bytes on 32-bit
 * builds). Slots 0 to 5 are most-recently-used first; slot 6 holds the
 * null pen and the null brush. */
typedef struct MNG_OBJECT {
    MNG_PEN pen[7];     /* 0x000 */
    MNG_BRUSH brush[7]; /* 0x08C */
    HGDIOBJ oldPen;     /* 0x0FC */
    HGDIOBJ oldBrush;   /* 0x100 */
} MNG_OBJECT;

/* Open sides and corner radii of a rectangle (28 bytes). */
typedef struct RECTREC {
    unsigned int openSides;     /* 0 */
    unsigned short radius[4];   /* 4: top-left, top-right, bottom-right,
                                        bottom-left; logical units */
    unsigned char reserved[16]; /* 12 */
} RECTREC;

/* ------------------------------------------------------------------ */
/* Layout checks                                                       */
/* ------------------------------------------------------------------ */

FO_STATIC_ASSERT(sizeof(FO_LINEDEF) == 10, "FO_LINEDEF is 10 bytes");
FO_STATIC_ASSERT(offsetof(FO_WORK, originX) == 220, "FO_WORK origin x");
FO_STATIC_ASSERT(offsetof(FO_WORK, originY) == 222, "FO_WORK origin y");
FO_STATIC_ASSERT(offsetof(FO_WORK, colourFlag) == 224, "FO_WORK colour flag");
FO_STATIC_ASSERT(offsetof(FO_WORK, product) == 225, "FO_WORK product");
FO_STATIC_ASSERT(offsetof(FO_WORK, iconvFlag) == 226, "FO_WORK iconv flag");
FO_STATIC_ASSERT(offsetof(FO_WORK, printerInfo) == 227, "FO_WORK printer info");
FO_STATIC_ASSERT(offsetof(FO_WORK, edition) == 228, "FO_WORK edition");
FO_STATIC_ASSERT(offsetof(FO_WORK, hkzConvFlag) == 229, "FO_WORK HKZ flag");
FO_STATIC_ASSERT(offsetof(FO_WORK, outCharCode) == 230, "FO_WORK out char code");
FO_STATIC_ASSERT(sizeof(FO_WORK) >= 231, "FO_WORK is at least 231 bytes");

FO_STATIC_ASSERT(sizeof(FO_POINT) == 4, "FO_POINT is 4 bytes");

FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeStyle) == 2, "edgeStyle");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineStyle) == 4, "lineStyle");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineWidth) == 5, "lineWidth");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineColour) == 6, "lineColour");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, hatched) == 7, "hatched");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineDash) == 8, "lineDash");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, hatchIndex) == 16, "hatchIndex");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, fillColour) == 17, "fillColour");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeVisible) == 18, "edgeVisible");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeWidth) == 19, "edgeWidth");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, cornerRadius) == 20, "cornerRadius");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineKindCode) == 28, "lineKindCode");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineDashCount) == 30, "lineDashCount");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeKindCode) == 32, "edgeKindCode");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeDashCount) == 34, "edgeDashCount");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeDash) == 36, "edgeDash");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineEnd) == 44, "lineEnd");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineEnd2) == 46, "lineEnd2");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineStyleParam) == 48, "lineStyleParam");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineStyleListCount) == 50, "lineStyleListCount");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, lineStyleList) == 52, "lineStyleList");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeStyleParam) == 80, "edgeStyleParam");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeStyleListCount) == 82, "edgeStyleListCount");
FO_STATIC_ASSERT(offsetof(FO_ATTR_LINE, edgeStyleList) == 84, "edgeStyleList");
FO_STATIC_ASSERT(sizeof(FO_ATTR_LINE) == 84 + 2 * FO_EDGESTYLE_LIST_MAX, "FO_ATTR line view");

FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, fontClass) == 2, "fontClass");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textColour) == 3, "textColour");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textRotation) == 5, "textRotation");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textPath) == 6, "textPath");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, slantAngle) == 24, "slantAngle");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, charHeight) == 28, "charHeight");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, charSpacing) == 30, "charSpacing");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, charExpansion) == 32, "charExpansion");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textForm) == 34, "textForm");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textCharFlags) == 35, "textCharFlags");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, fontIndex) == 36, "fontIndex");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, fontIndex2) == 38, "fontIndex2");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textAttr40) == 40, "textAttr40");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textAttr42) == 42, "textAttr42");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textLength) == 44, "textLength");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textRecordKind) == 46, "textRecordKind");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textAttr47) == 47, "textAttr47");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textAttr48) == 48, "textAttr48");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textAttr58) == 58, "textAttr58");
FO_STATIC_ASSERT(offsetof(FO_ATTR_TEXT, textAttr64) == 64, "textAttr64");
FO_STATIC_ASSERT(sizeof(FO_ATTR) >= 66, "FO_ATTR holds the text view");

FO_STATIC_ASSERT(offsetof(FO_FONTBLOCK, totalBytes) == 232, "font block total");
FO_STATIC_ASSERT(offsetof(FO_FONTBLOCK, nameCount) == 234, "font block count");
FO_STATIC_ASSERT(offsetof(FO_FONTBLOCK, nameLength) == 236, "font block length");
FO_STATIC_ASSERT(offsetof(FO_FONTBLOCK, names) == 238, "font block names");
FO_STATIC_ASSERT(sizeof(FO_FONTBLOCK) == FO_FONTBLOCK_SIZE, "font block size");

FO_STATIC_ASSERT(offsetof(LINEREC, kind) == 4, "LINEREC kind");
FO_STATIC_ASSERT(offsetof(LINEREC, cap) == 8, "LINEREC cap");
FO_STATIC_ASSERT(offsetof(LINEREC, color) == 12, "LINEREC color");
FO_STATIC_ASSERT(offsetof(LINEREC, dashPattern) == 16, "LINEREC dashPattern");
FO_STATIC_ASSERT(offsetof(LINEREC, dashCount) == 40, "LINEREC dashCount");
FO_STATIC_ASSERT(offsetof(LINEREC, waveHeight) == 44, "LINEREC waveHeight");
FO_STATIC_ASSERT(offsetof(LINEREC, dashCarry) == 48, "LINEREC dashCarry");
FO_STATIC_ASSERT(offsetof(LINEREC, dashIndex) == 52, "LINEREC dashIndex");
FO_STATIC_ASSERT(offsetof(LINEREC, unitsPerInch) == 56, "LINEREC unitsPerInch");
FO_STATIC_ASSERT(offsetof(LINEREC, reserved) == 60, "LINEREC reserved");
FO_STATIC_ASSERT(sizeof(LINEREC) == 72, "LINEREC is 72 bytes");

FO_STATIC_ASSERT(offsetof(RECTREC, radius) == 4, "RECTREC radius");
FO_STATIC_ASSERT(offsetof(RECTREC, reserved) == 12, "RECTREC reserved");
FO_STATIC_ASSERT(sizeof(RECTREC) == 28, "RECTREC is 28 bytes");

FO_STATIC_ASSERT(sizeof(LOGPEN) == 16, "LOGPEN is 16 bytes");

#if FO_PTR32
FO_STATIC_ASSERT(offsetof(FO_LINEOUT, width) == 20, "FO_LINEOUT slot 5");
FO_STATIC_ASSERT(offsetof(FO_LINEOUT, groupFlagsLow) == 28, "FO_LINEOUT slot 7");
FO_STATIC_ASSERT(sizeof(FO_LINEOUT) == 32, "FO_LINEOUT is 8 slots");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, text) == 4, "FO_TEXTOUT text");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, fontNames) == 8, "FO_TEXTOUT fontNames");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, fontNameLength) == 14, "FO_TEXTOUT fontNameLength");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, textMode) == 16, "FO_TEXTOUT textMode");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, unitTenths) == 17, "FO_TEXTOUT unitTenths");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, unitHalf) == 18, "FO_TEXTOUT unitHalf");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, textEncoding) == 20, "FO_TEXTOUT textEncoding");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, auxPoint1) == 24, "FO_TEXTOUT auxPoint1");
FO_STATIC_ASSERT(offsetof(FO_TEXTOUT, auxPoint2) == 28, "FO_TEXTOUT auxPoint2");
FO_STATIC_ASSERT(offsetof(FO_IMAGEOUT, record) == 4, "FO_IMAGEOUT record");
FO_STATIC_ASSERT(offsetof(FO_IMAGEOUT, byteSize) == 8, "FO_IMAGEOUT byteSize");
FO_STATIC_ASSERT(offsetof(FO_IMAGEOUT, rowCount) == 12, "FO_IMAGEOUT rowCount");
FO_STATIC_ASSERT(offsetof(FO_IMAGEOUT, sizeLimit) == 16, "FO_IMAGEOUT sizeLimit");
FO_STATIC_ASSERT(offsetof(FO_BMPINFO, valueC) == 8, "FO_BMPINFO value c");
FO_STATIC_ASSERT(offsetof(FO_BMPINFO, valueE) == 16, "FO_BMPINFO value e");
FO_STATIC_ASSERT(offsetof(FO_BMPINFO, colour) == 17, "FO_BMPINFO colour");
FO_STATIC_ASSERT(offsetof(FO_BMPINFO, mode) == 18, "FO_BMPINFO mode");
FO_STATIC_ASSERT(offsetof(FO_BMPINFO, bitsSize) == 20, "FO_BMPINFO bits size");
FO_STATIC_ASSERT(offsetof(FO_BMPINFO, bitmapInfo) == 24, "FO_BMPINFO header address");
FO_STATIC_ASSERT(sizeof(FO_BMPINFO) == 36, "FO_BMPINFO is 36 bytes");
FO_STATIC_ASSERT(sizeof(LOGBRUSH) == 12, "LOGBRUSH is 12 bytes");
FO_STATIC_ASSERT(sizeof(MNG_PEN) == 20, "pen slot is 20 bytes");
FO_STATIC_ASSERT(sizeof(MNG_BRUSH) == 16, "brush slot is 16 bytes");
FO_STATIC_ASSERT(offsetof(MNG_OBJECT, brush) == 0x08C, "MNG_OBJECT brush");
FO_STATIC_ASSERT(offsetof(MNG_OBJECT, oldPen) == 0x0FC, "MNG_OBJECT oldPen");
FO_STATIC_ASSERT(offsetof(MNG_OBJECT, oldBrush) == 0x100, "MNG_OBJECT oldBrush");
FO_STATIC_ASSERT(sizeof(MNG_OBJECT) == 260, "MNG_OBJECT is 260 bytes");
#endif

/* ------------------------------------------------------------------ */
/* Work area and options                                               */
/* ------------------------------------------------------------------ */

FOAPI void FOCALL fosetlinedef(FO_WORK* work);
FOAPI void FOCALL fosetorgpoint(FO_WORK* work, short x, short y);
FOAPI void FOCALL fosetcolflg(FO_WORK* work, char value);
FOAPI char FOCALL fogetcolflg(FO_WORK* work);
FOAPI void FOCALL fosetproduct(FO_WORK* work, char value);
FOAPI char FOCALL fogetproduct(FO_WORK* work);
FOAPI void FOCALL foseticonvflg(FO_WORK* work, char value);
FOAPI char FOCALL fogeticonvflg(FO_WORK* work);
FOAPI void FOCALL fosetprtinf(FO_WORK* work, char value);
FOAPI char FOCALL fogetprtinf(FO_WORK* work);
FOAPI void FOCALL fosetmededition(FO_WORK* work, char value);
FOAPI char FOCALL fogetmededition(FO_WORK* work);
FOAPI void FOCALL fosethkzconvflg(FO_WORK* work, char value);
FOAPI char FOCALL fogethkzconvflg(FO_WORK* work);
FOAPI void FOCALL fosetoutcharcode(FO_WORK* work, char value);
FOAPI char FOCALL fogetoutcharcode(FO_WORK* work);

/* ------------------------------------------------------------------ */
/* Loading                                                             */
/* ------------------------------------------------------------------ */

/* Loader results. */
#define FO_OK 0
#define FO_ERR_NOT_OVERLAY (-2)
#define FO_ERR_VARIANT (-3)
#define FO_ERR_BUFFER (-4)
#define FO_ERR_FILE (-5)
#define FO_ERR_NULL (-6)
/* Framing results. */
#define FO_ERR_RECORD (-1)
#define FO_MARKER (-100)

/* Open modes: the library's own, and the one that hands the handle back. */
#define FO_OPEN_READ 32
#define FO_OPEN_KEEP 18

FOAPI int FOCALL foreaddata(int openMode, char kindWanted, const char* fileName,
                            unsigned char* buffer, unsigned int* bufferSize,
                            unsigned int* loadedSize, unsigned char* kindFound,
                            unsigned short* dataFormat, unsigned short* layoutVersion,
                            int* handle, int openContext);
FOAPI int FOCALL pcom_foreadd33(char kindWanted, const char* fileName, unsigned char* buffer,
                                unsigned int* bufferSize, unsigned int* loadedSize,
                                unsigned char* kindFound, unsigned short* dataFormat,
                                unsigned short* layoutVersion, int openContext);
/* The buffer size that loading fileName needs; a null size is not written. */
FOAPI int FOCALL pcom_fogetreadsize(const char* fileName, unsigned int* size, int openContext);

/* ------------------------------------------------------------------ */
/* Records and element kinds                                           */
/* ------------------------------------------------------------------ */

/* Element kinds foreadkindget names, and the decoder each goes to. */
#define FO_KIND_END 0        /* END PICTURE: the elements are over */
#define FO_KIND_LINE 1       /* fordline */
#define FO_KIND_CIRCLE 2     /* fordcircle */
#define FO_KIND_RECTANGLE 3  /* fordrect */
#define FO_KIND_AREA 4       /* fordarchatch: area group of type 2 or 3 */
#define FO_KIND_AREA_T4 5    /* fordarchatch: area group of type 4 */
#define FO_KIND_AREA_T5 6    /* fordarchatch: area group of type 5 */
#define FO_KIND_TEXT 7       /* fordcharacter */
#define FO_KIND_ELLIPSE 8    /* fordellipse */
#define FO_KIND_IMAGE 9      /* fordimg */
#define FO_KIND_SEGMENTS 10  /* fordsegline: a segmented line */
#define FO_KIND_BITMAP 11    /* fordbmpimg */
#define FO_KIND_TEXT2 12     /* the second text record */

FOAPI int FOCALL foreadclassid(const unsigned char* rec, int avail, unsigned short* cls, int* len);
FOAPI int FOCALL foreadkindget(const unsigned char* rec, int avail);
FOAPI int FOCALL fogetlineid(const unsigned char* rec);

FOAPI void FOCALL foreadlinekind(const unsigned char* rec, FO_ATTR* attr, FO_WORK* work);
FOAPI void FOCALL foreadlinekind2(const unsigned char* rec, FO_ATTR* attr, FO_WORK* work);
FOAPI void FOCALL foreadlinekindEx(const unsigned char* rec, FO_ATTR* attr);
FOAPI void FOCALL foreadlinekindEx2(const unsigned char* rec, FO_ATTR* attr);
FOAPI void FOCALL foreadlinedef(const unsigned char* rec, FO_ATTR* attr, FO_WORK* work);
FOAPI int FOCALL foreadfontdef(const unsigned char* rec, int len, FO_FONTBLOCK* block,
                               const void* renameTable);

/* ------------------------------------------------------------------ */
/* Identifiers and utilities                                           */
/* ------------------------------------------------------------------ */

FOAPI int FOCALL pcom_fogetid(const unsigned char* image, unsigned char index, char* out);
FOAPI void* FOCALL fomemcpy(void* dst, const void* src, unsigned int n);
FOAPI int FOCALL fomemcmp(const void* a, const void* b, unsigned int n);
FOAPI void* FOCALL fomemset(void* dst, int c, unsigned int n);
FOAPI char* FOCALL fostrcpy(char* dst, const char* src);
FOAPI char* FOCALL fostrcat(char* dst, const char* src);
FOAPI unsigned int FOCALL fostrlen(const char* s);
FOAPI char* FOCALL foitoa(int value, char* buf, int radix);
FOAPI int FOCALL foclen_sjis(int c);

/* ------------------------------------------------------------------ */
/* Element decoding                                                    */
/* ------------------------------------------------------------------ */

FOAPI void FOCALL foprintchgpos(FO_POINT* out, const unsigned char* p, unsigned int dpi,
                                const FO_WORK* work);
FOAPI unsigned char FOCALL foprintcolor(unsigned char colour, const FO_WORK* work);
FOAPI unsigned char FOCALL foprinthatchidx(const unsigned char* rec);
FOAPI unsigned short FOCALL fordlineend(const unsigned char* rec);
FOAPI int FOCALL fordlinekind(const FO_ATTR* attr, unsigned int dpi, unsigned short* l1,
                              unsigned short* l2, unsigned short* l3, unsigned short* l4);
FOAPI int FOCALL fordlinekind2(const FO_ATTR* attr, unsigned int dpi, unsigned short* l1,
                               unsigned short* l2, unsigned short* l3, unsigned short* l4);
FOAPI short FOCALL pcom_foprint_getdpi(const unsigned char* buf, unsigned short layoutVersion);
FOAPI int FOCALL pcom_fogetgrptype(const unsigned char* buf, unsigned char* out);

FOAPI int FOCALL fordline(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                          unsigned int dpi, FO_LINEOUT* out, FO_WORK* work);
FOAPI int FOCALL fordsegline(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                             unsigned int dpi, FO_LINEOUT* out, unsigned char* started,
                             unsigned char* ended, FO_WORK* work);
FOAPI int FOCALL fordrect(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                          unsigned int dpi, FO_LINEOUT* out, FO_WORK* work);
FOAPI int FOCALL fordcircle(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                            unsigned int dpi, FO_POINT* centre, unsigned short* radius,
                            FO_WORK* work);
FOAPI int FOCALL fordellipse(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                             unsigned int dpi, FO_POINT* centre, unsigned short* radiusX,
                             unsigned short* radiusY, FO_WORK* work);
FOAPI int FOCALL fordarchatch(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                              unsigned int dpi, FO_POINT* low, FO_POINT* high, FO_WORK* work);
FOAPI int FOCALL fordcharacter(unsigned char** pos, int* avail, FO_ATTR* attr, unsigned int dpi,
                               FO_TEXTOUT* out, FO_WORK* work);
FOAPI int FOCALL fordimg(unsigned char** cursor, unsigned int* remaining, unsigned int dpi,
                         FO_IMAGEOUT* out, FO_WORK* work);
FOAPI int FOCALL fordbmpimg(unsigned char** cursor, unsigned int* remaining, FO_BMPINFO* info,
                            unsigned int dpi, FO_POINT** out, FO_WORK* work);

/* ------------------------------------------------------------------ */
/* Drawing                                                             */
/* ------------------------------------------------------------------ */

FOAPI int FOCALL RoundLineWidth(HDC hdc, int width);
FOAPI void FOCALL RoundLinePosition(HDC hdc, POINT* pt);
FOAPI int FOCALL GetPixToLog(HDC hdc);
FOAPI int FOCALL GetMinimumLength(HDC hdc);

FOAPI void FOCALL StartMngObject(HDC hdc, MNG_OBJECT* mng);
FOAPI void FOCALL EndMngObject(HDC hdc, MNG_OBJECT* mng);
FOAPI int FOCALL foSelectPen(HDC hdc, LOGPEN pen, HGDIOBJ* prev, MNG_OBJECT* mng);
FOAPI int FOCALL foSelectBrush(HDC hdc, LOGBRUSH brush, HGDIOBJ* prev, MNG_OBJECT* mng);

FOAPI int FOCALL foGetLineStyle(HDC hdc, int kind, int width, const int* pattern, int count,
                                int* out, int capacity, int unitsPerInch);
FOAPI int FOCALL foExtLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* line,
                           MNG_OBJECT* mng);
FOAPI HBRUSH FOCALL foGetHatchBrush(int code);
FOAPI int FOCALL foExtRectangle(HDC hdc, RECT rect, int hatch, int fillFlags, LINEREC* line,
                                RECTREC* shape, MNG_OBJECT* mng);
FOAPI int FOCALL foExtEllipse(HDC hdc, int cx, int cy, int rx, int ry, int hatch,
                              int fillFlags, LINEREC* line, MNG_OBJECT* mng);

#ifdef __cplusplus
}
#endif

#endif /* WX5NOVL1_H */
