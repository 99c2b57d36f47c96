// Line kinds, edge kinds, extended kinds, line definitions and font lists.
#include <cstring>

#include "overlay/overlay_internal.h"

namespace wx5n {
namespace {

// Style number of a line-kind code (the code as an unsigned 16-bit value).
uint8_t StyleOfCode(uint16_t code) {
    switch (code) {
        case 1: return 1;
        case 2: return 3;
        case 3: return 2;
        case 4: return 4;
        case 0xBFFC: return 6;
        case 0xBFFD: return 4;
        case 0xBFFE: return 2;
        case 0xBFFF: return 3;
        default: return 1;
    }
}

// Line-definition entry of a code: the private codes -16400..-16385 own
// entries 0 to 15, codes 0 to 5 entries 16 to 21 (and -1 entry 16); every
// other code falls back to entry 17.
int EntryOfCode(int16_t code) {
    int entry;
    if (code <= -16385) {
        entry = code >= -16400 ? code + 16400 : -1;
    } else {
        entry = code == -1 ? 16 : code + 16;
    }
    return (entry < 0 || entry >= FO_LINEDEF_ENTRIES) ? 17 : entry;
}

// Patterns a LINE TYPE record restores into the table before reading it.
bool FixedPattern(uint16_t code, uint16_t out[4]) {
    static constexpr uint16_t kLong[4] = {20, 5, 0, 0};
    static constexpr uint16_t kShort[4] = {5, 8, 0, 0};
    static constexpr uint16_t kChain[4] = {30, 5, 5, 5};
    const uint16_t* p = nullptr;
    if (code == 2 || code == 0xBFFF) p = kLong;
    if (code == 3 || code == 0xBFFE) p = kShort;
    if (code == 4 || code == 0xBFFD) p = kChain;
    if (p == nullptr) return false;
    std::memcpy(out, p, 4 * sizeof(uint16_t));
    return true;
}

uint8_t StyleOfSelector(uint16_t selector) {
    static constexpr uint8_t kStyles[10] = {1, 2, 3, 4, 8, 9, 10, 11, 12, 13};
    return selector < 10 ? kStyles[selector] : 1;
}

// Offset within the record of a parameter given relative to the long form's
// base: the short form has no partition word, so it sits 2 bytes earlier.
size_t ParamOffset(ByteView rec, size_t baseOffset) {
    return (rec.U16(0) & 0x1F) == kLongForm ? baseOffset : baseOffset - 2;
}

// Reads an extended kind record; returns false when the record is too short
// to hold its selector.
struct ExtendedKind {
    uint8_t style;
    uint16_t selector;
    uint16_t param;
    uint16_t count;  // values stored, never more than the room
};

bool ReadExtended(ByteView rec, uint16_t* list, size_t room, ExtendedKind* out) {
    const size_t selectorAt = ParamOffset(rec, 4);
    if (!rec.Has(selectorAt, 2)) return false;
    out->selector = rec.U16(selectorAt);
    out->style = StyleOfSelector(out->selector);
    out->param = rec.U16(ParamOffset(rec, 8));
    out->count = 0;
    if (out->selector == 9) {
        const size_t countAt = ParamOffset(rec, 14);
        const size_t firstAt = ParamOffset(rec, 16);
        const size_t wanted = rec.U16(countAt);
        size_t stored = 0;
        // Keep to the room of the list and to the values the record holds.
        while (stored < wanted && stored < room && rec.Has(firstAt + 2 * stored, 2)) {
            list[stored] = rec.U16(firstAt + 2 * stored);
            ++stored;
        }
        out->count = static_cast<uint16_t>(stored);
    }
    return true;
}

}  // namespace

void ReadLineKind(ByteView rec, FO_ATTR* attr, FO_WORK* work) {
    const uint16_t code = rec.U16(2);
    attr->line.lineStyle = StyleOfCode(code);
    attr->line.lineKindCode = code;
    FO_LINEDEF& entry = LineDefTable(work)[EntryOfCode(static_cast<int16_t>(code))];
    FixedPattern(code, entry.length);
    std::memcpy(attr->line.lineDash, entry.length, sizeof(entry.length));
    attr->line.lineDashCount = entry.count;
}

void ReadEdgeKind(ByteView rec, FO_ATTR* attr, const FO_WORK* work) {
    const uint16_t code = rec.U16(2);
    attr->line.edgeStyle = StyleOfCode(code);
    attr->line.edgeKindCode = code;
    int index = EntryOfCode(static_cast<int16_t>(code));
    // Edges of codes 2, 3 and 4 take the patterns kept in entries 15 to 13.
    if (index >= 18 && index <= 20) index = 33 - index;
    const FO_LINEDEF& entry = LineDefTable(work)[index];
    std::memcpy(attr->line.edgeDash, entry.length, sizeof(entry.length));
    attr->line.edgeDashCount = entry.count;
}

void ReadLineKindEx(ByteView rec, FO_ATTR* attr) {
    ExtendedKind ext;
    if (!ReadExtended(rec, attr->line.lineStyleList, FO_LINESTYLE_LIST_MAX, &ext)) return;
    attr->line.lineStyle = ext.style;
    if (ext.selector == 8) attr->line.lineStyleParam = ext.param;
    if (ext.selector == 9) attr->line.lineStyleListCount = ext.count;
}

void ReadEdgeKindEx(ByteView rec, FO_ATTR* attr) {
    ExtendedKind ext;
    if (!ReadExtended(rec, attr->line.edgeStyleList, FO_EDGESTYLE_LIST_MAX, &ext)) return;
    attr->line.edgeStyle = ext.style;
    if (ext.selector == 8) attr->line.edgeStyleParam = ext.param;
    if (ext.selector == 9) attr->line.edgeStyleListCount = ext.count;
}

void ReadLineDef(ByteView rec, FO_ATTR* attr, FO_WORK* work) {
    const int16_t code = rec.S16(6);
    // Only the private codes -16400..-16385 have entries of their own; a
    // definition of any other code is ignored.
    if (code > -16385 || code < -16400) return;
    FO_LINEDEF& entry = LineDefTable(work)[code + 16400];
    auto length = [&](size_t off) {
        const unsigned v = rec.U16(off) / 6u;  // 1/1440 inch to 1/240 inch
        return static_cast<uint16_t>(v > 999 ? 999 : v);
    };
    entry.length[0] = length(14);
    entry.length[1] = length(16);
    if (rec.U16(12) >= 3) {
        entry.length[2] = length(18);
        entry.length[3] = length(20);
        entry.count = 4;
    } else {
        entry.length[2] = 0;
        entry.length[3] = 0;
        entry.count = 2;
    }
    const uint16_t ucode = static_cast<uint16_t>(code);
    if (attr->line.lineKindCode == ucode) {
        std::memcpy(attr->line.lineDash, entry.length, sizeof(entry.length));
        attr->line.lineDashCount = entry.count;
    } else if (attr->line.edgeKindCode == ucode) {
        std::memcpy(attr->line.edgeDash, entry.length, sizeof(entry.length));
        attr->line.edgeDashCount = entry.count;
    }
}

}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI void FOCALL foreadlinekind(const unsigned char* rec, FO_ATTR* attr,
                                            FO_WORK* work) {
    ReadLineKind(DeclaredRecord(rec), attr, work);
}

