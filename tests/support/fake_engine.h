// A recording stand-in for liblexicore: a small sorted word list with entries,
// and a log of every call, so tests can check exactly what the program asks.
#ifndef LEXIVANE_TESTS_SUPPORT_FAKE_ENGINE_H_
#define LEXIVANE_TESTS_SUPPORT_FAKE_ENGINE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/lexicore.h"

namespace fake_engine {

struct Entry {
    std::string headword;
    std::string html;
    std::string text;
};

struct PrintCall {
    bool html;
    LXV_ENTRY entry;
    const char* buffer;
    uint32_t size;
    bool bufferWasZeroed;
};

struct State {
    // Set up by the test.
    LXV_HANDLE openResult = 0x2A;
    int openErrno = 0;           // errno left by an lxv_openfile that returns 0
    std::vector<Entry> entries;  // sorted ignoring case, as the engine keeps them
    int printResult = 1;
    std::vector<std::string> history;  // newest first
    int historyNullAt = -1;            // lxv_history_getword gives null for this index

    // Recorded.
    std::vector<std::string> calls;  // function names in call order
    intptr_t openArgs[5] = {};
    bool openArgsWereOpen = false;    // all five were open descriptors at the call
    std::string openPaths[5];         // the files behind them
    bool handlesOpenAtClose = false;  // the five descriptors were still open at lxv_closefile
    std::vector<const LXV_HANDLE*> closeAddresses;
    std::vector<LXV_HANDLE> closeValues;
    std::vector<std::string> keys;  // keys given to nearest / on / find
    std::vector<PrintCall> prints;
};

State& Get();
// Empties the log and restores the defaults above.
void Reset();
// Convenience: entries whose HTML and text name the headword.
void SetWords(const std::vector<std::string>& headwords);
int CallCount(const std::string& function);

}  // namespace fake_engine

#endif  // LEXIVANE_TESTS_SUPPORT_FAKE_ENGINE_H_
