// Tables of cases read by one runner: a line "name: call | bytes | expected"
// per case. Bytes are hex (spaces ignored, "hh*n" repeats a byte n times);
// blocks are given and compared as runs of bytes "offset:hex,..." that differ
// from a base ("*hh" first fills the block with hh).
#ifndef WX5N_TESTS_SUPPORT_CASE_FILE_H
#define WX5N_TESTS_SUPPORT_CASE_FILE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace cases {

inline std::vector<unsigned char> ParseHex(const std::string& text) {
    std::vector<unsigned char> out;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        const size_t star = word.find('*');
        if (star != std::string::npos) {
            out.insert(out.end(), std::stoul(word.substr(star + 1)),
                       static_cast<unsigned char>(std::stoul(word.substr(0, star), nullptr, 16)));
            continue;
        }
        for (size_t i = 0; i + 1 < word.size(); i += 2)
            out.push_back(static_cast<unsigned char>(std::stoul(word.substr(i, 2), nullptr, 16)));
    }
    return out;
}

inline void Patch(void* block, size_t size, const std::string& runs) {
    auto* bytes = static_cast<unsigned char*>(block);
    std::istringstream in(runs);
    std::string run;
    while (std::getline(in, run, ',')) {
        if (run[0] == '*') {
            std::memset(block, static_cast<int>(std::stoul(run.substr(1), nullptr, 16)), size);
            continue;
        }
        const size_t colon = run.find(':');
        size_t at = std::stoul(run.substr(0, colon));
        for (unsigned char b : ParseHex(run.substr(colon + 1)))
            if (at < size) bytes[at++] = b;
    }
}

// Runs of bytes of block that differ from base; a repeat of 8 or more bytes
// is a run of its own, "offset:hh*n".
inline std::string Changed(const void* block, const void* base, size_t size) {
    const auto* a = static_cast<const unsigned char*>(block);
    const auto* b = static_cast<const unsigned char*>(base);
    std::string s;
    char t[32];
    bool open = false;
    for (size_t i = 0; i < size;) {
        if (a[i] == b[i]) {
            ++i;
            open = false;
            continue;
        }
        size_t n = 1;
        while (i + n < size && a[i + n] == a[i] && a[i + n] != b[i + n]) ++n;
        if (n >= 8 || !open) {
            std::snprintf(t, sizeof t, "%s%zu:", s.empty() ? "" : ",", i);
            s += t;
        }
        if (n >= 8) {
            std::snprintf(t, sizeof t, "%02x*%zu", a[i], n);
            s += t;
            i += n;
            open = false;
            continue;
        }
        std::snprintf(t, sizeof t, "%02x", a[i++]);
        s += t;
        open = true;
    }
    return s;
}

// The value of key=value in the words of args, or fallback.
inline std::string Option(const std::string& args, const std::string& key, const std::string& fallback = "") {
    std::istringstream in(args);
    std::string word;
    while (in >> word)
        if (word.rfind(key + "=", 0) == 0) return word.substr(key.size() + 1);
    return fallback;
}

inline std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// Runs every case of the file through run(call, bytes) and compares the
// answer with the expected column, naming the line of a mismatch. With
// WX5N_UPDATE_CASES set the file is rewritten with the answers instead.
inline void RunFile(const std::string& path,
                    const std::function<std::string(const std::string&, std::vector<unsigned char>)>& run) {
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::ostringstream rewritten;
    std::string line;
    int count = 0;
    for (int n = 1; std::getline(in, line); ++n) {
        const size_t colon = line.find(':'), bar1 = line.find('|'), bar2 = line.find('|', bar1 + 1);
        if (line.empty() || line[0] == '#') {
            rewritten << line << '\n';
            continue;
        }
        ASSERT_LT(colon, bar1) << path << ':' << n << " is not name: call | bytes | expected";
        const std::string got =
            run(Trim(line.substr(colon + 1, bar1 - colon - 1)), ParseHex(line.substr(bar1 + 1, bar2 - bar1 - 1)));
        EXPECT_EQ(got, bar2 == std::string::npos ? "" : Trim(line.substr(bar2 + 1)))
            << path << ':' << n << ' ' << line.substr(0, colon);
        rewritten << Trim(line.substr(0, bar2)) << " | " << got << '\n';
        ++count;
    }
    EXPECT_GT(count, 0) << path;
    if (const char* update = std::getenv("WX5N_UPDATE_CASES"); update != nullptr && *update)
        std::ofstream(path) << rewritten.str();
}

}  // namespace cases

#endif  // WX5N_TESTS_SUPPORT_CASE_FILE_H
