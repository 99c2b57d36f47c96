// Encoding of records and of whole overlay files of both kinds.
#include "ovlwriter.h"

#include <cstdio>
#include <stdexcept>

namespace ovlw {

void PutU8(Bytes& out, unsigned value) { out.push_back(static_cast<uint8_t>(value)); }

void PutU16(Bytes& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutS16(Bytes& out, int value) { PutU16(out, static_cast<uint16_t>(value)); }

void PutU32(Bytes& out, uint32_t value) {
    PutU16(out, value >> 16);
    PutU16(out, value & 0xFFFF);
}

void PutPoint(Bytes& out, int x, int y) {
    PutU16(out, static_cast<uint16_t>(x));
    PutS16(out, y);
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) Append(out, p);
    return out;
}

Bytes Record(uint16_t cls, const Bytes& params) {
    return params.size() <= 30 ? ShortRecord(cls, params) : LongRecord(cls, params);
}

Bytes ShortRecord(uint16_t cls, const Bytes& params) {
    if (params.size() > 30) throw std::invalid_argument("short-form record over 30 bytes");
    Bytes out;
    PutU16(out, (cls & 0xFFE0) | static_cast<unsigned>(params.size()));
    Append(out, params);
    return out;
}

Bytes LongRecord(uint16_t cls, const Bytes& params, const std::vector<size_t>& partitions) {
    std::vector<size_t> parts = partitions;
    if (parts.empty()) {
        size_t left = params.size();
        do {
            const size_t n = left < 0x7FFF ? left : 0x7FFF;
            parts.push_back(n);
            left -= n;
        } while (left > 0);
    }
    size_t total = 0;
    for (size_t n : parts) {
        if (n > 0x7FFF) throw std::invalid_argument("partition over 0x7FFF bytes");
        total += n;
    }
    if (total != params.size()) throw std::invalid_argument("partitions do not add up");
    Bytes out;
    PutU16(out, (cls & 0xFFE0) | 0x1F);
    size_t at = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool more = i + 1 < parts.size();
        PutU16(out, (more ? 0x8000u : 0u) | static_cast<unsigned>(parts[i]));
        out.insert(out.end(), params.begin() + static_cast<std::ptrdiff_t>(at),
                   params.begin() + static_cast<std::ptrdiff_t>(at + parts[i]));
        at += parts[i];
    }
    return out;
}

Bytes Marker(uint16_t word) {
    Bytes out{0xF0, 0x04};
    PutU16(out, word);
    return out;
}

Bytes NoOp(size_t paramBytes) { return ShortRecord(0x0000, Bytes(paramBytes, 0)); }

Bytes EndPicture(size_t paramBytes) { return ShortRecord(0x00A0, Bytes(paramBytes, 0)); }

Bytes MetafileVersion(uint16_t version) {
    Bytes p;
    PutU16(p, version);
    return ShortRecord(0x1020, p);
}

Bytes Escape(uint16_t id, const Bytes& data) {
    Bytes p;
    PutU16(p, id);
    Append(p, data);
    return Record(0x6020, p);
}

Bytes LayoutVersionEscape(uint16_t version) {
    Bytes data;
    PutU16(data, 2);  // length of the data that follows
    PutU16(data, version);
    return Escape(68, data);
}

std::array<uint8_t, 4> EbcdicTag(const char* text) {
    std::array<uint8_t, 4> tag{0x40, 0x40, 0x40, 0x40};
    for (size_t i = 0; i < 4 && text[i] != '\0'; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') tag[i] = static_cast<uint8_t>(0xF0 + (c - '0'));
        else if (c >= 'A' && c <= 'I') tag[i] = static_cast<uint8_t>(0xC1 + (c - 'A'));
        else if (c >= 'J' && c <= 'R') tag[i] = static_cast<uint8_t>(0xD1 + (c - 'J'));
        else if (c >= 'S' && c <= 'Z') tag[i] = static_cast<uint8_t>(0xE2 + (c - 'S'));
    }
    return tag;
}

