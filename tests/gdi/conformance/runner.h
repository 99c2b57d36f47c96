// The scenario runner's interface to the calls a build adds to the GDI ones
// (the library's drawing functions).
#ifndef WX5N_CONFORMANCE_RUNNER_H
#define WX5N_CONFORMANCE_RUNNER_H

#ifdef _WIN32
#include <windows.h>
#else
#include "swgdi.h"
#endif

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// One call of a scenario: its arguments as written, read through the
// accessors (which throw on a bad argument), and what it made.
struct Call {
    HDC dc = nullptr;
    int width = 0, height = 0;  // the canvas
    std::vector<std::string> args;
    std::map<std::string, void*>* vars = nullptr;
    std::vector<long>* values = nullptr;  // results the reference must equal
    void* result = nullptr;               // the object a "VAR =" call names
    long ret = 0;                         // what the call returned

    long Int(size_t i) const;
    void* Obj(size_t i) const;                   // a variable, or 0
    std::vector<unsigned char> Bytes(size_t i) const;  // hex, or "-" for none
    std::vector<POINT> Points(size_t from) const;      // x y pairs to the end
};

struct Verb {
    const char* name;
    void (*run)(Call& call);
};

// Calls of this build beyond GDI's, and the reset of their state before
// each scenario.
extern const Verb kExtraVerbs[];
extern const int kExtraVerbCount;
void ResetExtraVerbs();

// Runs calls (one token list each, "[?] [VAR =] Verb ARG...") on dc, whose
// canvas is width x height. Arguments are integers, variables (VAR names
// the object a call made), 0 for no object and hex strings for bits. The
// query verbs' results go to values, and so does, for a line marked "?",
// whether the call made or returned an object, or else what it returned.
// "UseDC VAR" draws on another DC from then on ("dc" names the canvas's).
// Throws on an unknown call or a bad argument.
void RunCalls(HDC dc, int width, int height, const std::vector<std::vector<std::string>>& calls,
              std::vector<long>* values);

// A table of scenarios, each a list of calls as RunCalls takes them (see
// runner.cpp for the format). Throws on a table it cannot read.
struct Scenario {
    std::string name, group;
    bool exact = true;
    int bpp = 32;
    std::vector<std::vector<std::string>> calls;
};
struct Table {
    int width = 0, height = 0;
    double limit = -1;  // percent of drawn pixels; negative: no total limit
    std::vector<Scenario> scenarios;
};
Table ReadTable(const std::string& path);

#endif
