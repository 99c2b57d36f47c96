/* Loads WX5NOVL1.dll as a Windows host does and uses it: every exported
 * function is found by name, an overlay loads through the sibling DLLs, a
 * hatch brush comes from the DLL's own resources, and a rectangle is drawn
 * on a real GDI bitmap. Built for 32-bit x86 it also checks, at run time,
 * the documented 32-bit layouts of the records that hold pointers (the
 * decoders' outputs are read through byte blocks laid out by those offsets,
 * not through the header's structures) and the calling convention of every
 * export. Prints "ok" and exits 0 when all of that holds.
 *   dll_load BUSINESS.ovl [MORE.ovl...]   (the first one is the business example) */
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "wx5novl1.h"
#include "dll_names.h" /* kNames: the header's functions, one string each */

static HMODULE g_dll;

/* The export NAME, typed as the header declares it (cdecl). */
#define DLLFN(name) ((__typeof__(&name))(void*)GetProcAddress(g_dll, #name))

static HDC NewCanvas(int width, int height, void** bits, HBITMAP* bitmap) {
    HDC dc = CreateCompatibleDC(NULL);
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    *bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, NULL, 0);
    SelectObject(dc, *bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    return dc;
}

#if defined(__i386__)

/* ---- Documented 32-bit layouts, compared with the compiled ones ---- */

#define FIELD(T, f, at) {#T "." #f, offsetof(T, f), at}
#define SIZE(T, n) {"sizeof " #T, sizeof(T), n}
static const struct {
    const char* what;
    size_t got, want;
} kLayout[] = {
    FIELD(FO_LINEOUT, first, 0), FIELD(FO_LINEOUT, second, 4), FIELD(FO_LINEOUT, third, 8),
    FIELD(FO_LINEOUT, lineValue, 12), FIELD(FO_LINEOUT, segment, 16), FIELD(FO_LINEOUT, width, 20),
    FIELD(FO_LINEOUT, groupFlagsHigh, 24), FIELD(FO_LINEOUT, groupFlagsLow, 28), SIZE(FO_LINEOUT, 32),
    FIELD(FO_TEXTOUT, position, 0), FIELD(FO_TEXTOUT, text, 4), FIELD(FO_TEXTOUT, fontNames, 8),
    FIELD(FO_TEXTOUT, fontNameLength, 14), FIELD(FO_TEXTOUT, textMode, 16),
    FIELD(FO_TEXTOUT, unitTenths, 17), FIELD(FO_TEXTOUT, unitHalf, 18),
    FIELD(FO_TEXTOUT, textEncoding, 20), FIELD(FO_TEXTOUT, auxPoint1, 24),
    FIELD(FO_TEXTOUT, auxPoint2, 28), SIZE(FO_TEXTOUT, 32),
    FIELD(FO_IMAGEOUT, position, 0), FIELD(FO_IMAGEOUT, record, 4), FIELD(FO_IMAGEOUT, byteSize, 8),
    FIELD(FO_IMAGEOUT, rowCount, 12), FIELD(FO_IMAGEOUT, sizeLimit, 16),
    FIELD(FO_BMPINFO, code, 0), FIELD(FO_BMPINFO, valueA, 2), FIELD(FO_BMPINFO, valueB, 4),
    FIELD(FO_BMPINFO, valueC, 8), FIELD(FO_BMPINFO, valueD, 12), FIELD(FO_BMPINFO, valueE, 16),
    FIELD(FO_BMPINFO, colour, 17), FIELD(FO_BMPINFO, mode, 18), FIELD(FO_BMPINFO, bitsSize, 20),
    FIELD(FO_BMPINFO, bitmapInfo, 24), SIZE(FO_BMPINFO, 36),
    FIELD(MNG_OBJECT, pen, 0x000), FIELD(MNG_OBJECT, pen[0].handle, 16),
    FIELD(MNG_OBJECT, pen[6].handle, 0x088), FIELD(MNG_OBJECT, brush, 0x08C),
    FIELD(MNG_OBJECT, brush[0].handle, 0x08C + 12), FIELD(MNG_OBJECT, brush[6].handle, 0x0F8),
    FIELD(MNG_OBJECT, oldPen, 0x0FC), FIELD(MNG_OBJECT, oldBrush, 0x100), SIZE(MNG_OBJECT, 260),
};

