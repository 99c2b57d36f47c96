// Fields that lie beyond a record's own length are not read from the
// records after it: the kind walk passes a record too short to hold its
// identifier or group type, and the preamble walk refuses a version record
// without its version and ignores a layout escape without its value.
#include <gtest/gtest.h>

#include <vector>

#include "include/wx5novl1.h"
#include "ovlwriter.h"
#include "support/fake_fileacc.h"

namespace {

using ovlw::Bytes;

struct KindCase {
    const char* name;
    Bytes records;  // END PICTURE follows
    int kind;
};

// In each, the bytes after the short record would name another kind.
const KindCase kKindCases[] = {
    {"ESCAPE 9 without its group type",
     {0x60, 0x22, 0x00, 0x09,                            // ESCAPE, identifier 9 only
      0x50, 0x66, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00},   // type 2 would sit at 6 to 9
     FO_KIND_END},
    {"primitive without its identifier",
     {0x41, 0x42, 0x00, 0x00,                                         // 2 bytes of parameters
      0x00, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},                // 12 would sit at 4 to 5
     FO_KIND_END},
    {"ESCAPE 9 with its group type", {0x60, 0x28, 0x00, 0x09, 0, 0, 0, 0, 0, 0x02}, FO_KIND_AREA},
};

TEST(RecordBounds, KindWalkReadsInsideEachRecord) {
    for (const KindCase& c : kKindCases) {
        const Bytes data = ovlw::Concat({c.records, ovlw::EndPicture()});
        EXPECT_EQ(foreadkindget(data.data(), static_cast<int>(data.size())), c.kind) << c.name;
    }
}

struct PreambleCase {
    const char* name;
    ovlw::Charset magic;
    bool versionRecord;  // the writer's METAFILE VERSION 1
    Bytes preamble;      // then NO-OP
    int result;
    unsigned short layout;  // reported on success
};

const PreambleCase kPreambleCases[] = {
    // 0x0001 after the empty record would read as version 1.
    {"METAFILE VERSION without parameters", ovlw::Charset::kEbcdic, false,
     {0x10, 0x20, 0x00, 0x01, 0x00}, FO_ERR_VARIANT, 0},
    // 0x0005 at bytes 6 to 7 would read as layout version 5.
    {"ESCAPE 68 without its value", ovlw::Charset::kAscii, true,
     {0x60, 0x22, 0x00, 0x44, 0x00, 0x04, 0x00, 0x05, 0x00, 0x00}, FO_OK, 2},
    {"ESCAPE 68 with its value", ovlw::Charset::kAscii, true,
     {0x60, 0x26, 0x00, 0x44, 0x00, 0x00, 0x00, 0x05}, FO_OK, 3},
};

TEST(RecordBounds, PreambleWalkReadsInsideEachRecord) {
    for (const PreambleCase& c : kPreambleCases) {
        SCOPED_TRACE(c.name);
        fakefs::Reset();
        ovlw::Kind1Options o;
        o.magic = c.magic;
        if (!c.versionRecord) o.metafileVersion.reset();
        o.preamble = c.preamble;
        fakefs::AddFile("f.ovl", ovlw::BuildKind1(o));
        std::vector<unsigned char> buffer(65536);
        unsigned size = static_cast<unsigned>(buffer.size()), loaded = 0;
        unsigned char kind = 0;
        unsigned short format = 0, layout = 0;
        const int result = foreaddata(FO_OPEN_READ, 1, "f.ovl", buffer.data(), &size, &loaded,
                                      &kind, &format, &layout, nullptr, 0);
        EXPECT_EQ(result, c.result);
        if (c.result == FO_OK) EXPECT_EQ(layout, c.layout);
    }
}

}  // namespace
