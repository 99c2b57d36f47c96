// fordcharacter and foclen_sjis.
#include <gtest/gtest.h>

#include <memory>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

// A font-name block holding the given names, as foreadfontdef fills it.
FO_FONTBLOCK Fonts(const std::vector<Bytes>& names) {
    FO_FONTBLOCK block;
    std::memset(&block, 0xEE, sizeof(block));
    const Bytes rec = FontList(names);
    EXPECT_EQ(foreadfontdef(rec.data(), static_cast<int>(rec.size()), &block, nullptr), 1);
    return block;
}

struct TextRun {
    std::shared_ptr<Records> owner;  // keeps the records the text points into
    int result = 0;
    FO_ATTR attr = ZeroAttr();
    FO_POINT position{-1, -1};
    FO_POINT aux1{-1, -1}, aux2{-1, -1};
    FO_TEXTOUT out{};
    size_t at = 0;
    int avail = 0;
    const unsigned char* base = nullptr;
    size_t textAt() const { return static_cast<size_t>(out.text - base); }
};

struct TextSetup {
    unsigned char mode = 1;
    unsigned short encoding = 3;
    const FO_FONTBLOCK* fonts = nullptr;
    unsigned dpi = 240;
};

TextRun RunText(Records& r, FO_WORK& work, const TextSetup& s = {}, FO_ATTR seed = ZeroAttr()) {
    TextRun t;
    t.attr = seed;
    t.out.position = &t.position;
    t.out.auxPoint1 = &t.aux1;
    t.out.auxPoint2 = &t.aux2;
    t.out.textMode = s.mode;
    t.out.textEncoding = s.encoding;
    t.out.unitTenths = 0xAA;
    if (s.fonts != nullptr) {
        t.out.fontNames = s.fonts->names;
        t.out.fontNameLength = s.fonts->nameLength;
    }
    int avail = r.avail();
    t.base = r.data.data();
    t.result = fordcharacter(&r.cursor, &avail, &t.attr, s.dpi, &t.out, &work);
    r.remaining = static_cast<unsigned int>(avail);
    t.at = r.at();
    t.avail = avail;
    return t;
}

TextRun RunText(const Bytes& records, FO_WORK& work, const TextSetup& s = {}, FO_ATTR seed = ZeroAttr()) {
    auto r = std::make_shared<Records>(records);
    TextRun t = RunText(*r, work, s, seed);
    t.owner = r;
    return t;
}

}  // namespace

TEST(FoclenSjis, LeadBytes) {
    for (int c : {0x80, 0xA0, 0xDF, 0xFD, 0x00, 0x41, 0xFF, -1, 0x181, 256}) EXPECT_EQ(foclen_sjis(c), 1) << c;
    for (int c : {0x81, 0x9F, 0xE0, 0xEF, 0xF0, 0xFC}) EXPECT_EQ(foclen_sjis(c), 2) << c;
}

TEST(Fordcharacter, UnitsAndPosition) {
    FO_WORK work = DefaultWork();
    struct {
        unsigned dpi;
        int tenths, half;
    } units[] = {{240, 60, 30}, {400, 36, 18}, {1440, 10, 5}, {300, 48, 24}};
    for (const auto& u : units) {
        TextSetup s;
        s.dpi = u.dpi;
        TextRun t = RunText(Text(100, 200, Ebcdic("AB")), work, s);
        ASSERT_EQ(t.result, 0);
        EXPECT_EQ(t.out.unitTenths, u.tenths);
        EXPECT_EQ(t.out.unitHalf, u.half);
        EXPECT_EQ(t.position, P(101, -199));  // 1/1440 inch, not device pixels
    }
    // The origin, converted to 1/1440 inch: 10 * 1440 / 240 = 60, -5 -> -30.
    FO_WORK shifted = DefaultWork(10, -5);
    TextRun t = RunText(Text(100, -200, Ebcdic("AB")), shifted);
    EXPECT_EQ(t.position, P(161, 171));
    EXPECT_EQ(t.attr.text.textRecordKind, 0);
}

TEST(Fordcharacter, ResolutionThatCannotDivide) {
    FO_WORK work = DefaultWork();
    for (unsigned dpi : {0u, 65536u}) {
        TextSetup s;
        s.dpi = dpi;
        Records r(Text(0, 0, Ebcdic("A")));
        TextRun t = RunText(r, work, s);
        EXPECT_EQ(t.result, -1);
        EXPECT_EQ(t.at, 0u);
        EXPECT_EQ(t.out.unitTenths, 0xAA);
        EXPECT_EQ(t.position, P(-1, -1));
    }
}

