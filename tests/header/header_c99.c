/* The exported header used from plain C99: it compiles, its layout checks
 * hold, and the records a host fills have the sizes it expects. */
#include <stddef.h>
#include <stdio.h>

#include "wx5novl1.h"

int main(void) {
    int bad = 0;
    FO_ATTR attr;
    if (sizeof(LINEREC) != 72) bad |= 1;
    if (sizeof(RECTREC) != 28) bad |= 2;
    if (offsetof(FO_WORK, outCharCode) != 230) bad |= 4;
    if ((unsigned char*)&attr.text.textAttr64 - attr.raw != 64) bad |= 8;
    if ((unsigned char*)&attr.line.edgeStyleList[0] - attr.raw != 84) bad |= 16;
    if (sizeof(FO_FONTBLOCK) != 4096) bad |= 32;
    if (bad) printf("layout mismatch: %d\n", bad);
    return bad;
}
