// From file to host structures: one overlay holding every element kind is
// written, sized with pcom_fogetreadsize, loaded with pcom_foreadd33 through
// the real file layer, and walked with foreadkindget and the decoders as a
// host walks it. Every decoded value, the attribute block and the work area
// byte for byte, and where each pointer lands in the image, is compared with
// end_to_end.txt (one line an element, one section a data format and text
// mode).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/wx5nhost.h"
#include "tests/decode/sample_overlay.h"
#include "tests/decode/test_util.h"
#include "tests/support/temp_file.h"

using namespace dtest;
using namespace ovlw;
using namespace sample;

namespace {

std::string Hex(const void* p, size_t n) {
    std::string s;
    char b[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02x", static_cast<const unsigned char*>(p)[i]);
        s += b;
    }
    return s;
}

// Offset of a pointer into the image, or -1 for none.
long At(const void* p, const Bytes& image) {
    return p ? static_cast<const unsigned char*>(p) - image.data() : -1;
}

// One element as a line: every scalar, every point, the pointers as image
// offsets, the attribute block in hex.
std::string Line(const WX5NH_ELEMENT& d, const Bytes& image) {
    std::ostringstream o;
    auto pt = [&o](FO_POINT p) { o << ' ' << p.x << ',' << p.y; };
    o << d.kind << ' ' << d.result << ' ' << d.offset << '-' << d.next;
    for (FO_POINT p : {d.point[0], d.point[1], d.point[2], d.centre, d.low, d.high, d.textPosition,
                       d.aux1, d.aux2, d.imagePosition, d.bitmapCorner[0], d.bitmapCorner[1]})
        pt(p);
    const FO_BMPINFO& b = d.bitmap;
    for (unsigned v : {unsigned{d.lineValue}, unsigned{d.segment}, unsigned{d.width}, d.flagsHigh,
                       d.flagsLow, unsigned{d.started}, unsigned{d.ended}, unsigned{d.radius},
                       unsigned{d.radiusX}, unsigned{d.radiusY}, unsigned{d.unitTenths},
                       unsigned{d.unitHalf}, unsigned{d.imageSize}, unsigned{d.imageRows},
                       unsigned{b.code}, unsigned{b.valueA}, unsigned{b.valueB}, b.valueC, b.valueD,
                       unsigned{b.valueE}, unsigned{b.colour}, unsigned{b.mode}, b.bitsSize})
        o << ' ' << v;
    o << " text@" << At(d.text, image) << " image@" << At(d.imageRecord, image) << " bmi@"
      << At(b.bitmapInfo, image) << ' ' << Hex(d.attr.raw, sizeof d.attr.raw);
    return o.str();
}

// Sizes, loads and walks the file with the given text mode; returns the
// walk as text.
std::string LoadAndWalk(const std::string& path, unsigned char textMode) {
    std::ostringstream out;
    unsigned int size = 0;
    EXPECT_EQ(pcom_fogetreadsize(path.c_str(), &size, 0), 0);
    EXPECT_GE(size, 131072u);
    Bytes image(size, 0);
    unsigned int loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    EXPECT_EQ(pcom_foreadd33(1, path.c_str(), image.data(), &size, &loaded, &kind, &format,
                             &version, 0), 0);
    FO_FONTBLOCK fonts;
    std::memset(&fonts, 0, sizeof(fonts));
    const size_t first = wx5nh_first_element(image.data(), loaded, 1, format, &fonts);
    const short dpi = pcom_foprint_getdpi(image.data(), version);
    out << "kind " << int{kind} << " format " << format << " version " << version << " loaded "
        << loaded << " first " << first << " fonts " << fonts.nameCount << " dpi " << dpi << '\n';

    FO_WORK work = DefaultWork();
    WX5NH_WALK_SETUP setup{};
    setup.dpi = static_cast<unsigned>(dpi);
    setup.work = &work;
    setup.fonts = &fonts;
    setup.textMode = textMode;
    setup.textEncoding = 3;
    struct Visit {
        std::ostringstream* out;
        const Bytes* image;
    } visit{&out, &image};
    WX5NH_STOP w{};
    wx5nh_walk_records(image.data() + first, loaded - first, &setup,
                       [](void* c, const WX5NH_ELEMENT* d) {
                           Visit& v = *static_cast<Visit*>(c);
                           *v.out << Line(*d, *v.image) << '\n';
                           return 0;
                       },
                       &visit, &w);
    out << "stop " << w.result << ' ' << w.offset << ' ' << w.elements << " work "
        << Hex(&work, offsetof(FO_WORK, outCharCode) + 1) << '\n';
    return out.str();
}

}  // namespace

TEST(EndToEnd, EveryElementKindFromFileToHostStructures) {
    std::string got;
    for (bool format3 : {false, true}) {
        TempFile file(BuildSampleOverlay(format3));
        ASSERT_TRUE(file.ok());
        for (unsigned char mode : {1, 2}) {
            got += std::string("# data format ") + (format3 ? "3" : "1") + ", text mode " +
                   char('0' + mode) + '\n' + LoadAndWalk(file.path(), mode);
        }
    }
    const std::string path = std::string(WX5N_DECODE_DATA_DIR) + "/end_to_end.txt";
    if (const char* update = std::getenv("WX5N_UPDATE_CASES"); update && *update)
        std::ofstream(path) << got;
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream want;
    want << in.rdbuf();
    EXPECT_EQ(got, want.str());
}

TEST(EndToEnd, ReadSizeThroughTheFileLayer) {
    TempFile file(Bytes(131073, 0));
    ASSERT_TRUE(file.ok());
    unsigned int size = 0;
    EXPECT_EQ(pcom_fogetreadsize(file.path().c_str(), &size, 0), 0);
    EXPECT_EQ(size, 163840u);
    unsigned int untouched = 5;
    EXPECT_NE(pcom_fogetreadsize((file.path() + ".missing").c_str(), &untouched, 0), 0);
    EXPECT_EQ(untouched, 5u);
}
