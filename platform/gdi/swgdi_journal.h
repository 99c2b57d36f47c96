/* swgdi_journal.h: what tests and fuzzers ask of swgdi beyond GDI.
 *
 * The object count finds leaked pens, brushes, bitmaps and DCs; the call
 * journal records what a DC was asked to draw, in device units, so that a
 * test can check the calls a drawing made as well as its pixels. Both are
 * exported from libswgdi; hosts that only draw do not need them.
 */
#ifndef SWGDI_JOURNAL_H
#define SWGDI_JOURNAL_H

#include "swgdi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Live GDI objects (pens, brushes, bitmaps, DCs), stock objects excluded. */
SWGDI_API int swgdi_ObjectCount(void);

/* The call journal of a DC. When enabled, every primitive drawn on the DC,
 * every object selected into it and every object created or deleted while
 * its journal is on is recorded. Coordinates are device pixels. */
typedef struct SWGDI_JOURNAL_ENTRY {
    char op[24];           /* GDI function name: "Rectangle", "SelectObject" */
    HGDIOBJ object;        /* object created, selected or deleted */
    DWORD objectType;      /* its OBJ_ kind when recorded, or 0 */
    int argCount;
    LONG args[8];          /* device arguments: rectangle left, top, right,
                              bottom; MoveToEx x, y; PatBlt x, y, w, h, rop */
    int pointCount;
    const POINT* points;   /* device points of LineTo, Polyline, Polygon;
                              valid until the journal is cleared */
    LOGPEN pen;            /* selected pen; lopnWidth.x in device pixels */
    LOGBRUSH brush;        /* selected brush */
    int rop2;
    COLORREF textColor;
    COLORREF bkColor;
    BOOL result;
} SWGDI_JOURNAL_ENTRY;
SWGDI_API BOOL swgdi_EnableJournal(HDC hdc, BOOL enable);
SWGDI_API int swgdi_JournalCount(HDC hdc);
SWGDI_API BOOL swgdi_JournalEntry(HDC hdc, int index, SWGDI_JOURNAL_ENTRY* out);
/* One entry as a line of text, e.g.
 * "Rectangle 10,20,110,70 pen=0/1/0x0000ff brush=0/0x00ff00 rop=13";
 * returns the length written (truncated to size - 1), or -1. */
SWGDI_API int swgdi_JournalText(HDC hdc, int index, char* buf, int size);
SWGDI_API BOOL swgdi_ClearJournal(HDC hdc);

#ifdef __cplusplus
}
#endif

#endif /* SWGDI_JOURNAL_H */
