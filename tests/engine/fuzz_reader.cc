// libFuzzer target: any bytes opened as a dictionary, then every reading call.
// The engine must refuse the file or answer within what it read.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/lexicore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memfd_create("lexicore-fuzz", 0);
    if (fd < 0) return 0;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    LXV_HANDLE h = lxv_openfile(fd, fd, fd, fd, fd);
    if (h != 0) {
        static char buffer[LXV_PRINT_BUFFER_SIZE];
        const uint32_t count = lxv_wordlist_count(h);
        for (uint32_t i = 0; i < count && i < 2000; ++i) {
            const char* w = lxv_wordlist_at(h, i);
            if (w == nullptr) continue;
            const std::string word(w);
            lxv_wordlist_on(h, word.c_str());
            lxv_wordlist_nearest(h, word.c_str());
            lxv_wordlist_nearest(h, (word + "s").c_str());
            lxv_wordlist_nearest(h, (word + "ing").c_str());
            const LXV_ENTRY e = lxv_find(h, word.c_str());
            lxv_printhtml_buf(h, e, buffer, sizeof buffer);
            lxv_print_buf(h, e, buffer, 200);
        }
        for (int16_t i = 0; i < lxv_history_count(h); ++i) lxv_history_getword(h, i);
        lxv_history_clear(h);
        lxv_closefile(&h);
    }
    close(fd);
    return 0;
}
