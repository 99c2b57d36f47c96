// The library's drawing calls for the scenario table: line records and
// management records live from their definition to the scenario's end, so a
// dash carried from one call to the next is seen by the next.
#include "include/wx5novl1.h"
#include "tests/gdi/conformance/runner.h"

#include <cstring>
#include <deque>

namespace {

std::deque<LINEREC> lines;
std::deque<MNG_OBJECT> records;

int I(const Call& c, size_t i) { return static_cast<int>(c.Int(i)); }
LINEREC* Line(const Call& c, size_t i) { return static_cast<LINEREC*>(c.Obj(i)); }
MNG_OBJECT* Mng(const Call& c, size_t i) { return static_cast<MNG_OBJECT*>(c.Obj(i)); }

// LineRec width kind cap color dash0..dash5 dashCount waveHeight dashCarry
// dashIndex unitsPerInch: the record's first 15 words, in its order.
void DefineLine(Call& c) {
    int32_t words[15];
    for (size_t k = 0; k < 15; ++k) words[k] = static_cast<int32_t>(c.Int(k));
    lines.push_back(LINEREC{});
    std::memcpy(&lines.back(), words, sizeof words);
    c.result = &lines.back();
}

// foExtRectangle left top right bottom hatch fillFlags LINE MNG
//                [openSides radius0 radius1 radius2 radius3]
void Rect(Call& c) {
    RECTREC shape = {};
    const bool hasShape = c.args.size() > 8;
    if (hasShape) {
        shape.openSides = static_cast<unsigned>(c.Int(8));
        for (int k = 0; k < 4; ++k) shape.radius[k] = static_cast<unsigned short>(c.Int(9 + k));
    }
    foExtRectangle(c.dc, RECT{I(c, 0), I(c, 1), I(c, 2), I(c, 3)}, I(c, 4), I(c, 5), Line(c, 6),
                   hasShape ? &shape : nullptr, Mng(c, 7));
}

}  // namespace

const Verb kExtraVerbs[] = {
    {"LineRec", DefineLine},
    {"StartMngObject", [](Call& c) { StartMngObject(c.dc, &records.emplace_back()); c.result = &records.back(); }},
    {"EndMngObject", [](Call& c) { EndMngObject(c.dc, Mng(c, 0)); }},
    {"foGetHatchBrush", [](Call& c) { c.result = foGetHatchBrush(I(c, 0)); }},
    {"foExtLine", [](Call& c) { foExtLine(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3), Line(c, 4), Mng(c, 5)); }},
    {"foExtRectangle", Rect},
    {"foExtEllipse",
     [](Call& c) {
         foExtEllipse(c.dc, I(c, 0), I(c, 1), I(c, 2), I(c, 3), I(c, 4), I(c, 5), Line(c, 6), Mng(c, 7));
     }},
};
const int kExtraVerbCount = sizeof kExtraVerbs / sizeof kExtraVerbs[0];

void ResetExtraVerbs() {
    lines.clear();
    records.clear();
}