static int CheckLayouts(void) {
    int bad = 0;
    size_t i;
    for (i = 0; i < sizeof kLayout / sizeof kLayout[0]; ++i) {
        int same = kLayout[i].got == kLayout[i].want;
        printf("layout %-28s %3u (documented %3u)%s\n", kLayout[i].what, (unsigned)kLayout[i].got,
               (unsigned)kLayout[i].want, same ? "" : "  MISMATCH");
        bad += !same;
    }
    return bad;
}

/* ---- Byte blocks at the documented offsets ---- */

static void PutPtr(unsigned char* block, int at, const void* p) {
    uint32_t v = (uint32_t)(uintptr_t)p;
    memcpy(block + at, &v, 4);
}
static void* GetPtr(const unsigned char* block, int at) {
    uint32_t v;
    memcpy(&v, block + at, 4);
    return (void*)(uintptr_t)v;
}
static unsigned Get(const unsigned char* block, int at, int width) {
    unsigned v = 0;
    memcpy(&v, block + at, (size_t)width); /* little-endian host */
    return v;
}
static void Put16(unsigned char* block, int at, unsigned v) {
    unsigned short s = (unsigned short)v;
    memcpy(block + at, &s, 2);
}

/* Everything a decoder call can give back; filled the same way through the
 * header's structures and through the byte blocks, then compared. */
typedef struct Outputs {
    int result;
    unsigned char* cursor;
    unsigned int remaining;
    FO_ATTR attr;
    FO_WORK work;
    FO_POINT point[3];
    unsigned short value, byteSize, rowCount;
    unsigned char segment, width, started, ended, tenths, half;
    unsigned int high, low;
    const unsigned char* text;
    const unsigned char* record;
    unsigned int info[10]; /* the bitmap description, field by field */
} Outputs;

enum { kLineOut, kTextOut, kImageOut, kBmpInfo, kBlockKinds };
static const char* const kBlockNames[kBlockKinds] = {"FO_LINEOUT", "FO_TEXTOUT", "FO_IMAGEOUT",
                                                     "FO_BMPINFO"};

typedef struct WalkState {
    unsigned char* cursor;
    unsigned int remaining;
    FO_ATTR* attr;
    FO_WORK* work;
    const FO_FONTBLOCK* fonts;
    unsigned char textMode;
    unsigned char started, ended; /* carried from one segment call to the next */
} WalkState;

/* Decodes the element of kind KIND at the state's cursor into *o, through
 * the header's structures (raw 0) or through byte blocks (raw 1). Returns
 * the block kind involved, or -1 for an element without one. */