TEST(Fordcharacter, HostTextPrefixAndRun) {
    FO_WORK work = DefaultWork();
    const Bytes text = {0x28, 0x44, 0x5B, 0x44, 0x5C, 0x29};
    const Bytes rec = Text(0, 0, text);
    TextRun t = RunText(rec, work);
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ(t.attr.text.textForm, 1);
    EXPECT_EQ(t.attr.text.charCount, 4);
    EXPECT_EQ(t.attr.text.textCharFlags, 2);
    EXPECT_EQ(t.attr.text.textLength, 6);
    EXPECT_EQ(t.textAt(), rec.size() - text.size() + 1);  // the byte 0x44
    EXPECT_EQ(*t.out.text, 0x44);

    // 0x30 takes the byte after it; 0xF7 there selects font class 2. A
    // single last byte of a run adds nothing.
    t = RunText(Text(0, 0, Bytes{0x30, 0xF7, 0x28, 0x45, 0x41, 0x45}), work);
    EXPECT_EQ(t.attr.text.fontClass, 2);
    EXPECT_EQ(t.attr.text.charCount, 2);
    EXPECT_EQ(*t.out.text, 0x45);
    // A prefix that is the whole text, ending with a lone 0x30.
    t = RunText(Text(0, 0, Bytes{0x28, 0x30}), work);
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ(t.attr.text.charCount, 0);
    // Text mode 0 clears the font class.
    FO_ATTR seed = ZeroAttr();
    seed.text.fontClass = 4;
    TextSetup mode0;
    mode0.mode = 0;
    t = RunText(Text(0, 0, Bytes{0x44, 0x5B}), work, mode0, seed);
    EXPECT_EQ(t.attr.text.fontClass, 0);
}

TEST(Fordcharacter, ShiftJisAndSingleByteText) {
    FO_WORK work = DefaultWork();
    TextSetup sjis;
    sjis.mode = 2;
    sjis.encoding = 3;
    TextRun t = RunText(Text(0, 0, Bytes{0x41, 0x82, 0xA0, 0xB1}), work, sjis);
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ(t.attr.text.charCount, 3);
    EXPECT_EQ(t.attr.text.textForm, 4);
    EXPECT_EQ(t.attr.text.textCharFlags, 7);
    // A lead byte as the last byte counts once and is not read past.
    t = RunText(Text(0, 0, Bytes{0x82, 0xA0, 0x82}), work, sjis);
    EXPECT_EQ(t.attr.text.charCount, 2);
    EXPECT_EQ(t.attr.text.textCharFlags, 6);

    TextSetup single = sjis;
    single.encoding = 2;
    t = RunText(Text(0, 0, Bytes{'H', 'e', 'l', 'l', 'o'}), work, single);
    EXPECT_EQ(t.attr.text.charCount, 5);
    EXPECT_EQ(t.attr.text.textForm, 2);
    EXPECT_EQ(t.attr.text.textCharFlags, 1);
    TextSetup other = sjis;
    other.encoding = 7;
    FO_ATTR seed = ZeroAttr();
    seed.text.charCount = 9;
    seed.text.textForm = 9;
    t = RunText(Text(0, 0, Bytes{'H'}), work, other, seed);
    EXPECT_EQ(t.attr.text.charCount, 0);
    EXPECT_EQ(t.attr.text.textForm, 9);

    // Long form of a longer text.
    const Bytes longText(40, 'x');
    const Bytes rec = Text(5, -5, longText, true);
    t = RunText(rec, work, single);
    ASSERT_EQ(t.result, 0);
    EXPECT_EQ(t.attr.text.charCount, 40);
    EXPECT_EQ(t.textAt(), rec.size() - 40);
    EXPECT_EQ(t.position, P(6, 6));
}

TEST(Fordcharacter, RecordOfClass4280) {
    FO_WORK work = DefaultWork(10, 0);
    TextSetup s;
    s.mode = 0;  // not looked at: the text encoding decides
    s.encoding = 3;
    const Bytes text = {0x82, 0xA0, 0x41};
    for (bool longForm : {false, true}) {
        const Bytes rec = Text2({1440, -1440}, 240, 480, text, longForm);
        TextRun t = RunText(rec, work, s);
        ASSERT_EQ(t.result, 0);
        EXPECT_EQ(t.attr.text.textRecordKind, 1);
        // Device position with the origin, then the origin once more in
        // 1/1440 inch (10 * 1440 / 240 = 60).
        EXPECT_EQ(t.position, P(251 + 60, 241));
        EXPECT_EQ(t.attr.text.textAttr60, 1440);
        EXPECT_EQ(t.attr.text.textAttr62, 2880);
        EXPECT_EQ(t.attr.text.charCount, 2);
        EXPECT_EQ(t.attr.text.textForm, 4);
        EXPECT_EQ(t.attr.text.textLength, 3);
        EXPECT_EQ(t.textAt(), rec.size() - 3);
    }
}

