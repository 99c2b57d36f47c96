// Runs drawing scenarios read from a table and either writes their pixels
// (`runner OUT`, both builds) or, natively, compares them with a file written
// on a real GDI (`runner --compare REFERENCE`), one row per scenario. Such a
// file turned into digests (`runner --digest REFERENCE`) compares the same
// way without the real GDI at hand, exact scenarios only.
//
// The table (scenarios.txt beside the runner's source, or the file named by
// WX5N_CONFORMANCE_TABLE) holds one call a line:
//   canvas W H [LIMIT]    canvas of every scenario; with LIMIT, the differing
//                         pixels of all scenarios together must stay under
//                         LIMIT percent of the drawn ones
//   scenario NAME GROUP exact|report BPP
//   [?] [VAR =] Verb ARG...  a GDI call (or a call of the extra verbs) on the
//                         scenario's device context; VAR names the object made;
//                         "?" records what the call returned
// Arguments are integers, variables, 0 for no object, and hex strings for
// bits. Query verbs (LPtoDP, GetViewportExtEx, PenInfo...) and "?" lines
// record results, and the reference must give the same. Exact scenarios must match pixel
// for pixel; the others are reported.
//
// Built with WX5N_RUNNER_CALLS_ONLY, only the calls and RunCalls are kept,
// for tests that replay calls on a device context of their own.
#include "runner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef WX5N_CONFORMANCE_TABLE
#define WX5N_CONFORMANCE_TABLE "scenarios.txt"
#endif
#ifndef WX5N_CONFORMANCE_SOURCE
#define WX5N_CONFORMANCE_SOURCE __FILE__
#endif

static const std::string& Arg(const Call& c, size_t i) {
    if (i >= c.args.size()) throw std::runtime_error("missing argument");
    return c.args[i];
}

long Call::Int(size_t i) const {
    char* end = nullptr;
    long v = std::strtol(Arg(*this, i).c_str(), &end, 0);
    if (*end) throw std::runtime_error("not a number: " + args[i]);
    return v;
}

void* Call::Obj(size_t i) const {
    if (Arg(*this, i) == "0") return nullptr;
    auto it = vars->find(args[i]);
    if (it == vars->end()) throw std::runtime_error("unknown variable " + args[i]);
    return it->second;
}

std::vector<unsigned char> Call::Bytes(size_t i) const {
    const std::string& s = Arg(*this, i);
    std::vector<unsigned char> out;
    for (size_t k = 0; s != "-" && k + 1 < s.size(); k += 2)
        out.push_back(static_cast<unsigned char>(std::strtoul(s.substr(k, 2).c_str(), nullptr, 16)));
    return out;
}

std::vector<POINT> Call::Points(size_t from) const {
    std::vector<POINT> p;
    for (size_t i = from; i + 1 < args.size(); i += 2) p.push_back({LONG(Int(i)), LONG(Int(i + 1))});
    return p;
}

