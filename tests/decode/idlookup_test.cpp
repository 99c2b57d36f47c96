// pcom_fogetid over the real converter, and the small utilities.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

// A loaded kind 2 image (kind 2 loads byte for byte) with the given ids,
// each exactly 8 bytes.
Bytes ImageWithIds(const std::vector<std::string>& ids, uint8_t textFlag) {
    Kind2Options o;
    o.idTextFlag = textFlag;
    o.ids = ids;
    return BuildKind2(o);
}

std::string Ebc(const std::string& ascii) {
    const Bytes b = Ebcdic(ascii);
    return std::string(b.begin(), b.end());
}

}  // namespace

TEST(PcomFogetid, SingleByteIds) {
    const Bytes image = ImageWithIds({"AB12    ", "A B     ", "ABCDEFGH"}, 1);
    char out[9];
    std::memset(out, 'z', sizeof(out));
    ASSERT_EQ(pcom_fogetid(image.data(), 1, out), 0);
    EXPECT_EQ(std::string(out, 8), std::string("AB12\0\0\0\0", 8));
    ASSERT_EQ(pcom_fogetid(image.data(), 2, out), 0);
    EXPECT_EQ(std::string(out, 8), std::string("A\0B\0\0\0\0\0", 8));
    ASSERT_EQ(pcom_fogetid(image.data(), 3, out), 0);
    EXPECT_EQ(std::string(out, 8), "ABCDEFGH");
    EXPECT_EQ(out[8], 'z');  // no terminator of its own
    // Index 0 is the table head: the data part's length L, the group type,
    // two EBCDIC spaces, the count.
    ASSERT_EQ(pcom_fogetid(image.data(), 0, out), 0);
    // L is 32 here: its low byte 0x20 reads as a space and comes back NUL.
    ASSERT_EQ(image[259], 0x20);
    EXPECT_EQ(std::string(out, 4), std::string(4, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(out[4]), 0xF1);
    EXPECT_EQ(static_cast<unsigned char>(out[5]), 0x40);
    EXPECT_EQ(out[7], 3);
    // One above the count: refused, out untouched.
    std::memset(out, 'z', sizeof(out));
    EXPECT_EQ(pcom_fogetid(image.data(), 4, out), -1);
    EXPECT_EQ(out[0], 'z');
}

TEST(PcomFogetid, HostCodeIdsAreConverted) {
    const std::string ebcdicId = Ebc("AB12") + std::string(4, '\x40');
    const std::string dbcsId = std::string("\x0E\x45\x41\x0F", 4) + std::string(4, '\x40');
    const Bytes image = ImageWithIds({ebcdicId, dbcsId}, 0);
    char out[8];
    ASSERT_EQ(pcom_fogetid(image.data(), 1, out), 0);
    EXPECT_EQ(std::string(out, 8), std::string("AB12\0\0\0\0", 8));
    // The shift codes take no room: the id is 2 + 4 bytes long, and the two
    // bytes the conversion does not reach come back as NUL too.
    ASSERT_EQ(pcom_fogetid(image.data(), 2, out), 0);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0x88);
    EXPECT_EQ(static_cast<unsigned char>(out[1]), 0xEA);
    EXPECT_EQ(std::string(out + 2, 6), std::string(6, '\0'));
}

TEST(Utilities, MemoryAndStrings) {
    char buf[16] = "0123456789";
    EXPECT_EQ(fomemcpy(buf + 1, buf, 10), buf + 1);
    EXPECT_STREQ(buf, "00123456789");
    EXPECT_LT(fomemcmp("ab\x01", "ab\xF0", 3), 0);  // bytes compared unsigned
    EXPECT_GT(fomemcmp("b", "a", 1), 0);
    EXPECT_EQ(fomemcmp("abc", "abd", 2), 0);
    EXPECT_EQ(fomemset(buf, 0x141, 3), buf);
    EXPECT_EQ(std::string(buf, 3), "AAA");
    char s[16];
    EXPECT_EQ(fostrcpy(s, "ab"), s);
    EXPECT_EQ(fostrcat(s, "cde"), s);
    EXPECT_STREQ(s, "abcde");
    EXPECT_EQ(fostrlen(s), 5u);
    EXPECT_EQ(fostrlen(""), 0u);
}

TEST(Utilities, Itoa) {
    char buf[40];
    EXPECT_STREQ(foitoa(255, buf, 16), "ff");
    EXPECT_STREQ(foitoa(-255, buf, 10), "-255");
    EXPECT_STREQ(foitoa(-1, buf, 16), "ffffffff");
    EXPECT_STREQ(foitoa(INT_MIN, buf, 10), "-2147483648");
    EXPECT_STREQ(foitoa(INT_MIN, buf, 2), "10000000000000000000000000000000");
    EXPECT_STREQ(foitoa(5, buf, 2), "101");
    EXPECT_STREQ(foitoa(35, buf, 36), "z");
    EXPECT_STREQ(foitoa(0, buf, 10), "0");
    EXPECT_EQ(foitoa(12, buf, 1), buf);
    EXPECT_STREQ(buf, "");
    EXPECT_STREQ(foitoa(12, buf, 37), "");
}
