// Images and bitmaps of an overlay drawn on a device context as
// StretchDIBits at their own resolution: 1-bit images with their paper
// left alone (SRCAND), bitmaps as they are (SRCCOPY).
#ifndef OVL_VECTOR_PICTURES_H
#define OVL_VECTOR_PICTURES_H

#include <cstddef>
#include <string>

#include "host/wx5nhost.h"

namespace ovl {

// Each returns 0 when the picture is drawn, 1 when it is not; error gets
// the reason when the overlay's data is short.
int DrawImageRecord(HDC dc, const unsigned char* image, size_t size, const WX5NH_ELEMENT& e, std::string* error);
int DrawBitmapRecord(HDC dc, const unsigned char* image, size_t size, const WX5NH_ELEMENT& e, std::string* error);

}  // namespace ovl

#endif