namespace {

constexpr uint8_t kEbcdicOvlp[8] = {0x5C, 0x5C, 0xD6, 0xE5, 0xD3, 0xD7, 0x5C, 0x5C};
constexpr uint8_t kEbcdicOvlg[8] = {0x5C, 0x5C, 0xD6, 0xE5, 0xD3, 0xC7, 0x5C, 0x5C};

Bytes Header(Charset magic, bool kind1, uint8_t idTextFlag, const std::array<uint8_t, 4>& tag) {
    Bytes h(256, 0x40);  // EBCDIC spaces, as a mainframe header would hold
    const uint8_t* m;
    static const uint8_t asciiP[8] = {'*', '*', 'O', 'V', 'L', 'P', '*', '*'};
    static const uint8_t asciiG[8] = {'*', '*', 'O', 'V', 'L', 'G', '*', '*'};
    if (magic == Charset::kEbcdic) m = kind1 ? kEbcdicOvlp : kEbcdicOvlg;
    else m = kind1 ? asciiP : asciiG;
    for (int i = 0; i < 8; ++i) h[186 + i] = m[i];
    h[196] = idTextFlag;
    for (int i = 0; i < 4; ++i) h[214 + i] = tag[i];
    for (int i = 0; i < 4; ++i) h[230 + i] = 0;
    return h;
}

void PatchU32(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v >> 24);
    b[at + 1] = static_cast<uint8_t>(v >> 16);
    b[at + 2] = static_cast<uint8_t>(v >> 8);
    b[at + 3] = static_cast<uint8_t>(v);
}

uint8_t DefaultFormatByte(uint16_t mode) { return (mode != 1 && (mode & 0x80)) ? 0x00 : 0x85; }

// The second descriptor: L2 + 4 bytes carrying the mode word.
Bytes SecondDescriptor(const Kind1Options& o) {
    uint16_t l2 = o.secondDescriptorLength;
    if (l2 == 0) {
        switch (o.modePlace) {
            case ModeWordPlace::kWord32: l2 = 32; break;
            case ModeWordPlace::kTag18: l2 = 24; break;
            case ModeWordPlace::kTag90: l2 = 96; break;
            case ModeWordPlace::kNoTag: l2 = 24; break;
        }
    }
    Bytes d(static_cast<size_t>(l2) + 4, 0);
    d[2] = static_cast<uint8_t>(l2 >> 8);
    d[3] = static_cast<uint8_t>(l2);
    auto put16 = [&](size_t at, uint16_t v) {
        if (at + 2 > d.size()) d.resize(at + 2, 0);
        d[at] = static_cast<uint8_t>(v >> 8);
        d[at + 1] = static_cast<uint8_t>(v);
    };
    switch (o.modePlace) {
        case ModeWordPlace::kWord32: put16(34, o.mode); break;
        case ModeWordPlace::kTag18: put16(18, 0xF403); put16(22, o.mode); break;
        case ModeWordPlace::kTag90:
            put16(18, 0xF402);
            put16(90, 0xF403);
            put16(94, o.mode);
            break;
        case ModeWordPlace::kNoTag: put16(18, 0x0000); break;
    }
    // The descriptor's length field keeps L2 even where the mode word was
    // placed past it on purpose; what follows starts after L2 + 4 bytes.
    d.resize(static_cast<size_t>(l2) + 4 > d.size() ? static_cast<size_t>(l2) + 4 : d.size());
    if (d.size() > static_cast<size_t>(l2) + 4) {
        // Keep the data marker where the loader expects it: L2 + 4 bytes on.
        d.resize(static_cast<size_t>(l2) + 4);
    }
    return d;
}

Bytes PreambleAndElements(const Kind1Options& o) {
    Bytes records;
    if (o.metafileVersion) Append(records, MetafileVersion(*o.metafileVersion));
    std::vector<uint16_t> versions = o.layoutEscapes;
    if (versions.empty() && o.defaultLayoutEscape && o.magic == Charset::kAscii) versions = {4};
    for (uint16_t v : versions) Append(records, LayoutVersionEscape(v));
    Append(records, o.preamble);
    Append(records, NoOp());
    Append(records, o.elements);
    if (o.endPicture) Append(records, EndPicture());
    return records;
}

}  // namespace

