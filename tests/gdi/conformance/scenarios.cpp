// The GDI scenarios' own calls: none beyond GDI's, and the probe of edge-case
// call results compared with a real GDI's.
#include "runner.h"

const Verb kExtraVerbs[] = {{"", nullptr}};
const int kExtraVerbCount = 0;
void ResetExtraVerbs() {}

namespace {
const COLORREF kRed = RGB(200, 30, 40);
const COLORREF kGreen = RGB(20, 170, 60);
const COLORREF kBlue = RGB(30, 60, 210);
}  // namespace

int ApiProbe(ApiResult* out, int max) {
    int n = 0;
    auto put = [&](const char* name, long v) {
        if (n < max) out[n++] = {name, v};
    };
    HDC dc = CreateCompatibleDC(nullptr);
    HDC dc2 = CreateCompatibleDC(nullptr);
    put("CreatePen(PS_NULL) is the stock null pen", CreatePen(PS_NULL, 3, kRed) == GetStockObject(NULL_PEN));
    LOGBRUSH nb = {BS_NULL, 0, 0};
    HBRUSH nullBrush = CreateBrushIndirect(&nb);
    LOGBRUSH lb = {};
    put("CreateBrushIndirect(BS_NULL) made", nullBrush != nullptr);
    put("its style", GetObjectA(nullBrush, sizeof lb, &lb) ? long(lb.lbStyle) : -1);
    DeleteObject(nullBrush);
    HPEN pen = CreatePen(PS_DASH, 5, kBlue);
    LOGPEN lp = {};
    char buf[64];
    put("GetObjectA(pen, 0, null)", GetObjectA(pen, 0, nullptr));
    put("GetObjectA(pen, 15, buf)", GetObjectA(pen, 15, buf));
    put("GetObjectA(pen) style", GetObjectA(pen, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    put("GetObjectA(pen) width", long(lp.lopnWidth.x));
    HPEN neg = CreatePen(PS_SOLID, -3, kBlue);
    GetObjectA(neg, sizeof lp, &lp);
    put("CreatePen width -3 keeps", long(lp.lopnWidth.x));
    DeleteObject(neg);
    HPEN odd = CreatePen(42, 1, 0);
    put("CreatePen(42) made", odd != nullptr);
    put("CreatePen(42) style", GetObjectA(odd, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    DeleteObject(odd);
    odd = CreatePen(PS_USERSTYLE, 1, 0);
    put("CreatePen(PS_USERSTYLE) style", GetObjectA(odd, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    DeleteObject(odd);
    odd = CreatePen(PS_SOLID | PS_GEOMETRIC | PS_ENDCAP_FLAT, 4, 0);
    put("CreatePen(geometric flags) style", GetObjectA(odd, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    DeleteObject(odd);
    HBRUSH br = CreateSolidBrush(kGreen);
    put("GetObjectA(brush, 0, null)", GetObjectA(br, 0, nullptr));
    put("GetObjectA(brush, 8, buf)", GetObjectA(br, 8, buf));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    put("SelectObject returns the stock black pen", oldPen == GetStockObject(BLACK_PEN));
    put("DeleteObject(selected pen)", DeleteObject(pen));
    put("GetCurrentObject still the pen", GetCurrentObject(dc, OBJ_PEN) == pen);
    SelectObject(dc, oldPen);
    put("pen gone after deselect", GetObjectType(pen) == 0);
    DeleteObject(br);
    put("DeleteObject(stock pen)", DeleteObject(GetStockObject(BLACK_PEN)));
    put("GetStockObject(99) null", GetStockObject(99) == nullptr);
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, nullptr);
    BITMAP info = {};
    put("GetObjectA(bitmap) size ok", GetObjectA(bm, sizeof info, &info) == int(sizeof info));
    put("DDB width bytes", long(info.bmWidthBytes));
    put("DDB bits pixel", long(info.bmBitsPixel));
    HGDIOBJ def = SelectObject(dc, bm);
    put("bitmap into a second DC fails", SelectObject(dc2, bm) == nullptr);
    put("default bitmap is CreateBitmap(0,0)", CreateBitmap(0, 0, 1, 1, nullptr) == def);
    SelectObject(dc, def);
    DeleteObject(bm);
    put("SetMapMode(0)", SetMapMode(dc, 0));
    put("SetMapMode(9)", SetMapMode(dc, 9));
    put("SetMapMode(MM_LOMETRIC) returns MM_TEXT", SetMapMode(dc, MM_LOMETRIC));
    put("GetMapMode", GetMapMode(dc));
    SIZE ext = {};
    put("SetWindowExtEx in MM_LOMETRIC", SetWindowExtEx(dc, 5, 5, &ext));
    GetWindowExtEx(dc, &ext);
    put("window extent unchanged", long(ext.cx) == long(GetDeviceCaps(dc, HORZSIZE)) * 10);
    SetMapMode(dc, MM_ANISOTROPIC);
    put("SetWindowExtEx(0, 5)", SetWindowExtEx(dc, 0, 5, nullptr));
    put("SetViewportExtEx(5, 0)", SetViewportExtEx(dc, 5, 0, nullptr));
    SetMapMode(dc, MM_TEXT);
    put("SetROP2(17)", SetROP2(dc, 17));
    put("SetROP2(0)", SetROP2(dc, 0));
    put("SetBkMode(3)", SetBkMode(dc, 3));
    put("SetPolyFillMode(3)", SetPolyFillMode(dc, 3));
    put("SetStretchBltMode(5)", SetStretchBltMode(dc, 5));
    put("SetTextColor returns previous", long(int(SetTextColor(dc, kRed))));
    put("SetBkColor returns previous", long(int(SetBkColor(dc, kRed))));
    put("GetPixel outside", long(int(GetPixel(dc, 5, 5))));
    POINT pts[2] = {{0, 0}, {3, 3}};
    put("Polygon with 1 point", Polygon(dc, pts, 1));
    put("Polyline with 1 point", Polyline(dc, pts, 1));
    put("Polygon with 2 points", Polygon(dc, pts, 2));
    put("Rectangle empty", Rectangle(dc, 3, 3, 3, 10));
    put("PatBlt with SRCCOPY", PatBlt(dc, 0, 0, 1, 1, SRCCOPY));
    put("LPtoDP no points", LPtoDP(dc, pts, 0));
    put("GetDeviceCaps(PLANES)", GetDeviceCaps(dc, PLANES));
    put("GetDeviceCaps(NUMCOLORS)", GetDeviceCaps(dc, NUMCOLORS));
    put("GetCurrentObject(OBJ_BRUSH) stock white", GetCurrentObject(dc, OBJ_BRUSH) == GetStockObject(WHITE_BRUSH));
    put("GetObjectType(dc)", long(GetObjectType(dc)));
    put("GetObjectType(stock pen)", long(GetObjectType(GetStockObject(NULL_PEN))));
    put("DeleteDC", DeleteDC(dc2));
    put("DeleteDC again", DeleteDC(dc2));
    put("SelectObject on a deleted DC", SelectObject(dc2, GetStockObject(BLACK_PEN)) == nullptr);
    DeleteDC(dc);
    return n;
}
