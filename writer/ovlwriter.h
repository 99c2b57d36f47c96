// ovlwriter: builds overlay records, elements and whole overlay files.
//
// All numbers are written big-endian, as overlay files store them. Record
// helpers return the encoded bytes of one record; the file builders put a
// header, the lead area, the element block and the records together.
#ifndef OVLWRITER_H
#define OVLWRITER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ovlw {

using Bytes = std::vector<uint8_t>;

// ---- Bytes ---------------------------------------------------------------
void PutU8(Bytes& out, unsigned value);
void PutU16(Bytes& out, unsigned value);
void PutS16(Bytes& out, int value);
void PutU32(Bytes& out, uint32_t value);
// A file point: x as unsigned 16-bit, y as signed 16-bit (1/1440 inch).
void PutPoint(Bytes& out, int x, int y);
void Append(Bytes& out, const Bytes& more);
Bytes Concat(std::initializer_list<Bytes> parts);

// ---- Records ---------------------------------------------------------------
// Record classes carry the low 5 bits clear (e.g. 0x5040 LINE TYPE).

// Short form when the parameters fit (30 bytes or fewer), else long form.
Bytes Record(uint16_t cls, const Bytes& params);
// Short form: header with the length in its low 5 bits, then the parameters.
Bytes ShortRecord(uint16_t cls, const Bytes& params);
// Long form: header with length bits 31, then the parameters in partitions of
// the given sizes (which must add up to params.size()); with no sizes given,
// partitions of at most 0x7FFF bytes.
Bytes LongRecord(uint16_t cls, const Bytes& params, const std::vector<size_t>& partitions = {});
// The 4-byte F0 04 marker.
Bytes Marker(uint16_t word = 0);
// NO-OP (class 0) with the given parameter bytes (zeros).
Bytes NoOp(size_t paramBytes = 0);
// END PICTURE; overlay files carry it with 12 parameter bytes (14 in all).
Bytes EndPicture(size_t paramBytes = 12);
// METAFILE VERSION with the given version.
Bytes MetafileVersion(uint16_t version = 1);
// ESCAPE: identifier at bytes 2 to 3, then data.
Bytes Escape(uint16_t id, const Bytes& data);
// ESCAPE 68 carrying the layout version at bytes 6 to 7.
Bytes LayoutVersionEscape(uint16_t version);

// ---- Files ------------------------------------------------------------------
enum class Charset { kEbcdic, kAscii };

// Where the second descriptor carries the mode word.
enum class ModeWordPlace {
    kWord32,  // a 32-byte descriptor, mode word at bytes 34 to 35
    kTag18,   // tag F4 03 at byte 18, mode word at 22 to 23
    kTag90,   // tag F4 02 at byte 18, tag F4 03 at 90, mode word at 94 to 95
    kNoTag,   // no tag: the mode word is taken as 1
};

enum class DataMarker { kF401, kF004, kF501Chain };

// Text of the resolution tag in EBCDIC ("P160", "P240", "P400").
std::array<uint8_t, 4> EbcdicTag(const char* text);

struct Kind1Options {
    Charset magic = Charset::kEbcdic;
    uint32_t leadLength = 12;                     // L0, lead bytes 1 to 4
    std::array<uint8_t, 7> leadBytes{};           // lead bytes 5 to 11
    uint8_t idTextFlag = 1;                       // header offset 196
    std::array<uint8_t, 4> resolutionTag = EbcdicTag("P240");
    ModeWordPlace modePlace = ModeWordPlace::kWord32;
    uint16_t mode = 1;                            // M: 1 format 1, 0x80 format 3
    uint16_t firstDescriptorLength = 8;           // L1 (at least 5)
    uint16_t secondDescriptorLength = 0;          // L2; 0 picks one for modePlace
    std::optional<uint8_t> formatByte;            // F; default from the mode
    std::optional<uint8_t> firstDescriptorFormat; // byte 12 of descriptor 1; default F
    uint8_t blockByte2 = 0x2B;
    DataMarker marker = DataMarker::kF401;
    size_t chainSegment = 64;                     // segment size behind F5 01
    bool chainEnd = true;                         // end the chain with F0 00
    std::optional<uint16_t> metafileVersion = 1;  // METAFILE VERSION record
    std::vector<uint16_t> layoutEscapes;          // ESCAPE 68 records; empty: the
                                                  // charset's default (EBCDIC none, ASCII 4)
    bool defaultLayoutEscape = true;
    Bytes preamble;                               // more preamble records
    Bytes elements;                               // element records
    bool endPicture = true;                       // append END PICTURE
    std::optional<uint32_t> blockLength;          // B at header 230; default exact
    size_t trailing = 0;                          // bytes after the block
};

struct Kind2Options {
    Charset magic = Charset::kAscii;
    uint8_t idTextFlag = 1;
    std::array<uint8_t, 4> resolutionTag = {'P', '2', '4', '0'};
    uint8_t groupType = 0xF1;                     // file offset 260
    std::vector<std::string> ids;                 // each padded with spaces to 8
    Bytes data;                                   // after the id table
    std::optional<uint32_t> length;               // L at 256; default exact
};

Bytes BuildKind1(const Kind1Options& options);
Bytes BuildKind2(const Kind2Options& options);

// Offset in the built file of the first record after the preamble of a kind 1
// file without a segment chain (for tests that patch records in place).
size_t Kind1ElementOffset(const Kind1Options& options);

bool WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace ovlw

#endif  // OVLWRITER_H
