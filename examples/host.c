/* A minimal host of the overlay library, in C, on the host library: it loads
 * each overlay, draws every element on an A4 page at 150 dpi (lines, boxes,
 * areas, circles and ellipses by the library; images and bitmaps by the host
 * library's helpers; text as a mark under where it goes, since a real host
 * draws glyphs with its own font engine) and says how many elements it drew
 * of how many it decoded. Exits 1 when an overlay does not load, does not
 * decode to its end or has an element that was not drawn; 2 for a bad
 * command line.
 *
 *   host [-o PAGE.png] FILE.ovl...      (the page of the last file)
 */
#include <stdio.h>
#include <string.h>

#include "wx5nhost.h"

enum { DPI = 150 };

/* A line under the text, as long as its characters are high. */
static int mark_text(void* context, HDC dc, const WX5NH_OVERLAY* overlay,
                     const WX5NH_ELEMENT* element) {
    const FO_ATTR_TEXT* t = &element->attr.text;
    long x = element->textPosition.x, y = element->textPosition.y;
    long height = (t->charHeight != 0 ? t->charHeight : 210) * (long)element->dpi / 1440;
    (void)context;
    if (wx5nh_text_length(overlay, element) == 0) return -1;
    if (element->kind == 7) { /* TEXT positions are in 1/1440 inch */
        x = x * (long)element->dpi / 1440;
        y = y * (long)element->dpi / 1440;
    }
    MoveToEx(dc, (int)x, (int)y, NULL);
    LineTo(dc, (int)(x + height * (t->charCount > 0 ? t->charCount : 1)), (int)y);
    return 0;
}

int main(int argc, char** argv) {
    const char* out = NULL;
    const WX5NH_CALLBACKS callbacks = {NULL, mark_text, wx5nh_draw_image, wx5nh_draw_bitmap};
    int first = 1, status = 0, i;

    if (argc > 2 && strcmp(argv[1], "-o") == 0) {
        out = argv[2];
        first = 3;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: host [-o PAGE.png] FILE.ovl...\n");
        return 2;
    }
    for (i = first; i < argc; ++i) {
        WX5NH_OVERLAY overlay;
        WX5NH_RENDER_RESULT result;
        HDC page;
        int loaded = wx5nh_load(argv[i], &overlay);
        if (loaded != 0) {
            fprintf(stderr, "host: %s: cannot load (result %d)\n", argv[i], loaded);
            status = 1;
            continue;
        }
        page = swgdi_CreatePageDC(DPI * 210 * 10 / 254, DPI * 297 * 10 / 254, DPI, DPI, 32);
        if (page == NULL) {
            fprintf(stderr, "host: cannot make a page\n");
            wx5nh_free(&overlay);
            return 1;
        }
        wx5nh_render(page, &overlay, DPI, &callbacks, &result);
        printf("%s: drew %lu of %lu elements\n", argv[i], (unsigned long)result.drawn,
               (unsigned long)result.decoded);
        if (result.stop.result != 0) {
            fprintf(stderr, "host: %s: decoding stopped at byte %lu (result %d)\n", argv[i],
                    (unsigned long)result.stop.offset, result.stop.result);
            status = 1;
        }
        if (result.drawn != result.decoded || result.decoded == 0) status = 1;
        if (out != NULL && i == argc - 1 && !swgdi_WritePNG(page, out)) {
            fprintf(stderr, "host: %s: cannot write the page\n", out);
            status = 1;
        }
        DeleteDC(page);
        wx5nh_free(&overlay);
    }
    return status;
}