static int DecodeOnce(int kind, const WalkState* s, int raw, Outputs* o) {
    unsigned char block[36];
    FO_POINT* corners[2];
    int avail;
    memset(o, 0, sizeof *o);
    memset(block, 0, sizeof block);
    o->cursor = s->cursor;
    o->remaining = s->remaining;
    o->attr = *s->attr;
    o->work = *s->work;
    o->started = s->started;
    o->ended = s->ended;
    switch (kind) {
        case 1:
        case 3:
        case 10: {
            /* By field name, so that the header's order of the fields counts. */
            FO_LINEOUT out = {.first = &o->point[0], .second = &o->point[1], .third = &o->point[2],
                              .lineValue = &o->value, .segment = &o->segment, .width = &o->width,
                              .groupFlagsHigh = &o->high, .groupFlagsLow = &o->low};
            void* const slots[8] = {&o->point[0], &o->point[1], &o->point[2], &o->value,
                                    &o->segment,  &o->width,    &o->high,     &o->low};
            int i;
            FO_LINEOUT* arg = &out;
            if (raw) {
                for (i = 0; i < 8; ++i) PutPtr(block, 4 * i, slots[i]);
                arg = (FO_LINEOUT*)block;
            }
            if (kind == 1)
                o->result = DLLFN(fordline)(&o->cursor, &o->remaining, &o->attr, 300, arg, &o->work);
            else if (kind == 3)
                o->result = DLLFN(fordrect)(&o->cursor, &o->remaining, &o->attr, 300, arg, &o->work);
            else
                o->result = DLLFN(fordsegline)(&o->cursor, &o->remaining, &o->attr, 300, arg,
                                               &o->started, &o->ended, &o->work);
            return kLineOut;
        }
        case 7:
        case 12: {
            FO_TEXTOUT out;
            memset(&out, 0, sizeof out);
            out.position = &o->point[0];
            out.fontNames = s->fonts->names;
            out.fontNameLength = s->fonts->nameLength;
            out.textMode = s->textMode;
            out.textEncoding = 3;
            out.auxPoint1 = &o->point[1];
            out.auxPoint2 = &o->point[2];
            PutPtr(block, 0, &o->point[0]);
            PutPtr(block, 8, s->fonts->names);
            Put16(block, 14, s->fonts->nameLength);
            block[16] = s->textMode;
            Put16(block, 20, 3);
            PutPtr(block, 24, &o->point[1]);
            PutPtr(block, 28, &o->point[2]);
            avail = (int)o->remaining;
            o->result = DLLFN(fordcharacter)(&o->cursor, &avail, &o->attr, 300,
                                             raw ? (FO_TEXTOUT*)block : &out, &o->work);
            o->remaining = (unsigned)avail;
            o->text = raw ? GetPtr(block, 4) : out.text;
            o->tenths = raw ? block[17] : out.unitTenths;
            o->half = raw ? block[18] : out.unitHalf;
            return kTextOut;
        }
        case 9: {
            FO_IMAGEOUT out = {.position = &o->point[0], .record = NULL, .byteSize = &o->byteSize,
                               .rowCount = &o->rowCount, .sizeLimit = 0};
            PutPtr(block, 0, &o->point[0]);
            PutPtr(block, 8, &o->byteSize);
            PutPtr(block, 12, &o->rowCount);
            o->result = DLLFN(fordimg)(&o->cursor, &o->remaining, 300, raw ? (FO_IMAGEOUT*)block : &out,
                                       &o->work);
            o->record = raw ? GetPtr(block, 4) : out.record;
            return kImageOut;
        }
        case 11: {
            FO_BMPINFO info;
            memset(&info, 0, sizeof info);
            corners[0] = &o->point[0];
            corners[1] = &o->point[1];
            o->result = DLLFN(fordbmpimg)(&o->cursor, &o->remaining, raw ? (FO_BMPINFO*)block : &info,
                                          300, corners, &o->work);
            if (raw) {
                static const int at[10] = {0, 2, 4, 8, 12, 16, 17, 18, 20, 24};
                static const int width[10] = {2, 2, 2, 4, 4, 1, 1, 2, 4, 4};
                int i;
                for (i = 0; i < 10; ++i) o->info[i] = Get(block, at[i], width[i]);
            } else {
                const unsigned fields[10] = {info.code,   info.valueA, info.valueB,   info.valueC,
                                             info.valueD, info.valueE, info.colour,   info.mode,
                                             info.bitsSize, (unsigned)(uintptr_t)info.bitmapInfo};
                memcpy(o->info, fields, sizeof fields);
            }
            return kBmpInfo;
        }
        case 2:
            o->result = DLLFN(fordcircle)(&o->cursor, &o->remaining, &o->attr, 300, &o->point[0],
                                          &o->value, &o->work);
            return -1;
        case 8:
            o->result = DLLFN(fordellipse)(&o->cursor, &o->remaining, &o->attr, 300, &o->point[0],
                                           &o->value, &o->byteSize, &o->work);
            return -1;
        case 4:
        case 5:
        case 6:
            o->result = DLLFN(fordarchatch)(&o->cursor, &o->remaining, &o->attr, 300, &o->point[0],
                                            &o->point[1], &o->work);
            return -1;
        default:
            o->result = -1;
            return -1;
    }
}

