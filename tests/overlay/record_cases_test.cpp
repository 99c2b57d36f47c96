// The record readers and the loader, one call a line of record_cases.txt (the
// format of tests/support/case_file.h):
//   classid avail=n | bytes      result, class and length (0xBEEF, -7 unwritten)
//   kind | bytes                 the kind foreadkindget names
//   lineid | bytes               fogetlineid
//   linekind, linekind2, linedef [attr=..] [work=..] | record
//   linekindEx, linekindEx2 [attr=..] | record
//                                the bytes of the attribute block and work
//                                area (default table) the reader changed
//   fontdef block=.. [rename=find>replace,..] | record
//                                result and the bytes of the block it changed
//   load size= want= mode= ctx= [nohandle | short] [open= failread= skew= failclose=1] | file
//                                foreaddata (pcom_foreadd33: short) over the in-memory file layer with
//                                those faults: the results, the file calls,
//                                whether the file was left open, and a digest
//                                of the whole buffer (0xCC before the load)
#include <gtest/gtest.h>

#include <cstring>

#include "include/wx5novl1.h"
#include "support/case_file.h"
#include "support/fake_fileacc.h"

namespace {

using Bytes = std::vector<unsigned char>;
using cases::Option;

int Number(const std::string& args, const std::string& key) { return std::stoi(Option(args, key, "0")); }

std::string Load(const std::string& args, const Bytes& file) {
    fakefs::Reset();
    fakefs::AddFile("f.ovl", file);
    fakefs::Faults& f = fakefs::GetFaults();
    f.openResult = Number(args, "open");
    f.failReadCall = std::stoi(Option(args, "failread", "-1"));
    f.seekSkew = Number(args, "skew");
    f.failClose = Number(args, "failclose") != 0;
    unsigned size = static_cast<unsigned>(Number(args, "size")), loaded = 0xDEAD;
    Bytes buffer(size, 0xCC);
    unsigned char kind = 0xEE;
    unsigned short format = 0xEEEE, version = 0xEEEE;
    int handle = -12345;
    const bool noHandle = args.find("nohandle") != std::string::npos;
    const char want = static_cast<char>(Number(args, "want"));
    const int r = args.find(" short") != std::string::npos
                      ? pcom_foreadd33(want, "f.ovl", buffer.data(), &size, &loaded, &kind, &format,
                                       &version, Number(args, "ctx"))
                      : foreaddata(Number(args, "mode"), want, "f.ovl", buffer.data(), &size, &loaded,
                                   &kind, &format, &version, noHandle ? nullptr : &handle,
                                   Number(args, "ctx"));
    unsigned long long digest = 14695981039346656037ull;  // FNV-1a
    for (unsigned char b : buffer) digest = (digest ^ b) * 1099511628211ull;
    const fakefs::Stats& s = fakefs::GetStats();
    std::ostringstream o;
    o << "r=" << r << " loaded=" << loaded << " kind=" << int{kind} << " format=" << format
      << " version=" << version << " handle=" << handle << " opens=" << s.opens
      << " closes=" << s.closes << " left-open=" << s.openHandles.size() << " mode=" << s.lastMode
      << " ctx=" << s.lastContext << " buffer=" << std::hex << digest;
    return o.str();
}

std::string Call(const std::string& args, Bytes bytes) {
    const std::string call = args.substr(0, args.find(' '));
    std::ostringstream o;
    if (call == "load") return Load(args, bytes);
    const unsigned char* rec = bytes.data();
    const int avail = static_cast<int>(bytes.size());
    if (call == "classid") {
        unsigned short cls = 0xBEEF;
        int len = -7;
        const int r = foreadclassid(rec, Number(args, "avail"), &cls, &len);
        o << "r=" << r << " cls=" << std::hex << cls << std::dec << " len=" << len;
        return o.str();
    }
    if (call == "kind") return "r=" + std::to_string(foreadkindget(rec, avail));
    if (call == "lineid") return "r=" + std::to_string(fogetlineid(rec));
    if (call == "fontdef") {
        FO_FONTBLOCK block{};
        cases::Patch(&block, sizeof block, Option(args, "block"));
        const FO_FONTBLOCK before = block;
        // The renaming table: a head of 8 bytes (offset 8 and the count of
        // pairs), then the pairs.
        std::vector<std::string> names;
        std::istringstream pairs(Option(args, "rename"));
        for (std::string pair; std::getline(pairs, pair, ',');) {
            names.push_back(pair.substr(0, pair.find('>')));
            names.push_back(pair.substr(pair.find('>') + 1));
        }
        std::vector<FO_FONTRENAME> table(names.size() / 2 + 1);  // the first slot holds the head
        for (size_t i = 0; i < names.size(); i += 2) table[i / 2 + 1] = {names[i].c_str(), names[i + 1].c_str()};
        auto* head = reinterpret_cast<unsigned char*>(table.data());
        head[0] = sizeof(FO_FONTRENAME);
        head[1] = static_cast<unsigned char>(names.size() / 2);
        const int r = foreadfontdef(rec, avail, &block, names.empty() ? nullptr : head);
        return "r=" + std::to_string(r) + " block=" + cases::Changed(&block, &before, sizeof block);
    }
    FO_ATTR attr{};
    FO_WORK work{};
    fosetlinedef(&work);
    cases::Patch(&attr, sizeof attr, Option(args, "attr"));
    cases::Patch(&work, sizeof work, Option(args, "work"));
    const FO_ATTR attrBefore = attr;
    const FO_WORK workBefore = work;
    if (call == "linekind") foreadlinekind(rec, &attr, &work);
    else if (call == "linekind2") foreadlinekind2(rec, &attr, &work);
    else if (call == "linedef") foreadlinedef(rec, &attr, &work);
    else if (call == "linekindEx") foreadlinekindEx(rec, &attr);
    else if (call == "linekindEx2") foreadlinekindEx2(rec, &attr);
    else return "unknown call";
    return "attr=" + cases::Changed(&attr, &attrBefore, sizeof attr) +
           " work=" + cases::Changed(&work, &workBefore, sizeof work);
}

TEST(RecordCases, EveryLineGivesItsExpectedResult) {
    cases::RunFile(std::string(WX5N_OVERLAY_DATA_DIR) + "/record_cases.txt", Call);
}

}  // namespace
