// From file to host structures: one overlay holding every element kind is
// written, sized with pcom_fogetreadsize, loaded with pcom_foreadd33 through
// the real file layer, and walked with foreadkindget and the decoders as a
// host walks it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "host/wx5nhost.h"
#include "tests/decode/sample_overlay.h"
#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;
using Decoded = WX5NH_ELEMENT;
using namespace sample;

namespace {

// A temporary file, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes) {
        const char* dir = std::getenv("WX5N_TEST_TMP");
        std::string base = dir != nullptr && *dir != '\0' ? dir : "/tmp";
        ::mkdir(base.c_str(), 0755);
        std::string pattern = base + "/decode_e2e_XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
            path_ = pattern;
            ok_ = WriteFile(path_, bytes);
        }
    }
    ~TempFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool ok_ = false;
};

struct Loaded {
    Bytes image;
    unsigned int loaded = 0;
    unsigned short dataFormat = 0;
    unsigned short layoutVersion = 0;
};

Loaded LoadFile(const std::string& path) {
    Loaded l;
    unsigned int size = 0;
    EXPECT_EQ(pcom_fogetreadsize(path.c_str(), &size, 0), 0);
    EXPECT_GE(size, 131072u);
    l.image.assign(size, 0);
    unsigned char kind = 0;
    EXPECT_EQ(pcom_foreadd33(1, path.c_str(), l.image.data(), &size, &l.loaded, &kind,
                             &l.dataFormat, &l.layoutVersion, 0),
              0);
    EXPECT_EQ(kind, 1);
    return l;
}

void CheckText(const Decoded& d, int which, unsigned char textMode) {
    const FO_ATTR_TEXT& a = d.attr.text;
    EXPECT_EQ(d.unitTenths, 60);
    EXPECT_EQ(d.unitHalf, 30);
    if (which == 0) {
        EXPECT_EQ(d.kind, 7);
        EXPECT_EQ(d.textPosition, P(1441, 721));
        EXPECT_EQ(a.fontIndex, 2);
        EXPECT_EQ(a.charHeight, 240);
        EXPECT_EQ(a.textColour, 7);
        EXPECT_EQ(a.textRotation, 0);
        EXPECT_EQ(a.slantAngle, 90);
        EXPECT_EQ(a.textLength, 6);
        EXPECT_EQ(a.textRecordKind, 0);
        if (textMode == 1) {
            EXPECT_EQ(a.fontClass, 2);  // font name 2 is QZAAAADA
            EXPECT_EQ(a.textForm, 1);
            EXPECT_EQ(a.charCount, 4);
            EXPECT_EQ(a.textCharFlags, 2);
            EXPECT_EQ(d.text[0], 0x45);
            EXPECT_EQ(d.text[-1], 0x28);
        } else {
            EXPECT_EQ(a.fontClass, 4);
            EXPECT_EQ(a.textForm, 4);
            EXPECT_EQ(a.charCount, 6);
            EXPECT_EQ(a.textCharFlags, 5);
            EXPECT_EQ(d.text[0], 0x28);
        }
    } else if (which == 1) {
        EXPECT_EQ(d.kind, 7);
        EXPECT_EQ(d.textPosition, P(2881, 1441));
        EXPECT_EQ(d.aux1, P(241, 241));
        EXPECT_EQ(d.aux2, P(481, 481));
        EXPECT_EQ(a.charExpansion, 150);
        EXPECT_EQ(a.slantAngle, 45);
        EXPECT_EQ(a.fontIndex2, 9);
        EXPECT_EQ(a.fontClass, 4);
        EXPECT_EQ(a.textAttr47, 1);
        EXPECT_EQ(a.textAttr64, 2);
        EXPECT_EQ(a.textAttr50, 3);
        EXPECT_EQ(a.textAttr56, 4);
        EXPECT_EQ(a.textAttr54, 5);
        EXPECT_EQ(a.textAttr52, 6);
        EXPECT_EQ(a.textAttr48, 7);
        EXPECT_EQ(a.textAttr58, 1);
        EXPECT_EQ(a.textLength, 8);
        EXPECT_EQ(d.text[0], 0x41);
        if (textMode == 1) {
            EXPECT_EQ(a.textForm, 1);
            EXPECT_EQ(a.charCount, 8);
        } else {
            EXPECT_EQ(a.textForm, 4);
            EXPECT_EQ(a.charCount, 5);
            EXPECT_EQ(a.textCharFlags, 7);
        }
    } else {
        EXPECT_EQ(d.kind, 12);
        EXPECT_EQ(a.textRecordKind, 1);
        EXPECT_EQ(d.textPosition, P(241, 481));
        EXPECT_EQ(a.textAttr60, 720);
        EXPECT_EQ(a.textAttr62, 1440);
        EXPECT_EQ(a.charSpacing, 200);
        EXPECT_EQ(a.textForm, 4);
        EXPECT_EQ(a.charCount, 2);
        EXPECT_EQ(a.textCharFlags, 6);
        EXPECT_EQ(a.textLength, 4);
        EXPECT_EQ(d.text[0], 0x82);
        EXPECT_EQ(d.text[3], 0xA2);
    }
}