static unsigned BE16(const unsigned char* p) { return (unsigned)((p[0] << 8) | p[1]); }

/* Length of the record at p by its own header and partitions (0 when it
 * runs past left): how a host steps over the image record fordimg leaves
 * the cursor on. */
static size_t OwnLength(const unsigned char* p, size_t left) {
    size_t pos = 2;
    unsigned word;
    if (left < 2) return 0;
    if ((BE16(p) & 0x1F) != 0x1F) return 2 + (BE16(p) & 0x1F) <= left ? 2 + (BE16(p) & 0x1F) : 0;
    do {
        if (pos + 2 > left) return 0;
        word = BE16(p + pos);
        pos += 2 + (word & 0x7FFF);
        if (pos > left) return 0;
    } while (word & 0x8000);
    return pos;
}

/* The first element record of a loaded kind 1 image, reading the font
 * list of the preamble on the way; 0 when there is none. */
static size_t FirstElement(const unsigned char* image, size_t loaded, unsigned format,
                           FO_FONTBLOCK* fonts) {
    size_t p = 384 + 776;
    unsigned short cls;
    int len;
    if (p + 4 > loaded) return 0;
    p += 8 + BE16(image + p + 2);
    if (p + 4 > loaded) return 0;
    p += 4 + BE16(image + p + 2);
    p += format == 3 ? 6 : 4;
    while (p < loaded) {
        int framed = DLLFN(foreadclassid)(image + p, (int)(loaded - p), &cls, &len);
        if (framed == FO_MARKER) {
            p += 4;
            continue;
        }
        if (framed != 0 || len <= 0) return 0;
        if (cls == 0x11A0) DLLFN(foreadfontdef)(image + p, len, fonts, NULL);
        p += (size_t)len;
        if (cls == 0) return p;
    }
    return 0;
}

/* Walks one overlay, decoding every element through the header's
 * structures and again, from the same state, through byte blocks at the
 * documented offsets; the two must agree in everything. */
