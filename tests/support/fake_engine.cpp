#include "tests/support/fake_engine.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace fake_engine {

State& Get() {
    static State state;
    return state;
}

void Reset() {
    Get() = State{};
}

void SetWords(const std::vector<std::string>& headwords) {
    Get().entries.clear();
    for (const std::string& word : headwords) {
        Get().entries.push_back({word, "<b>" + word + "</b> html", word + " text"});
    }
}

int CallCount(const std::string& function) {
    return static_cast<int>(std::count(Get().calls.begin(), Get().calls.end(), function));
}

}  // namespace fake_engine

using fake_engine::Get;

namespace {

int IndexOf(const char* headword) {
    const auto& entries = Get().entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (strcasecmp(entries[i].headword.c_str(), headword) == 0) return static_cast<int>(i);
    }
    return -1;
}

int Print(bool html, LXV_ENTRY entry, char* buffer, uint32_t size) {
    bool zeroed =
        buffer != nullptr && std::all_of(buffer, buffer + size, [](char c) { return c == 0; });
    Get().prints.push_back({html, entry, buffer, size, zeroed});
    if (entry == 0 || entry > Get().entries.size() || buffer == nullptr || size == 0) return 0;
    if (Get().printResult == 0) return 0;
    const auto& e = Get().entries[entry - 1];
    const std::string& text = html ? e.html : e.text;
    const size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return Get().printResult;
}

}  // namespace

extern "C" {

LXV_HANDLE lxv_openfile(intptr_t dict, intptr_t listpad, intptr_t datapad, intptr_t miscpad,
                        intptr_t zippad) {
    Get().calls.push_back("lxv_openfile");
    const intptr_t args[5] = {dict, listpad, datapad, miscpad, zippad};
    Get().openArgsWereOpen = true;
    for (int i = 0; i < 5; ++i) {
        Get().openArgs[i] = args[i];
        if (args[i] < 0 || fcntl(static_cast<int>(args[i]), F_GETFD) == -1) {
            Get().openArgsWereOpen = false;
        }
        char target[4096] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(args[i]);
        if (readlink(link.c_str(), target, sizeof(target) - 1) > 0) Get().openPaths[i] = target;
    }
    if (Get().openResult == 0) errno = Get().openErrno;
    return Get().openResult;
}

void lxv_closefile(LXV_HANDLE* handle) {
    Get().calls.push_back("lxv_closefile");
    Get().closeAddresses.push_back(handle);
    Get().closeValues.push_back(handle != nullptr ? *handle : 0);
    Get().handlesOpenAtClose = true;
    for (intptr_t fd : Get().openArgs) {
        if (fd < 0 || fcntl(static_cast<int>(fd), F_GETFD) == -1) Get().handlesOpenAtClose = false;
    }
    if (handle != nullptr) *handle = 0;
}

uint32_t lxv_wordlist_count(LXV_HANDLE) {
    Get().calls.push_back("lxv_wordlist_count");
    return static_cast<uint32_t>(Get().entries.size());
}

const char* lxv_wordlist_at(LXV_HANDLE, uint32_t index) {
    Get().calls.push_back("lxv_wordlist_at");
    return index < Get().entries.size() ? Get().entries[index].headword.c_str() : nullptr;
}

const char* lxv_wordlist_nearest(LXV_HANDLE, const char* key) {
    Get().calls.push_back("lxv_wordlist_nearest");
    Get().keys.push_back(key != nullptr ? key : "(null)");
    if (key == nullptr || Get().entries.empty()) return nullptr;
    for (const auto& e : Get().entries) {
        if (strcasecmp(e.headword.c_str(), key) >= 0) return e.headword.c_str();
    }
    return Get().entries.back().headword.c_str();
}

uint32_t lxv_wordlist_on(LXV_HANDLE, const char* headword) {
    Get().calls.push_back("lxv_wordlist_on");
    Get().keys.push_back(headword != nullptr ? headword : "(null)");
    const int index = headword != nullptr ? IndexOf(headword) : -1;
    return index < 0 ? 0 : static_cast<uint32_t>(index);
}

LXV_ENTRY lxv_find(LXV_HANDLE, const char* headword) {
    Get().calls.push_back("lxv_find");
    Get().keys.push_back(headword != nullptr ? headword : "(null)");
    const int index = headword != nullptr ? IndexOf(headword) : -1;
    return index < 0 ? 0 : static_cast<LXV_ENTRY>(index + 1);
}

int lxv_printhtml_buf(LXV_HANDLE, LXV_ENTRY entry, char* buffer, uint32_t size) {
    Get().calls.push_back("lxv_printhtml_buf");
    return Print(true, entry, buffer, size);
}

int lxv_print_buf(LXV_HANDLE, LXV_ENTRY entry, char* buffer, uint32_t size) {
    Get().calls.push_back("lxv_print_buf");
    return Print(false, entry, buffer, size);
}

int16_t lxv_history_count(LXV_HANDLE) {
    Get().calls.push_back("lxv_history_count");
    return static_cast<int16_t>(Get().history.size());
}

const char* lxv_history_getword(LXV_HANDLE, int16_t index) {
    Get().calls.push_back("lxv_history_getword");
    if (index < 0 || static_cast<size_t>(index) >= Get().history.size() ||
        index == Get().historyNullAt) {
        return nullptr;
    }
    return Get().history[static_cast<size_t>(index)].c_str();
}

void lxv_history_clear(LXV_HANDLE) {
    Get().calls.push_back("lxv_history_clear");
    Get().history.clear();
}

}  // extern "C"
