// Line and font definitions that replace what came before: a line definition
// given again with fewer lengths, font lists whose later length words
// disagree with the first, and renaming tables with more than one match.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "include/wx5novl1.h"
#include "ovlwriter.h"

namespace {

using ovlw::Bytes;

Bytes LineDef(int code, std::vector<unsigned> lengths) {
    Bytes data;
    ovlw::PutU16(data, 0);
    ovlw::PutS16(data, code);
    ovlw::PutU32(data, 0);
    ovlw::PutU16(data, static_cast<unsigned>(lengths.size()));
    for (unsigned v : lengths) ovlw::PutU16(data, v);
    return ovlw::Escape(63, data);
}

TEST(Foreadlinedef, TwoLengthsAfterFourClearTheLastTwo) {
    FO_WORK work;
    std::memset(&work, 0, sizeof(work));
    fosetlinedef(&work);
    FO_ATTR attr;
    std::memset(&attr, 0, sizeof(attr));
    attr.line.lineKindCode = static_cast<unsigned short>(-16398);
    foreadlinedef(LineDef(-16398, {60, 120, 180, 240}).data(), &attr, &work);
    EXPECT_EQ(work.lineDef[2].count, 4);
    foreadlinedef(LineDef(-16398, {600, 1200}).data(), &attr, &work);
    const unsigned short want[4] = {100, 200, 0, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(work.lineDef[2].length[i], want[i]) << i;
        EXPECT_EQ(attr.line.lineDash[i], want[i]) << i;
    }
    EXPECT_EQ(work.lineDef[2].count, 2);
    EXPECT_EQ(attr.line.lineDashCount, 2);
    // Three lengths given count as four.
    foreadlinedef(LineDef(-16398, {60, 120, 180, 240}).data(), &attr, &work);
    foreadlinedef(LineDef(-16398, {600, 1200, 1800, 2400}).data(), &attr, &work);
    Bytes three = LineDef(-16398, {6, 12, 18, 24});
    three[12 + 1] = 3;  // the count word says 3
    foreadlinedef(three.data(), &attr, &work);
    EXPECT_EQ(work.lineDef[2].count, 4);
    EXPECT_EQ(work.lineDef[2].length[3], 4);
}

// A font list whose names are n bytes each; the length words after the first
// say `later` instead of n.
Bytes FontList(const std::vector<std::string>& names, unsigned n, unsigned later, bool longForm) {
    Bytes p;
    for (size_t k = 0; k < names.size(); ++k) {
        ovlw::PutU16(p, k == 0 ? n : later);
        for (size_t i = 0; i < n; ++i) p.push_back(i < names[k].size() ? names[k][i] : 0);
    }
    return longForm ? ovlw::LongRecord(0x11A0, p) : ovlw::ShortRecord(0x11A0, p);
}

std::string Name(const FO_FONTBLOCK& b, int k) {
    const char* at = reinterpret_cast<const char*>(b.names) + k * b.nameLength;
    return std::string(at, strnlen(at, b.nameLength));
}

TEST(Foreadfontdef, OnlyTheFirstLengthWordCounts) {
    for (bool longForm : {false, true})
        for (unsigned later : {0u, 3u, 9u, 0xFFFFu}) {
            FO_FONTBLOCK block;
            std::memset(&block, 0, sizeof(block));
            const Bytes rec = FontList({"MINCHO", "GOTHIC", "LATIN"}, 6, later, longForm);
            ASSERT_EQ(foreadfontdef(rec.data(), static_cast<int>(rec.size()), &block, nullptr), 1);
            EXPECT_EQ(block.nameCount, 3) << later;
            EXPECT_EQ(block.nameLength, 6) << later;
            EXPECT_EQ(block.totalBytes, 3 * 6 + 8) << later;
            EXPECT_EQ(Name(block, 1), "GOTHIC") << later << " long " << longForm;
            EXPECT_EQ(Name(block, 2), "LATIN") << later << " long " << longForm;
        }
}

TEST(Foreadfontdef, FirstMatchingPairRenamesAndNoOtherAfterIt) {
    // Pairs 0 and 2 both find GOTHIC; pair 1 finds what pair 0 puts in.
    FO_FONTRENAME pairs[3] = {{"GOTHIC", "MINCHO"}, {"MINCHO", "ROUND"}, {"GOTHIC", "SERIF"}};
    unsigned char table[8 + sizeof(pairs)];
    table[0] = 8;
    table[1] = 3;
    std::memcpy(table + 8, pairs, sizeof(pairs));
    FO_FONTBLOCK block;
    std::memset(&block, 0, sizeof(block));
    const Bytes rec = FontList({"GOTHIC", "MINCHO", "LATIN"}, 8, 8, false);
    ASSERT_EQ(foreadfontdef(rec.data(), static_cast<int>(rec.size()), &block, table), 1);
    EXPECT_EQ(Name(block, 0), "MINCHO");
    EXPECT_EQ(Name(block, 1), "ROUND");
    EXPECT_EQ(Name(block, 2), "LATIN");
}

}  // namespace
