/* Loads WX5NOVL1.dll as a Windows host does and uses it: every exported
 * function is found by name, an overlay loads through the sibling DLLs, a
 * hatch brush comes from the DLL's own resources, and a rectangle is drawn
 * on a real GDI bitmap. Built for 32-bit x86 it also pins, as it compiles,
 * the documented 32-bit offsets the header does not pin itself, and calls
 * every export as cdecl with its argument words from CALLS (dll_calls.txt).
 * Prints "ok" and exits 0 when all of that holds.
 *   dll_load BUSINESS.ovl CALLS */
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "wx5novl1.h"

static HMODULE g_dll;

/* The export NAME, typed as the header declares it (cdecl). */
#define DLLFN(name) ((__typeof__(&name))(void*)GetProcAddress(g_dll, #name))

/* A white 48 x 36 32-bpp bitmap selected into a memory DC. */
static HDC NewCanvas(void) {
    HDC dc = CreateCompatibleDC(NULL);
    SelectObject(dc, CreateBitmap(48, 36, 1, 32, NULL));
    PatBlt(dc, 0, 0, 48, 36, WHITENESS);
    return dc;
}

static void FreeCanvas(HDC dc) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

#if defined(__i386__)

/* The documented 32-bit offsets that the header's own layout checks leave
 * open: the order of the pointer slots and the handles inside the cache
 * (C11 static assertions, several to a line). */
#define AT(T, f, at) FO_STATIC_ASSERT(offsetof(T, f) == at, #T "." #f " at " #at)
AT(FO_LINEOUT, first, 0); AT(FO_LINEOUT, second, 4); AT(FO_LINEOUT, third, 8);
AT(FO_LINEOUT, lineValue, 12); AT(FO_LINEOUT, segment, 16); AT(FO_LINEOUT, groupFlagsHigh, 24);
AT(FO_TEXTOUT, position, 0); AT(FO_IMAGEOUT, position, 0);
AT(FO_BMPINFO, code, 0); AT(FO_BMPINFO, valueA, 2); AT(FO_BMPINFO, valueB, 4); AT(FO_BMPINFO, valueD, 12);
AT(MNG_OBJECT, pen[0].handle, 16); AT(MNG_OBJECT, pen[6].handle, 0x088);
AT(MNG_OBJECT, brush[0].handle, 0x08C + 12); AT(MNG_OBJECT, brush[6].handle, 0x0F8);

/* cdecl_probe(fn, args, n) pushes the n argument words, calls fn with
 * known values in the registers a callee must keep, and records in g_probe
 * the stack pointer just before the call and just after it returns, those
 * registers, and ebp before and after; then it drops the arguments itself.
 * A cdecl callee leaves the stack pointer where it was before the call. */
unsigned g_probe[7];
unsigned __cdecl cdecl_probe(void* fn, const unsigned* args, int n);
__asm__(
    ".text\n.globl _cdecl_probe\n_cdecl_probe:\n"
    "  pushl %ebp; movl %esp, %ebp; pushl %ebx; pushl %esi; pushl %edi\n"
    "  movl 8(%ebp), %eax; movl 12(%ebp), %esi; movl 16(%ebp), %ecx\n"
    /* keep the stack 16-byte aligned at the call */
    "  leal (,%ecx,4), %edx; subl %edx, %esp; andl $-16, %esp; addl %edx, %esp\n"
    "1: testl %ecx, %ecx; jz 2f; decl %ecx; pushl (%esi,%ecx,4); jmp 1b\n"
    "2: movl %ebp, _g_probe+20\n"
    "  movl $0x13572468, %ebx; movl $0x24681357, %esi; movl $0x5A5AA5A5, %edi\n"
    "  movl %esp, _g_probe; call *%eax; movl %esp, _g_probe+4\n"
    "  movl %ebx, _g_probe+8; movl %esi, _g_probe+12; movl %edi, _g_probe+16\n"
    "  movl %ebp, _g_probe+24; movl _g_probe+20, %ebp\n"
    "  leal -12(%ebp), %esp; popl %edi; popl %esi; popl %ebx; popl %ebp; ret\n");

enum { kMaxWords = 16 };
static unsigned char g_scratch[kMaxWords][1 << 16];
static unsigned char* g_tables[kMaxWords][8];

