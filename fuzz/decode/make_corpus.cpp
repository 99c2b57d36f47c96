// Writes the seed corpus of fuzz_decode: the sample overlays of the tests in
// data formats 1 and 3, a text overlay, and bare element records. Each seed
// ends with the harness's option byte.
#include <cstdio>
#include <string>

#include "tests/decode/sample_overlay.h"

using namespace ovlw;

namespace {

bool Write(const std::string& dir, const char* name, Bytes bytes, uint8_t options) {
    bytes.push_back(options);
    return WriteFile(dir + "/" + name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_decode_corpus <folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    Kind1Options text;
    text.preamble = FontList({Ebcdic("QZAAAALA")});
    text.elements = Concat({TextFontIndex(1), CharOrientation(0, -1000, -1000, 0),
                            Text(100, -100, sample::kHostText),
                            Text2({1440, -1440}, 1, 2, sample::kSjisText, true)});
    text.magic = Charset::kAscii;
    const Bytes records = Concat({sample::SampleElements(false), EndPicture()});
    bool ok = Write(dir, "sample_format1.ovl", sample::BuildSampleOverlay(false), 0x08);
    ok = Write(dir, "sample_format3.ovl", sample::BuildSampleOverlay(true), 0x11) && ok;
    ok = Write(dir, "text.ovl", BuildKind1(text), 0x13) && ok;
    ok = Write(dir, "records.bin", records, 0x02) && ok;
    return ok ? 0 : 1;
}
