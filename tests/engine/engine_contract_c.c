/* The engine's contract as a C program sees it. */
#include "tests/engine/engine_contract_c.h"

#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include "engine/lexicore.h"

#define CHECK(cond)                           \
    do {                                      \
        if (!(cond)) return "failed: " #cond; \
    } while (0)

static LXV_HANDLE open_dict(const char* path, int* fd) {
    *fd = open(path, O_RDONLY);
    return *fd < 0 ? 0 : lxv_openfile(*fd, *fd, *fd, *fd, *fd);
}

static void close_dict(LXV_HANDLE* h, int fd) {
    lxv_closefile(h);
    if (fd >= 0) close(fd);
}

static const char* word_list(LXV_HANDLE h) {
    uint32_t count = lxv_wordlist_count(h);
    uint32_t i;
    CHECK(count > 30);
    CHECK(strcmp(lxv_wordlist_at(h, 0), "a") == 0);
    for (i = 0; i < count; ++i) {
        const char* w = lxv_wordlist_at(h, i);
        CHECK(w != NULL);
        CHECK(lxv_wordlist_on(h, w) == i);
    }
    CHECK(lxv_wordlist_at(h, count) == NULL);
    CHECK(strcmp(lxv_wordlist_nearest(h, "Geese"), "goose") == 0);
    CHECK(strcmp(lxv_wordlist_nearest(h, "studies"), "study") == 0);
    CHECK(strcmp(lxv_wordlist_nearest(h, "catsu"), "catsup") == 0);
    CHECK(strcmp(lxv_wordlist_nearest(h, "9999"), lxv_wordlist_at(h, count - 1)) == 0);
    CHECK(lxv_wordlist_nearest(h, NULL) == NULL);
    return NULL;
}

const char* c_check_word_list(const char* path) {
    int fd;
    LXV_HANDLE h = open_dict(path, &fd);
    const char* result;
    if (h == 0) return "lxv_openfile failed";
    result = word_list(h);
    close_dict(&h, fd);
    return result;
}

static const char* lookup_and_print(LXV_HANDLE h) {
    char buffer[LXV_PRINT_BUFFER_SIZE];
    char tiny[8];
    LXV_ENTRY e = lxv_find(h, "Zebra");
    CHECK(e != 0);
    CHECK(lxv_find(h, "zebras") == 0);
    memset(buffer, 0, sizeof buffer);
    CHECK(lxv_printhtml_buf(h, e, buffer, sizeof buffer) != 0);
    CHECK(strcmp(buffer, "<b>zebra</b> a striped horse") == 0);
    memset(buffer, 0, sizeof buffer);
    CHECK(lxv_print_buf(h, e, buffer, sizeof buffer) != 0);
    CHECK(strcmp(buffer, "zebra: a striped horse") == 0);
    memset(tiny, 'x', sizeof tiny);
    CHECK(lxv_print_buf(h, e, tiny, sizeof tiny) != 0);
    CHECK(memchr(tiny, '\0', sizeof tiny) != NULL);
    CHECK(lxv_printhtml_buf(h, 0, buffer, sizeof buffer) == 0);
    return NULL;
}

const char* c_check_lookup_and_print(const char* path) {
    int fd;
    LXV_HANDLE h = open_dict(path, &fd);
    const char* result;
    if (h == 0) return "lxv_openfile failed";
    result = lookup_and_print(h);
    close_dict(&h, fd);
    return result;
}

static const char* history(LXV_HANDLE h) {
    char buffer[256];
    const char* words[] = {"cat", "goose", "Cat", "zebra"};
    int i;
    lxv_history_clear(h);
    CHECK(lxv_history_count(h) == 0);
    for (i = 0; i < 4; ++i) {
        CHECK(lxv_printhtml_buf(h, lxv_find(h, words[i]), buffer, sizeof buffer) != 0);
    }
    CHECK(lxv_history_count(h) == 3);
    CHECK(strcmp(lxv_history_getword(h, 0), "zebra") == 0);
    CHECK(strcmp(lxv_history_getword(h, 1), "cat") == 0);
    CHECK(strcmp(lxv_history_getword(h, 2), "goose") == 0);
    CHECK(lxv_history_getword(h, 3) == NULL);
    lxv_history_clear(h);
    CHECK(lxv_history_count(h) == 0);
    return NULL;
}

const char* c_check_history(const char* path) {
    int fd;
    LXV_HANDLE h = open_dict(path, &fd);
    const char* result;
    if (h == 0) return "lxv_openfile failed";
    result = history(h);
    close_dict(&h, fd);
    return result;
}

const char* c_check_close(const char* path) {
    int fd;
    LXV_HANDLE h = open_dict(path, &fd);
    LXV_HANDLE stale = h;
    CHECK(h != 0);
    lxv_closefile(&h);
    CHECK(h == 0);
    CHECK(lxv_wordlist_count(stale) == 0);
    CHECK(lxv_wordlist_at(stale, 0) == NULL);
    lxv_closefile(NULL);
    close(fd);
    return NULL;
}