static int WalkRaw(const char* file, int compared[kBlockKinds]) {
    static unsigned char image[1 << 18];
    static FO_FONTBLOCK fonts;
    unsigned size = sizeof image, loaded = 0, steps = 0;
    unsigned char kindFound = 0;
    unsigned short format = 0, version = 0;
    FO_WORK work;
    FO_ATTR graphic, text;
    WalkState s;
    unsigned char* start;
    size_t first;
    int r = DLLFN(pcom_foreadd33)(3, file, image, &size, &loaded, &kindFound, &format, &version, 0);
    memset(&fonts, 0, sizeof fonts);
    first = r == 0 && kindFound == 1 ? FirstElement(image, loaded, format, &fonts) : 0;
    if (first == 0) {
        printf("%s: no elements to walk (load %d, kind %d)\n", file, r, kindFound);
        return 1;
    }
    memset(&work, 0, sizeof work);
    DLLFN(fosetlinedef)(&work);
    memset(&graphic, 0, sizeof graphic);
    memset(&text, 0, sizeof text);
    s.cursor = image + first;
    s.remaining = loaded - (unsigned)first;
    s.work = &work;
    s.fonts = &fonts;
    s.textMode = version == 1 ? 1 : 2;
    while (++steps < 100000) {
        Outputs typed, raw;
        int block, kind = DLLFN(foreadkindget)(s.cursor, (int)s.remaining);
        if (kind == FO_MARKER) {
            s.cursor += 4;
            s.remaining -= 4;
            continue;
        }
        if (kind == 0) return 0;
        if (kind < 0) break;
        s.attr = (kind == 7 || kind == 12) ? &text : &graphic;
        s.started = s.ended = 0;
        start = s.cursor;
        do {
            block = DecodeOnce(kind, &s, 0, &typed);
            if (block >= 0) {
                DecodeOnce(kind, &s, 1, &raw);
                if (memcmp(&typed, &raw, sizeof typed) != 0) {
                    printf("%s: kind %d at offset %u: %s read at the documented offsets differs\n", file,
                           kind, (unsigned)(s.cursor - image), kBlockNames[block]);
                    return 1;
                }
                ++compared[block];
            }
            if (typed.result != 0) {
                printf("%s: kind %d at offset %u not decoded (%d)\n", file, kind,
                       (unsigned)(s.cursor - image), typed.result);
                return 1;
            }
            s.cursor = typed.cursor;
            s.remaining = typed.remaining;
            *s.attr = typed.attr;
            work = typed.work;
            s.started = typed.started;
            s.ended = typed.ended;
        } while (kind == 10 && !typed.ended && ++steps < 100000);
        if (kind == 9 && (s.cursor == typed.record || s.cursor == typed.record + 2)) {
            size_t n = OwnLength(s.cursor, s.remaining);
            if (n == 0) break;
            s.cursor += n;
            s.remaining -= (unsigned)n;
        }
        if (s.cursor == start) break;
    }
    printf("%s: the walk did not reach END PICTURE\n", file);
    return 1;
}

/* The pen and brush cache read at its documented byte offsets after one pen
 * and one brush went through it. */
static int CheckCacheBytes(void) {
    void* bits;
    HBITMAP bitmap;
    HDC dc = NewCanvas(8, 8, &bits, &bitmap);
    HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN), brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ prev = NULL;
    LOGPEN pen = {PS_SOLID, {3, 0}, RGB(1, 2, 3)};
    LOGBRUSH brush = {BS_SOLID, RGB(4, 5, 6), 0};
    MNG_OBJECT mng;
    const unsigned char* raw = (const unsigned char*)&mng;
    int bad = 0;
    memset(&mng, 0, sizeof mng);
    DLLFN(StartMngObject)(dc, &mng);
    DLLFN(foSelectPen)(dc, pen, &prev, &mng);
    DLLFN(foSelectBrush)(dc, brush, &prev, &mng);
    bad |= GetPtr(raw, 0x0FC) != penBefore || GetPtr(raw, 0x100) != brushBefore;
    bad |= memcmp(raw, &pen, 16) != 0 || GetPtr(raw, 16) != GetCurrentObject(dc, OBJ_PEN);
    bad |= memcmp(raw + 0x08C, &brush, 12) != 0 || GetPtr(raw, 0x08C + 12) != GetCurrentObject(dc, OBJ_BRUSH);
    if (bad) printf("MNG_OBJECT: the cache's bytes are not at the documented offsets\n");
    DLLFN(EndMngObject)(dc, &mng);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return bad;
}

/* ---- The calling convention of every export ---- */

/* cdecl_probe(fn, args, n) pushes the n argument words, calls fn with
 * known values in the registers a callee must keep, and records the stack
 * pointer just before the call and just after it returns, and those
 * registers, in g_probe; then it drops the arguments itself. A cdecl
 * callee leaves the stack pointer where it was before the call. */
