/* Loads WX5NOVL1.dll as a Windows host does and uses it: every exported
 * function is found by name, an overlay loads through the sibling DLLs, a
 * hatch brush comes from the DLL's own resources, and a rectangle is drawn
 * on a real GDI bitmap. Prints "ok" and exits 0 when all of that holds. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "wx5novl1.h"
#include "dll_names.h" /* kNames: the header's functions, one string each */

typedef void(__cdecl* SetLineDef)(FO_WORK*);
typedef int(__cdecl* ReadSize)(const char*, unsigned int*, int);
typedef int(__cdecl* Read33)(char, const char*, unsigned char*, unsigned int*, unsigned int*,
                             unsigned char*, unsigned short*, unsigned short*, int);
typedef HBRUSH(__cdecl* HatchBrush)(int);
typedef int(__cdecl* ExtRectangle)(HDC, RECT, int, int, LINEREC*, RECTREC*, MNG_OBJECT*);

int main(int argc, char** argv) {
    HMODULE dll = LoadLibraryA("WX5NOVL1.dll");
    int failures = 0;
    size_t i;
    if (!dll) {
        printf("LoadLibrary failed: %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    for (i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        if (!GetProcAddress(dll, kNames[i])) {
            printf("missing export %s\n", kNames[i]);
            ++failures;
        }
    }

    {
        FO_WORK work;
        memset(&work, 0xFF, sizeof work);
        ((SetLineDef)GetProcAddress(dll, "fosetlinedef"))(&work);
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
        int r = ((ReadSize)GetProcAddress(dll, "pcom_fogetreadsize"))(argv[1], &size, 0);
        if (r != 0 || size != 131072) {
            printf("pcom_fogetreadsize: %d, %u\n", r, size);
            ++failures;
        }
        size = sizeof image;
        r = ((Read33)GetProcAddress(dll, "pcom_foreadd33"))(3, argv[1], image, &size, &loaded, &kind,
                                                            &format, &version, 0);
        if (r != 0 || kind != 1 || loaded < 1000) {
            printf("pcom_foreadd33: %d, kind %d, loaded %u\n", r, kind, loaded);
            ++failures;
        }
    }

    {
        HBRUSH hatch = ((HatchBrush)GetProcAddress(dll, "foGetHatchBrush"))(500);
        HDC dc = CreateCompatibleDC(NULL);
        BITMAPINFO info;
        void* bits = NULL;
        HBITMAP bitmap;
        LINEREC line;
        RECTREC shape;
        RECT box = {4, 4, 40, 30};
        int drawn, ink = 0, x, y;
        memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 48;
        info.bmiHeader.biHeight = -36;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, 48, 36, WHITENESS);
        memset(&line, 0, sizeof line);
        line.width = 3;
        line.kind = 1;
        line.cap = 1;
        memset(&shape, 0, sizeof shape);
        drawn = ((ExtRectangle)GetProcAddress(dll, "foExtRectangle"))(dc, box, 500, 0, &line, &shape, NULL);
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
    FreeLibrary(dll);
    if (failures == 0) printf("ok\n");
    return failures ? 1 : 0;
}
