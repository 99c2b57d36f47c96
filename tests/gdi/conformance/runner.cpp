// Runs drawing scenarios read from a table and either writes their pixels
// (`runner OUT`, both builds) or, natively, compares them with such a file
// from a real GDI (`runner --compare REFERENCE`), one row per scenario;
// `runner --digest REFERENCE` turns the file into digests that compare the
// same way (exact scenarios only) where no real GDI is at hand.
//
// The table (scenarios.txt beside the runner's source, or the file named by
// WX5N_CONFORMANCE_TABLE) holds one call a line:
//   canvas W H [LIMIT]    canvas of every scenario; with LIMIT, the differing
//                         pixels of all scenarios together must stay under
//                         LIMIT percent of the drawn ones
//   scenario NAME GROUP exact|report BPP
//   [?] [VAR =] Verb ARG...  a call on the scenario's DC (see RunCalls)
// Query verbs and "?" lines record results the reference must equal. Exact
// scenarios must match pixel for pixel; the others are reported.
//
// Built with WX5N_RUNNER_CALLS_ONLY, only the calls and RunCalls are kept,
// for tests that replay calls on a device context of their own.
#include "runner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
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

// One parameter of a GDI function from the call's next argument: the DC is
// the scenario's, a point or size the function could write back is left
// out, other handles are variables and the rest integers.
template <class A> A Param(const Call& c, size_t& next) {
    if constexpr (std::is_same_v<A, HDC>) return c.dc;
    else if constexpr (std::is_same_v<A, LPPOINT> || std::is_same_v<A, LPSIZE>) return nullptr;
    else if constexpr (std::is_pointer_v<A>) return static_cast<A>(c.Obj(next++));
    else return static_cast<A>(c.Int(next++));
}

// Calls F with the call's arguments; a handle returned is the object made,
// anything else what the call returned (as a 32-bit int on both builds).
template <class R, class... A> void Apply(Call& c, R(WINAPI* f)(A...)) {
    size_t next = 0;
    const R r = std::apply(f, std::tuple<A...>{Param<A>(c, next)...});  // in order
    if constexpr (std::is_pointer_v<R>) c.result = r;
    else c.ret = static_cast<int>(r);
}
template <auto F> void Gdi(Call& c) { Apply(c, F); }

