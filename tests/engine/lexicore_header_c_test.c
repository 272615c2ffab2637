/* Compiled as C: the engine header is usable from C and declares the twelve
 * functions with exactly the signatures callers are built against. A drifted
 * signature fails this file at compile time. */
#include "engine/lexicore.h"

#include <stdio.h>

_Static_assert(sizeof(LXV_HANDLE) == 4, "engine handle is 32 bits");
_Static_assert(sizeof(LXV_ENTRY) == 4, "entry reference is 32 bits");

#define HAS_TYPE(fn, type) _Static_assert(_Generic((fn), type : 1, default : 0), #fn " signature")

HAS_TYPE(lxv_openfile, LXV_HANDLE (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t));
HAS_TYPE(lxv_closefile, void (*)(LXV_HANDLE*));
HAS_TYPE(lxv_wordlist_count, uint32_t (*)(LXV_HANDLE));
HAS_TYPE(lxv_wordlist_at, const char* (*)(LXV_HANDLE, uint32_t));
HAS_TYPE(lxv_wordlist_nearest, const char* (*)(LXV_HANDLE, const char*));
HAS_TYPE(lxv_wordlist_on, uint32_t (*)(LXV_HANDLE, const char*));
HAS_TYPE(lxv_find, LXV_ENTRY (*)(LXV_HANDLE, const char*));
HAS_TYPE(lxv_printhtml_buf, int (*)(LXV_HANDLE, LXV_ENTRY, char*, uint32_t));
HAS_TYPE(lxv_print_buf, int (*)(LXV_HANDLE, LXV_ENTRY, char*, uint32_t));
HAS_TYPE(lxv_history_count, int16_t (*)(LXV_HANDLE));
HAS_TYPE(lxv_history_getword, const char* (*)(LXV_HANDLE, int16_t));
HAS_TYPE(lxv_history_clear, void (*)(LXV_HANDLE));

int main(void) {
    puts("lexicore.h declares the twelve engine functions");
    return 0;
}
