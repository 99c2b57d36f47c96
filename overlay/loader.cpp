// The overlay file reader: checks an overlay of either kind and loads it
// into the host's buffer, through the sibling library's file functions.
#include <climits>
#include <cstring>

#include "overlay/overlay_internal.h"
#include "wx5nfacc.h"

namespace wx5n {
namespace {

constexpr size_t kHeaderSize = 256;
constexpr size_t kMagicAt = 186;
constexpr size_t kBlockLengthAt = 230;
constexpr size_t kLeadSize = 12;
constexpr size_t kBlockAt = 384;  // kind 1: the element block in the buffer

enum class Charset { kEbcdic, kAscii };

struct Magic {
    uint8_t bytes[8];
    uint8_t kind;
    Charset charset;
};

// Compared in this order; the first match decides.
constexpr Magic kMagics[] = {
    {{0x5C, 0x5C, 0xD6, 0xE5, 0xD3, 0xD7, 0x5C, 0x5C}, 1, Charset::kEbcdic},
    {{'*', '*', 'O', 'V', 'L', 'P', '*', '*'}, 1, Charset::kAscii},
    {{0x5C, 0x5C, 0xD6, 0xE5, 0xD3, 0xC7, 0x5C, 0x5C}, 2, Charset::kEbcdic},
    {{'*', '*', 'O', 'V', 'L', 'G', '*', '*'}, 2, Charset::kAscii},
};

// Everything one load needs: the file, the buffer and the outputs.
class Loader {
public:
    Loader(unsigned char* buffer, size_t bufferSize) : buf_(buffer), size_(bufferSize) {}

    int handle = 0;
    int status = 0;
    uint8_t kind = 0;
    uint16_t dataFormat = 0;
    uint16_t layoutVersion = 0;
    size_t loaded = 0;
    bool storedFormat = false;
    bool storedVersion = false;

    int Load(char kindWanted, unsigned char* kindFound);

private:
    // Reads count bytes to buffer offset at; false on a short read.
    bool Read(size_t at, size_t count);
    int LoadKind2();
    int LoadKind1();
    int WalkBlock(size_t n, size_t* p, size_t* removed);
    int CompactChain(size_t marker, size_t end, size_t* removed);
    int Preamble(size_t p, size_t end, size_t* stop);
    int CompactElements(size_t p, size_t end);

    ByteView View(size_t from, size_t to) const { return ByteView(buf_ + from, to - from); }

