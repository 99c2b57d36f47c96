#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "include/wx5novl1.h"
#include "ovlwriter.h"

namespace {

using ovlw::Bytes;

class LineKindTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&work_, 0, sizeof(work_));
        fosetlinedef(&work_);
        std::memset(&attr_, 0xEE, sizeof(attr_));
    }
    static Bytes Code(unsigned code) {
        Bytes p;
        ovlw::PutU16(p, code);
        return p;
    }
    void LineType(unsigned code) {
        const Bytes r = ovlw::ShortRecord(0x5040, Code(code));
        foreadlinekind(r.data(), &attr_, &work_);
    }
    void EdgeType(unsigned code) {
        const Bytes r = ovlw::ShortRecord(0x5360, Code(code));
        foreadlinekind2(r.data(), &attr_, &work_);
    }
    void ExpectDash(const unsigned short* dash, std::initializer_list<int> want) {
        int i = 0;
        for (int v : want) EXPECT_EQ(dash[i++], v) << "length " << i;
    }
    // A line definition for code with the lengths in 1/1440 inch.
    Bytes LineDef(int code, std::initializer_list<unsigned> lengths) {
        Bytes data;
        ovlw::PutU16(data, 0);    // bytes 4 to 5
        ovlw::PutS16(data, code); // bytes 6 to 7
        ovlw::PutU32(data, 0);    // bytes 8 to 11
        ovlw::PutU16(data, static_cast<unsigned>(lengths.size()));
        for (unsigned v : lengths) ovlw::PutU16(data, v);
        return ovlw::Escape(63, data);
    }
    FO_WORK work_;
    FO_ATTR attr_;
};

TEST_F(LineKindTest, LineTypeStylesAndPatterns) {
    LineType(2);
    EXPECT_EQ(attr_.line.lineStyle, 3);
    EXPECT_EQ(attr_.line.lineKindCode, 2);
    ExpectDash(attr_.line.lineDash, {20, 5, 0, 0});
    EXPECT_EQ(attr_.line.lineDashCount, 2);
    ExpectDash(work_.lineDef[18].length, {20, 5, 0, 0});  // fixed pattern written in

    for (unsigned code : {7u, 0xFF9Cu /* -100 */, 0x8000u, 0xBFEFu /* -16401 */}) {
        LineType(code);
        EXPECT_EQ(attr_.line.lineStyle, 1) << code;
        ExpectDash(attr_.line.lineDash, {1, 1, 1, 1});
        EXPECT_EQ(attr_.line.lineDashCount, 1);
    }
    LineType(0xFFFF);  // -1 uses entry 16
    EXPECT_EQ(attr_.line.lineStyle, 1);
    ExpectDash(attr_.line.lineDash, {36, 12, 0, 0});

    const struct {
        unsigned code;
        int style;
    } styles[] = {{1, 1}, {3, 2}, {4, 4}, {0xBFFC, 6}, {0xBFFD, 4}, {0xBFFE, 2}, {0xBFFF, 3}, {0, 1}};
    for (const auto& s : styles) {
        LineType(s.code);
        EXPECT_EQ(attr_.line.lineStyle, s.style) << s.code;
    }
    // -16387 restores its fixed pattern into entry 13; -16 lands on entry 0.
    work_.lineDef[13].length[0] = 99;
    LineType(0xBFFD);
    ExpectDash(work_.lineDef[13].length, {30, 5, 5, 5});
    LineType(0xFFF0);
    ExpectDash(attr_.line.lineDash, {0, 0, 0, 0});
    EXPECT_EQ(attr_.line.lineDashCount, 0);
}

TEST_F(LineKindTest, EdgeTypeReadsWithoutWritingTheTable) {
    const FO_WORK before = work_;
    EdgeType(2);
    EXPECT_EQ(attr_.line.edgeStyle, 3);
    EXPECT_EQ(attr_.line.edgeKindCode, 2);
    ExpectDash(attr_.line.edgeDash, {20, 5, 0, 0});  // entry 15, not 18
    EXPECT_EQ(attr_.line.edgeDashCount, 2);
    EdgeType(4);
    ExpectDash(attr_.line.edgeDash, {30, 5, 5, 5});  // entry 13
    EdgeType(5);
    ExpectDash(attr_.line.edgeDash, {20, 4, 4, 4});  // entry 21 unchanged
    EXPECT_EQ(std::memcmp(&before, &work_, sizeof(work_)), 0);
    EXPECT_EQ(attr_.raw[4], 0xEE);  // lineStyle untouched
}