namespace {

int I(const Call& c, size_t i) { return static_cast<int>(c.Int(i)); }
COLORREF Color(const Call& c, size_t i) { return static_cast<COLORREF>(c.Int(i)); }

// A bitmap header with a two-entry colour table, and the size of its bits
// (rows padded to 32 bits).
struct Dib {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
};
Dib DibHeader(int w, int h, int bpp, unsigned c0, unsigned c1) {
    Dib bi;
    std::memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = w;
    bi.h.biHeight = h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(bpp);
    std::memcpy(&bi.colors[0], &c0, 4);
    std::memcpy(&bi.colors[1], &c1, 4);
    return bi;
}
size_t DibBytes(int w, int h, int bpp) { return size_t((w * bpp + 31) / 32 * 4) * size_t(h < 0 ? -h : h); }

// A backdrop of two colours in checks of CELL, so that raster operations and
// transparent fills show what they keep.
void Backdrop(Call& c) {
    const int cell = I(c, 0);
    HBRUSH a = CreateSolidBrush(RGB(240, 235, 225));
    HBRUSH b = CreateSolidBrush(RGB(60, 90, 120));
    RECT all = {0, 0, c.width, c.height};
    FillRect(c.dc, &all, a);
    for (int y = 0; y < c.height; y += cell)
        for (int x = (y / cell) % 2 * cell; x < c.width; x += 2 * cell) {
            RECT rc = {x, y, x + cell, y + cell};
            FillRect(c.dc, &rc, b);
        }
    DeleteObject(a);
    DeleteObject(b);
}

// Records what a query verb gives.
void Put(Call& c, long a, long b) { c.values->insert(c.values->end(), {a, b}); }

HGDIOBJ O(const Call& c, size_t i) { return static_cast<HGDIOBJ>(c.Obj(i)); }

// What GetObjectA tells of a pen (style, width), a brush (style) or a bitmap
// (bytes a row, bits a pixel); a failed call gives -1.
void Describe(Call& c) {
    union {
        LOGPEN pen;
        LOGBRUSH brush;
        BITMAP bitmap;
    } u;
    std::memset(&u, 0, sizeof u);
    const DWORD type = GetObjectType(O(c, 0));
    const int size = type == OBJ_PEN ? sizeof u.pen : type == OBJ_BRUSH ? sizeof u.brush : sizeof u.bitmap;
    const bool ok = GetObjectA(O(c, 0), size, &u) == size;
    if (type == OBJ_PEN) Put(c, ok ? long(u.pen.lopnStyle) : -1, u.pen.lopnWidth.x);
    else if (type == OBJ_BRUSH) Put(c, ok ? long(u.brush.lbStyle) : -1, 0);
    else Put(c, ok ? u.bitmap.bmWidthBytes : -1, u.bitmap.bmBitsPixel);
}

// The point arguments through a conversion, recorded.
void Convert(Call& c, BOOL (*f)(HDC, POINT*, int)) {
    std::vector<POINT> p = c.Points(0);
    c.ret = f(c.dc, p.data(), static_cast<int>(p.size()));
    for (const POINT& q : p) Put(c, q.x, q.y);
}

void Bits(Call& c) {
    const int w = I(c, 9), h = I(c, 10), bpp = I(c, 11);
    Dib bi = DibHeader(w, h, bpp, static_cast<unsigned>(c.Int(12)), static_cast<unsigned>(c.Int(13)));
    std::vector<unsigned char> px = c.Bytes(14);
    if (px.size() != DibBytes(w, h, bpp)) throw std::runtime_error("StretchDIBits: wrong number of bytes");
    StretchDIBits(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3), I(c, 4), I(c, 5), I(c, 6), I(c, 7),
                  px.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                  static_cast<DWORD>(c.Int(8)));
}

void DibSection(Call& c) {
    const int w = I(c, 0), h = I(c, 1), bpp = I(c, 2);
    Dib bi = DibHeader(w, h, bpp, 0, 0);
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(c.dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                  nullptr, 0);
    std::vector<unsigned char> px = c.Bytes(3);
    if (!bm || px.size() != DibBytes(w, h, bpp))
        throw std::runtime_error("DibSection: no bitmap or wrong number of bytes");
    std::memcpy(bits, px.data(), px.size());
    c.result = bm;
}