TEST(Fordcharacter, TextAttributes) {
    FO_WORK work = DefaultWork();
    const Bytes attrs = Concat({
        CharExpansion(1, 0x8000), CharSpacing(0x00018000), TextColour(3), CharHeight(240),
        TextPath(2), Text5260(0xAB, 0xCD), Text5280({1440, -1440}, {2880, 0}), Text5480(0x1234),
        Text5500({1, 3, 10, 20, 30, 40, 50, 7}), Escape(29, Bytes{0, 0}), Escape(72, Bytes{}),
        Marker(), Text54A0(1, 42), Text54A0(0, 43),
    });
    TextRun t = RunText(Concat({attrs, Text(0, 0, Ebcdic("A"))}), work);
    ASSERT_EQ(t.result, 0);
    const FO_ATTR_TEXT& a = t.attr.text;
    EXPECT_EQ(a.charExpansion, 150);
    EXPECT_EQ(a.charSpacing, 150);
    EXPECT_EQ(a.textColour, 3);
    EXPECT_EQ(a.charHeight, 240);
    EXPECT_EQ(a.textPath, 2);
    EXPECT_EQ(a.textAttr42[0], 0xAB);
    EXPECT_EQ(a.textAttr42[1], 0xCD);
    EXPECT_EQ(t.aux1, P(241, 241));
    EXPECT_EQ(t.aux2, P(481, 1));
    EXPECT_EQ(a.textAttr40, 0x1234);
    EXPECT_EQ(a.textAttr47, 1);
    EXPECT_EQ(a.textAttr64, 3);
    EXPECT_EQ(a.textAttr50, 10);
    EXPECT_EQ(a.textAttr56, 20);
    EXPECT_EQ(a.textAttr54, 30);
    EXPECT_EQ(a.textAttr52, 40);
    EXPECT_EQ(a.textAttr48, 50);
    EXPECT_EQ(a.textAttr58, 2);
    EXPECT_EQ(a.fontIndex2, 42);
    EXPECT_EQ(a.fontIndex, 43);
    EXPECT_EQ(a.fontClass, 4);

    // Fractions round up to whole hundredths; negative spacing truncates
    // toward zero.
    t = RunText(Concat({CharExpansion(0, 1), CharSpacing(0xFFFF8000u), Text(0, 0, Ebcdic("A"))}), work);
    EXPECT_EQ(t.attr.text.charExpansion, 1);
    EXPECT_EQ(static_cast<short>(t.attr.text.charSpacing), -50);
    // No class 0x5280 record: the auxiliary points are cleared.
    EXPECT_EQ(t.aux1, P(0, 0));
    EXPECT_EQ(t.aux2, P(0, 0));
}

TEST(Fordcharacter, Orientation) {
    FO_WORK work = DefaultWork();
    struct Case {
        int xu, yu, xb, yb;
        int rotation, slant;
    } cases[] = {
        {0, 1, 1, 0, 0, 90},        {-1, 0, 0, 1, 2, 90},        {0, -1, -1, 0, 1, 90},
        {1, 0, 0, -1, 3, 90},       {1000, 1000, 1000, 0, 0, 45}, {1000, 1700, 1000, 0, 0, 60},
        {1000, 3000, 1000, 0, 0, 75}, {1000, 5000, 1000, 0, 0, 90}, {1000, -1000, -1000, 0, 1, 90},
        {-1000, 1000, -1000, 0, 1, 90}, {1000, -1000, 0, -1000, 3, 45}, {-1000, 1000, 0, 1000, 2, 45},
        // Zero divisors: the limit of the ratio, the upright case.
        {0, 1000, 1000, 0, 0, 90},  {0, 1000, -1000, 0, 1, 90}, {1000, 0, 0, -1000, 3, 90},
        {1000, 0, 0, 1000, 2, 90},
    };
    for (const Case& c : cases) {
        FO_ATTR seed = ZeroAttr();
        TextRun t = RunText(Concat({CharOrientation(c.xu, c.yu, c.xb, c.yb), Text(0, 0, Ebcdic("A"))}),
                            work, {}, seed);
        ASSERT_EQ(t.result, 0);
        EXPECT_EQ(t.attr.text.textRotation, c.rotation) << c.xu << "," << c.yu << " " << c.xb;
        EXPECT_EQ(t.attr.text.slantAngle, c.slant) << c.xu << "," << c.yu << " " << c.xb;
    }
    // No row matches: nothing is written.
    FO_ATTR seed = ZeroAttr();
    seed.text.textRotation = 9;
    seed.text.slantAngle = 9;
    TextRun t = RunText(Concat({CharOrientation(1, 1, 5, 5), Text(0, 0, Ebcdic("A"))}), work, {}, seed);
    EXPECT_EQ(t.attr.text.textRotation, 9);
    EXPECT_EQ(t.attr.text.slantAngle, 9);
}