unsigned g_probe[8];
unsigned __cdecl cdecl_probe(void* fn, const unsigned* args, int n);
__asm__(
    ".text\n"
    ".globl _cdecl_probe\n"
    "_cdecl_probe:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %ebx\n"
    "  pushl %esi\n"
    "  pushl %edi\n"
    "  movl 8(%ebp), %eax\n"
    "  movl 12(%ebp), %esi\n"
    "  movl 16(%ebp), %ecx\n"
    "  leal (,%ecx,4), %edx\n"
    "  subl %edx, %esp\n"
    "  andl $-16, %esp\n"
    "  addl %edx, %esp\n"
    "1:\n"
    "  testl %ecx, %ecx\n"
    "  jz 2f\n"
    "  decl %ecx\n"
    "  pushl (%esi,%ecx,4)\n"
    "  jmp 1b\n"
    "2:\n"
    "  movl %ebp, _g_probe+20\n"
    "  movl $0x13572468, %ebx\n"
    "  movl $0x24681357, %esi\n"
    "  movl $0x5A5AA5A5, %edi\n"
    "  movl %esp, _g_probe\n"
    "  call *%eax\n"
    "  movl %esp, _g_probe+4\n"
    "  movl %ebx, _g_probe+8\n"
    "  movl %esi, _g_probe+12\n"
    "  movl %edi, _g_probe+16\n"
    "  movl %ebp, _g_probe+24\n"
    "  movl _g_probe+20, %ebp\n"
    "  leal -12(%ebp), %esp\n"
    "  popl %edi\n"
    "  popl %esi\n"
    "  popl %ebx\n"
    "  popl %ebp\n"
    "  ret\n");

/* Harmless arguments for each export, one letter per argument word:
 * p zeroed scratch, q table of eight pointers into zeroed scratch, z null,
 * 0 1 3 digits, k 10, d 240, o open mode 32, f the business file name,
 * h a memory DC, r a RECT (four words), l a LOGPEN (four), b a LOGBRUSH
 * (three). Lengths and counts are 0 or 1, so nothing is read far. */
static const struct {
    const char* name;
    const char* args;
} kCalls[] = {
    {"fosetlinedef", "p"}, {"fosetorgpoint", "p00"}, {"fosetcolflg", "p0"}, {"fogetcolflg", "p"},
    {"fosetproduct", "p0"}, {"fogetproduct", "p"}, {"foseticonvflg", "p0"}, {"fogeticonvflg", "p"},
    {"fosetprtinf", "p0"}, {"fogetprtinf", "p"}, {"fosetmededition", "p0"}, {"fogetmededition", "p"},
    {"fosethkzconvflg", "p0"}, {"fogethkzconvflg", "p"}, {"fosetoutcharcode", "p0"},
    {"fogetoutcharcode", "p"}, {"foreaddata", "o3fppppppp0"}, {"pcom_foreadd33", "3fpppppp0"},
    {"pcom_fogetreadsize", "fp0"}, {"foreadclassid", "p0pp"}, {"foreadkindget", "p0"},
    {"fogetlineid", "p"}, {"foreadlinekind", "ppp"}, {"foreadlinekind2", "ppp"},
    {"foreadlinekindEx", "pp"}, {"foreadlinekindEx2", "pp"}, {"foreadlinedef", "ppp"},
    {"foreadfontdef", "p0pz"}, {"pcom_fogetid", "p0p"}, {"fomemcpy", "pp1"}, {"fomemcmp", "pp1"},
    {"fomemset", "p01"}, {"fostrcpy", "pp"}, {"fostrcat", "pp"}, {"fostrlen", "p"}, {"foitoa", "1pk"},
    {"foclen_sjis", "0"}, {"foprintchgpos", "ppdp"}, {"foprintcolor", "0p"}, {"foprinthatchidx", "p"},
    {"fordlineend", "p"}, {"fordlinekind", "pdpppp"}, {"fordlinekind2", "pdpppp"},
    {"pcom_foprint_getdpi", "p1"}, {"pcom_fogetgrptype", "pp"}, {"fordline", "qppdqp"},
    {"fordsegline", "qppdqppp"}, {"fordrect", "qppdqp"}, {"fordcircle", "qppdppp"},
    {"fordellipse", "qppdpppp"}, {"fordarchatch", "qppdppp"}, {"fordcharacter", "qppdpp"},
    {"fordimg", "qpdpp"}, {"fordbmpimg", "qppdqp"}, {"RoundLineWidth", "h1"},
    {"RoundLinePosition", "hp"}, {"GetPixToLog", "h"}, {"GetMinimumLength", "h"},
    {"StartMngObject", "hp"}, {"EndMngObject", "hp"}, {"foSelectPen", "hlpp"},
    {"foSelectBrush", "hbpp"}, {"foGetLineStyle", "h11p0pkd"}, {"foExtLine", "h0011pz"},
    {"foGetHatchBrush", "0"}, {"foExtRectangle", "hr00ppz"}, {"foExtEllipse", "h111100ppz"},
};

