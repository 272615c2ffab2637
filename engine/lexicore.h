/* lexicore: the Lexivane dictionary engine.
 *
 * A dictionary is one compiled file (built by lexivane-dict) plus four scratch
 * files that the program creates empty at every start. All text that crosses
 * this interface is 8-bit, NUL-terminated Windows-1252.
 *
 * Every call must come from one thread. Pointers returned by the engine are
 * owned by the engine and stay valid only until the next call on the same
 * handle; callers copy the text at once.
 */
#ifndef LEXIVANE_ENGINE_LEXICORE_H_
#define LEXIVANE_ENGINE_LEXICORE_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t LXV_HANDLE; /* engine handle; 0 = failure */
typedef uint32_t LXV_ENTRY;  /* entry reference; 0 = no entry */

/* Opens the dictionary file `dict` (a POSIX file descriptor open for reading)
 * and takes the four scratch descriptors as working storage. Reads only the
 * file's header and index structures. Returns a non-zero handle on success and
 * 0 when the file is empty, truncated, foreign or damaged. The descriptors stay
 * owned by the caller and must stay open until lxv_closefile. */
LXV_HANDLE lxv_openfile(intptr_t dict, intptr_t listpad, intptr_t datapad, intptr_t miscpad,
                        intptr_t zippad);

/* Releases the dictionary behind *handle and sets *handle to 0. A null pointer
 * or a handle that is not open is ignored. */
void lxv_closefile(LXV_HANDLE* handle);

/* Number of headwords; 0 for an empty dictionary or an unknown handle. */
uint32_t lxv_wordlist_count(LXV_HANDLE h);

/* Headword at `index` (0-based, sorted ignoring case: consecutive indices are
 * alphabetical neighbours), or NULL when index >= count. */
const char* lxv_wordlist_at(LXV_HANDLE h, uint32_t index);

/* The headword nearest to `key`: the headword equal to it ignoring case; else
 * the headword the key is an English inflection of; else the first headword
 * sorting at or after it; past the end, the last headword. NULL only for an
 * empty dictionary, a NULL key or an unknown handle. */
const char* lxv_wordlist_nearest(LXV_HANDLE h, const char* key);

/* Index of `headword` (compared ignoring case). 0 when it is not a headword:
 * callers accept 0 only for the first headword, "a". */
uint32_t lxv_wordlist_on(LXV_HANDLE h, const char* headword);

/* Entry reference of `headword` (compared ignoring case); 0 when there is none. */
LXV_ENTRY lxv_find(LXV_HANDLE h, const char* headword);

/* Writes the entry as HTML into buffer[0..size), always NUL-terminated. An
 * entry too long for the buffer is cut at a sense boundary and ends with a
 * visible note that it continues. Returns non-zero on success, 0 for an
 * unknown entry, a NULL buffer, size 0 or damaged data. Each success records
 * the headword in the history of viewed words. */
int lxv_printhtml_buf(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size);

/* As lxv_printhtml_buf, as plain text; does not touch the history. */
int lxv_print_buf(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size);

/* Number of viewed words remembered, at most 20; 0 when empty. */
int16_t lxv_history_count(LXV_HANDLE h);

/* Remembered word `index`, newest first; NULL when out of range. */
const char* lxv_history_getword(LXV_HANDLE h, int16_t index);

/* Forgets every viewed word. */
void lxv_history_clear(LXV_HANDLE h);

#ifdef __cplusplus
}
#endif

#endif /* LEXIVANE_ENGINE_LEXICORE_H_ */