const Verb kGdiVerbs[] = {
    {"Backdrop", Backdrop},
    {"CreatePen", [](Call& c) { c.result = CreatePen(I(c, 0), I(c, 1), Color(c, 2)); }},
    {"CreateSolidBrush", [](Call& c) { c.result = CreateSolidBrush(Color(c, 0)); }},
    {"CreateHatchBrush", [](Call& c) { c.result = CreateHatchBrush(I(c, 0), Color(c, 1)); }},
    {"CreateBrushIndirect",
     [](Call& c) {
         LOGBRUSH lb = {static_cast<UINT>(c.Int(0)), Color(c, 1), static_cast<ULONG_PTR>(c.Int(2))};
         c.result = CreateBrushIndirect(&lb);
     }},
    {"CreatePatternBrush", [](Call& c) { c.result = CreatePatternBrush(static_cast<HBITMAP>(c.Obj(0))); }},
    {"CreateBitmap",
     [](Call& c) {
         std::vector<unsigned char> bits = c.Bytes(4);
         c.result = CreateBitmap(I(c, 0), I(c, 1), UINT(I(c, 2)), UINT(I(c, 3)), bits.empty() ? nullptr : bits.data());
     }},
    {"DibSection", DibSection},
    {"LoadBitmap",
     [](Call& c) {
         if (!(c.result = LoadBitmapA(GetModuleHandleA("WX5NOVL1.DLL"), MAKEINTRESOURCEA(I(c, 0)))))
             throw std::runtime_error("no bitmap resource");
     }},
    {"GetStockObject", [](Call& c) { c.result = GetStockObject(I(c, 0)); }},
    {"SelectObject", [](Call& c) { c.result = SelectObject(c.dc, c.Obj(0)); }},
    {"DeleteObject", [](Call& c) { c.ret = DeleteObject(c.Obj(0)); }},
    {"SetMapMode", [](Call& c) { c.ret = SetMapMode(c.dc, I(c, 0)); }},
    {"SetROP2", [](Call& c) { c.ret = SetROP2(c.dc, I(c, 0)); }},
    {"SetBkMode", [](Call& c) { c.ret = SetBkMode(c.dc, I(c, 0)); }},
    {"SetStretchBltMode", [](Call& c) { c.ret = SetStretchBltMode(c.dc, I(c, 0)); }},
    {"SetPolyFillMode", [](Call& c) { c.ret = SetPolyFillMode(c.dc, I(c, 0)); }},
    {"SetBkColor", [](Call& c) { c.ret = int(SetBkColor(c.dc, Color(c, 0))); }},
    {"SetTextColor", [](Call& c) { c.ret = int(SetTextColor(c.dc, Color(c, 0))); }},
    {"SetWindowOrgEx", [](Call& c) { SetWindowOrgEx(c.dc, I(c, 0), I(c, 1), nullptr); }},
    {"SetWindowExtEx", [](Call& c) { c.ret = SetWindowExtEx(c.dc, I(c, 0), I(c, 1), nullptr); }},
    {"SetViewportOrgEx", [](Call& c) { SetViewportOrgEx(c.dc, I(c, 0), I(c, 1), nullptr); }},
    {"SetViewportExtEx", [](Call& c) { c.ret = SetViewportExtEx(c.dc, I(c, 0), I(c, 1), nullptr); }},
    {"SetBrushOrgEx", [](Call& c) { SetBrushOrgEx(c.dc, I(c, 0), I(c, 1), nullptr); }},
    {"MoveToEx", [](Call& c) { MoveToEx(c.dc, I(c, 0), I(c, 1), nullptr); }},
    {"LineTo", [](Call& c) { LineTo(c.dc, I(c, 0), I(c, 1)); }},
    {"Rectangle", [](Call& c) { c.ret = Rectangle(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3)); }},
    {"Ellipse", [](Call& c) { Ellipse(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3)); }},
    {"RoundRect", [](Call& c) { RoundRect(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3), I(c, 4), I(c, 5)); }},
    {"PatBlt", [](Call& c) { c.ret = PatBlt(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3), static_cast<DWORD>(c.Int(4))); }},
    {"SetPixel", [](Call& c) { SetPixel(c.dc, I(c, 0), I(c, 1), Color(c, 2)); }},
    {"FillRect", [](Call& c) { RECT rc = {I(c, 0), I(c, 1), I(c, 2), I(c, 3)}; FillRect(c.dc, &rc, HBRUSH(c.Obj(4))); }},
    {"Polygon", [](Call& c) { std::vector<POINT> p = c.Points(0); c.ret = Polygon(c.dc, p.data(), int(p.size())); }},
    {"Polyline", [](Call& c) { std::vector<POINT> p = c.Points(0); c.ret = Polyline(c.dc, p.data(), int(p.size())); }},
    {"StretchDIBits", Bits},
    {"LPtoDP", [](Call& c) { Convert(c, [](HDC dc, POINT* p, int n) { return LPtoDP(dc, p, n); }); }},
    {"DPtoLP", [](Call& c) { Convert(c, [](HDC dc, POINT* p, int n) { return DPtoLP(dc, p, n); }); }},
    {"GetWindowExtEx", [](Call& c) { SIZE s = {0, 0}; GetWindowExtEx(c.dc, &s); Put(c, s.cx, s.cy); }},
    {"GetMapMode", [](Call& c) { c.ret = GetMapMode(c.dc); }},
    {"GetDeviceCaps", [](Call& c) { c.ret = GetDeviceCaps(c.dc, I(c, 0)); }},
    {"GetPixel", [](Call& c) { c.ret = int(GetPixel(c.dc, I(c, 0), I(c, 1))); }},
    {"GetCurrentObject", [](Call& c) { c.result = GetCurrentObject(c.dc, UINT(I(c, 0))); }},
    {"GetObjectType", [](Call& c) { c.ret = long(GetObjectType(O(c, 0))); }},
    {"GetObjectA", [](Call& c) { char buf[64]; c.ret = GetObjectA(O(c, 0), I(c, 1), I(c, 1) ? buf : nullptr); }},
    {"Describe", Describe},
    {"Same", [](Call& c) { c.ret = c.Obj(0) == c.Obj(1); }},
    {"CreateCompatibleDC", [](Call& c) { c.result = CreateCompatibleDC(nullptr); }},
    {"DeleteDC", [](Call& c) { c.ret = DeleteDC(static_cast<HDC>(c.Obj(0))); }},
    {"GetViewportExtEx", [](Call& c) { SIZE s = {0, 0}; GetViewportExtEx(c.dc, &s); Put(c, s.cx, s.cy); }},
    {"GetWindowOrgEx", [](Call& c) { POINT p = {0, 0}; GetWindowOrgEx(c.dc, &p); Put(c, p.x, p.y); }},
    {"GetCurrentPositionEx", [](Call& c) { POINT p = {0, 0}; GetCurrentPositionEx(c.dc, &p); Put(c, p.x, p.y); }},
};

