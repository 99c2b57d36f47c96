// The host's work area: default line definitions, origin point and options.
#include <cstring>

#include "overlay/overlay_internal.h"

namespace wx5n {
namespace {

// Default line-definition table, lengths in 1/240 inch. Entries 13 to 15
// hold the patterns that LINE TYPE forces for codes 4, 3 and 2.
constexpr FO_LINEDEF kDefaultLineDefs[FO_LINEDEF_ENTRIES] = {
    {{0, 0, 0, 0}, 0, 0},     {{0, 0, 0, 0}, 0, 0},   {{0, 0, 0, 0}, 0, 0},
    {{0, 0, 0, 0}, 0, 0},     {{0, 0, 0, 0}, 0, 0},   {{0, 0, 0, 0}, 0, 0},
    {{0, 0, 0, 0}, 0, 0},     {{0, 0, 0, 0}, 0, 0},   {{0, 0, 0, 0}, 0, 0},
    {{0, 0, 0, 0}, 0, 0},     {{0, 0, 0, 0}, 0, 0},   {{0, 0, 0, 0}, 0, 0},
    {{0, 0, 0, 0}, 4, 0},     {{30, 5, 5, 5}, 4, 0},  {{5, 8, 0, 0}, 2, 0},
    {{20, 5, 0, 0}, 2, 0},    {{36, 12, 0, 0}, 2, 0}, {{1, 1, 1, 1}, 1, 0},
    {{12, 4, 0, 0}, 2, 0},    {{2, 6, 0, 0}, 2, 0},   {{20, 4, 4, 4}, 4, 0},
    {{20, 4, 4, 4}, 4, 0},
};

}  // namespace

FO_LINEDEF* LineDefTable(FO_WORK* work) { return work->lineDef; }
const FO_LINEDEF* LineDefTable(const FO_WORK* work) { return work->lineDef; }
short* OriginPoint(FO_WORK* work) { return &work->originX; }
const short* OriginPoint(const FO_WORK* work) { return &work->originX; }

}  // namespace wx5n

using wx5n::kDefaultLineDefs;

// Writes bytes 0 to 219 only: the origin and the options are the host's.
extern "C" FOAPI void FOCALL fosetlinedef(FO_WORK* work) {
    std::memcpy(work->lineDef, kDefaultLineDefs, sizeof(kDefaultLineDefs));
}

extern "C" FOAPI void FOCALL fosetorgpoint(FO_WORK* work, short x, short y) {
    work->originX = x;
    work->originY = y;
}

#define WX5N_OPTION(setter, getter, field)                                  \
    extern "C" FOAPI void FOCALL setter(FO_WORK* work, char value) {        \
        work->field = static_cast<unsigned char>(value);                    \
    }                                                                       \
    extern "C" FOAPI char FOCALL getter(FO_WORK* work) {                    \
        return static_cast<char>(work->field);                              \
    }

WX5N_OPTION(fosetcolflg, fogetcolflg, colourFlag)
WX5N_OPTION(fosetproduct, fogetproduct, product)
WX5N_OPTION(foseticonvflg, fogeticonvflg, iconvFlag)
WX5N_OPTION(fosetprtinf, fogetprtinf, printerInfo)
WX5N_OPTION(fosetmededition, fogetmededition, edition)
WX5N_OPTION(fosethkzconvflg, fogethkzconvflg, hkzConvFlag)
WX5N_OPTION(fosetoutcharcode, fogetoutcharcode, outCharCode)

#undef WX5N_OPTION