TEST_F(LineKindTest, LineDefinitionsStayInTheTable) {
    Bytes def = LineDef(-16400, {1440, 720});
    attr_.line.lineKindCode = 0;
    attr_.line.edgeKindCode = 0;
    foreadlinedef(def.data(), &attr_, &work_);
    ExpectDash(work_.lineDef[0].length, {240, 120, 0, 0});
    EXPECT_EQ(work_.lineDef[0].count, 2);

    def = LineDef(-16399, {6000, 60, 600, 66000 % 65536});
    foreadlinedef(def.data(), &attr_, &work_);
    ExpectDash(work_.lineDef[1].length, {999, 10, 100, 77});
    EXPECT_EQ(work_.lineDef[1].count, 4);

    // A definition that follows the LINE TYPE of its code reaches the element.
    LineType(0xBFF5);  // -16395, entry 5
    def = LineDef(-16395, {60, 120});
    foreadlinedef(def.data(), &attr_, &work_);
    ExpectDash(attr_.line.lineDash, {10, 20, 0, 0});
    EXPECT_EQ(attr_.line.lineDashCount, 2);
    // Only one of line and edge takes it: the line when its code matches.
    EdgeType(0xBFF5);
    def = LineDef(-16395, {6, 12, 18, 24});
    foreadlinedef(def.data(), &attr_, &work_);
    ExpectDash(attr_.line.lineDash, {1, 2, 3, 4});
    ExpectDash(attr_.line.edgeDash, {10, 20, 0, 0});

    // Codes without an entry of their own change nothing.
    const FO_WORK before = work_;
    for (int code : {-16384, -16401, -32768, 5}) {
        def = LineDef(code, {60, 60});
        foreadlinedef(def.data(), &attr_, &work_);
    }
    EXPECT_EQ(std::memcmp(&before, &work_, sizeof(work_)), 0);
}

Bytes Extended(uint16_t cls, unsigned selector, unsigned param, std::vector<unsigned> list,
               bool longForm) {
    // Parameters from base offset 4: selector, 2 bytes, parameter, 4 bytes,
    // count, values.
    Bytes p;
    ovlw::PutU16(p, selector);
    ovlw::PutU16(p, 0);
    ovlw::PutU16(p, param);
    ovlw::PutU32(p, 0);
    ovlw::PutU16(p, static_cast<unsigned>(list.size()));
    for (unsigned v : list) ovlw::PutU16(p, v);
    return longForm ? ovlw::LongRecord(cls, p) : ovlw::ShortRecord(cls, p);
}

TEST_F(LineKindTest, ExtendedKindsInBothForms) {
    for (bool longForm : {false, true}) {
        SetUp();
        Bytes r = Extended(0x54C0, 9, 0, {11, 22, 33}, longForm);
        foreadlinekindEx(r.data(), &attr_);
        EXPECT_EQ(attr_.line.lineStyle, 13);
        EXPECT_EQ(attr_.line.lineStyleListCount, 3);
        EXPECT_EQ(attr_.line.lineStyleList[0], 11);
        EXPECT_EQ(attr_.line.lineStyleList[2], 33);
        EXPECT_EQ(attr_.line.lineStyleList[3], 0xEEEE);
        EXPECT_EQ(attr_.line.lineStyleParam, 0xEEEE);

        r = Extended(0x54E0, 8, 1234, {}, longForm);
        foreadlinekindEx2(r.data(), &attr_);
        EXPECT_EQ(attr_.line.edgeStyle, 12);
        EXPECT_EQ(attr_.line.edgeStyleParam, 1234);
        EXPECT_EQ(attr_.line.edgeStyleListCount, 0xEEEE);
    }
    const unsigned styles[] = {1, 2, 3, 4, 8, 9, 10, 11, 12, 13, 1, 1};
    for (unsigned s = 0; s < 12; ++s) {
        const Bytes r = Extended(0x54C0, s, 0, {}, false);
        foreadlinekindEx(r.data(), &attr_);
        EXPECT_EQ(attr_.line.lineStyle, styles[s]) << "selector " << s;
    }
}