Bytes BuildKind1(const Kind1Options& o) {
    // Without a tag the loader takes the mode word as 1 (data format 1).
    const uint16_t mode = o.modePlace == ModeWordPlace::kNoTag ? 1 : o.mode;
    const bool format3 = mode != 1 && (mode & 0x80);
    const uint8_t f = o.formatByte.value_or(DefaultFormatByte(mode));

    Bytes block(512, 0);
    block[2] = o.blockByte2;
    Bytes control(264, 0);
    control[40] = f;
    Append(block, control);

    const size_t l1 = o.firstDescriptorLength < 5 ? 5 : o.firstDescriptorLength;
    Bytes first(l1 + 8, 0);
    first[2] = static_cast<uint8_t>(l1 >> 8);
    first[3] = static_cast<uint8_t>(l1);
    first[12] = o.firstDescriptorFormat.value_or(f);
    Append(block, first);
    Append(block, SecondDescriptor(o));

    const size_t markerArea = format3 ? 6 : 4;
    Bytes records = PreambleAndElements(o);
    switch (o.marker) {
        case DataMarker::kF401:
        case DataMarker::kF004: {
            Bytes m = {0xF4, 0x01};
            if (o.marker == DataMarker::kF004) m = {0xF0, 0x04};
            m.resize(markerArea, 0);
            Append(block, m);
            Append(block, records);
            break;
        }
        case DataMarker::kF501Chain: {
            // The chain starts 4 bytes after the marker; once joined, the
            // records must start where the marker area ends.
            Bytes data(markerArea - 4, 0);
            Append(data, records);
            Append(block, Bytes{0xF5, 0x01, 0x00, 0x00});
            const size_t seg = o.chainSegment == 0 ? 64 : o.chainSegment;
            for (size_t at = 0; at < data.size(); at += seg) {
                const size_t n = data.size() - at < seg ? data.size() - at : seg;
                Append(block, Bytes{0xF0, 0x04});
                PutU16(block, static_cast<unsigned>(n));
                block.insert(block.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                             data.begin() + static_cast<std::ptrdiff_t>(at + n));
            }
            if (o.chainEnd) Append(block, Bytes{0xF0, 0x00, 0x00, 0x00});
            break;
        }
    }

    Bytes file = Header(o.magic, true, o.idTextFlag, o.resolutionTag);
    PatchU32(file, 230, o.blockLength.value_or(static_cast<uint32_t>(block.size())));

    const size_t rounded = (static_cast<size_t>(o.leadLength) + 127) / 128 * 128;
    Bytes lead(rounded > 12 ? rounded : 12, 0);
    lead[0] = 0;
    PatchU32(lead, 1, o.leadLength);
    for (size_t i = 0; i < 7; ++i) lead[5 + i] = o.leadBytes[i];
    if (rounded < 12) {
        // A lead area shorter than its record: the block starts inside it.
        file.insert(file.end(), lead.begin(), lead.begin() + static_cast<std::ptrdiff_t>(rounded));
    } else {
        Append(file, lead);
    }
    Append(file, block);
    file.resize(file.size() + o.trailing, 0);
    return file;
}

Bytes BuildKind2(const Kind2Options& o) {
    Bytes file = Header(o.magic, false, o.idTextFlag, o.resolutionTag);
    // The id table's head is the 8 bytes at file offset 256: the length L,
    // then the group-type byte, two unused bytes and the number of ids. The
    // ids follow from offset 264, 8 bytes each.
    Bytes data{o.groupType, 0x40, 0x40, static_cast<uint8_t>(o.ids.size())};
    // Ids are padded with spaces of their own character set.
    const uint8_t space = o.magic == Charset::kEbcdic ? 0x40 : ' ';
    for (const std::string& id : o.ids) {
        for (size_t i = 0; i < 8; ++i)
            data.push_back(i < id.size() ? static_cast<uint8_t>(id[i]) : space);
    }
    Append(data, o.data);
    PutU32(file, o.length.value_or(static_cast<uint32_t>(data.size() + 4)));
    Append(file, data);
    return file;
}

size_t Kind1ElementOffset(const Kind1Options& o) {
    Kind1Options copy = o;
    copy.elements.clear();
    copy.endPicture = false;
    copy.marker = o.marker == DataMarker::kF501Chain ? DataMarker::kF401 : o.marker;
    copy.trailing = 0;
    return BuildKind1(copy).size();
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace ovlw
