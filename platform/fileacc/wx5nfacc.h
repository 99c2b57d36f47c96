/* wx5nfacc: the sibling file-access and code-conversion library.
 *
 * Files are opened by name and handled through a 32-bit handle that only
 * this library interprets. The status word is the caller's; this library
 * stores the last system error in it and never needs it back.
 */
#ifndef WX5NFACC_H
#define WX5NFACC_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define FCSAPI
#define FCSCALL __cdecl
#elif defined(__GNUC__)
#define FCSAPI __attribute__((visibility("default")))
#define FCSCALL
#else
#define FCSAPI
#define FCSCALL
#endif

/* Open modes that open a file for reading. */
#define FCS_MODE_KEEP 18
#define FCS_MODE_READ 32

/* Origin of fcslseek: from the current position. */
#define FCS_SEEK_CUR 1

/* Opens fileName for reading. Returns 0 and sets *handle, or a positive
 * error number (the system's) when the file cannot be opened or the mode is
 * not one this library knows. */
FCSAPI int FCSCALL fcsopenfile(const char* fileName, unsigned short mode, int* handle,
                               int* status, int context);
/* Reads up to count bytes; returns the number read (fewer only at the end of
 * the file) or -1 on error. */
FCSAPI int FCSCALL fcsread(int handle, void* dst, int count, int* status);
/* Moves the position by offset from origin; returns the new absolute
 * position or -1 on error. */
FCSAPI int FCSCALL fcslseek(int handle, int offset, int origin, int* status);
/* Closes the file; 0 on success, negative on failure. */
FCSAPI int FCSCALL fcsclose(int handle, int* status);

/* Size of the conversion work area the caller zero-fills and hands in. */
#define FCS_CONV_WORK_SIZE 504

/* Converts EBCDIC/HKZ text to Shift JIS. Single-byte characters are
 * Japanese EBCDIC (Latin with lower case); double-byte runs are opened by
 * 0x0E or 0x28 and closed by 0x0F or 0x29. A character that cannot be
 * converted becomes sbReplace (one byte) or dbReplace (two bytes). Never
 * writes more than dstSize bytes; *outLen receives the bytes written.
 * Returns 0, or nonzero when an argument is unusable or the converter
 * cannot be set up. */
FCSAPI int FCSCALL ebhkztosjis(const unsigned char* src, int srcLen, unsigned char* dst,
                               int dstSize, int* outLen, int mode1, int mode2,
                               const unsigned char* sbReplace, const unsigned char* dbReplace,
                               int mode3, void* work);
/* Releases whatever ebhkztosjis kept in the work area. */
FCSAPI void FCSCALL miconv_relase(void* work);

#ifdef __cplusplus
}
#endif

#endif /* WX5NFACC_H */
