// Bounded big-endian readers over untrusted bytes.
//
// Every byte of an overlay file is read through these: a view is a pointer
// and a length, and a read that does not fit inside the view yields 0 (and
// Has() tells the caller beforehand). No code casts a byte pointer to a wider
// type or indexes record bytes directly.
#ifndef WX5N_OVERLAY_BYTE_READER_H
#define WX5N_OVERLAY_BYTE_READER_H

#include <cstddef>
#include <cstdint>

namespace wx5n {

class ByteView {
public:
    constexpr ByteView() = default;
    constexpr ByteView(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    constexpr const uint8_t* data() const { return data_; }
    constexpr size_t size() const { return size_; }

    // True when n bytes from offset off lie inside the view.
    constexpr bool Has(size_t off, size_t n) const { return off <= size_ && n <= size_ - off; }

    constexpr uint8_t U8(size_t off) const { return off < size_ ? data_[off] : 0; }
    constexpr uint16_t U16(size_t off) const {
        return Has(off, 2) ? static_cast<uint16_t>((data_[off] << 8) | data_[off + 1]) : 0;
    }
    constexpr int16_t S16(size_t off) const { return static_cast<int16_t>(U16(off)); }
    constexpr uint32_t U32(size_t off) const {
        return Has(off, 4) ? (static_cast<uint32_t>(data_[off]) << 24) |
                                 (static_cast<uint32_t>(data_[off + 1]) << 16) |
                                 (static_cast<uint32_t>(data_[off + 2]) << 8) | data_[off + 3]
                           : 0;
    }
    // Little-endian reads, for the few fields stored that way.
    constexpr uint16_t U16LE(size_t off) const {
        return Has(off, 2) ? static_cast<uint16_t>(data_[off] | (data_[off + 1] << 8)) : 0;
    }
    constexpr uint32_t U32LE(size_t off) const {
        return Has(off, 4) ? data_[off] | (static_cast<uint32_t>(data_[off + 1]) << 8) |
                                 (static_cast<uint32_t>(data_[off + 2]) << 16) |
                                 (static_cast<uint32_t>(data_[off + 3]) << 24)
                           : 0;
    }

    // The part of the view from off on, at most n bytes (empty when off is
    // outside the view).
    constexpr ByteView Sub(size_t off, size_t n = SIZE_MAX) const {
        if (off > size_) return ByteView(data_ + size_, 0);
        size_t left = size_ - off;
        return ByteView(data_ + off, n < left ? n : left);
    }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace wx5n

#endif  // WX5N_OVERLAY_BYTE_READER_H