enum { kMaxWords = 16 };
static unsigned char g_scratch[kMaxWords][1 << 16];
static unsigned char* g_tables[kMaxWords][8];

/* Builds the argument words of ARGS; returns their count, or -1. */
static int Arguments(const char* args, const char* file, HDC dc, unsigned words[kMaxWords]) {
    int n = 0, i, k;
    memset(g_scratch, 0, sizeof g_scratch);
    for (i = 0; args[i] != '\0'; ++i) {
        const int room = args[i] == 'r' || args[i] == 'l' ? 4 : args[i] == 'b' ? 3 : 1;
        if (n + room > kMaxWords) return -1;
        switch (args[i]) {
            case 'p': words[n] = (unsigned)(uintptr_t)g_scratch[n]; break;
            case 'q':
                for (k = 0; k < 8; ++k) g_tables[n][k] = g_scratch[n] + 256 * k;
                words[n] = (unsigned)(uintptr_t)g_tables[n];
                break;
            case 'z': case '0': words[n] = 0; break;
            case '1': words[n] = 1; break;
            case '3': words[n] = 3; break;
            case 'k': words[n] = 10; break;
            case 'd': words[n] = 240; break;
            case 'o': words[n] = FO_OPEN_READ; break;
            case 'f': words[n] = (unsigned)(uintptr_t)file; break;
            case 'h': words[n] = (unsigned)(uintptr_t)dc; break;
            case 'r': words[n] = 4; words[n + 1] = 4; words[n + 2] = 40; words[n + 3] = 30; break;
            case 'l': words[n] = PS_SOLID; words[n + 1] = 1; words[n + 2] = 0; words[n + 3] = 0; break;
            case 'b': words[n] = BS_SOLID; words[n + 1] = 0; words[n + 2] = 0; break;
            default: return -1;
        }
        n += room;
    }
    return n;
}

static int CheckCallingConvention(const char* file) {
    void* bits;
    HBITMAP bitmap;
    HDC dc = NewCanvas(48, 36, &bits, &bitmap);
    int bad = 0, called = 0;
    size_t i, j;
    for (i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        unsigned words[kMaxWords];
        const char* args = NULL;
        void* fn = (void*)GetProcAddress(g_dll, kNames[i]);
        int n;
        for (j = 0; j < sizeof kCalls / sizeof kCalls[0]; ++j)
            if (strcmp(kCalls[j].name, kNames[i]) == 0) args = kCalls[j].args;
        n = args ? Arguments(args, file, dc, words) : -1;
        if (!fn || n < 0) {
            printf("calling convention: no call of %s\n", kNames[i]);
            ++bad;
            continue;
        }
        memset(g_probe, 0, sizeof g_probe);
        cdecl_probe(fn, words, n);
        ++called;
        if (g_probe[1] != g_probe[0]) {
            printf("calling convention: %s moved the stack pointer by %d bytes\n", kNames[i],
                   (int)(g_probe[1] - g_probe[0]));
            ++bad;
        }
        if (g_probe[2] != 0x13572468 || g_probe[3] != 0x24681357 || g_probe[4] != 0x5A5AA5A5 ||
            g_probe[5] != g_probe[6]) {
            printf("calling convention: %s did not keep ebx, esi, edi and ebp\n", kNames[i]);
            ++bad;
        }
    }
    printf("calling convention: %d exports called as cdecl, %d faults\n", called, bad);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return bad;
}