// Walks the loaded overlay as a host and checks every decoded value.
void WalkAndCheck(const Loaded& l, unsigned char textMode) {
    FO_FONTBLOCK fonts;
    std::memset(&fonts, 0, sizeof(fonts));
    const size_t first = wx5nh_first_element(l.image.data(), l.loaded, 1, l.dataFormat, &fonts);
    ASSERT_GT(first, 0u);
    ASSERT_EQ(fonts.nameCount, 2);
    const short dpi = pcom_foprint_getdpi(l.image.data(), l.layoutVersion);
    ASSERT_EQ(dpi, 240);

    FO_WORK work = DefaultWork();
    WX5NH_WALK_SETUP setup{};
    setup.dpi = static_cast<unsigned>(dpi);
    setup.work = &work;
    setup.fonts = &fonts;
    setup.textMode = textMode;
    setup.textEncoding = 3;
    std::vector<Decoded> got;
    Bytes image = l.image;  // the decoders take a writable cursor
    WX5NH_STOP w{};
    wx5nh_walk_records(image.data() + first, l.loaded - first, &setup,
                       [](void* context, const Decoded* d) {
                           static_cast<std::vector<Decoded>*>(context)->push_back(*d);
                           return 0;
                       },
                       &got, &w);
    ASSERT_EQ(w.result, 0);
    EXPECT_EQ(w.elements, got.size());

    const size_t images = std::size(kImages);
    const size_t bitmaps = std::size(kBitmaps);
    ASSERT_EQ(got.size(), 1 + 4 + 3 + 3 + 3 + images + bitmaps);
    for (const Decoded& d : got) EXPECT_EQ(d.result, 0) << d.kind;
    size_t i = 0;

    // Line.
    const Decoded& line = got[i++];
    EXPECT_EQ(line.kind, 1);
    EXPECT_EQ(line.point[0], P(1, 1));
    EXPECT_EQ(line.point[1], P(481, 1));
    EXPECT_EQ(line.point[2], P(121, 121));
    EXPECT_EQ(line.lineValue, 77);
    EXPECT_EQ(line.width, 10);
    EXPECT_EQ(line.attr.line.shape, 1);
    EXPECT_EQ(line.attr.line.lineStyle, 3);
    EXPECT_EQ(line.attr.line.lineDash[0], 20);
    EXPECT_EQ(line.attr.line.lineWidth, 10);
    EXPECT_EQ(line.attr.line.lineColour, 2);
    EXPECT_EQ(line.attr.line.lineEnd, 3);

    // Segments, then the call that meets the group end.
    const FO_POINT segments[3][2] = {{P(1, 241), P(241, 241)}, {P(241, 241), P(241, 481)},
                                     {P(241, 481), P(481, 721)}};
    for (int s = 0; s < 3; ++s) {
        const Decoded& d = got[i++];
        EXPECT_EQ(d.kind, 10);
        EXPECT_EQ(d.segment, 1);
        EXPECT_EQ(d.started, 1);
        EXPECT_EQ(d.ended, 0);
        EXPECT_EQ(d.flagsHigh, 0x100u);
        EXPECT_EQ(d.flagsLow, 0x20u);
        EXPECT_EQ(d.point[0], segments[s][0]);
        EXPECT_EQ(d.point[1], segments[s][1]);
        EXPECT_EQ(d.attr.line.shape, s + 1);
        EXPECT_EQ(d.attr.line.lineWidth, 20);
    }
    const Decoded& groupEnd = got[i++];
    EXPECT_EQ(groupEnd.kind, 10);
    EXPECT_EQ(groupEnd.ended, 1);
    EXPECT_EQ(groupEnd.started, 0);
    EXPECT_EQ(groupEnd.segment, 0);

    const Decoded& rect = got[i++];
    EXPECT_EQ(rect.kind, 3);
    EXPECT_EQ(rect.point[0], P(241, 241));
    EXPECT_EQ(rect.point[1], P(481, 481));
    EXPECT_EQ(rect.width, 1);
    EXPECT_EQ(rect.attr.line.shape, 16);
    EXPECT_EQ(rect.attr.line.edgeStyle, 2);
    EXPECT_EQ(rect.attr.line.edgeDash[0], 5);  // code 3: entry 14
    EXPECT_EQ(rect.attr.line.edgeWidth, 5);
    EXPECT_EQ(rect.attr.line.lineColour, 4);
    EXPECT_EQ(rect.attr.line.lineEnd2, 2);

    const Decoded& circle = got[i++];
    EXPECT_EQ(circle.kind, 2);
    EXPECT_EQ(circle.centre, P(241, 241));
    EXPECT_EQ(circle.radius, 240);
    EXPECT_EQ(circle.attr.line.shape, 48);
    EXPECT_EQ(circle.attr.line.lineStyle, 4);

    const Decoded& ellipse = got[i++];
    EXPECT_EQ(ellipse.kind, 8);
    EXPECT_EQ(ellipse.centre, P(241, 241));
    EXPECT_EQ(ellipse.radiusX, 240);
    EXPECT_EQ(ellipse.radiusY, 120);
    EXPECT_EQ(ellipse.attr.line.shape, 80);
    EXPECT_EQ(ellipse.attr.line.lineColour, 5);

    const Decoded& area = got[i++];
    EXPECT_EQ(area.kind, 4);
    EXPECT_EQ(area.low, P(1, 1));
    EXPECT_EQ(area.high, P(481, 241));
    EXPECT_EQ(area.attr.line.cornerRadius[0], 40);  // top right
    EXPECT_EQ(area.attr.line.cornerRadius[1], 30);  // bottom right
    EXPECT_EQ(area.attr.line.cornerRadius[3], 20);  // bottom left
    EXPECT_EQ(area.attr.line.cornerRadius[2], 10);  // top left
    EXPECT_EQ(area.attr.line.hatched, 1);
    EXPECT_EQ(area.attr.line.hatchIndex, 39);
    EXPECT_EQ(area.attr.line.fillColour, 3);
    EXPECT_EQ(area.attr.line.edgeVisible, 1);
    EXPECT_EQ(area.attr.line.edgeDash[0], 240);
    EXPECT_EQ(area.attr.line.edgeDash[1], 120);
    EXPECT_EQ(area.attr.line.edgeDashCount, 2);
    EXPECT_EQ(work.lineDef[1].length[0], 240);

    const Decoded& area5 = got[i++];
    EXPECT_EQ(area5.kind, 5);
    EXPECT_EQ(area5.attr.line.cornerRadius[0], 40);
    EXPECT_EQ(area5.low, P(241, 1));
    EXPECT_EQ(area5.high, P(281, 41));
    const Decoded& area6 = got[i++];
    EXPECT_EQ(area6.kind, 6);
    EXPECT_EQ(area6.low, P(1, 1));
    EXPECT_EQ(area6.high, P(241, 241));

    for (int t = 0; t < 3; ++t) CheckText(got[i++], t, textMode);

    for (const ImageCase& c : kImages) {
        const Decoded& d = got[i++];
        EXPECT_EQ(d.kind, 9);
        EXPECT_EQ(d.imagePosition, P(241, 241));
        EXPECT_EQ(d.imageRows, c.rows) << std::hex << int(c.code);
        EXPECT_EQ(d.imageSize, c.size) << std::hex << int(c.code);
        ASSERT_NE(d.imageRecord, nullptr);
        EXPECT_EQ((d.imageRecord[0] << 8) | d.imageRecord[1], 0x415F);
        EXPECT_EQ(d.imageRecord[23], c.code);
        EXPECT_EQ(d.imageRecord[30], c.code);  // the first data byte
    }

    unsigned n = 0;
    for (const BitmapCase& c : kBitmaps) {
        const Decoded& d = got[i++];
        EXPECT_EQ(d.kind, 11);
        EXPECT_EQ(d.bitmap.code, n % 4 + 1);
        EXPECT_EQ(d.bitmap.valueA, 100 + n);
        EXPECT_EQ(d.bitmap.valueB, 200 + n);
        EXPECT_EQ(d.bitmap.valueC, 0x01020304u + n);
        EXPECT_EQ(d.bitmap.valueD, 0xA0B0C0D0u + n);
        EXPECT_EQ(d.bitmap.valueE, 50 + n);
        EXPECT_EQ(d.bitmap.mode, n % 3);
        EXPECT_EQ(d.bitmap.colour, n == 0 ? 8 : 0);  // the escape before the first
        EXPECT_EQ(d.bitmap.bitsSize, c.bitsSize) << c.bits;
        ASSERT_NE(d.bitmap.bitmapInfo, nullptr);
        EXPECT_EQ(d.bitmap.bitmapInfo[0], 40);   // biSize, little-endian
        EXPECT_EQ(d.bitmap.bitmapInfo[14], c.bits);  // biBitCount
        // The last pixel byte: just before the next record.
        const size_t table = c.compression == 3 ? 12 : (c.bits <= 8 ? 4u << c.bits : 0);
        EXPECT_EQ(d.bitmap.bitmapInfo[40 + table + c.bitsSize - 1], c.bits);
        EXPECT_EQ(d.bitmapCorner[0], P(1, static_cast<int>(1 + 40 * n)));
        EXPECT_EQ(d.bitmapCorner[1], P(241, 241));
        ++n;
    }
}

}  // namespace

TEST(EndToEnd, EveryElementKindFromFileToHostStructures) {
    for (bool format3 : {false, true}) {
        SCOPED_TRACE(format3 ? "data format 3" : "data format 1");
        TempFile file(BuildSampleOverlay(format3));
        ASSERT_TRUE(file.ok());
        const Loaded l = LoadFile(file.path());
        EXPECT_EQ(l.dataFormat, format3 ? 3 : 1);
        EXPECT_EQ(l.layoutVersion, 1);
        {
            SCOPED_TRACE("text mode 1");
            WalkAndCheck(l, 1);
        }
        {
            SCOPED_TRACE("text mode 2");
            WalkAndCheck(l, 2);
        }
    }
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
