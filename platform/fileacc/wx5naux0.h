/* wx5naux0: the file-size query of the sibling auxiliary library
 * (exported by ordinal 5 on Windows, by this name elsewhere). */
#ifndef WX5NAUX0_H
#define WX5NAUX0_H

#include "wx5nfacc.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Size in bytes of a file opened by fcsopenfile; 0xFFFFFFFF on failure
 * (also for a file of 4 GiB or more). The second argument is reserved: 0. */
FCSAPI unsigned int FCSCALL auxgetfilesize(int handle, int reserved);

#ifdef __cplusplus
}
#endif

#endif /* WX5NAUX0_H */