    unsigned char* buf_;
    size_t size_;
    Charset charset_ = Charset::kAscii;
};

bool Loader::Read(size_t at, size_t count) {
    // fcsread takes a signed 32-bit count: read large blocks in pieces.
    constexpr size_t kPiece = 1u << 30;
    while (count > 0) {
        const size_t piece = count < kPiece ? count : kPiece;
        const int got = fcsread(handle, buf_ + at, static_cast<int>(piece), &status);
        if (got < 0 || static_cast<size_t>(got) != piece) return false;
        at += piece;
        count -= piece;
    }
    return true;
}

int Loader::Load(char kindWanted, unsigned char* kindFound) {
    if (size_ < kHeaderSize) return FO_ERR_BUFFER;
    if (!Read(0, kHeaderSize)) return FO_ERR_FILE;

    for (const Magic& m : kMagics) {
        if (std::memcmp(buf_ + kMagicAt, m.bytes, sizeof(m.bytes)) == 0) {
            kind = m.kind;
            charset_ = m.charset;
            break;
        }
    }
    if (kind == 0) return FO_ERR_NOT_OVERLAY;
    if (kindFound != nullptr) *kindFound = kind;
    if ((kindWanted == 1 || kindWanted == 2) && kindWanted != kind) return FO_ERR_NOT_OVERLAY;
    return kind == 2 ? LoadKind2() : LoadKind1();
}

int Loader::LoadKind2() {
    if (size_ - kHeaderSize < 4) return FO_ERR_BUFFER;
    if (!Read(kHeaderSize, 4)) return FO_ERR_FILE;
    const uint32_t length = ByteView(buf_, size_).U32(kHeaderSize);
    // The length counts its own 4 bytes; a smaller one would make the data
    // part's length wrap, and so is refused as too large for any buffer.
    const uint32_t data = length - 4u;
    if (size_ - (kHeaderSize + 4) < data) return FO_ERR_BUFFER;
    if (!Read(kHeaderSize + 4, data)) return FO_ERR_FILE;
    loaded = kHeaderSize + static_cast<size_t>(data) + 4;
    return FO_OK;
}

int Loader::LoadKind1() {
    if (size_ - kHeaderSize < kLeadSize) return FO_ERR_BUFFER;
    if (!Read(kHeaderSize, kLeadSize)) return FO_ERR_FILE;

    // The lead area is its length rounded up to whole 128-byte units; the
    // element block follows it.
    const uint64_t leadLength = ByteView(buf_, size_).U32(kHeaderSize + 1);
    const uint64_t rounded = (leadLength + 127) / 128 * 128;
    const int64_t skip = static_cast<int64_t>(rounded) - static_cast<int64_t>(kLeadSize);
    if (skip > INT_MAX) return FO_ERR_FILE;
    const int pos = fcslseek(handle, static_cast<int>(skip), FCS_SEEK_CUR, &status);
    if (pos < 0 || static_cast<uint64_t>(pos) != kHeaderSize + rounded) return FO_ERR_FILE;

    static constexpr uint8_t kLeadLength[4] = {0, 0, 0, 12};
    std::memcpy(buf_ + kHeaderSize + 1, kLeadLength, sizeof(kLeadLength));
    if (size_ < kBlockAt) return FO_ERR_BUFFER;

    const uint32_t blockLength = ByteView(buf_, size_).U32(kBlockLengthAt);
    const size_t room = size_ - kBlockAt;
    const size_t n = blockLength < room ? blockLength : room;
    if (!Read(kBlockAt, n)) return FO_ERR_FILE;

    size_t p = 0;
    size_t removed = 0;
    int result = WalkBlock(n, &p, &removed);
    if (result != FO_OK) return result;

    const size_t end = kBlockAt + n - removed;
    size_t stop = p;
    result = Preamble(p, end, &stop);
    if (result != FO_OK) return result;

    // The reported layout version must fit the magic's character set.
    uint16_t version = 0;
    if (layoutVersion == 2 && charset_ == Charset::kEbcdic) version = 1;
    if (layoutVersion == 4 && charset_ == Charset::kAscii) version = 2;
    if (layoutVersion == 5 && charset_ == Charset::kAscii) version = 3;
    if (version == 0) return FO_ERR_VARIANT;
    layoutVersion = version;
    storedVersion = true;

    if (static_cast<uint64_t>(room) < static_cast<uint64_t>(blockLength) + 2) return FO_ERR_BUFFER;
    if (dataFormat == 3) {
        result = CompactElements(stop, end);
        if (result != FO_OK) return result;
    }
    loaded = end;
    return FO_OK;
}

// Walks the fixed parts of the element block: control section, the two
// descriptors with the mode word, and the data marker with its optional
// segment chain. On success *p is the first preamble record.
int Loader::WalkBlock(size_t n, size_t* p, size_t* removed) {
    const ByteView block(buf_ + kBlockAt, n);
    if (!block.Has(2, 1) || block.U8(2) != 0x2B) return FO_ERR_NOT_OVERLAY;

    constexpr size_t kFormatByteAt = 512 + 40;
    constexpr size_t kFirstDescriptor = 776;
    if (!block.Has(kFormatByteAt, 1)) return FO_ERR_NOT_OVERLAY;
    const uint8_t format = block.U8(kFormatByteAt);
    if (!block.Has(kFirstDescriptor, 13)) return FO_ERR_NOT_OVERLAY;
    if (block.U8(kFirstDescriptor + 12) != format) return FO_ERR_NOT_OVERLAY;
    const size_t second = kFirstDescriptor + 8 + block.U16(kFirstDescriptor + 2);

    // The mode word: at 34 in a 32-byte descriptor; elsewhere behind an
    // F4 03 tag at 18, or at 90 when the tag at 18 is F4 02.
    if (!block.Has(second, 4)) return FO_ERR_NOT_OVERLAY;
    const size_t l2 = block.U16(second + 2);
    uint16_t mode = 1;
    if (l2 == 32) {
        if (!block.Has(second + 34, 2)) return FO_ERR_NOT_OVERLAY;
        mode = block.U16(second + 34);
    } else {
        size_t tagAt = second + 18;
        if (!block.Has(tagAt, 2)) return FO_ERR_NOT_OVERLAY;
        uint16_t tag = block.U16(tagAt);
        if (tag == 0xF402) {
            tagAt = second + 90;
            if (!block.Has(tagAt, 2)) return FO_ERR_NOT_OVERLAY;
            tag = block.U16(tagAt);
        }
        if (tag == 0xF403) {
            if (!block.Has(tagAt + 4, 2)) return FO_ERR_NOT_OVERLAY;
            mode = block.U16(tagAt + 4);
        }
    }
    dataFormat = mode == 1 ? 1 : (mode & 0x80) ? 3 : 2;
    storedFormat = true;

    if (format != (dataFormat == 3 ? 0x00 : 0x85)) return FO_ERR_NOT_OVERLAY;
    if (dataFormat == 3 && (mode & 0x0001)) return FO_ERR_VARIANT;
    if (dataFormat == 2 && (mode & 0x1CFE)) return FO_ERR_VARIANT;

    const size_t marker = second + l2 + 4;
    if (!block.Has(marker, 2)) return FO_ERR_NOT_OVERLAY;
    const size_t markerAt = kBlockAt + marker;
    if (buf_[markerAt] == 0xF5 && buf_[markerAt + 1] == 0x01) {
        buf_[markerAt] = 0xF4;
        const int result = CompactChain(markerAt, kBlockAt + n, removed);
        if (result != FO_OK) return result;
    }
    const uint16_t markerWord = static_cast<uint16_t>((buf_[markerAt] << 8) | buf_[markerAt + 1]);
    if (markerWord != 0xF401 && markerWord != 0xF004) return FO_ERR_NOT_OVERLAY;

    const size_t first = markerAt + (dataFormat == 3 ? 6 : 4);
    if (first + *removed > kBlockAt + n) return FO_ERR_NOT_OVERLAY;  // A below 0
    *p = first;
    return FO_OK;
}

// Joins the segments behind an F5 01 marker: each is a 4-byte header F0 04
// with a length, then the data. The data are moved down over the headers in
// one pass (read position r, write position w <= r), and whatever follows the
// chain is moved down by the bytes removed.
int Loader::CompactChain(size_t marker, size_t end, size_t* removed) {
    size_t r = marker + 4;
    size_t w = r;
    size_t gone = 0;
    while (r < end && end - r > 4) {
        if (buf_[r] == 0xF0 && buf_[r + 1] == 0x00) break;
        if (buf_[r] != 0xF0 || buf_[r + 1] != 0x04) return FO_ERR_NOT_OVERLAY;
        const size_t n = static_cast<size_t>((buf_[r + 2] << 8) | buf_[r + 3]);
        r += 4;
        gone += 4;
        if (n >= end - r) break;  // the segment takes what remains
        std::memmove(buf_ + w, buf_ + r, n);
        w += n;
        r += n;
    }
    if (end > r) std::memmove(buf_ + w, buf_ + r, end - r);
    *removed = gone;
    return FO_OK;
}

// Walks the preamble records up to and including the NO-OP record: checks the
// metafile version and takes the layout version from ESCAPE 68.
int Loader::Preamble(size_t p, size_t end, size_t* stop) {
    uint16_t version = 2;
    while (p < end) {
        const ByteView view = View(p, end);
        uint16_t cls = 0;
        int len = 0;
        if (FrameRecord(view, &cls, &len) != 0) return FO_ERR_NOT_OVERLAY;
        // A primitive framed with length 0 has no place in the preamble.
        if (len <= 0) return FO_ERR_NOT_OVERLAY;
        const ByteView rec = view.Sub(0, static_cast<size_t>(len));
        if (cls == kClassMetafileVersion && rec.U16(2) != 1) return FO_ERR_VARIANT;
        if (cls == kClassEscape && rec.U16(2) == 68 && rec.Has(6, 2)) version = rec.U16(6);
        p += static_cast<size_t>(len);
        if (cls == kClassNoOp) break;
    }
    layoutVersion = version;
    *stop = p;
    return FO_OK;
}

// Data format 3: joins the partitions of each bitmap primitive (GDP 18) into
// one contiguous record and moves every later record down over the partition
// words dropped, up to and including END PICTURE.
int Loader::CompactElements(size_t p, size_t end) {
    size_t w = p;
    bool joined = false;
    for (;;) {
        const ByteView view = View(p, end);
        uint16_t cls = 0;
        int len = 0;
        const int framed = FrameRecord(view, &cls, &len);
        if (framed != 0 && framed != FO_MARKER) return FO_ERR_NOT_OVERLAY;

        if (framed == 0 && cls == kClassEndPicture) {
            if (joined) {
                // The end record is moved with 14 bytes, or all of it when it
                // is longer, but never with bytes past the loaded data.
                size_t n = view.size() < 14 ? view.size() : 14;
                if (static_cast<size_t>(len) > n) n = static_cast<size_t>(len);
                std::memmove(buf_ + w, buf_ + p, n);
            }
            return FO_OK;
        }
        if (framed == 0 && cls == kClassGdp && view.U16(4) == 18) {
            const size_t first = view.U16(2) & 0x7FFF;
            bool more = (view.U16(2) & 0x8000) != 0;
            if (!view.Has(0, first + 4)) return FO_ERR_NOT_OVERLAY;
            std::memmove(buf_ + w, buf_ + p, first + 4);
            w += first + 4;
            p += first + 4;
            while (more) {
                const ByteView seg = View(p, end);
                if (!seg.Has(0, 2)) return FO_ERR_NOT_OVERLAY;
                const uint16_t word = seg.U16(0);
                const size_t m = word & 0x7FFF;
                if (!seg.Has(2, m)) return FO_ERR_NOT_OVERLAY;
                std::memmove(buf_ + w, buf_ + p + 2, m);
                w += m;
                p += 2 + m;
                more = (word & 0x8000) != 0;
                joined = true;
            }
            continue;
        }
        // Any other record, and the 4-byte marker. An image primitive frames
        // with length 0; its partitions give its real length.
        size_t n = static_cast<size_t>(len);
        if (n == 0) {
            // Frame it as an ordinary record by its own partitions.
            if ((view.U16(0) & 0x1F) != kLongForm) {
                n = 2 + (view.U16(0) & 0x1F);
            } else {
                size_t pos = 2;
                uint16_t word;
                do {
                    if (!view.Has(pos, 2)) return FO_ERR_NOT_OVERLAY;
                    word = view.U16(pos);
                    pos += 2 + (word & 0x7FFF);
                } while (word & 0x8000);
                n = pos;
            }
            if (!view.Has(0, n)) return FO_ERR_NOT_OVERLAY;
        }
        if (joined) std::memmove(buf_ + w, buf_ + p, n);
        p += n;
        w += n;
    }
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL foreaddata(int openMode, char kindWanted, const char* fileName,
                                       unsigned char* buffer, unsigned int* bufferSize,
                                       unsigned int* loadedSize, unsigned char* kindFound,
                                       unsigned short* dataFormat, unsigned short* layoutVersion,
                                       int* handle, int openContext) {
    if (loadedSize != nullptr) *loadedSize = 0;
    if (kindFound != nullptr) *kindFound = 0;

    Loader loader(buffer, buffer != nullptr && bufferSize != nullptr ? *bufferSize : 0);
    const int opened = fcsopenfile(fileName, static_cast<unsigned short>(openMode & 0xFFFF),
                                   &loader.handle, &loader.status, openContext);
    if (opened != 0) return opened;

    int result = loader.Load(kindWanted, kindFound);
    if (loader.storedFormat && dataFormat != nullptr) *dataFormat = loader.dataFormat;
    if (loader.storedVersion && layoutVersion != nullptr) *layoutVersion = loader.layoutVersion;
    if (result != FO_OK) {
        fcsclose(loader.handle, &loader.status);
        return result;
    }
    if (openMode == FO_OPEN_KEEP) {
        if (handle != nullptr) *handle = loader.handle;
    } else if (fcsclose(loader.handle, &loader.status) < 0) {
        return FO_ERR_FILE;
    }
    if (loadedSize != nullptr) *loadedSize = static_cast<unsigned int>(loader.loaded);
    return FO_OK;
}

extern "C" FOAPI int FOCALL pcom_foreadd33(char kindWanted, const char* fileName,
                                           unsigned char* buffer, unsigned int* bufferSize,
                                           unsigned int* loadedSize, unsigned char* kindFound,
                                           unsigned short* dataFormat,
                                           unsigned short* layoutVersion, int openContext) {
    return foreaddata(FO_OPEN_READ, kindWanted, fileName, buffer, bufferSize, loadedSize,
                      kindFound, dataFormat, layoutVersion, nullptr, openContext);
}
