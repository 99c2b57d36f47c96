// Element decoding throughput: an overlay of 100,000 elements of ten kinds
// (line, segmented line of three segments, rectangle, circle, ellipse,
// hatched area, two texts, image, bitmap) is written, loaded through the
// file layer, and walked with foreadkindget and the decoders as a host walks
// it. memcpy of the same element bytes is measured in the same run as the
// peer.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/wx5nhost.h"
#include "writer/elements.h"
#include "writer/ovlwriter.h"

using namespace ovlw;

namespace {

constexpr int kUnits = 10000;
constexpr int kElementsPerUnit = 10;

Bytes Unit(int i) {
    const int y = -(i % 500) * 20;
    Dib dib;
    dib.width = 13;
    dib.height = 7;
    BitmapHead head;
    head.first = {0, y};
    head.second = {1440, y - 1440};
    return Concat({
        LineType(2), LineWidth(60), Line({0, y}, {2880, y}, {0, 0}, 0, 59, 0),
        GroupStart(0x120), DisjointPolyline({{0, y}, {1440, y}}),
        DisjointPolyline({{1440, y}, {1440, y - 1440}}), DisjointPolyline({{1440, y - 1440}, {0, y}}),
        GroupEnd(),
        EdgeType(3), EdgeWidth(30), Rectangle({2880, y}, {1440, y - 1440}),
        LineType(4), Circle({1440, y}, 720),
        LineColour(5), Ellipse({1440, y}, {1440, y - 720}, {2880, y}),
        GroupStart(0x2), InteriorStyle(3), HatchIndex(-9), Polyline({{60, y}, {2640, y}}),
        Arc3Point({2640, y}, {2800, y - 80}, {2880, y - 240}), Polyline({{2880, y - 240}, {60, y}}),
        GroupEnd(),
        TextFontIndex(1), CharHeight(240), Text(1440, y, Bytes{0x28, 0x45, 0x41, 0x44, 0x5B, 0x29}),
        Text2({1440, y}, 120, 240, Bytes{0x82, 0xA0, 0x82, 0xA2}),
        Image({1440, y}, {2880, y}, {1440, y - 1440}, 0xF9, 0xC2, 11, 13, Bytes(22, 0xAA)),
        Bitmap(head, DibBytes(dib)),
    });
}

struct Overlay {
    std::vector<unsigned char> image;
    size_t first = 0;
    size_t size = 0;  // element bytes, from the first element record to the end
    FO_FONTBLOCK fonts{};
};

Overlay Load() {
    Kind1Options o;
    o.preamble = FontList({Ebcdic("QZAAAADA")});
    for (int i = 0; i < kUnits; ++i) Append(o.elements, Unit(i));
    const Bytes file = BuildKind1(o);
    const char* dir = std::getenv("WX5N_TEST_TMP");
    std::string path = std::string(dir != nullptr && *dir ? dir : "/tmp") + "/bench_decode_XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) std::abort();
    ::close(fd);
    if (!WriteFile(path, file)) std::abort();

    Overlay ov;
    unsigned int size = 0;
    if (pcom_fogetreadsize(path.c_str(), &size, 0) != 0) std::abort();
    ov.image.assign(size, 0);
    unsigned int loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    const int r = pcom_foreadd33(1, path.c_str(), ov.image.data(), &size, &loaded, &kind, &format,
                                 &version, 0);
    ::unlink(path.c_str());
    if (r != 0) std::abort();
    ov.first = wx5nh_first_element(ov.image.data(), loaded, 1, format, &ov.fonts);
    if (ov.first == 0) std::abort();
    ov.size = loaded - ov.first;
    return ov;
}

// The host's loop with its output slots kept across elements: what a host
// that draws as it decodes does. Returns the decoder calls made, or 0 when
// the walk does not reach END PICTURE.
size_t HostLoop(unsigned char* cursor, unsigned int remaining, unsigned dpi, FO_WORK* work,
                const FO_FONTBLOCK* fonts, size_t* checksum) {
    FO_ATTR attr;
    FO_POINT p[3];
    unsigned short value = 0, radius = 0, rx = 0, ry = 0, imageSize = 0, imageRows = 0;
    unsigned char segment = 0, width = 0, started = 0, ended = 0;
    unsigned int high = 0, low = 0;
    FO_POINT centre, boxLow, boxHigh, textPos, aux1, aux2, imagePos;
    FO_LINEOUT lineOut = {&p[0], &p[1], &p[2], &value, &segment, &width, &high, &low};
    FO_TEXTOUT textOut{};
    textOut.position = &textPos;
    textOut.auxPoint1 = &aux1;
    textOut.auxPoint2 = &aux2;
    textOut.fontNames = fonts->names;
    textOut.fontNameLength = fonts->nameLength;
    textOut.textMode = 1;
    textOut.textEncoding = 3;
    FO_IMAGEOUT imageOut = {&imagePos, nullptr, &imageSize, &imageRows, 0};
    FO_BMPINFO info;
    FO_POINT* corners[2] = {&p[0], &p[1]};
    size_t calls = 0;
    size_t sum = 0;
    for (;;) {
        const int kind = foreadkindget(cursor, static_cast<int>(remaining));
        if (kind == 0) break;
        std::memset(&attr, 0, sizeof(attr));
        int r = -1;
        switch (kind) {
            case 1: r = fordline(&cursor, &remaining, &attr, dpi, &lineOut, work); break;
            case 2: r = fordcircle(&cursor, &remaining, &attr, dpi, &centre, &radius, work); break;
            case 3: r = fordrect(&cursor, &remaining, &attr, dpi, &lineOut, work); break;
            case 4:
            case 5:
            case 6: r = fordarchatch(&cursor, &remaining, &attr, dpi, &boxLow, &boxHigh, work); break;
            case 7:
            case 12: {
                int avail = static_cast<int>(remaining);
                r = fordcharacter(&cursor, &avail, &attr, dpi, &textOut, work);
                remaining = static_cast<unsigned int>(avail);
                break;
            }
            case 8: r = fordellipse(&cursor, &remaining, &attr, dpi, &centre, &rx, &ry, work); break;
            case 9: {
                r = fordimg(&cursor, &remaining, dpi, &imageOut, work);
                const size_t n = wx5nh_record_length(cursor, remaining);  // the host steps over it
                if (r != 0 || n == 0) return 0;
                cursor += n;
                remaining -= static_cast<unsigned int>(n);
                break;
            }
            case 10:
                ended = 0;
                do {
                    r = fordsegline(&cursor, &remaining, &attr, dpi, &lineOut, &started, &ended, work);
                    ++calls;
                    sum += static_cast<size_t>(p[1].x);
                } while (r == 0 && !ended);
                --calls;
                break;
            case 11: r = fordbmpimg(&cursor, &remaining, &info, dpi, corners, work); break;
            default: return 0;
        }
        if (r != 0) return 0;
        ++calls;
        sum += attr.raw[0] + static_cast<size_t>(p[0].x);
    }
    *checksum = sum;
    return calls;
}

Overlay& Shared() {
    static Overlay ov = Load();
    return ov;
}

void BM_DecodeWalk(benchmark::State& state) {
    Overlay& ov = Shared();
    FO_WORK work;
    std::memset(&work, 0, sizeof(work));
    fosetlinedef(&work);
    size_t calls = 0;
    for (auto _ : state) {
        size_t sum = 0;
        calls = HostLoop(ov.image.data() + ov.first, static_cast<unsigned int>(ov.size), 240,
                         &work, &ov.fonts, &sum);
        if (calls == 0) state.SkipWithError("the walk did not reach END PICTURE");
        benchmark::DoNotOptimize(sum);
    }
    state.counters["elements"] = benchmark::Counter(
        static_cast<double>(kUnits) * kElementsPerUnit * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    state.counters["decoder_calls"] = static_cast<double>(calls);
    state.SetBytesProcessed(static_cast<int64_t>(ov.size) * state.iterations());
}
BENCHMARK(BM_DecodeWalk)->Unit(benchmark::kMillisecond);

// The same walk through the host library: its element record and visit
// call on top of the decoders.
void BM_HostLibraryWalk(benchmark::State& state) {
    Overlay& ov = Shared();
    WX5NH_WALK_SETUP setup;
    std::memset(&setup, 0, sizeof(setup));
    setup.dpi = 240;
    setup.fonts = &ov.fonts;
    setup.textMode = 1;
    setup.textEncoding = 3;
    WX5NH_STOP stop{};
    for (auto _ : state) {
        size_t sum = 0;
        wx5nh_walk_records(ov.image.data() + ov.first, ov.size, &setup,
                           [](void* context, const WX5NH_ELEMENT* e) {
                               *static_cast<size_t*>(context) += static_cast<size_t>(e->point[0].x);
                               return 0;
                           },
                           &sum, &stop);
        if (stop.result != 0) state.SkipWithError("the walk did not reach END PICTURE");
        benchmark::DoNotOptimize(sum);
    }
    state.counters["decoder_calls"] = static_cast<double>(stop.elements);
    state.SetBytesProcessed(static_cast<int64_t>(ov.size) * state.iterations());
}
BENCHMARK(BM_HostLibraryWalk)->Unit(benchmark::kMillisecond);

void BM_MemcpySameBytes(benchmark::State& state) {
    Overlay& ov = Shared();
    std::vector<unsigned char> dst(ov.size);
    for (auto _ : state) {
        std::memcpy(dst.data(), ov.image.data() + ov.first, ov.size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(ov.size) * state.iterations());
}
BENCHMARK(BM_MemcpySameBytes)->Unit(benchmark::kMillisecond);

}  // namespace