// A bitmap header with a two-entry colour table (0x00RRGGBB each), and the
// size of its bits (rows padded to 32 bits).
struct Dib {
    BITMAPINFOHEADER h;
    unsigned colors[2];
};
Dib DibHeader(int w, int h, int bpp, unsigned c0 = 0, unsigned c1 = 0) {
    return {{sizeof(BITMAPINFOHEADER), w, h, 1, WORD(bpp), 0, 0, 0, 0, 0, 0}, {c0, c1}};
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

// A point or size a query gives, recorded.
template <class T> void Get(Call& c, BOOL(WINAPI* f)(HDC, T*)) {
    T v{};
    f(c.dc, &v);
    LONG xy[2];
    std::memcpy(xy, &v, sizeof xy);
    Put(c, xy[0], xy[1]);
}

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

// The argument points through a polygon, a polyline or a conversion (whose
// points are recorded).
template <class P> void Poly(Call& c, BOOL(WINAPI* f)(HDC, P*, int)) {
    std::vector<POINT> p = c.Points(0);
    c.ret = f(c.dc, p.data(), static_cast<int>(p.size()));
    if constexpr (!std::is_const_v<P>)
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
    Dib bi = DibHeader(w, h, bpp);
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
    {"CreatePen", Gdi<CreatePen>}, {"CreateSolidBrush", Gdi<CreateSolidBrush>},
    {"CreateHatchBrush", Gdi<CreateHatchBrush>}, {"CreatePatternBrush", Gdi<CreatePatternBrush>},
    {"GetStockObject", Gdi<GetStockObject>}, {"SelectObject", Gdi<SelectObject>},
    {"DeleteObject", Gdi<DeleteObject>}, {"SetMapMode", Gdi<SetMapMode>}, {"SetROP2", Gdi<SetROP2>},
    {"SetBkMode", Gdi<SetBkMode>}, {"SetStretchBltMode", Gdi<SetStretchBltMode>},
    {"SetPolyFillMode", Gdi<SetPolyFillMode>}, {"SetBkColor", Gdi<SetBkColor>},
    {"SetTextColor", Gdi<SetTextColor>}, {"SetWindowOrgEx", Gdi<SetWindowOrgEx>},
    {"SetWindowExtEx", Gdi<SetWindowExtEx>}, {"SetViewportOrgEx", Gdi<SetViewportOrgEx>},
    {"SetViewportExtEx", Gdi<SetViewportExtEx>}, {"SetBrushOrgEx", Gdi<SetBrushOrgEx>},
    {"MoveToEx", Gdi<MoveToEx>}, {"LineTo", Gdi<LineTo>}, {"Rectangle", Gdi<Rectangle>},
    {"Ellipse", Gdi<Ellipse>}, {"RoundRect", Gdi<RoundRect>}, {"PatBlt", Gdi<PatBlt>},
    {"SetPixel", Gdi<SetPixel>}, {"GetMapMode", Gdi<GetMapMode>}, {"GetDeviceCaps", Gdi<GetDeviceCaps>},
    {"GetPixel", Gdi<GetPixel>}, {"GetCurrentObject", Gdi<GetCurrentObject>},
    {"GetObjectType", Gdi<GetObjectType>},
    {"Backdrop", Backdrop},
    {"CreateBrushIndirect",
     [](Call& c) {
         LOGBRUSH lb = {static_cast<UINT>(c.Int(0)), static_cast<COLORREF>(c.Int(1)), static_cast<ULONG_PTR>(c.Int(2))};
         c.result = CreateBrushIndirect(&lb);
     }},
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
    {"FillRect", [](Call& c) { RECT rc = {I(c, 0), I(c, 1), I(c, 2), I(c, 3)}; FillRect(c.dc, &rc, HBRUSH(c.Obj(4))); }},
    {"Polygon", [](Call& c) { Poly(c, Polygon); }},
    {"Polyline", [](Call& c) { Poly(c, Polyline); }},
    {"StretchDIBits", Bits},
    {"LPtoDP", [](Call& c) { Poly(c, LPtoDP); }},
    {"DPtoLP", [](Call& c) { Poly(c, DPtoLP); }},
    {"GetWindowExtEx", [](Call& c) { Get(c, GetWindowExtEx); }},
    {"GetViewportExtEx", [](Call& c) { Get(c, GetViewportExtEx); }},
    {"GetWindowOrgEx", [](Call& c) { Get(c, GetWindowOrgEx); }},
    {"GetCurrentPositionEx", [](Call& c) { Get(c, GetCurrentPositionEx); }},
    {"GetObjectA", [](Call& c) { char buf[64]; c.ret = GetObjectA(O(c, 0), I(c, 1), I(c, 1) ? buf : nullptr); }},
    {"Describe", Describe},
    {"Same", [](Call& c) { c.ret = c.Obj(0) == c.Obj(1); }},
    {"CreateCompatibleDC", [](Call& c) { c.result = CreateCompatibleDC(nullptr); }},
    {"DeleteDC", [](Call& c) { c.ret = DeleteDC(static_cast<HDC>(c.Obj(0))); }},
};

const Verb* FindVerb(const std::string& name) {
    for (const Verb* v = kGdiVerbs; v < std::end(kGdiVerbs); ++v)
        if (name == v->name) return v;
    for (const Verb* v = kExtraVerbs; v < kExtraVerbs + kExtraVerbCount; ++v)
        if (name == v->name) return v;
    throw std::runtime_error("unknown call " + name);
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
        Call call{dc, width, height, {tok.begin() + (assign ? 3 : 1), tok.end()}, &vars, values};
        if (!assign && tok.at(0) == "UseDC") {
            dc = static_cast<HDC>(call.Obj(0));
            continue;
        }
        FindVerb(tok.at(assign ? 2 : 0))->run(call);
        if (assign) vars[tok[0]] = call.result;
        if (record) values->push_back(call.result ? 1 : call.ret);
    }
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

#ifndef WX5N_RUNNER_CALLS_ONLY
namespace {

std::string TablePath() {
    if (const char* env = std::getenv("WX5N_CONFORMANCE_TABLE")) return env;
    std::string src = WX5N_CONFORMANCE_SOURCE;
    size_t slash = src.find_last_of("/\\");
    return (slash == std::string::npos ? std::string() : src.substr(0, slash + 1)) + WX5N_CONFORMANCE_TABLE;
}

// The device's resolution and size, as GetDeviceCaps gives them.
const int kMetricCaps[6] = {HORZRES, VERTRES, HORZSIZE, VERTSIZE, LOGPIXELSX, LOGPIXELSY};
struct Metrics {
    int v[6];
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
    Result r{sc.name, sc.bpp, {}, {}, 0};
    HDC dc = CreateCompatibleDC(nullptr);
#ifndef _WIN32
    if (metrics)
        swgdi_SetDeviceMetrics(dc, metrics->v[0], metrics->v[1], metrics->v[2], metrics->v[3], metrics->v[4],
                               metrics->v[5]);
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

// The first line of a reference: the device metrics.
void WriteHead(std::FILE* f, const Metrics& m) {
    std::fprintf(f, "M %d %d %d %d %d %d\n", m.v[0], m.v[1], m.v[2], m.v[3], m.v[4], m.v[5]);
}

int Write(const Table& t, const char* path) {
    std::FILE* f = std::fopen(path, "w");
    if (!f) return 2;
    HDC dc = CreateCompatibleDC(nullptr);
    Metrics m;
    for (int i = 0; i < 6; ++i) m.v[i] = GetDeviceCaps(dc, kMetricCaps[i]);
    DeleteDC(dc);
    WriteHead(f, m);
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
// Reads a reference of pixels ("S" rows) or of digests ("D" rows).
bool ReadReference(const Table& t, const char* path, Metrics* m, std::vector<Result>* out) {
    std::FILE* f = std::fopen(path, "r");
    bool ok = f && std::fscanf(f, " M %d %d %d %d %d %d", &m->v[0], &m->v[1], &m->v[2], &m->v[3], &m->v[4],
                               &m->v[5]) == 6;
    char name[128];
    Result r;
    while (ok && std::fscanf(f, " D %127s %d %llx", name, &r.bpp, &r.digest) == 3) {
        r.name = name;
        out->push_back(r);
    }
    int n = 0;
    while (ok && std::fscanf(f, " S %127s %d V %d", name, &r.bpp, &n) == 3 && n >= 0 && n < 100000) {
        r.name = name;
        r.values.assign(size_t(n), 0);
        r.pixels.assign(static_cast<size_t>(t.width) * t.height, 0);
        for (long& v : r.values) ok = ok && std::fscanf(f, "%ld", &v) == 1;
        for (unsigned& v : r.pixels) ok = ok && std::fscanf(f, "%x", &v) == 1;
        out->push_back(r);
    }
    if (f) std::fclose(f);
    if (!ok || out->empty()) std::fprintf(stderr, "cannot read reference pixels from %s\n", path);
    return ok && !out->empty();
}

int Compare(const Table& t, const char* path) {
    Metrics m;
    std::vector<Result> ref;
    if (!ReadReference(t, path, &m, &ref)) return 2;
    std::printf("%-30s %-10s %-6s %s\n", "scenario", "group", "rule", "differing / drawn pixels");
    int failures = 0;
    long totalDiff = 0, totalDrawn = 0;
    bool digests = false;
    for (const Scenario& sc : t.scenarios) {
        const Result* want = nullptr;
        for (const Result& r : ref)
            if (r.name == sc.name && r.bpp == sc.bpp) want = &r;
        long diff = 1, drawn = 0;
        bool valuesDiffer = false;
        if (!want) {
            std::printf("%-30s %-10s MISSING from the reference\n", sc.name.c_str(), sc.group.c_str());
        } else if (want->pixels.empty()) {  // a digest: equal or not, no pixel count
            digests = true;
            diff = Run(t, sc, &m).Digest() != want->digest;
        } else {
            const Result got = Run(t, sc, &m);
            diff = 0;
            for (size_t k = 0; k < got.pixels.size(); ++k) {
                drawn += got.pixels[k] != kBackground || want->pixels[k] != kBackground;
                diff += got.pixels[k] != want->pixels[k];
            }
            valuesDiffer = got.values != want->values;
        }
        totalDiff += diff;
        totalDrawn += drawn;
        failures += (sc.exact && diff != 0) || valuesDiffer || !want;
        if (want)
            std::printf("%-30s %-10s %-6s %s%ld / %ld%s\n", sc.name.c_str(), sc.group.c_str(),
                        sc.exact ? "exact" : "report", diff == 0 ? "" : (sc.exact ? "MISMATCH " : "differs "),
                        diff, drawn, valuesDiffer ? "  QUERY RESULTS DIFFER" : "");
    }
    std::printf("%d scenarios, %d failures (exact scenarios and query results)\n", int(t.scenarios.size()), failures);
    // A run that drew nothing proves nothing.
    const double percent = totalDrawn ? 100.0 * double(totalDiff) / double(totalDrawn) : 100.0;
    if (t.limit >= 0 && !digests)
        std::printf("total mismatch: %ld of %ld drawn pixels = %.3f%% (limit %.3g%%)\n", totalDiff, totalDrawn,
                    percent, t.limit);
    return failures || (t.limit >= 0 && !digests && percent >= t.limit) ? 1 : 0;
}

// Writes a reference as digests: its metrics as they are, one digest per
// scenario. Compared like a reference, it checks swgdi against a real GDI's
// pixels where no real GDI is at hand.
int Digest(const Table& t, const char* path) {
    Metrics m;
    std::vector<Result> ref;
    if (!ReadReference(t, path, &m, &ref)) return 2;
    WriteHead(stdout, m);
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