const Verb* FindVerb(const std::string& name) {
    for (const Verb& v : kGdiVerbs)
        if (name == v.name) return &v;
    for (int i = 0; i < kExtraVerbCount; ++i)
        if (name == kExtraVerbs[i].name) return &kExtraVerbs[i];
    return nullptr;
}

}  // namespace

void RunCalls(HDC dc, int width, int height, const std::vector<std::vector<std::string>>& calls,
              std::vector<long>* values) {
    std::map<std::string, void*> vars = {{"dc", dc}};
    ResetExtraVerbs();
    for (const std::vector<std::string>& line : calls) {
        const bool record = line[0] == "?";
        const std::vector<std::string> tok(line.begin() + record, line.end());
        const bool assign = tok.size() >= 3 && tok[1] == "=";
        Call call;
        call.dc = dc;
        call.width = width;
        call.height = height;
        call.args.assign(tok.begin() + (assign ? 3 : 1), tok.end());
        call.vars = &vars;
        call.values = values;
        if (!assign && tok.at(0) == "UseDC") {
            dc = static_cast<HDC>(call.Obj(0));
            continue;
        }
        const Verb* v = FindVerb(tok.at(assign ? 2 : 0));
        if (!v) throw std::runtime_error("unknown call " + tok[assign ? 2 : 0]);
        v->run(call);
        if (assign) vars[tok[0]] = call.result;
        if (record) values->push_back(call.result ? 1 : call.ret);
    }
}

