#include <gtest/gtest.h>

#include <cstring>

#include "include/wx5novl1.h"

namespace {

TEST(WorkArea, DefaultTableLeavesOriginAndOptionsAlone) {
    FO_WORK work;
    std::memset(&work, 0xFF, sizeof(work));
    fosetlinedef(&work);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&work);
    for (int i = 220; i <= 230; ++i) EXPECT_EQ(bytes[i], 0xFF) << "byte " << i;

    // Spot the entries that carry meaning: the dash patterns the line kinds
    // rely on and the fallback entry.
    struct Expect {
        int entry;
        unsigned short len[4];
        int count;
    } expected[] = {{0, {0, 0, 0, 0}, 0},    {11, {0, 0, 0, 0}, 0},  {12, {0, 0, 0, 0}, 4},
                    {13, {30, 5, 5, 5}, 4},  {14, {5, 8, 0, 0}, 2},  {15, {20, 5, 0, 0}, 2},
                    {16, {36, 12, 0, 0}, 2}, {17, {1, 1, 1, 1}, 1},  {18, {12, 4, 0, 0}, 2},
                    {19, {2, 6, 0, 0}, 2},   {20, {20, 4, 4, 4}, 4}, {21, {20, 4, 4, 4}, 4}};
    for (const Expect& e : expected) {
        for (int i = 0; i < 4; ++i) EXPECT_EQ(work.lineDef[e.entry].length[i], e.len[i]);
        EXPECT_EQ(work.lineDef[e.entry].count, e.count) << "entry " << e.entry;
        EXPECT_EQ(work.lineDef[e.entry].unused, 0);
    }
}

TEST(WorkArea, OriginIsStoredInHostByteOrder) {
    FO_WORK work;
    std::memset(&work, 0, sizeof(work));
    fosetorgpoint(&work, -1, 32767);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&work);
    EXPECT_EQ(bytes[220], 0xFF);
    EXPECT_EQ(bytes[221], 0xFF);
    short y;
    std::memcpy(&y, bytes + 222, 2);
    EXPECT_EQ(y, 32767);
}

TEST(WorkArea, EachOptionRoundTripsAllByteValuesAndTouchesOnlyItsByte) {
    using Set = void (*)(FO_WORK*, char);
    using Get = char (*)(FO_WORK*);
    struct Option {
        Set set;
        Get get;
        int offset;
    } options[] = {{fosetcolflg, fogetcolflg, 224},         {fosetproduct, fogetproduct, 225},
                   {foseticonvflg, fogeticonvflg, 226},     {fosetprtinf, fogetprtinf, 227},
                   {fosetmededition, fogetmededition, 228}, {fosethkzconvflg, fogethkzconvflg, 229},
                   {fosetoutcharcode, fogetoutcharcode, 230}};
    for (const Option& o : options) {
        for (int v = 0; v < 256; ++v) {
            FO_WORK work;
            std::memset(&work, 0x5A, sizeof(work));
            o.set(&work, static_cast<char>(v));
            EXPECT_EQ(static_cast<unsigned char>(o.get(&work)), v);
            const auto* bytes = reinterpret_cast<const unsigned char*>(&work);
            for (int i = 0; i < 231; ++i) {
                if (i == o.offset) EXPECT_EQ(bytes[i], v);
                else ASSERT_EQ(bytes[i], 0x5A) << "option at " << o.offset << " wrote " << i;
            }
        }
    }
}

}  // namespace