extern "C" FOAPI void FOCALL foreadlinekind2(const unsigned char* rec, FO_ATTR* attr,
                                             FO_WORK* work) {
    ReadEdgeKind(DeclaredRecord(rec), attr, work);
}

extern "C" FOAPI void FOCALL foreadlinekindEx(const unsigned char* rec, FO_ATTR* attr) {
    ReadLineKindEx(DeclaredRecord(rec), attr);
}

extern "C" FOAPI void FOCALL foreadlinekindEx2(const unsigned char* rec, FO_ATTR* attr) {
    ReadEdgeKindEx(DeclaredRecord(rec), attr);
}

extern "C" FOAPI void FOCALL foreadlinedef(const unsigned char* rec, FO_ATTR* attr,
                                           FO_WORK* work) {
    ReadLineDef(DeclaredRecord(rec), attr, work);
}

// Copies the names of a font list into the host's font-name block, renaming
// each through the optional table. Names are packed from offset 238 and end at
// least two bytes before the end of the 4096-byte block.
extern "C" FOAPI int FOCALL foreadfontdef(const unsigned char* rec, int len, FO_FONTBLOCK* block,
                                          const void* renameTable) {
    const ByteView view(rec, len > 0 ? static_cast<size_t>(len) : 0);
    const bool longForm = (view.U16(0) & 0x1F) == kLongForm;
    const size_t lengthAt = longForm ? 4 : 2;
    const int head = longForm ? 4 : 2;
    const int n = view.U16(lengthAt);
    const int count = len > head ? (len - head) / (n + 2) : 0;
    block->nameCount = static_cast<unsigned short>(count);
    block->nameLength = static_cast<unsigned short>(n);

    const auto* table = static_cast<const unsigned char*>(renameTable);
    int stored = 0;
    size_t from = lengthAt + 2;
    for (int i = 0; i < count; ++i, from += static_cast<size_t>(n) + 2) {
        if (stored + n + 240 >= FO_FONTBLOCK_SIZE) return 0;
        unsigned char* slot = block->names + stored;
        const ByteView name = view.Sub(from, static_cast<size_t>(n));
        std::memcpy(slot, name.data(), name.size());
        stored += n;
        if (table == nullptr) continue;

        // The stored name ends at its first NUL or at the end of its slot.
        const unsigned char* nul = static_cast<const unsigned char*>(std::memchr(slot, 0, n));
        const size_t nameLen = nul ? static_cast<size_t>(nul - slot) : static_cast<size_t>(n);
        const unsigned pairs = table[1];
        const unsigned char* pairAt = table + table[0];
        for (unsigned p = 0; p < pairs; ++p) {
            FO_FONTRENAME pair;
            std::memcpy(&pair, pairAt + p * sizeof(FO_FONTRENAME), sizeof(pair));
            if (pair.find == nullptr || pair.replace == nullptr) continue;
            if (std::strlen(pair.find) != nameLen || std::memcmp(pair.find, slot, nameLen) != 0)
                continue;
            // The replacement and its terminator, cut to the slot.
            const size_t repLen = std::strlen(pair.replace) + 1;
            std::memcpy(slot, pair.replace, repLen < static_cast<size_t>(n) ? repLen : n);
            break;
        }
    }
    block->totalBytes = static_cast<unsigned short>(stored + 8);
    return 1;
}