#ifndef WX5N_RUNNER_CALLS_ONLY
namespace {

struct Scenario {
    std::string name, group;
    bool exact = true;
    int bpp = 32;
    std::vector<std::vector<std::string>> calls;
};

struct Table {
    int width = 0, height = 0;
    double limit = -1;  // percent of drawn pixels; negative: no total limit
    std::vector<Scenario> scenarios;
};

std::string TablePath() {
    if (const char* env = std::getenv("WX5N_CONFORMANCE_TABLE")) return env;
    std::string src = WX5N_CONFORMANCE_SOURCE;
    size_t slash = src.find_last_of("/\\");
    return (slash == std::string::npos ? std::string() : src.substr(0, slash + 1)) + WX5N_CONFORMANCE_TABLE;
}

Table ReadTable(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open the scenario table " + path);
    Table t;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        std::istringstream words(line);
        std::vector<std::string> tok;
        for (std::string w; words >> w;) tok.push_back(w);
        if (tok.empty() || tok[0][0] == '#') continue;
        if (tok[0] == "canvas" && tok.size() >= 3) {
            t.width = std::atoi(tok[1].c_str());
            t.height = std::atoi(tok[2].c_str());
            if (tok.size() > 3) t.limit = std::atof(tok[3].c_str());
        } else if (tok[0] == "scenario" && tok.size() == 5) {
            t.scenarios.push_back({tok[1], tok[2], tok[3] == "exact", std::atoi(tok[4].c_str()), {}});
        } else if (!t.scenarios.empty()) {
            t.scenarios.back().calls.push_back(tok);
        } else {
            throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": call outside a scenario");
        }
    }
    if (t.width <= 0 || t.height <= 0 || t.scenarios.empty())
        throw std::runtime_error(path + ": no canvas line or no scenarios");
    return t;
}

struct Metrics {
    int horzRes, vertRes, horzSize, vertSize, logX, logY;
};

struct Result {
    std::string name;
    int bpp = 32;
    std::vector<unsigned> pixels;  // 32 bpp values, or 0/1 for 1 bpp
    std::vector<long> values;      // what the query verbs gave
    unsigned long long digest = 0; // read from a digest file: no pixels then

    // FNV-1a over the pixels and the query results.
    unsigned long long Digest() const {
        unsigned long long h = 1469598103934665603ull;
        auto mix = [&h](unsigned long long v) {
            for (int i = 0; i < 8; ++i) {
                h ^= (v >> (8 * i)) & 0xFF;
                h *= 1099511628211ull;
            }
        };
        for (unsigned v : pixels) mix(v);
        for (long v : values) mix(static_cast<unsigned long long>(v));
        return h;
    }
};

// The value every 32-bit canvas pixel holds before a scenario draws.
const unsigned kBackground = 0xCCCCCCCCu;

Result Run(const Table& t, const Scenario& sc, const Metrics* metrics) {
    Result r;
    r.name = sc.name;
    r.bpp = sc.bpp;
    HDC dc = CreateCompatibleDC(nullptr);
#ifndef _WIN32
    if (metrics)
        swgdi_SetDeviceMetrics(dc, metrics->horzRes, metrics->vertRes, metrics->horzSize,
                               metrics->vertSize, metrics->logX, metrics->logY);
#else
    (void)metrics;
#endif
    Dib bi = DibHeader(t.width, -t.height, sc.bpp, 0, 0x00FFFFFF);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    const size_t stride = DibBytes(t.width, 1, sc.bpp);
    std::memset(bits, sc.bpp == 32 ? 0xCC : 0x5A, stride * t.height);
    try {
        RunCalls(dc, t.width, t.height, sc.calls, &r.values);
    } catch (const std::exception& e) {
        throw std::runtime_error(sc.name + ": " + e.what());
    }
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) {
            const unsigned char* row = static_cast<const unsigned char*>(bits) + y * stride;
            unsigned v;
            if (sc.bpp == 32)
                std::memcpy(&v, row + 4 * x, 4);
            else
                v = (row[x >> 3] >> (7 - (x & 7))) & 1u;
            r.pixels.push_back(v);
        }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return r;
}

// The first lines of a reference: the device metrics and the probe's results.
void WriteHead(std::FILE* f, const Metrics& m, const std::vector<long>& api) {
    std::fprintf(f, "M %d %d %d %d %d %d\nA %d", m.horzRes, m.vertRes, m.horzSize, m.vertSize,
                 m.logX, m.logY, int(api.size()));
    for (long v : api) std::fprintf(f, " %ld", v);
    std::fprintf(f, "\n");
}

