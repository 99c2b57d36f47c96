// The element decoders and the conversions of the common decoding (chgpos,
// colour, hatch, lineend, dash), one call a line of decoder_cases.txt:
//   name: decoder dpi [work=..] [attr=..] [state=s,e] [mode=m enc=e] [fonts=n,len,hex] [limit=n]
//         | records | expected
// (the format of tests/support/case_file.h). work= and attr= patch the
// default work area and a zeroed attribute block. Every output starts as a
// sentinel (points -7,-7, bytes 0x63, words 0xAAAA, the bitmap block 0x5A) so
// that an output written on failure shows. Expected: result, bytes consumed,
// outputs, and the bytes of the attribute block and work area it changed.
// The conversions take a point as stored in a file (chgpos), a colour code
// byte (colour, the dpi word unused), a record (hatch, lineend) or the dash
// lengths as line= and edge= (dash).
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"
#include "tests/support/case_file.h"

using namespace dtest;

namespace {

using cases::Changed;
using cases::ParseHex;
using cases::Patch;

std::ostream& operator<<(std::ostream& o, FO_POINT p) { return o << p.x << ',' << p.y; }

// One branch a call; long, but each branch reads as the whole of its call.
std::string Decode(const std::string& args, Bytes records) {
    std::istringstream in(args);
    std::string decoder, token;
    unsigned dpi = 0;
    in >> decoder >> dpi;
    FO_WORK work = DefaultWork();
    FO_ATTR attr{};
    unsigned char started = 0, ended = 0;
    FO_FONTBLOCK fonts;
    std::memset(&fonts, 0xEE, sizeof fonts);
    FO_TEXTOUT text{};
    FO_IMAGEOUT image{};
    while (in >> token) {
        const size_t eq = token.find('=');
        const std::string key = token.substr(0, eq), value = token.substr(eq + 1);
        if (key == "work") Patch(&work, sizeof work, value);
        if (key == "attr") Patch(&attr, sizeof attr, value);
        if (key == "state") std::sscanf(value.c_str(), "%hhu,%hhu", &started, &ended);
        if (key == "mode") text.textMode = static_cast<unsigned char>(std::stoul(value));
        if (key == "enc") text.textEncoding = static_cast<unsigned short>(std::stoul(value));
        if (key == "limit") image.sizeLimit = static_cast<unsigned short>(std::stoul(value));
        if (key == "fonts") {
            unsigned count = 0, length = 0;
            char hex[256] = {};
            std::sscanf(value.c_str(), "%u,%u,%255s", &count, &length, hex);
            fonts.nameCount = static_cast<unsigned short>(count);
            const Bytes names = ParseHex(hex);
            std::memcpy(fonts.names, names.data(), names.size());
            text.fontNames = fonts.names;
            text.fontNameLength = static_cast<unsigned short>(length);
        }
    }
    // The conversions of the common decoding.
    std::ostringstream o;
    if (decoder == "chgpos") {
        FO_POINT out{-7, -7};
        foprintchgpos(&out, records.data(), dpi, args.find("nowork") == std::string::npos ? &work : nullptr);
        o << "pos=" << out;
        return o.str();
    }
    if (decoder == "colour") return "r=" + std::to_string(foprintcolor(records.at(0), &work));
    if (decoder == "hatch") return "r=" + std::to_string(foprinthatchidx(records.data()));
    if (decoder == "lineend") return "r=" + std::to_string(fordlineend(records.data()));
    if (decoder == "dash") {
        std::sscanf(cases::Option(args, "line").c_str(), "%hu,%hu,%hu,%hu", &attr.line.lineDash[0],
                    &attr.line.lineDash[1], &attr.line.lineDash[2], &attr.line.lineDash[3]);
        std::sscanf(cases::Option(args, "edge").c_str(), "%hu,%hu,%hu,%hu", &attr.line.edgeDash[0],
                    &attr.line.edgeDash[1], &attr.line.edgeDash[2], &attr.line.edgeDash[3]);
        unsigned short l[4];
        o << "line=" << fordlinekind(&attr, dpi, &l[0], &l[1], &l[2], &l[3]);
        for (unsigned short v : l) o << ',' << v;
        o << " edge=" << fordlinekind2(&attr, dpi, &l[0], &l[1], &l[2], &l[3]);
        for (unsigned short v : l) o << ',' << v;
        return o.str();
    }
    const FO_WORK workBefore = work;
    const FO_ATTR attrBefore = attr;
    unsigned char* const base = records.data();
    unsigned char* cursor = base;
    unsigned int remaining = static_cast<unsigned int>(records.size());
    auto at = [base](const void* p) { return p ? static_cast<const unsigned char*>(p) - base : -1; };
    FO_POINT p[3] = {{-7, -7}, {-7, -7}, {-7, -7}};
    unsigned short value = 0xAAAA, value2 = 0xAAAA;
    unsigned char width = 0x63, segment = 0x63;
    unsigned int high = 0xAAAA, low = 0xAAAA;
    FO_LINEOUT lines = {&p[0], &p[1], &p[2], &value, &segment, &width, &high, &low};
    int result = -99;
    if (decoder == "line" || decoder == "segline" || decoder == "rect") {
        if (decoder == "line") result = fordline(&cursor, &remaining, &attr, dpi, &lines, &work);
        if (decoder == "rect") result = fordrect(&cursor, &remaining, &attr, dpi, &lines, &work);
        if (decoder == "segline")
            result = fordsegline(&cursor, &remaining, &attr, dpi, &lines, &started, &ended, &work);
        o << " p=" << p[0] << ' ' << p[1] << ' ' << p[2] << " v=" << value << " w=" << int{width};
        if (decoder == "segline")
            o << " seg=" << int{segment} << " flags=" << high << ',' << low << " state=" << int{started}
              << ',' << int{ended};
    } else if (decoder == "circle") {
        result = fordcircle(&cursor, &remaining, &attr, dpi, &p[0], &value, &work);
        o << " c=" << p[0] << " r=" << value;
    } else if (decoder == "ellipse") {
        result = fordellipse(&cursor, &remaining, &attr, dpi, &p[0], &value, &value2, &work);
        o << " c=" << p[0] << " r=" << value << ',' << value2;
    } else if (decoder == "area") {
        result = fordarchatch(&cursor, &remaining, &attr, dpi, &p[0], &p[1], &work);
        o << " box=" << p[0] << ' ' << p[1];
    } else if (decoder == "text") {
        text.position = &p[0];
        text.auxPoint1 = &p[1];
        text.auxPoint2 = &p[2];
        text.unitTenths = text.unitHalf = 0x63;
        int avail = static_cast<int>(remaining);
        result = fordcharacter(&cursor, &avail, &attr, dpi, &text, &work);
        remaining = static_cast<unsigned int>(avail);
        o << " pos=" << p[0] << " aux=" << p[1] << ' ' << p[2] << " text@" << at(text.text)
          << " units=" << int{text.unitTenths} << ',' << int{text.unitHalf};
    } else if (decoder == "image") {
        image.position = &p[0];
        image.byteSize = &value;
        image.rowCount = &value2;
        result = fordimg(&cursor, &remaining, dpi, &image, &work);
        o << " pos=" << p[0] << " rec@" << at(image.record) << " size=" << value << " rows=" << value2;
    } else if (decoder == "bitmap") {
        FO_BMPINFO info;
        std::memset(&info, 0x5A, sizeof info);
        FO_POINT* corners[2] = {&p[0], &p[1]};
        result = fordbmpimg(&cursor, &remaining, &info, dpi, corners, &work);
        const FO_BMPINFO before = [] {
            FO_BMPINFO b;
            std::memset(&b, 0x5A, sizeof b);
            return b;
        }();
        o << " corners=" << p[0] << ' ' << p[1] << " bmi@"
          << (info.bitmapInfo != before.bitmapInfo ? at(info.bitmapInfo) : -2) << " info="
          << Changed(&info, &before, offsetof(FO_BMPINFO, bitmapInfo));
    }
    std::ostringstream line;
    line << "r=" << result << " at=" << (cursor - base) << " left=" << remaining << o.str();
    if (const std::string a = Changed(&attr, &attrBefore, sizeof attr); !a.empty()) line << " attr=" << a;
    if (const std::string w = Changed(&work, &workBefore, sizeof work); !w.empty()) line << " work=" << w;
    return line.str();
}

}  // namespace

TEST(DecoderCases, EveryLineGivesItsExpectedOutputs) {
    cases::RunFile(std::string(WX5N_DECODE_DATA_DIR) + "/decoder_cases.txt", Decode);
}