TEST_F(LineKindTest, ExtendedListsKeepToTheirRoomAndTheRecord) {
    // 20 values claimed and given: 14 fit the list; the edge fields after it
    // are untouched.
    std::vector<unsigned> many(20);
    for (unsigned i = 0; i < 20; ++i) many[i] = 100 + i;
    Bytes r = Extended(0x54C0, 9, 0, many, true);
    foreadlinekindEx(r.data(), &attr_);
    EXPECT_EQ(attr_.line.lineStyleListCount, 14);
    EXPECT_EQ(attr_.line.lineStyleList[13], 113);
    EXPECT_EQ(attr_.line.edgeStyleParam, 0xEEEE);

    r = Extended(0x54E0, 9, 0, many, true);
    foreadlinekindEx2(r.data(), &attr_);
    EXPECT_EQ(attr_.line.edgeStyleListCount, FO_EDGESTYLE_LIST_MAX);

    // A count larger than the values the record holds stores only those.
    r = Extended(0x54C0, 9, 0, {7, 8}, false);
    r[2 + 12 + 1] = 9;  // count at record offset 14 claims 9 values
    SetUp();
    foreadlinekindEx(r.data(), &attr_);
    EXPECT_EQ(attr_.line.lineStyleListCount, 2);
    EXPECT_EQ(attr_.line.lineStyleList[1], 8);
    EXPECT_EQ(attr_.line.lineStyleList[2], 0xEEEE);
}

// A font list of names of length n; the renaming table is built in memory.
Bytes FontList(const std::vector<std::string>& names, size_t n, bool longForm) {
    Bytes p;
    for (const std::string& name : names) {
        ovlw::PutU16(p, static_cast<unsigned>(n));
        for (size_t i = 0; i < n; ++i) p.push_back(i < name.size() ? name[i] : 0);
    }
    return longForm ? ovlw::LongRecord(0x11A0, p) : ovlw::ShortRecord(0x11A0, p);
}

TEST(Foreadfontdef, StoresNamesAndRenames) {
    FO_FONTBLOCK block;
    std::memset(&block, 0xAB, sizeof(block));
    const Bytes rec = FontList({"MINCHO", "GOTHIC", "LATIN"}, 8, false);
    ASSERT_EQ(rec.size(), 2u + 3 * (2 + 8));

    FO_FONTRENAME pairs[2] = {{"GOTHIC", "SANS"}, {"LATIN", "VERYLONGNAME"}};
    unsigned char table[8 + sizeof(pairs)];
    table[0] = 8;
    table[1] = 2;
    std::memcpy(table + 8, pairs, sizeof(pairs));

    EXPECT_EQ(foreadfontdef(rec.data(), static_cast<int>(rec.size()), &block, table), 1);
    EXPECT_EQ(block.nameCount, 3);
    EXPECT_EQ(block.nameLength, 8);
    EXPECT_EQ(block.totalBytes, 32);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.names)), "MINCHO");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.names + 8)), "SANS");
    // A replacement longer than the slot is cut to the slot.
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.names + 16), 8), "VERYLONG");
    EXPECT_EQ(block.names[24], 0xAB);
    EXPECT_EQ(block.host[231], 0xAB);

    // Long form, no table.
    const Bytes longRec = FontList({"A", "B"}, 4, true);
    EXPECT_EQ(foreadfontdef(longRec.data(), static_cast<int>(longRec.size()), &block, nullptr), 1);
    EXPECT_EQ(block.nameCount, 2);
    EXPECT_EQ(block.totalBytes, 16);
    EXPECT_EQ(block.names[4], 'B');
}

TEST(Foreadfontdef, StopsBeforeTheEndOfTheBlock) {
    FO_FONTBLOCK block;
    std::memset(&block, 0, sizeof(block));
    // 1000-byte names: three fit (3000 + 1000 + 240 reaches 4096 at the fourth).
    std::vector<std::string> names(5, std::string(1000, 'N'));
    const Bytes rec = FontList(names, 1000, true);
    block.totalBytes = 0x7777;
    EXPECT_EQ(foreadfontdef(rec.data(), static_cast<int>(rec.size()), &block, nullptr), 0);
    EXPECT_EQ(block.nameCount, 5);
    EXPECT_EQ(block.totalBytes, 0x7777);  // not written when full
    EXPECT_EQ(block.names[2999], 'N');
    EXPECT_EQ(block.names[3000], 0);
}

}  // namespace
