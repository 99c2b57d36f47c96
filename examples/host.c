/* A minimal host of the overlay library, in C: it loads an overlay, walks its
 * elements, decodes each, draws the lines, boxes and ellipses on a page and
 * writes the page as PNG.
 *
 *   host FILE.ovl OUT.png
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "wx5novl1.h"

enum { DPI = 150 };

/* The first element record of a loaded OVLP image: behind the element
 * block's descriptors, the data marker and the preamble's NO-OP record. */
static size_t first_element(const unsigned char* image, size_t loaded, unsigned format) {
    size_t p = 384 + 776;
    unsigned short cls;
    int len;
    if (p + 4 > loaded) return 0;
    p += 8 + ((image[p + 2] << 8) | image[p + 3]);
    if (p + 4 > loaded) return 0;
    p += 4 + ((image[p + 2] << 8) | image[p + 3]);
    p += format == 3 ? 6 : 4;
    while (p < loaded) {
        if (foreadclassid(image + p, (int)(loaded - p), &cls, &len) != 0 || len <= 0) return 0;
        p += (size_t)len;
        if (cls == 0) return p;
    }
    return 0;
}

static LINEREC solid_line(int width) {
    LINEREC line;
    memset(&line, 0, sizeof line);
    line.width = width > 0 ? width : 1;
    line.kind = 1;
    line.cap = 1;
    line.color = RGB(0, 0, 0);
    line.unitsPerInch = DPI;
    return line;
}

int main(int argc, char** argv) {
    unsigned size = 0, loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    unsigned char* image;
    unsigned char* cursor;
    unsigned remaining;
    size_t first;
    int drawn = 0, result;
    FO_WORK work;
    FO_ATTR attr;
    MNG_OBJECT mng;
    HDC page;

    if (argc != 3) {
        fprintf(stderr, "usage: host FILE.ovl OUT.png\n");
        return 2;
    }
    if (pcom_fogetreadsize(argv[1], &size, 0) != 0 || (image = malloc(size)) == NULL) {
        fprintf(stderr, "host: %s: cannot size the file\n", argv[1]);
        return 1;
    }
    result = pcom_foreadd33(1, argv[1], image, &size, &loaded, &kind, &format, &version, 0);
    first = result == 0 ? first_element(image, loaded, format) : 0;
    if (first == 0) {
        fprintf(stderr, "host: %s: cannot load (result %d)\n", argv[1], result);
        free(image);
        return 1;
    }

    memset(&work, 0, sizeof work);
    fosetlinedef(&work);
    memset(&attr, 0, sizeof attr);
    page = swgdi_CreatePageDC(DPI * 210 / 25, DPI * 297 / 25, DPI, DPI, 32);
    StartMngObject(page, &mng);

    cursor = image + first;
    remaining = (unsigned)(loaded - first);
    for (;;) {
        FO_POINT p[3], centre;
        unsigned short value, rx, ry;
        unsigned char width = 0, segment = 0, started = 0, ended = 0;
        unsigned int high = 0, low = 0;
        FO_LINEOUT out = {&p[0], &p[1], &p[2], &value, &segment, &width, &high, &low};
        LINEREC line;
        int k = foreadkindget(cursor, (int)remaining);
        if (k == FO_MARKER) { cursor += 4; remaining -= 4; continue; }
        if (k <= 0) break;  /* END PICTURE, or the data ended */
        switch (k) {
            case 1:
                result = fordline(&cursor, &remaining, &attr, DPI, &out, &work);
                line = solid_line(width);
                if (result == 0) drawn += foExtLine(page, p[0].x, p[0].y, p[1].x, p[1].y, &line, &mng);
                break;
            case 10:
                result = fordsegline(&cursor, &remaining, &attr, DPI, &out, &started, &ended, &work);
                line = solid_line(attr.line.lineWidth);
                if (result == 0 && !ended) drawn += foExtLine(page, p[0].x, p[0].y, p[1].x, p[1].y, &line, &mng);
                break;
            case 3: {
                RECTREC shape;
                RECT r;
                memset(&shape, 0, sizeof shape);
                result = fordrect(&cursor, &remaining, &attr, DPI, &out, &work);
                r.left = p[0].x; r.top = p[0].y; r.right = p[1].x; r.bottom = p[1].y;
                line = solid_line(attr.line.lineWidth);
                if (result == 0) drawn += foExtRectangle(page, r, 0, 0, &line, &shape, &mng);
                break;
            }
            case 2:
            case 8:
                if (k == 2) {
                    result = fordcircle(&cursor, &remaining, &attr, DPI, &centre, &rx, &work);
                    ry = rx;
                } else {
                    result = fordellipse(&cursor, &remaining, &attr, DPI, &centre, &rx, &ry, &work);
                }
                line = solid_line(attr.line.lineWidth);
                if (result == 0) drawn += foExtEllipse(page, centre.x, centre.y, rx, ry, 0, 0, &line, &mng);
                break;
            default: {
                /* Text, areas, images and bitmaps: this host steps over the
                 * element's records up to the next element. */
                unsigned short cls;
                int len;
                if (foreadclassid(cursor, (int)remaining, &cls, &len) != 0 || len <= 0) result = -1;
                else { cursor += len; remaining -= (unsigned)len; result = 0; }
                break;
            }
        }
        if (result != 0) {
            fprintf(stderr, "host: %s: element of kind %d not decoded (%d)\n", argv[1], k, result);
            break;
        }
    }
    EndMngObject(page, &mng);
    if (!swgdi_WritePNG(page, argv[2])) {
        fprintf(stderr, "host: %s: cannot write\n", argv[2]);
        result = 1;
    }
    DeleteDC(page);
    free(image);
    printf("drew %d elements\n", drawn);
    return result == 0 ? 0 : 1;
}
