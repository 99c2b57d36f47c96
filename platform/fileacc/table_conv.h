// The EBCDIC/HKZ to Shift JIS conversion by table, for builds without iconv
// (Windows). It converts exactly as the iconv-based converter: the same
// shift bytes, the same replacements, the same limit on the destination.
#ifndef WX5N_TABLE_CONV_H
#define WX5N_TABLE_CONV_H

namespace wx5n {

// Arguments and result as ebhkztosjis (see wx5nfacc.h); no work area needed.
int TableConvert(const unsigned char* src, int srcLen, unsigned char* dst, int dstSize,
                 int* outLen, const unsigned char* sbReplace, const unsigned char* dbReplace,
                 int dbReplaceLen);

}  // namespace wx5n

#endif
