// Attribute records in the long form split into partitions: the exported
// readers take the record as far as it is framed, all partitions, and give
// the answer the element decoders give for the same bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "include/wx5novl1.h"
#include "writer/elements.h"

namespace {

using Bytes = std::vector<unsigned char>;

enum class Reader { LineKindEx, EdgeKindEx, LineDef };

struct PartitionCase {
    const char* name;
    Reader reader;
    Bytes record;                     // the whole framed record
    std::vector<unsigned> want;       // list values, or the table entry's lengths
};

// Offsets are from the record start; the partition words sit among the
// parameters and are read like them.
const PartitionCase kCases[] = {
    {"extended line kind, list over two partitions", Reader::LineKindEx,
     {0x54, 0xDF, 0x80, 0x10,              // long form; 16 bytes, more follow
      0x00, 0x09, 0, 0, 0, 0, 0, 0, 0, 0,  // selector 9 at 4
      0x00, 0x04,                          // 4 values at 14
      0x00, 0x0B, 0x00, 0x16,              // 11, 22
      0x00, 0x02,                          // last partition, 2 bytes (read as a value)
      0x00, 0x21},                         // 33
     {11, 22, 2, 33}},
    {"extended edge kind, list over three partitions", Reader::EdgeKindEx,
     {0x54, 0xFF, 0x80, 0x0C, 0x00, 0x09, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x03,
      0x80, 0x02, 0x00, 0x07, 0x00, 0x02, 0x00, 0x08},
     {0x8002, 7, 2}},
    {"line definition, lengths in the second partition", Reader::LineDef,
     {0x60, 0x3F, 0x80, 0x04,  // escape, long form; 4 bytes, more follow
      0x00, 0x00, 0xBF, 0xF0,  // code -16400 at 6
      0x00, 0x0C,              // last partition, 12 bytes
      0x00, 0x00, 0x00, 0x04,  // four lengths at 12
      0x05, 0xA0, 0x02, 0xD0, 0x01, 0x68, 0x00, 0xB4},  // 1440, 720, 360, 180
     {240, 120, 60, 30}},
};

FO_ATTR FreshAttr() {
    FO_ATTR a;
    std::memset(&a, 0xEE, sizeof(a));
    return a;
}

FO_WORK FreshWork() {
    FO_WORK w;
    std::memset(&w, 0, sizeof(w));
    fosetlinedef(&w);
    return w;
}

// The list a reader filled, as many values as it says it stored.
std::vector<unsigned> ListOf(Reader r, const FO_ATTR& a, const FO_WORK& w) {
    std::vector<unsigned> out;
    if (r == Reader::LineDef) {
        const FO_LINEDEF& e = w.lineDef[0];
        for (int i = 0; i < e.count; ++i) out.push_back(e.length[i]);
        return out;
    }
    const bool line = r == Reader::LineKindEx;
    const int n = line ? a.line.lineStyleListCount : a.line.edgeStyleListCount;
    const unsigned short* list = line ? a.line.lineStyleList : a.line.edgeStyleList;
    for (int i = 0; i < n && i < 14; ++i) out.push_back(list[i]);
    return out;
}

// The record through its exported reader.
std::vector<unsigned> Exported(const PartitionCase& c) {
    const Bytes rec(c.record);  // an exact-size copy: a read past its end is caught
    FO_ATTR attr = FreshAttr();
    FO_WORK work = FreshWork();
    switch (c.reader) {
        case Reader::LineKindEx: foreadlinekindEx(rec.data(), &attr); break;
        case Reader::EdgeKindEx: foreadlinekindEx2(rec.data(), &attr); break;
        case Reader::LineDef: foreadlinedef(rec.data(), &attr, &work); break;
    }
    return ListOf(c.reader, attr, work);
}

// The record in front of a line element, through the line decoder.
std::vector<unsigned> Decoded(const PartitionCase& c) {
    Bytes element(c.record);
    const Bytes line = ovlw::Line({0, 0}, {2880, 0}, {0, 0}, 0, 59, 0);
    element.insert(element.end(), line.begin(), line.end());
    unsigned char* cursor = element.data();
    unsigned remaining = static_cast<unsigned>(element.size());
    FO_ATTR attr = FreshAttr();
    FO_WORK work = FreshWork();
    FO_POINT p[3]{};
    unsigned short value = 0;
    unsigned char width = 0;
    FO_LINEOUT out = {&p[0], &p[1], &p[2], &value, nullptr, &width, nullptr, nullptr};
    EXPECT_EQ(fordline(&cursor, &remaining, &attr, 240, &out, &work), 0);
    EXPECT_EQ(remaining, 0u);
    return ListOf(c.reader, attr, work);
}

// Both paths give one answer. A line definition in the long form reaches the
// decoder only when its first partition word reads as identifier 63 (one
// partition), so it is checked through its reader alone.
TEST(LineKindPartitions, ReadersTakeEveryPartitionAsTheDecoderDoes) {
    for (const PartitionCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Exported(c), c.want);
        if (c.reader != Reader::LineDef) EXPECT_EQ(Decoded(c), c.want);
    }
}

}  // namespace
