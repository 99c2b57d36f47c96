/* wx5novl1_gdi.h: the GDI declarations the library draws with. The one
 * header that knows which platform we draw on: the real GDI on
 * Windows, swgdi (our software GDI) everywhere else. Both give the same
 * names, types and results. */
#ifndef WX5NOVL1_GDI_H
#define WX5NOVL1_GDI_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "swgdi.h"
#endif

#endif /* WX5NOVL1_GDI_H */
