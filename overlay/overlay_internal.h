// Internal interface of the overlay file layer, for the element decoders.
#ifndef WX5N_OVERLAY_INTERNAL_H
#define WX5N_OVERLAY_INTERNAL_H

#include <cstdint>

#include "include/wx5novl1.h"
#include "overlay/byte_reader.h"

namespace wx5n {

// Record classes (command word with the length bits cleared).
enum : uint16_t {
    kClassNoOp = 0x0000,
    kClassEndPicture = 0x00A0,
    kClassMetafileVersion = 0x1020,
    kClassFontList = 0x11A0,
    kClassPolyline = 0x4020,
    kClassDisjointPolyline = 0x4040,
    kClassText = 0x4080,
    kClassGdp = 0x4140,
    kClassRectangle = 0x4160,
    kClassCircle = 0x4180,
    kClassArc3Point = 0x41A0,
    kClassEllipse = 0x4220,
    kClassText2 = 0x4280,
    kClassLineType = 0x5040,
    kClassEdgeType = 0x5360,
    kClassLineKindEx = 0x54C0,
    kClassEdgeKindEx = 0x54E0,
    kClassEscape = 0x6020,
};

constexpr uint16_t kLongForm = 0x1F;  // length bits of a long-form record
constexpr uint16_t kMarkerHeader = 0xF004;

// The line-definition table and the origin point of a work area.
FO_LINEDEF* LineDefTable(FO_WORK* work);
const FO_LINEDEF* LineDefTable(const FO_WORK* work);
short* OriginPoint(FO_WORK* work);
const short* OriginPoint(const FO_WORK* work);

// Frames the record at the start of view as foreadclassid does.
int FrameRecord(ByteView view, uint16_t* cls, int* len);

// The bytes of the record at rec as its own header declares them: the short
// form's parameters, or all partitions of the long form, the extent the
// element decoders frame. Used by readers that are handed a record without
// a length; a read beyond gives 0.
ByteView DeclaredRecord(const unsigned char* rec);

// The attribute readers over a record whose bytes are known (view starts at
// the command word and ends with the record).
void ReadLineKind(ByteView rec, FO_ATTR* attr, FO_WORK* work);
void ReadEdgeKind(ByteView rec, FO_ATTR* attr, const FO_WORK* work);
void ReadLineKindEx(ByteView rec, FO_ATTR* attr);
void ReadEdgeKindEx(ByteView rec, FO_ATTR* attr);
void ReadLineDef(ByteView rec, FO_ATTR* attr, FO_WORK* work);

}  // namespace wx5n

#endif  // WX5N_OVERLAY_INTERNAL_H
