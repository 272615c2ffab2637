// The twelve exported functions: a handle table over open dictionaries and the
// translation of internal results into the 0 / NULL of the C interface.
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/lexicore.h"
#include "lexicore/dictionary.h"
#include "lexicore/history.h"
#include "lexicore/nearest.h"
#include "lexicore/render.h"

#define LXV_EXPORT extern "C" __attribute__((visibility("default")))

namespace lexicore {
namespace {

// A handle is a slot number in its low bits and an open counter above them,
// so a closed handle never reaches a dictionary opened later in its slot.
constexpr uint32_t kSlotBits = 6;
constexpr uint32_t kSlots = 1u << kSlotBits;
constexpr uint32_t kMaxGeneration = UINT32_MAX >> kSlotBits;

struct Slot {
    LXV_HANDLE handle = 0;
    std::unique_ptr<Dictionary> dict;
};

struct Engine {
    std::array<Slot, kSlots> slots;
    uint32_t generation = 0;
    // Viewed words belong to the engine, not to one open file: closing and
    // reopening a dictionary keeps them; a new process starts empty.
    History history;
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

Dictionary* Lookup(LXV_HANDLE h) {
    Slot& slot = TheEngine().slots[h & (kSlots - 1)];
    return h != 0 && slot.handle == h ? slot.dict.get() : nullptr;
}

// Why a dictionary was refused, as lxv_openfile reports it in errno.
int ErrnoFor(const Status& status) {
    switch (status.code()) {
        case Status::Code::kForeign:
            return ENOEXEC;
        case Status::Code::kCorrupt:
            return EBADMSG;
        case Status::Code::kIoError:
            return EIO;
        case Status::Code::kNoMemory:
            return ENOMEM;
        case Status::Code::kOk:
        case Status::Code::kInvalid:
            break;
    }
    return EINVAL;
}

// Opens the dictionary on fd, or returns 0 with errno saying why. errno is set
// last, after everything the failed open had acquired is released.
LXV_HANDLE Open(intptr_t fd) {
    if (fd < 0 || fd > INT_MAX) {
        errno = EBADF;
        return 0;
    }
    Engine& engine = TheEngine();
    Slot* free_slot = nullptr;
    uint32_t slot_number = 0;
    for (uint32_t i = 0; i < kSlots; ++i) {
        if (engine.slots[i].handle == 0) {
            free_slot = &engine.slots[i];
            slot_number = i;
            break;
        }
    }
    if (free_slot == nullptr) {
        errno = EMFILE;
        return 0;
    }
    std::unique_ptr<Dictionary> dict;
    const Status status = Dictionary::Open(static_cast<int>(fd), &dict);
    if (!status.ok()) {
        errno = ErrnoFor(status);
        return 0;
    }
    engine.generation = engine.generation == kMaxGeneration ? 1 : engine.generation + 1;
    free_slot->handle = (engine.generation << kSlotBits) | slot_number;
    free_slot->dict = std::move(dict);
    return free_slot->handle;
}

void Close(LXV_HANDLE* handle) {
    if (handle == nullptr) return;
    Slot& slot = TheEngine().slots[*handle & (kSlots - 1)];
    if (*handle != 0 && slot.handle == *handle) {
        slot.dict.reset();
        slot.handle = 0;
    }
    *handle = 0;
}

// The headword index an entry reference stands for, or kNotFound.
uint32_t EntryIndex(const Dictionary& dict, LXV_ENTRY entry) {
    return entry != 0 && entry <= dict.count() ? entry - 1 : Dictionary::kNotFound;
}

int Print(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size, EntryForm form) {
    Dictionary* dict = Lookup(h);
    if (dict == nullptr || buffer == nullptr || size == 0) return 0;
    const uint32_t index = EntryIndex(*dict, entry);
    EntryText text;
    if (index == Dictionary::kNotFound || !dict->ReadEntry(index, &text).ok()) {
        buffer[0] = '\0';
        return 0;
    }
    FitEntry(form == EntryForm::kHtml ? text.html : text.text, form, buffer, size);
    if (form == EntryForm::kHtml) {
        const char* headword = dict->Headword(index);
        if (headword != nullptr) TheEngine().history.Add(headword);
    }
    return 1;
}

}  // namespace
}  // namespace lexicore

using lexicore::Dictionary;

LXV_EXPORT LXV_HANDLE lxv_openfile(intptr_t dict, intptr_t, intptr_t, intptr_t, intptr_t) {
    return lexicore::Open(dict);
}

LXV_EXPORT void lxv_closefile(LXV_HANDLE* handle) {
    lexicore::Close(handle);
}

LXV_EXPORT uint32_t lxv_wordlist_count(LXV_HANDLE h) {
    const Dictionary* dict = lexicore::Lookup(h);
    return dict == nullptr ? 0 : dict->count();
}

LXV_EXPORT const char* lxv_wordlist_at(LXV_HANDLE h, uint32_t index) {
    const Dictionary* dict = lexicore::Lookup(h);
    return dict == nullptr ? nullptr : dict->Headword(index);
}

LXV_EXPORT const char* lxv_wordlist_nearest(LXV_HANDLE h, const char* key) {
    const Dictionary* dict = lexicore::Lookup(h);
    if (dict == nullptr || key == nullptr) return nullptr;
    const uint32_t index = lexicore::NearestIndex(*dict, key);
    return index == Dictionary::kNotFound ? nullptr : dict->Headword(index);
}

LXV_EXPORT uint32_t lxv_wordlist_on(LXV_HANDLE h, const char* headword) {
    const Dictionary* dict = lexicore::Lookup(h);
    if (dict == nullptr || headword == nullptr) return 0;
    const uint32_t index = dict->Find(headword);
    return index == Dictionary::kNotFound ? 0 : index;
}

LXV_EXPORT LXV_ENTRY lxv_find(LXV_HANDLE h, const char* headword) {
    const Dictionary* dict = lexicore::Lookup(h);
    if (dict == nullptr || headword == nullptr) return 0;
    const uint32_t index = dict->Find(headword);
    return index == Dictionary::kNotFound ? 0 : index + 1;
}

LXV_EXPORT int lxv_printhtml_buf(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size) {
    return lexicore::Print(h, entry, buffer, size, lexicore::EntryForm::kHtml);
}

LXV_EXPORT int lxv_print_buf(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size) {
    return lexicore::Print(h, entry, buffer, size, lexicore::EntryForm::kText);
}

LXV_EXPORT int16_t lxv_history_count(LXV_HANDLE h) {
    if (lexicore::Lookup(h) == nullptr) return 0;
    return static_cast<int16_t>(lexicore::TheEngine().history.count());
}

LXV_EXPORT const char* lxv_history_getword(LXV_HANDLE h, int16_t index) {
    if (lexicore::Lookup(h) == nullptr || index < 0) return nullptr;
    return lexicore::TheEngine().history.At(static_cast<size_t>(index));
}

LXV_EXPORT void lxv_history_clear(LXV_HANDLE h) {
    if (lexicore::Lookup(h) != nullptr) lexicore::TheEngine().history.Clear();
}