static int Check32(int argc, char** argv) {
    int bad = CheckLayouts(), i, k, compared[kBlockKinds] = {0, 0, 0, 0};
    for (i = 1; i < argc; ++i) bad += WalkRaw(argv[i], compared);
    for (k = 0; k < kBlockKinds; ++k) {
        printf("%s read at the documented offsets: %d decoder calls\n", kBlockNames[k], compared[k]);
        if (argc > 3 && compared[k] == 0) ++bad; /* the three examples hold every one */
    }
    bad += CheckCacheBytes();
    bad += CheckCallingConvention(argc > 1 ? argv[1] : "business.ovl");
    return bad;
}

#endif /* __i386__ */

int main(int argc, char** argv) {
    int failures = 0;
    size_t i;
    g_dll = LoadLibraryA("WX5NOVL1.dll");
    if (!g_dll) {
        printf("LoadLibrary failed: %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    for (i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        if (!GetProcAddress(g_dll, kNames[i])) {
            printf("missing export %s\n", kNames[i]);
            ++failures;
        }
    }

    {
        FO_WORK work;
        memset(&work, 0xFF, sizeof work);
        DLLFN(fosetlinedef)(&work);
        if (work.lineDef[17].count != 1 || work.lineDef[13].length[0] != 30) {
            printf("fosetlinedef gave a wrong table\n");
            ++failures;
        }
    }

    if (argc > 1) {
        static unsigned char image[1 << 20];
        unsigned int size = 0, loaded = 0;
        unsigned char kind = 0;
        unsigned short format = 0, version = 0;
        int r = DLLFN(pcom_fogetreadsize)(argv[1], &size, 0);
        if (r != 0 || size != 131072) {
            printf("pcom_fogetreadsize: %d, %u\n", r, size);
            ++failures;
        }
        size = sizeof image;
        r = DLLFN(pcom_foreadd33)(3, argv[1], image, &size, &loaded, &kind,
                                                              &format, &version, 0);
        if (r != 0 || kind != 1 || loaded < 1000) {
            printf("pcom_foreadd33: %d, kind %d, loaded %u\n", r, kind, loaded);
            ++failures;
        }
    }

    {
        HBRUSH hatch = DLLFN(foGetHatchBrush)(500);
        void* bits = NULL;
        HBITMAP bitmap;
        HDC dc = NewCanvas(48, 36, &bits, &bitmap);
        LINEREC line;
        RECTREC shape;
        RECT box = {4, 4, 40, 30};
        int drawn, ink = 0, x, y;
        memset(&line, 0, sizeof line);
        line.width = 3;
        line.kind = 1;
        line.cap = 1;
        memset(&shape, 0, sizeof shape);
        drawn = DLLFN(foExtRectangle)(dc, box, 500, 0, &line, &shape, NULL);
        GdiFlush();
        for (y = 0; y < 36; ++y)
            for (x = 0; x < 48; ++x) ink += (((unsigned*)bits)[y * 48 + x] & 0xFFFFFF) != 0xFFFFFF;
        if (!hatch || !drawn || ink < 200) {
            printf("drawing: brush %p, result %d, %d ink pixels\n", (void*)hatch, drawn, ink);
            ++failures;
        }
        DeleteObject(hatch);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }

#if defined(__i386__)
    failures += Check32(argc, argv);
#else
    printf("32-bit layouts and calling convention: checked by the 32-bit build only\n");
#endif
    FreeLibrary(g_dll);
    if (failures == 0) printf("ok\n");
    return failures ? 1 : 0;
}