TEST(Fordcharacter, FontNames) {
    FO_WORK work = DefaultWork();
    const FO_FONTBLOCK fonts = Fonts({Ebcdic("QZAAAAAA"), Ebcdic("QZAAAALA"), Ebcdic("QZAAAADA")});
    TextSetup s;
    s.fonts = &fonts;
    auto classOf = [&](unsigned index, const TextSetup& setup) {
        FO_ATTR seed = ZeroAttr();
        seed.text.fontClass = 7;
        TextRun t = RunText(Concat({TextFontIndex(index), Text(0, 0, Ebcdic("A"))}), work, setup, seed);
        EXPECT_EQ(t.result, 0);
        EXPECT_EQ(t.attr.text.fontIndex, index);
        EXPECT_EQ(t.attr.text.fontIndex2, index);
        return t.attr.text.fontClass;
    };
    EXPECT_EQ(classOf(1, s), 0);
    EXPECT_EQ(classOf(2, s), 2);
    EXPECT_EQ(classOf(3, s), 2);
    // Outside the names given: not read, class 0.
    EXPECT_EQ(classOf(0, s), 0);
    EXPECT_EQ(classOf(4, s), 0);
    EXPECT_EQ(classOf(65535, s), 0);
    TextSetup mode2 = s;
    mode2.mode = 2;
    EXPECT_EQ(classOf(1, mode2), 4);

    // Names longer than 8 bytes are compared over their first 8 only; a
    // shorter name never equals an 8-byte one.
    const FO_FONTBLOCK longNames = Fonts({Ebcdic("QZAAAADAXYZ"), Ebcdic("QZAAAALAXYZ")});
    TextSetup l;
    l.fonts = &longNames;
    EXPECT_EQ(classOf(2, l), 2);
    const FO_FONTBLOCK shortNames = Fonts({Ebcdic("QZAAAAD")});
    TextSetup sh;
    sh.fonts = &shortNames;
    EXPECT_EQ(classOf(1, sh), 0);
    // No font names at all.
    EXPECT_EQ(classOf(1, TextSetup{}), 0);
}

TEST(Fordcharacter, Rejections) {
    FO_WORK work = DefaultWork();
    const Bytes lead = CharHeight(100);
    const Bytes rejected[] = {
        Escape(11, Bytes{0, 0, 0, 0}),
        LineWidth(10),
        ShortRecord(0x5200, Bytes(6, 0)),          // orientation cut short
        ShortRecord(0x5500, Bytes(14, 0)),
        ShortRecord(0x4080, Bytes{0, 0, 0, 0, 0, 1, 0, 5, 0xC1}),  // 5 text bytes claimed, 1 given
        ShortRecord(0x4280, Bytes(10, 0)),         // no room for the byte count
    };
    for (const Bytes& bad : rejected) {
        Records r(Concat({lead, bad, Text(0, 0, Ebcdic("A"))}));
        TextRun t = RunText(r, work);
        EXPECT_EQ(t.result, -1);
        EXPECT_EQ(t.at, lead.size());
        EXPECT_EQ(t.avail, static_cast<int>(r.data.size() - lead.size()));
        EXPECT_EQ(t.attr.text.charHeight, 100);
        EXPECT_EQ(t.out.unitTenths, 0xAA);  // FO_TEXTOUT not written
        EXPECT_EQ(t.position, P(-1, -1));
    }
    // The data ends before the text record.
    Records r(lead);
    TextRun t = RunText(r, work);
    EXPECT_EQ(t.result, -1);
    EXPECT_EQ(t.at, lead.size());
}