int Write(const Table& t, const char* path) {
    std::FILE* f = std::fopen(path, "w");
    if (!f) return 2;
    HDC dc = CreateCompatibleDC(nullptr);
    Metrics m = {GetDeviceCaps(dc, HORZRES),  GetDeviceCaps(dc, VERTRES),
                 GetDeviceCaps(dc, HORZSIZE), GetDeviceCaps(dc, VERTSIZE),
                 GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
    DeleteDC(dc);
    ApiResult api[128];
    std::vector<long> values;
    for (int i = 0, n = ApiProbe(api, 128); i < n; ++i) values.push_back(api[i].value);
    WriteHead(f, m, values);
    for (const Scenario& sc : t.scenarios) {
        Result r = Run(t, sc, nullptr);
        std::fprintf(f, "S %s %d\nV %d", r.name.c_str(), r.bpp, int(r.values.size()));
        for (long v : r.values) std::fprintf(f, " %ld", v);
        std::fprintf(f, "\n");
        for (size_t i = 0; i < r.pixels.size(); ++i)
            std::fprintf(f, "%08x%c", r.pixels[i], (i + 1) % size_t(t.width) == 0 ? '\n' : ' ');
    }
    return std::fclose(f) == 0 ? 0 : 2;
}

#ifndef _WIN32
bool ReadLongs(std::FILE* f, char tag, std::vector<long>* out) {
    int n = 0;
    char fmt[] = " X %d";
    fmt[1] = tag;
    if (std::fscanf(f, fmt, &n) != 1 || n < 0 || n > 100000) return false;
    for (int i = 0; i < n; ++i) {
        long v;
        if (std::fscanf(f, "%ld", &v) != 1) return false;
        out->push_back(v);
    }
    return true;
}

// Reads a reference of pixels ("S" rows) or of digests ("D" rows).
bool ReadReference(const Table& t, const char* path, Metrics* m, std::vector<long>* api,
                   std::vector<Result>* out) {
    std::FILE* f = std::fopen(path, "r");
    bool ok = f && std::fscanf(f, " M %d %d %d %d %d %d", &m->horzRes, &m->vertRes, &m->horzSize,
                          &m->vertSize, &m->logX, &m->logY) == 6 &&
              ReadLongs(f, 'A', api);
    char name[128];
    Result r;
    while (ok && std::fscanf(f, " D %127s %d %llx", name, &r.bpp, &r.digest) == 3) {
        r.name = name;
        out->push_back(r);
    }
    while (ok && std::fscanf(f, " S %127s %d", name, &r.bpp) == 2) {
        r.name = name;
        r.values.clear();
        ok = ReadLongs(f, 'V', &r.values);
        r.pixels.assign(static_cast<size_t>(t.width) * t.height, 0);
        for (unsigned& v : r.pixels)
            if (ok && std::fscanf(f, "%x", &v) != 1) ok = false;
        out->push_back(r);
    }
    if (f) std::fclose(f);
    if (!ok || out->empty()) std::fprintf(stderr, "cannot read reference pixels from %s\n", path);
    return ok && !out->empty();
}

// Prints the difference map of a scenario: '.' equal, 'X' differ.
void PrintDiff(const Table& t, const Result& a, const Result& b) {
    for (int y = 0; y < t.height; ++y) {
        std::string line;
        for (int x = 0; x < t.width; ++x) {
            size_t i = static_cast<size_t>(y) * t.width + x;
            line += a.pixels[i] == b.pixels[i] ? '.' : 'X';
        }
        std::printf("    %s\n", line.c_str());
    }
}

int Compare(const Table& t, const char* path) {
    Metrics m;
    std::vector<Result> ref;
    std::vector<long> refApi;
    if (!ReadReference(t, path, &m, &refApi, &ref)) return 2;
    const char* verbose = std::getenv("SWGDI_CONFORMANCE_DIFF");
    std::printf("reference metrics: HORZRES %d VERTRES %d HORZSIZE %d VERTSIZE %d LOGPIXELS %d/%d\n",
                m.horzRes, m.vertRes, m.horzSize, m.vertSize, m.logX, m.logY);
    std::printf("%-30s %-10s %-6s %s\n", "scenario", "group", "rule", "differing / drawn pixels");
    int failures = 0, exactCount = 0, matched = 0;
    long totalDiff = 0, totalDrawn = 0;
    bool digests = false;
    for (const Scenario& sc : t.scenarios) {
        const Result* want = nullptr;
        for (const Result& r : ref)
            if (r.name == sc.name) want = &r;
        exactCount += sc.exact;
        if (!want || want->bpp != sc.bpp) {
            ++failures;
            std::printf("%-30s %-10s MISSING from the reference\n", sc.name.c_str(), sc.group.c_str());
            continue;
        }
        Result got = Run(t, sc, &m);
        long diff = 0, drawn = 0;
        bool valuesDiffer = false;
        if (want->pixels.empty()) {  // a digest: equal or not, no pixel count
            digests = true;
            diff = got.Digest() != want->digest;
        } else {
            for (size_t k = 0; k < got.pixels.size(); ++k) {
                drawn += got.pixels[k] != kBackground || want->pixels[k] != kBackground;
                diff += got.pixels[k] != want->pixels[k];
            }
            valuesDiffer = got.values != want->values;
        }
        totalDiff += diff;
        totalDrawn += drawn;
        matched += diff == 0 && !valuesDiffer;
        failures += (sc.exact && diff != 0) || valuesDiffer;
        std::printf("%-30s %-10s %-6s %s%ld / %ld%s\n", sc.name.c_str(), sc.group.c_str(),
                    sc.exact ? "exact" : "report",
                    diff == 0 ? "" : (sc.exact ? "MISMATCH " : "differs "), diff, drawn,
                    valuesDiffer ? "  QUERY RESULTS DIFFER" : "");
        if (diff > 0 && verbose && (std::strcmp(verbose, "all") == 0 || sc.name == verbose))
            PrintDiff(t, got, *want);
    }
    std::printf("%d scenarios, %d identical; %d failures among %d exact scenarios and all query results\n",
                int(t.scenarios.size()), matched, failures, exactCount);
    bool overLimit = false;
    if (t.limit >= 0 && !digests) {
        double percent = totalDrawn ? 100.0 * double(totalDiff) / double(totalDrawn) : 100.0;
        // A run that drew nothing proves nothing.
        overLimit = totalDrawn == 0 || percent >= t.limit;
        std::printf("total mismatch: %ld of %ld drawn pixels = %.3f%% (limit %.3g%%)\n", totalDiff,
                    totalDrawn, percent, t.limit);
    }
    // Results of the edge-case calls must be GDI's.
    ApiResult api[128];
    int na = ApiProbe(api, 128), apiFailures = 0;
    for (int i = 0; i < na; ++i) {
        long want = i < int(refApi.size()) ? refApi[size_t(i)] : -999;
        if (want != api[i].value) {
            ++apiFailures;
            std::printf("API MISMATCH %-45s swgdi %ld, GDI %ld\n", api[i].name, api[i].value, want);
        }
    }
    std::printf("%d call results compared, %d differ\n", na, apiFailures);
    return (failures || overLimit || apiFailures || na != int(refApi.size())) ? 1 : 0;
}

// Writes a reference as digests: its metrics and call results as they are,
// one digest per scenario. Compared like a reference, it checks swgdi
// against a real GDI's pixels where no real GDI is at hand.
int Digest(const Table& t, const char* path) {
    Metrics m;
    std::vector<Result> ref;
    std::vector<long> api;
    if (!ReadReference(t, path, &m, &api, &ref)) return 2;
    WriteHead(stdout, m, api);
    for (const Result& r : ref) std::printf("D %s %d %016llx\n", r.name.c_str(), r.bpp, r.Digest());
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The module with the hatch bitmaps, when the test built it.
    LoadLibraryA("WX5NOVL1.DLL");
#endif
    try {
        const Table table = ReadTable(TablePath());
#ifndef _WIN32
        if (argc == 3 && std::strcmp(argv[1], "--compare") == 0) return Compare(table, argv[2]);
        if (argc == 3 && std::strcmp(argv[1], "--digest") == 0) return Digest(table, argv[2]);
#endif
        if (argc == 2) return Write(table, argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "runner: %s\n", e.what());
        return 2;
    }
    std::fprintf(stderr, "usage: runner OUT | runner --compare REFERENCE|DIGESTS | runner --digest REFERENCE\n");
    return 2;
}
#endif
