// Builds the example overlays in examples/ with the writer.
#include <cstdio>
#include <string>

#include "ovlwriter.h"

using namespace ovlw;

namespace {

Bytes Points(std::initializer_list<std::pair<int, int>> pts) {
    Bytes b;
    for (auto [x, y] : pts) PutPoint(b, x, y);
    return b;
}

Bytes U16(unsigned v) {
    Bytes b;
    PutU16(b, v);
    return b;
}

// A simple form: a frame, a header band, ruled lines and a circle. Units are
// 1/1440 inch with y pointing up from the top of the page.
Bytes SimpleForm() {
    Bytes e;
    Append(e, ShortRecord(0x5040, U16(1)));      // LINE TYPE solid
    Append(e, ShortRecord(0x5060, U16(28)));     // LINE WIDTH
    Append(e, ShortRecord(0x4160, Points({{720, -720}, {11520, -15120}})));
    Append(e, ShortRecord(0x5060, U16(14)));
    Append(e, ShortRecord(0x4160, Points({{720, -720}, {11520, -2160}})));
    Append(e, ShortRecord(0x5040, U16(2)));      // dashed rules
    for (int i = 0; i < 12; ++i) {
        const int y = -3600 - i * 900;
        Append(e, ShortRecord(0x4040, Points({{1080, y}, {11160, y}})));
    }
    Append(e, ShortRecord(0x5040, U16(1)));
    Append(e, ShortRecord(0x4180, Concat({Points({{10080, -1440}}), U16(500)})));  // CIRCLE
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "examples";
    Kind1Options form;
    form.magic = Charset::kAscii;
    form.elements = SimpleForm();
    if (!WriteFile(dir + "/form.ovl", BuildKind1(form))) {
        std::fprintf(stderr, "make_examples: cannot write %s/form.ovl\n", dir.c_str());
        return 1;
    }
    return 0;
}
