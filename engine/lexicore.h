/* lexicore: the Lexivane dictionary engine.
 *
 * A dictionary is one compiled file (built by lexivane-dict) plus four scratch
 * files that the program creates empty at every start. All text that crosses
 * this interface is 8-bit, NUL-terminated Windows-1252.
 *
 * Every call must come from one thread. Pointers returned by the engine are
 * owned by the engine and stay valid only until the next call on the same
 * handle; callers copy the text at once.
 *
 * Headwords are unique ignoring case and sorted ignoring case and accents
 * (é with e); a headword that begins with a digit or punctuation comes after
 * every headword that begins with a letter, so headword 0 is "a" when the
 * dictionary has it. The file format is described in docs/file-format.md.
 */
#ifndef LEXIVANE_ENGINE_LEXICORE_H_
#define LEXIVANE_ENGINE_LEXICORE_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The size of the buffer the program prints an entry into, NUL included. An
 * entry longer than this is cut (lxv_printhtml_buf); the compiler lays out its
 * entries to fit. */
#define LXV_PRINT_BUFFER_SIZE 12000u

/* How many viewed words the history keeps (lxv_history_count). */
#define LXV_HISTORY_LIMIT 20

typedef uint32_t LXV_HANDLE; /* engine handle; 0 = failure */
typedef uint32_t LXV_ENTRY;  /* entry reference; 0 = no entry */

/* Opens the dictionary file `dict` (a POSIX file descriptor open for reading)
 * and takes the four scratch descriptors as working storage. Reads only the
 * file's header and index structures, into memory; entries are read from the
 * file when printed. Returns a non-zero handle on success. Returns 0 when the
 * dictionary cannot be used, with errno saying why, as the system's own calls
 * do:
 *   ENOEXEC  not a dictionary file of this version (an empty file included)
 *   EBADMSG  a dictionary file, truncated or damaged
 *   EIO      the file could not be read
 *   ENOMEM   too little memory for its index
 *   EINVAL   `dict` is not an open regular file
 *   EMFILE   64 dictionaries are open already
 * The descriptors stay owned by the caller and must stay open until
 * lxv_closefile. */
LXV_HANDLE lxv_openfile(intptr_t dict, intptr_t listpad, intptr_t datapad, intptr_t miscpad,
                        intptr_t zippad);

/* Releases the dictionary behind *handle and sets *handle to 0. A null pointer
 * is ignored; a handle that is not open only has its variable set to 0.
 * Handles come from a table of 64 slots; a closed handle's value comes back
 * only after 2^26 further openings, so a stale copy of it reaches nothing. */
void lxv_closefile(LXV_HANDLE* handle);

/* Number of headwords; 0 for an empty dictionary or an unknown handle. */
uint32_t lxv_wordlist_count(LXV_HANDLE h);

/* Headword at `index` (0-based, sorted ignoring case: consecutive indices are
 * alphabetical neighbours), or NULL when index >= count. */
const char* lxv_wordlist_at(LXV_HANDLE h, uint32_t index);

/* The headword nearest to `key`: the headword equal to it ignoring case; else
 * the headword the key is an English inflection of (geese -> goose, ran -> run,
 * studies -> study, running -> run, checked against the base's parts of
 * speech); else the first headword sorting at or after it; past the end, the
 * last headword. A key that is both an inflection and the beginning of longer
 * headwords takes the inflection when it is irregular and has at least three
 * letters, or when it is regular and its base has at least three letters
 * (cats -> cat although "catsup" exists); otherwise the word list moves on to
 * the longer headwords (bas -> basal, not ba). NULL only for an empty
 * dictionary, a NULL key or an unknown handle. */
const char* lxv_wordlist_nearest(LXV_HANDLE h, const char* key);

/* Index of `headword` (compared ignoring case). 0 when it is not a headword:
 * callers accept 0 only for the first headword, "a". */
uint32_t lxv_wordlist_on(LXV_HANDLE h, const char* headword);

/* Entry reference of `headword` (compared ignoring case); 0 when there is none. */
LXV_ENTRY lxv_find(LXV_HANDLE h, const char* headword);

/* Writes the entry as HTML into buffer[0..size), always NUL-terminated. An
 * entry too long for the buffer is cut at a sense boundary and ends with a
 * visible note that it continues. Returns non-zero on success, 0 for an
 * unknown entry, a NULL buffer, size 0, damaged data, or a dictionary file
 * that was changed or cut short since it was opened (never a crash). Each
 * success records the headword in the history of viewed words. */
int lxv_printhtml_buf(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size);

/* As lxv_printhtml_buf, as plain text; does not touch the history. */
int lxv_print_buf(LXV_HANDLE h, LXV_ENTRY entry, char* buffer, uint32_t size);

/* Number of viewed words remembered, at most LXV_HISTORY_LIMIT; 0 when empty
 * or for an unknown handle. The viewed words belong to the engine, not to one
 * file: closing and reopening a dictionary keeps them; a new process starts
 * with none. */
int16_t lxv_history_count(LXV_HANDLE h);

/* Remembered word `index`, newest first; NULL when out of range. */
const char* lxv_history_getword(LXV_HANDLE h, int16_t index);

/* Forgets every viewed word. */
void lxv_history_clear(LXV_HANDLE h);

#ifdef __cplusplus
}
#endif

#endif /* LEXIVANE_ENGINE_LEXICORE_H_ */