/* The argument word N for TOKEN (see dll_calls.txt). */
static unsigned Word(const char* token, int n, const char* file, HDC dc) {
    int k;
    switch (token[0]) {
        case 'p': return (unsigned)(uintptr_t)g_scratch[n];
        case 'q':
            for (k = 0; k < 8; ++k) g_tables[n][k] = g_scratch[n] + 256 * k;
            return (unsigned)(uintptr_t)g_tables[n];
        case 'f': return (unsigned)(uintptr_t)file;
        case 'h': return (unsigned)(uintptr_t)dc;
        default: return (unsigned)strtoul(token, NULL, 0);
    }
}

/* Calls FN as cdecl with the argument words left in strtok's line, and
 * checks the stack pointer and the registers a cdecl callee keeps. */
static int Probe(void* fn, const char* name, const char* file, HDC dc) {
    unsigned words[kMaxWords];
    int n = 0;
    char* token;
    memset(g_scratch, 0, sizeof g_scratch);
    while ((token = strtok(NULL, " \r\n")) != NULL && n < kMaxWords) words[n] = Word(token, n, file, dc), ++n;
    memset(g_probe, 0, sizeof g_probe);
    cdecl_probe(fn, words, n);
    if (g_probe[1] == g_probe[0] && g_probe[2] == 0x13572468 && g_probe[3] == 0x24681357 &&
        g_probe[4] == 0x5A5AA5A5 && g_probe[5] == g_probe[6])
        return 0;
    printf("calling convention: %s moved the stack pointer by %d bytes or did not keep ebx, esi, edi"
           " and ebp\n", name, (int)(g_probe[1] - g_probe[0]));
    return 1;
}

#endif /* __i386__ */

/* Finds every export CALLS names (run_dll_load.sh checks that it names each
 * function of the header once) and on 32-bit x86 calls it as cdecl. */
static int CheckExports(const char* calls, const char* file) {
    char line[256];
    int bad = 0, found = 0;
    FILE* in = fopen(calls, "r");
    HDC dc = NewCanvas();
    while (in && fgets(line, sizeof line, in)) {
        char* name = strtok(line, " \r\n");
        void* fn;
        if (!name || name[0] == '#') continue;
        fn = (void*)GetProcAddress(g_dll, name);
        if (!fn) printf("missing export %s\n", name), ++bad;
        else ++found;
#if defined(__i386__)
        if (fn) bad += Probe(fn, name, file, dc);
#else
        (void)file;
#endif
    }
    printf("%s: %d exports found (and called as cdecl on 32-bit x86), %d faults\n", calls, found, bad);
    FreeCanvas(dc);
    return in && fclose(in) == 0 && found > 0 ? bad : bad + 1;
}

int main(int argc, char** argv) {
    static unsigned char image[1 << 20];
    unsigned size = 0, loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    int failures = 0, r, drawn, ink = 0, x, y;
    if (argc != 3) {
        printf("usage: dll_load BUSINESS.ovl CALLS\n");
        return 2;
    }
    g_dll = LoadLibraryA("WX5NOVL1.dll");
    if (!g_dll) {
        printf("LoadLibrary failed: %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    failures += CheckExports(argv[2], argv[1]);

    /* The size query by ordinal from WX5NAUX0, the file through WX5NFACC. */
    r = DLLFN(pcom_fogetreadsize)(argv[1], &size, 0);
    if (r != 0 || size != 131072) printf("pcom_fogetreadsize: %d, %u\n", r, size), ++failures;
    size = sizeof image;
    r = DLLFN(pcom_foreadd33)(3, argv[1], image, &size, &loaded, &kind, &format, &version, 0);
    if (r != 0 || kind != 1 || loaded < 1000)
        printf("pcom_foreadd33: %d, kind %d, loaded %u\n", r, kind, loaded), ++failures;

    /* A framed rectangle filled with hatch 500 from the DLL's resources. */
    {
        HBRUSH hatch = DLLFN(foGetHatchBrush)(500);
        HDC dc = NewCanvas();
        LINEREC line = {.width = 3, .kind = 1, .cap = 1};
        RECTREC shape = {0};
        RECT box = {4, 4, 40, 30};
        drawn = DLLFN(foExtRectangle)(dc, box, 500, 0, &line, &shape, NULL);
        for (y = 0; y < 36; ++y)
            for (x = 0; x < 48; ++x) ink += GetPixel(dc, x, y) != RGB(255, 255, 255);
        if (!hatch || !drawn || ink < 200)
            printf("drawing: brush %p, result %d, %d ink pixels\n", (void*)hatch, drawn, ink), ++failures;
        DeleteObject(hatch);
        FreeCanvas(dc);
    }

    FreeLibrary(g_dll);
    if (failures == 0) printf("ok\n");
    return failures ? 1 : 0;
}
